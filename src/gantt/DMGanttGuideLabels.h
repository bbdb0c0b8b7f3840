#pragma once

#include <QList>
#include <QRectF>
#include <QStringList>

class DMDate;
class DMProjectViewObject;

// The date labels that item shapes show beside themselves while they are dragged
// (DMUISimpleTextObject, half-transparent black), kept as the object's guide anchors.
namespace DMGanttGuideLabels {

// "date\ntime" in the shared year-month-day and hour-minute-second formats.
QString dateText(const DMDate &date);

// Makes frames.size() labels on first use (or when the count differs) and gives each its owner
// (the object, weakly), frame and text.
void update(DMProjectViewObject &object, const QList<QRectF> &frames, const QStringList &texts);

} // namespace DMGanttGuideLabels
