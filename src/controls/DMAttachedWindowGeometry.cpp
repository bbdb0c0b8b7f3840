#include "DMAttachedWindowGeometry.h"

#include <cmath>

namespace {

enum class Edge { None, Top, Right, Bottom, Left };

Edge arrowEdge(int side)
{
    switch (side) {
    case kDMAttachedWindowSide_Below:
    case kDMAttachedWindowSide_BelowRight:
    case kDMAttachedWindowSide_BelowLeft:
        return Edge::Top;
    case kDMAttachedWindowSide_Left:
    case kDMAttachedWindowSide_LeftLower:
    case kDMAttachedWindowSide_LeftUpper:
        return Edge::Right;
    case kDMAttachedWindowSide_Above:
    case kDMAttachedWindowSide_AboveRight:
    case kDMAttachedWindowSide_AboveLeft:
        return Edge::Bottom;
    case kDMAttachedWindowSide_Right:
    case kDMAttachedWindowSide_RightLower:
    case kDMAttachedWindowSide_RightUpper:
        return Edge::Left;
    default:
        return Edge::None;
    }
}

// A quarter circle from the current point to end, tangent to the two edges that meet at corner.
void appendCornerArc(QPainterPath &path, QPointF corner, QPointF end)
{
    constexpr qreal kappa = 0.5522847498307936; // control distance of a cubic quarter circle
    const QPointF start = path.currentPosition();
    path.cubicTo(start + kappa * (corner - start), end + kappa * (corner - end), end);
}

void appendArrow(QPainterPath &path, Edge edge, qreal base, qreal height)
{
    const QPointF p = path.currentPosition();
    switch (edge) {
    case Edge::Top:
        path.lineTo(p.x() + base / 2, p.y() + height);
        path.lineTo(p.x() + base, p.y());
        break;
    case Edge::Right:
        path.lineTo(p.x() + height, p.y() - base / 2);
        path.lineTo(p.x(), p.y() - base);
        break;
    case Edge::Bottom:
        path.lineTo(p.x() - base / 2, p.y() - height);
        path.lineTo(p.x() - base, p.y());
        break;
    case Edge::Left:
        path.lineTo(p.x() - height, p.y() + base / 2);
        path.lineTo(p.x(), p.y() + base);
        break;
    case Edge::None:
        break;
    }
}

} // namespace

float DMAttachedWindow_arrowInset(const DMAttachedWindowMetrics &m)
{
    const qreal half = m.arrowBaseWidth / 2;
    return float(m.scale * (m.drawsRoundCornerBesideArrow ? half + m.cornerRadius : half));
}

DMAttachedWindowLayout DMAttachedWindow_layout(const DMAttachedWindowMetrics &m, int side, QPointF point)
{
    const qreal margin = m.viewMargin * m.scale;
    const qreal arrow = m.arrowHeight * m.scale;
    QRectF view(margin, margin, m.viewSize.width(), m.viewSize.height());
    qreal w = view.width() + 2 * margin;
    qreal h = view.height() + 2 * margin;
    switch (arrowEdge(side)) {
    case Edge::Right:
        w += arrow;
        break;
    case Edge::Top:
        h += arrow;
        break;
    case Edge::Left:
        w += arrow;
        view.translate(arrow, 0);
        break;
    case Edge::Bottom:
        h += arrow;
        view.translate(0, arrow);
        break;
    case Edge::None:
        break;
    }

    const qreal inset = DMAttachedWindow_arrowInset(m);
    const qreal d = m.distance;
    const qreal px = point.x();
    const qreal py = point.y();
    QPointF origin = point;
    switch (side) {
    case kDMAttachedWindowSide_Left: origin = {px - w - d, py - h / 2}; break;
    case kDMAttachedWindowSide_Below: origin = {px - w / 2, py - h - d}; break;
    case kDMAttachedWindowSide_Right: origin = {px + d, py - h / 2}; break;
    case kDMAttachedWindowSide_Above: origin = {px - w / 2, py + d}; break;
    case kDMAttachedWindowSide_LeftLower: origin = {px - w - d, py - inset}; break;
    case kDMAttachedWindowSide_LeftUpper: origin = {px - w - d, py - (h - inset)}; break;
    case kDMAttachedWindowSide_RightLower: origin = {px + d, py - inset}; break;
    case kDMAttachedWindowSide_RightUpper: origin = {px + d, py - (h - inset)}; break;
    case kDMAttachedWindowSide_AboveRight: origin = {px - (w - inset), py + d}; break;
    case kDMAttachedWindowSide_AboveLeft: origin = {px - inset, py + d}; break;
    case kDMAttachedWindowSide_BelowRight: origin = {px - (w - inset), py - h - d}; break;
    case kDMAttachedWindowSide_BelowLeft: origin = {px - inset, py - h - d}; break;
    default: break;
    }
    return {QRectF(origin, QSizeF(w, h)), view};
}

int DMAttachedWindow_bestSide(const DMAttachedWindowMetrics &m, int automaticSide, QPointF p, const QRectF &screen,
                              const QRectF &parent)
{
    const bool verticalOnly = automaticSide == kDMAttachedWindowSide_AutomaticVertical;
    const qreal w = m.viewSize.width() + 2 * m.viewMargin * m.scale;
    const qreal h = m.viewSize.height() + 2 * m.viewMargin * m.scale;
    const qreal d = m.distance + m.arrowHeight * m.scale;
    const qreal inset = DMAttachedWindow_arrowInset(m);
    // QRectF's bottom() is its largest y: with y up that is the top edge.
    const qreal screenMinX = screen.left(), screenMaxX = screen.right();
    const qreal screenMinY = screen.top(), screenMaxY = screen.bottom();

    int side = kDMAttachedWindowSide_Below;
    if (p.y() - h - d >= screenMinY)
        side = kDMAttachedWindowSide_Below;
    else if (p.x() + w + d < screenMaxX)
        side = verticalOnly ? kDMAttachedWindowSide_Below : kDMAttachedWindowSide_Right;
    else if (p.x() - w - d >= screenMinX)
        side = verticalOnly ? kDMAttachedWindowSide_Below : kDMAttachedWindowSide_Left;
    else if (p.y() + h + d < screenMaxY)
        side = kDMAttachedWindowSide_Above;

    const bool left = side == kDMAttachedWindowSide_Left;
    const bool below = side == kDMAttachedWindowSide_Below;
    if (side == kDMAttachedWindowSide_Left || side == kDMAttachedWindowSide_Right) {
        if (p.y() - h / 2 < parent.top()) {
            if (p.y() + h - inset < screenMaxY)
                return left ? kDMAttachedWindowSide_LeftLower : kDMAttachedWindowSide_RightLower;
        } else if (p.y() + h / 2 >= parent.bottom() && p.y() - h + inset >= screenMinY) {
            return left ? kDMAttachedWindowSide_LeftUpper : kDMAttachedWindowSide_RightUpper;
        }
    } else {
        if (p.x() - w / 2 < parent.left()) {
            if (p.x() + w - inset < screenMaxX)
                return below ? kDMAttachedWindowSide_BelowLeft : kDMAttachedWindowSide_AboveLeft;
        } else if (p.x() + w / 2 >= parent.right() && p.x() - w + inset >= screenMinX) {
            return below ? kDMAttachedWindowSide_BelowRight : kDMAttachedWindowSide_AboveRight;
        }
    }
    return side;
}

QPainterPath DMAttachedWindow_backgroundPath(const DMAttachedWindowMetrics &m, int side, const QRectF &viewFrame)
{
    const qreal s = m.scale;
    const qreal r = m.cornerRadius * s;
    const qreal a = m.arrowBaseWidth * s;
    const qreal ah = m.arrowHeight * s;
    const qreal margin = m.viewMargin * s;
    const QRectF box = viewFrame.adjusted(-margin, -margin, margin, margin);
    const qreal left = std::ceil(box.left() * s + 0.5);
    const qreal right = std::floor(box.right() * s - 0.5);
    const qreal bottom = std::ceil(box.top() * s + 0.5);
    const qreal top = std::floor(box.bottom() * s - 0.5);
    const qreal midX = (box.left() + box.width() / 2) * s;
    const qreal midY = (box.top() + box.height() / 2) * s;

    const auto radius = [&](int arrowSideA, int arrowSideB) {
        const bool arrowHere = side == arrowSideA || side == arrowSideB;
        return r > 0 && (m.drawsRoundCornerBesideArrow || !arrowHere) ? r : 0.0;
    };
    const qreal rTL = radius(kDMAttachedWindowSide_RightUpper, kDMAttachedWindowSide_BelowLeft);
    const qreal rTR = radius(kDMAttachedWindowSide_LeftUpper, kDMAttachedWindowSide_BelowRight);
    const qreal rBR = radius(kDMAttachedWindowSide_LeftLower, kDMAttachedWindowSide_AboveRight);
    const qreal rBL = radius(kDMAttachedWindowSide_RightLower, kDMAttachedWindowSide_AboveLeft);
    const auto arrow = [&](QPainterPath &path, Edge edge) {
        if (m.hasArrow)
            appendArrow(path, edge, a, ah);
    };

    QPainterPath path;
    path.moveTo(left + rTL, top);
    switch (side) {
    case kDMAttachedWindowSide_Below: path.lineTo(midX - a / 2, top); arrow(path, Edge::Top); break;
    case kDMAttachedWindowSide_BelowRight: path.lineTo(right - rTR - a, top); arrow(path, Edge::Top); break;
    case kDMAttachedWindowSide_BelowLeft: arrow(path, Edge::Top); break;
    default: break;
    }
    path.lineTo(right - rTR, top);
    if (rTR > 0)
        appendCornerArc(path, {right, top}, {right, top - r});

    switch (side) {
    case kDMAttachedWindowSide_Left: path.lineTo(right, midY + a / 2); arrow(path, Edge::Right); break;
    case kDMAttachedWindowSide_LeftLower: path.lineTo(right, bottom + rBR + a); arrow(path, Edge::Right); break;
    case kDMAttachedWindowSide_LeftUpper: arrow(path, Edge::Right); break;
    default: break;
    }
    path.lineTo(right, bottom + rBR);
    if (rBR > 0)
        appendCornerArc(path, {right, bottom}, {right - r, bottom});

    switch (side) {
    case kDMAttachedWindowSide_Above: path.lineTo(midX + a / 2, bottom); arrow(path, Edge::Bottom); break;
    case kDMAttachedWindowSide_AboveLeft: path.lineTo(left + rBL + a, bottom); arrow(path, Edge::Bottom); break;
    case kDMAttachedWindowSide_AboveRight: arrow(path, Edge::Bottom); break;
    default: break;
    }
    path.lineTo(left + rBL, bottom);
    if (rBL > 0)
        appendCornerArc(path, {left, bottom}, {left, bottom + r});

    switch (side) {
    case kDMAttachedWindowSide_Right: path.lineTo(left, midY - a / 2); arrow(path, Edge::Left); break;
    case kDMAttachedWindowSide_RightUpper: path.lineTo(left, top - rTL - a); arrow(path, Edge::Left); break;
    case kDMAttachedWindowSide_RightLower: arrow(path, Edge::Left); break;
    default: break;
    }
    path.lineTo(left, top - rTL);
    if (rTL > 0)
        appendCornerArc(path, {left, top}, {left + r, top});
    path.closeSubpath();
    return path;
}
