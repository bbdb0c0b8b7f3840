#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

// Where an attached window sits relative to the point its arrow points at, and so which edge of
// its box carries the arrow and where along that edge.
enum DMAttachedWindowSide : int {
    kDMAttachedWindowSide_Left = 0,        // arrow centred on the right edge
    kDMAttachedWindowSide_Below = 1,       // arrow centred on the top edge
    kDMAttachedWindowSide_Right = 2,       // arrow centred on the left edge
    kDMAttachedWindowSide_Above = 3,       // arrow centred on the bottom edge
    kDMAttachedWindowSide_LeftLower = 4,   // right edge, near its lower end
    kDMAttachedWindowSide_LeftUpper = 5,   // right edge, near its upper end
    kDMAttachedWindowSide_RightLower = 6,  // left edge, near its lower end
    kDMAttachedWindowSide_RightUpper = 7,  // left edge, near its upper end
    kDMAttachedWindowSide_AboveRight = 8,  // bottom edge, near its right end
    kDMAttachedWindowSide_AboveLeft = 9,   // bottom edge, near its left end
    kDMAttachedWindowSide_BelowRight = 10, // top edge, near its right end
    kDMAttachedWindowSide_BelowLeft = 11,  // top edge, near its left end
    kDMAttachedWindowSide_Automatic = 12,  // chosen to fit on the screen
    kDMAttachedWindowSide_AutomaticVertical = 13, // chosen, never left or right
};

// The lengths that shape an attached window, in points; scale multiplies every length where it
// is used (1 on this platform, whose logical pixels are points).
struct DMAttachedWindowMetrics
{
    QSizeF viewSize;
    qreal viewMargin = 2.0;
    qreal arrowBaseWidth = 20.0;
    qreal arrowHeight = 20.0;
    qreal cornerRadius = 10.0;
    bool hasArrow = true;
    bool drawsRoundCornerBesideArrow = true;
    qreal distance = 0.0;
    qreal scale = 1.0;
};

// Everything here is in coordinates with y growing upwards: the frame in screen coordinates
// (origin at the bottom left of the main screen), the view frame and the outline in the
// window's own (origin at its bottom left).
struct DMAttachedWindowLayout
{
    QRectF frame;
    QRectF viewFrame;
};

// Distance from the end of an edge to the middle of an arrow that sits near that end.
float DMAttachedWindow_arrowInset(const DMAttachedWindowMetrics &metrics);

// The window's frame and the hosted view's frame for a side code 0 to 11; any other code puts
// the window's origin at the point and makes no room for an arrow.
DMAttachedWindowLayout DMAttachedWindow_layout(const DMAttachedWindowMetrics &metrics, int side, QPointF point);

// The side chosen for the automatic codes 12 and 13 so that the window fits on the screen's
// visible frame, shifted along the edge when a centred window would reach beyond the parent
// window's frame (the screen's when there is no parent). Below wins when nothing fits.
int DMAttachedWindow_bestSide(const DMAttachedWindowMetrics &metrics, int automaticSide, QPointF point,
                              const QRectF &visibleScreenFrame, const QRectF &parentFrame);

// The closed outline of the box and its arrow around the view frame, edges pulled in to whole
// pixels. With hasArrow off the room for the arrow stays but no arrow is drawn.
QPainterPath DMAttachedWindow_backgroundPath(const DMAttachedWindowMetrics &metrics, int side, const QRectF &viewFrame);
