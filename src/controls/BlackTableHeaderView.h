#pragma once

#include <QHeaderView>
#include <QWidget>

// The column header of the dark tables: charcoal with one-point lines in the table's grid colour
// along its edges, each column's title in white 5 points in from the column's left edge.
class BlackTableHeaderView : public QHeaderView
{
    Q_OBJECT

public:
    explicit BlackTableHeaderView(QWidget *parent = nullptr);

    static constexpr int kTitleInset = 5;

protected:
    void paintEvent(QPaintEvent *event) override;
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
};

// The corner above a dark table's vertical scroller, matching the header beside it.
class BlackTableHeaderCornerView : public QWidget
{
    Q_OBJECT

public:
    explicit BlackTableHeaderCornerView(QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The grid colour of the dark table the widget belongs to.
QColor BlackTableGridColor(const QWidget *widget);
