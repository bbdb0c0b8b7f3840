#pragma once

#include <QStringList>
#include <QWidget>

// A dark segmented control (the class name is spelled as the panels refer to it): a row of
// equally wide segments, one of them selected, on a rounded plate of the window colour under the
// soft black gradient. Clicking a segment selects it.
class BlackSegmentedConrol : public QWidget
{
    Q_OBJECT

public:
    explicit BlackSegmentedConrol(const QStringList &labels = {}, QWidget *parent = nullptr);

    int segmentCount() const { return int(m_labels.size()); }
    void setSegmentCount(int count);
    QString labelForSegment(int segment) const { return m_labels.value(segment); }
    void setLabelForSegment(const QString &label, int segment);
    int selectedSegment() const { return m_selectedSegment; } // -1 when none
    void setSelectedSegment(int segment);

    // The plate: the bounds inset by 1, one point lower, with corners of radius 3.
    static QRectF plateRect(const QRectF &bounds);
    QRectF segmentRect(const QRectF &bounds, int segment) const;
    int segmentAt(const QPointF &point) const; // -1 outside

    void drawWithFrame(QPainter &painter, const QRectF &frame) const;
    QSize sizeHint() const override;

signals:
    void segmentSelected(int segment);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QStringList m_labels;
    int m_selectedSegment = -1;
};
