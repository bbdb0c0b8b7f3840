#include "DMPathAdditions.h"

#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {

// Distance from a point to the segment from a to b (to a when the two coincide).
qreal distanceToSegment(const QPointF &point, const QPointF &a, const QPointF &b)
{
    const QPointF direction = b - a;
    const qreal lengthSquared = QPointF::dotProduct(direction, direction);
    qreal t = 0;
    if (lengthSquared > 0)
        t = std::clamp(QPointF::dotProduct(point - a, direction) / lengthSquared, qreal(0), qreal(1));
    const QPointF nearest = a + t * direction;
    return std::hypot(point.x() - nearest.x(), point.y() - nearest.y());
}

} // namespace

bool contourIntersectsRect(const QPainterPath &path, qreal lineWidth, const QRectF &rect)
{
    const QPointF centre = rect.center();
    const QList<QPolygonF> polygons = path.toSubpathPolygons();
    for (const QPolygonF &polygon : polygons) {
        for (qsizetype i = 1; i < polygon.size(); ++i) {
            if (distanceToSegment(centre, polygon.at(i - 1), polygon.at(i)) <= lineWidth)
                return true;
        }
    }
    return false;
}

bool lastLineElementStartPointEndPoint(const QPainterPath &path, QPointF *startPoint, QPointF *endPoint)
{
    for (int i = path.elementCount() - 1; i >= 1; --i) {
        const QPainterPath::Element element = path.elementAt(i);
        if (element.type != QPainterPath::LineToElement)
            continue;
        // The point before a line element is where it starts: a move, a line's end or the
        // end point of a curve (its last data element).
        const QPainterPath::Element previous = path.elementAt(i - 1);
        if (startPoint)
            *startPoint = QPointF(previous.x, previous.y);
        if (endPoint)
            *endPoint = QPointF(element.x, element.y);
        return true;
    }
    return false;
}
