#pragma once

#include <QImage>
#include <QList>
#include <QRectF>
#include <QScrollArea>
#include <QScrollBar>

// A scroll bar drawn from images whose track (the knob slot) shows only while the user scrolls:
// every change of its value raises the track's opacity by a tenth, and 0.05 s after the last
// change it fades out again, a tenth every 0.01 s of idleness. Pending fade steps are cancelled
// when the scroller is destroyed.
class DMScroller : public QScrollBar
{
    Q_OBJECT

public:
    explicit DMScroller(Qt::Orientation orientation, QWidget *parent = nullptr);
    ~DMScroller() override;

    // The track's opacity, 0 to 1, kept in whole tenths.
    double knobSlotAlpha() const { return m_knobSlotTenths / 10.0; }
    bool isHoriz() const { return orientation() == Qt::Horizontal; }
    // One fade step: a tenth less, and the next step scheduled while any is left.
    void decreaseKnobSlotAlpha();

    // The pieces of a track or knob drawn from a start image, a stretched middle and an end
    // image: the ends at their natural length along the scroller, every piece across the whole
    // rectangle. With middleAloneWhenShort, a rectangle shorter than both ends is the middle only.
    enum class Part { Start, Middle, End };
    struct Piece
    {
        Part part;
        QRectF rect;
    };
    static QList<Piece> threePartLayout(const QRectF &rect, bool horizontal, qreal startLength, qreal endLength,
                                        bool middleAloneWhenShort);

    void drawScroller(QPainter &painter) const;

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void raiseKnobSlotAlpha();

    int m_knobSlotTenths = 0;
};

// A scroll area whose scroll bars are DMScrollers; it draws as any scroll area.
class DMScrollView : public QScrollArea
{
    Q_OBJECT

public:
    explicit DMScrollView(QWidget *parent = nullptr);
};
