#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QRectF>

// True when the centre of the rectangle lies within lineWidth of one of the straight segments
// of the path with its curves flattened. The distance is measured to the segment itself, not
// to the infinite line through it, so a point beyond a segment's end does not hit it.
bool contourIntersectsRect(const QPainterPath &path, qreal lineWidth, const QRectF &rect);

// The start and end points of the path's last straight segment (a line element, including the
// one that closes a subpath); false when the path has none. Null out-pointers are skipped.
bool lastLineElementStartPointEndPoint(const QPainterPath &path, QPointF *startPoint, QPointF *endPoint);
