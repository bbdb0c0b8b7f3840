#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>

class QPainter;

// The drawing shared by the dark-themed controls: grey levels, the soft black gradient laid over
// each control, and the bezel of push and pop-up buttons.
namespace BlackControlsDrawing {

// A grey of the given white level (0 black, 1 white) and alpha.
QColor grey(qreal white, qreal alpha = 1);

// The charcoal of the dark panels, tables and headers.
QColor charcoal();

// Black from alpha 0 at the bottom to alpha 0.4 at the top, over the rectangle.
void fillBlackGradient(QPainter &painter, const QRectF &rect);

// A rounded rectangle; a radius of half the height makes a capsule.
QPainterPath roundedRect(const QRectF &rect, qreal radius);

// The open path along the lower half of a rounded rectangle, one point lower: from the right
// end round the two lower corners to the left end.
QPainterPath lowerHalf(const QRectF &rect, qreal radius);

// A button's body: grey 0.4 for the enabled default button, grey 0.2 otherwise, lightened by white
// at 0.2 while pressed, then the black gradient clipped to it.
void drawButtonBody(QPainter &painter, const QRectF &rect, qreal radius, bool isDefault, bool highlighted);

// A button's edges: a black drop edge (alpha 0.7, width 1.5) under the lower half and a white
// outline (alpha 0.9, width 1).
void drawButtonEdges(QPainter &painter, const QRectF &rect, qreal radius);

// A text with a soft black shadow one point below it.
void drawShadowedText(QPainter &painter, const QRectF &rect, int flags, const QString &text, const QColor &color);

} // namespace BlackControlsDrawing
