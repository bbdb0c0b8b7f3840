#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

// Placement of a canvas inside its view, as pure functions. Both sides use y down.

// The canvas, scaled by zoom, placed inside bounds by the alignment. When the scaled canvas is
// larger than the bounds along an axis it starts at the bounds' edge, so that no part of it is
// pushed out of reach before the origin. A zoom that is not above 0 counts as 1.
QRectF DMObjectView_CanvasRectInViewWithParameters(QSizeF canvasSize, double zoom, const QRectF &bounds,
                                                    Qt::Alignment alignment);

// A view point as a canvas point, for the canvas placed at canvasRect.
QPointF DMObjectView_ConvertPointFromView(QPointF point, const QRectF &canvasRect, double zoom);

// A canvas point as a view point; the inverse of the above.
QPointF DMObjectView_ConvertPointToView(QPointF point, const QRectF &canvasRect, double zoom);
