#include "DMUIProjectDateDrag.h"

#include "DMDictionaryAccess.h"
#include "DMProject.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMProjectViewConstants.h"
#include "DMProjectViewDateGrid.h"

std::optional<DMUIProjectDateDragStep> DMUIProjectItem_datesForDragStep(const DMProjectItem &item,
                                                                        const DMProject &project,
                                                                        const DMProjectViewDateGrid &grid,
                                                                        qint32 operation, const DMDate &pointed)
{
    if (pointed.isNull())
        return std::nullopt;
    const bool changesEnd = operation == kDMProjectViewDragOperation_ChangeEnd;
    const DMDate date = project.dateByRoundingDateToIntervalSnapOption(
        pointed, kDMProjectView_DragRoundingInterval, changesEnd ? kDMProjectView_SnapEnd : kDMProjectView_SnapBegin,
        grid.snapThresholdSeconds());
    if (date.isNull())
        return std::nullopt;
    if (boolForKey(item.attributes(), kDMProjectItem_EnforceWorkingDatesOnDrag) && !project.isWorkingDay(date))
        return std::nullopt;

    DMUIProjectDateDragStep step{item.beginDate(), item.endDate()};
    switch (operation) {
    case kDMProjectViewDragOperation_MoveItem:
        step.begin = date;
        step.end = item.endDateWithBeginDateAndDurationWorkSlices(date, item.duration());
        break;
    case kDMProjectViewDragOperation_ChangeBegin:
        if (!(date < step.end))
            return std::nullopt;
        step.begin = date;
        break;
    case kDMProjectViewDragOperation_ChangeEnd:
        if (!(step.begin < date))
            return std::nullopt;
        step.end = date;
        break;
    default:
        return std::nullopt;
    }
    if (step.begin == item.beginDate() && step.end == item.endDate())
        return std::nullopt;
    return step;
}
