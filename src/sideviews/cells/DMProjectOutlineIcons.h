#pragma once

#include <QImage>

class DMProjectItem;
class DMProjectResource;
class QPainter;
class QRectF;

// The pictures of the project outline's icon column: an item's kind drawn in its fill colour
// (a bar, a diamond, a bracket), and the resource images "28" (a person), "47" (material) and
// "bt_newgroup" (a group) loaded by name.
namespace DMProjectOutlineIcons {

// Draws the item's kind centred in the rectangle, at most 16 points high.
void drawItemIcon(QPainter &painter, const QRectF &rect, const DMProjectItem &item);
// The resource images, through the image library (their generators are registered once).
QImage imageNamed(const QString &name);
// The name of the picture of a resource without an icon of its own: "bt_newgroup" for a group,
// "28" for a person, "47" for anything else, which is never drawn as a person.
QString resourceImageName(const DMProjectResource &resource);

} // namespace DMProjectOutlineIcons
