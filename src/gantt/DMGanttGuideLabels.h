#pragma once

#include <QList>
#include <QRectF>
#include <QString>
#include <Qt>

class DMDate;
class DMProjectViewObject;

// The date labels that item shapes show beside themselves while they are dragged
// (DMUISimpleTextObject, half-transparent black), kept as the object's guide anchors.
namespace DMGanttGuideLabels {

// Where one label goes: a slot beside its object, the slot's edges the label keeps (left,
// right or centred across; top, bottom or centred down), and its text.
struct Placement
{
    QRectF slot;
    Qt::Alignment alignment;
    QString text;
};

// "date\ntime" in the shared year-month-day and hour-minute-second formats.
QString dateText(const DMDate &date);

// The frame of a label whose text has that size: the text with a margin of 4 across and 2 down,
// against the slot's edges named by the alignment, so that the text always lies inside the box
// that is drawn (and redrawn when it moves).
QRectF labelFrame(const QRectF &slot, Qt::Alignment alignment, const QSizeF &textSize);

// Makes one label per placement on first use (or when the count differs) and gives each its
// owner (the object, weakly), text and frame.
void update(DMProjectViewObject &object, const QList<Placement> &placements);

} // namespace DMGanttGuideLabels
