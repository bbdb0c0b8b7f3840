#pragma once

#include <QComboBox>

// A dark pop-up button: like BlackButtonCell but a rounded rectangle (corner radius a quarter of
// its height), its title in white, and two small up and down arrows at the right end.
class BlackPopUpButtonCell : public QComboBox
{
    Q_OBJECT

public:
    enum ControlSize { Regular, Small, Mini };

    explicit BlackPopUpButtonCell(QWidget *parent = nullptr);

    ControlSize controlSize() const { return m_controlSize; }
    void setControlSize(ControlSize size);

    // The body (inset 3 and 2.5), the outline (inset 2.6) and the title's box (inset 11 across
    // and, down, the frame height less 22, 18 or 14 by control size, rounded up).
    static QRectF gradientRect(const QRectF &frame);
    static QRectF bezelRect(const QRectF &frame);
    QRectF titleRect(const QRectF &frame) const;

    void drawWithFrame(QPainter &painter, const QRectF &frame) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ControlSize m_controlSize = Regular;
};
