#pragma once

#include <QScrollBar>

class QStyleOptionSlider;

// The scroller of the dark tables: a grey 0.2 ground with a rounded track (radius 6) outlined in
// grey 0.12 and filled with a grey 0.18 to 0.28 gradient, and the style's own knob.
class BlackTableViewScroller : public QScrollBar
{
    Q_OBJECT

public:
    explicit BlackTableViewScroller(Qt::Orientation orientation, QWidget *parent = nullptr);

    // The track: the bounds moved by (1, 2) and 3 and 4 points smaller.
    static QRectF trackRect(const QRectF &bounds);
    virtual qreal trackRadius() const { return 6; }

    void drawWithFrame(QPainter &painter, const QRectF &frame) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    virtual void drawKnob(QPainter &painter, const QStyleOptionSlider &option) const;
    // The arrows are part of the style's knob drawing here.
    virtual void drawArrows(QPainter &, const QStyleOptionSlider &) const {}
    QRectF partRect(const QStyleOptionSlider &option, int subControl) const;
};

// The dark scroller with its own knob: a rounded light gradient outlined in grey 0.32 with a white
// grip, and grey arrows; its track has corners of radius 8.
class BlackScroller : public BlackTableViewScroller
{
    Q_OBJECT

public:
    explicit BlackScroller(Qt::Orientation orientation, QWidget *parent = nullptr);

    qreal trackRadius() const override { return 8; }
    // The arrow triangle inside an arrow's rectangle, pointing to the scroller's start or end.
    static QPolygonF arrowTriangle(const QRectF &rect, bool horizontal, bool decrement);

protected:
    void drawKnob(QPainter &painter, const QStyleOptionSlider &option) const override;
    void drawArrows(QPainter &painter, const QStyleOptionSlider &option) const override;
};
