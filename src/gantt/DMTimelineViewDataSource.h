#pragma once

#include "DMProjectEnums.h"

#include <QString>

#include <memory>

class DMEvent;
class DMTimelineView;
class OCVColumnGroup;

// What the timeline header asks of its data source. Every function has a default meaning
// "not handled": no columns, no titles, no groups, the whole day as the day window, and
// mouse and cursor calls ignored (they return false).
class DMTimelineView_DataSource
{
public:
    virtual ~DMTimelineView_DataSource() = default;

    // The scale, a DMTimelineViewMode (the day scale's columns are quarter hours of the day window).
    virtual int modeForTimeLineView(DMTimelineView *) { return kDMTimelineViewMode_Day; }
    // The column count, and the first and last columns in view with the x of the first one's
    // left edge and of the last one's right edge (view coordinates). Null pointers are skipped.
    virtual void timeLineViewTotalColumnsGetMinColumnMinColumnMinXMaxColumnMaxColumnMaxX(
        DMTimelineView *, int *totalColumns, int *minColumn, double *minColumnMinX, int *maxColumn,
        double *maxColumnMaxX)
    {
        if (totalColumns)
            *totalColumns = 0;
        if (minColumn)
            *minColumn = 0;
        if (minColumnMinX)
            *minColumnMinX = 0.0;
        if (maxColumn)
            *maxColumn = -1;
        if (maxColumnMaxX)
            *maxColumnMaxX = 0.0;
    }
    // The column of "now", or -1.
    virtual int timeLineViewGetSelectedColumn(DMTimelineView *) { return -1; }
    virtual float columnWidthForTimeLineView(DMTimelineView *) { return 0.0f; }
    virtual QString timeLineViewTitleForColumn(DMTimelineView *, int) { return QString(); }
    // Minutes from midnight of the day window.
    virtual void timeLineViewBeginMinuteForDayViewEndMinute(DMTimelineView *, int *beginMinute, int *endMinute)
    {
        if (beginMinute)
            *beginMinute = 0;
        if (endMinute)
            *endMinute = 1440;
    }
    virtual std::shared_ptr<OCVColumnGroup> timeLineViewWeekGroupForColumn(DMTimelineView *, int) { return nullptr; }
    virtual std::shared_ptr<OCVColumnGroup> timeLineViewMonthGroupForColumn(DMTimelineView *, int) { return nullptr; }

    // Optional: true when handled.
    virtual bool timeLineViewMouseDown(DMTimelineView *, const DMEvent &) { return false; }
    virtual bool timeLineViewMouseUp(DMTimelineView *, const DMEvent &) { return false; }
    virtual bool setupCursorRectForTimeLineView(DMTimelineView *) { return false; }
};
