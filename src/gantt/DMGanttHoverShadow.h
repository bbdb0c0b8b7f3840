#pragma once

#include <QColor>

class QPainter;
class QPainterPath;

// The hover look shared by the Gantt objects: a shadow of calibrated RGB (0, 0.5, 1, 1), blur
// radius 8, no offset, cast by the filled shape.
namespace DMGanttHoverShadow {

inline constexpr qreal kBlurRadius = 8.0;
QColor color();

// Draws the shadow of the filled path (painter coordinates) under whatever is drawn next.
void drawForPath(QPainter *painter, const QPainterPath &path);

} // namespace DMGanttHoverShadow
