#include "DMUIProjectDateDrag.h"

#include "DMDictionaryAccess.h"
#include "DMProject.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMProjectViewDateGrid.h"

namespace {

std::optional<DMUIProjectDateDragStep> changed(const DMProjectItem &item, const DMUIProjectDateDragStep &step)
{
    if (step.begin == item.beginDate() && step.end == item.endDate())
        return std::nullopt;
    return step;
}

} // namespace

std::optional<DMUIProjectDateDragStep> DMUIProjectItem_datesForDragStep(const DMProjectItem &item,
                                                                        const DMProject &project,
                                                                        const DMProjectViewDateGrid &grid,
                                                                        qint32 operation,
                                                                        const DMUIProjectDateDragStep &press,
                                                                        qreal deltaX,
                                                                        const DMUIProjectItemDragRule &rule)
{
    const bool move = operation == DMProjectViewDragOperation::MoveItem;
    const bool resize = operation == DMProjectViewDragOperation::ChangeBegin
        || operation == DMProjectViewDragOperation::ChangeEnd;
    if (!(move || (resize && rule.resizes)) || press.begin.isNull() || press.end.isNull())
        return std::nullopt;
    if (deltaX == 0.0)
        return changed(item, press);

    const bool changesEnd = operation == DMProjectViewDragOperation::ChangeEnd;
    const DMDate &dragged = changesEnd ? press.end : press.begin;
    const DMDate pointed = grid.dateForX(grid.xForDate(dragged) + deltaX);
    const int snap = move ? rule.moveSnap : changesEnd ? kDMProjectView_SnapEnd : kDMProjectView_SnapBegin;
    const DMDate date = project.dateByRoundingDateToIntervalSnapOption(pointed, kDMProjectView_DragRoundingInterval,
                                                                      snap, grid.snapThresholdSeconds());
    if (date.isNull())
        return std::nullopt;
    if (boolForKey(item.attributes(), kDMProjectItem_EnforceWorkingDatesOnDrag) && !project.isWorkingDay(date))
        return std::nullopt;

    DMUIProjectDateDragStep step{item.beginDate(), item.endDate()};
    if (move) {
        step.begin = date;
        step.end = rule.movesBothDatesTogether ? date : item.endDateWithBeginDateAndDurationWorkSlices(date, item.duration());
    } else if (changesEnd) {
        if (!(step.begin < date))
            return std::nullopt;
        step.end = date;
    } else {
        if (!(date < step.end))
            return std::nullopt;
        step.begin = date;
    }
    return changed(item, step);
}
