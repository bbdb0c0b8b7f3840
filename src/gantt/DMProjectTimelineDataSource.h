#pragma once

#include "DMDate.h"
#include "DMTimelineColumnCache.h"
#include "DMTimelineViewDataSource.h"

#include <QVariantMap>

#include <functional>
#include <memory>

class DMProject;

// A span of dates, as stored under kDMProject_TimelineView(Custom)TimeSpan.
struct DMTimelineTimeSpan
{
    DMDate begin;
    DMDate end;

    bool isValid() const { return !begin.isNull() && !end.isNull() && begin < end; }
    // Whole days from begin to end, a part day counting as one.
    qint64 dayCount() const;
    QVariantMap dictionary() const; // {kDMTimeSpanBegin, kDMTimeSpanEnd}
    static DMTimelineTimeSpan fromDictionary(const QVariant &value);
    bool operator==(const DMTimelineTimeSpan &other) const { return begin == other.begin && end == other.end; }
};

// The project's dates widened over every task and event, from the first day at 00:00 to 7 days
// after the last day at 00:00. A project without any date starts on the given day.
DMTimelineTimeSpan DMProjectTimelineDataSource_effectiveProjectTimeSpan(const DMProject &project,
                                                                        const DMDate &today = DMDate::dateForNow());
// The span the timeline shows: the custom span in the whole-project mode, the stored span
// in the other modes, the effective span when the stored one is missing or empty (from the day
// before when a milestone lies on its first day, so that the diamond is not cut).
DMTimelineTimeSpan DMProjectTimelineDataSource_shownTimeSpan(const DMProject &project,
                                                             const DMDate &today = DMDate::dateForNow());
// The day, week, month or year holding the date, by DMTimelineViewMode; invalid for the
// whole-project mode.
DMTimelineTimeSpan DMProjectTimelineDataSource_timeSpanForModeContainingDate(int mode, const DMDate &date,
                                                                             int firstDayOfWeek);

// The timeline header's data source for one project, owned by the project's document. The
// columns follow the canvas: column 0 starts at the display attributes' timeSpanBeginDate and
// is pixelsPerDay wide (a quarter hour of the day window in the day scale). A click on a band
// changes the scale through the project settings, on which the document relays out.
class DMProjectTimelineDataSource : public DMTimelineView_DataSource
{
public:
    explicit DMProjectTimelineDataSource(std::weak_ptr<DMProject> project = {});

    std::shared_ptr<DMProject> project() const { return m_project.lock(); }
    void setProject(std::weak_ptr<DMProject> project);
    // "Now" for the selected column; the clock unless a test sets another.
    void setDateForNowProvider(std::function<DMDate()> provider);

    // The project's timeline mode (kDMProject_TimelineViewMode, a DMTimelineViewMode).
    int timelineMode() const;
    // The cache for the project's current settings, rebuilt when they changed.
    const DMTimelineColumnCache &columnCache();
    // The bands a click changes the scale from, in the current mode.
    bool isBandClickable(int band) const;

    int modeForTimeLineView(DMTimelineView *view) override;
    void timeLineViewTotalColumnsGetMinColumnMinColumnMinXMaxColumnMaxColumnMaxX(DMTimelineView *view, int *totalColumns,
                                                                               int *minColumn, double *minColumnMinX,
                                                                               int *maxColumn, double *maxColumnMaxX) override;
    int timeLineViewGetSelectedColumn(DMTimelineView *view) override;
    float columnWidthForTimeLineView(DMTimelineView *view) override;
    QString timeLineViewTitleForColumn(DMTimelineView *view, int column) override;
    void timeLineViewBeginMinuteForDayViewEndMinute(DMTimelineView *view, int *beginMinute, int *endMinute) override;
    std::shared_ptr<OCVColumnGroup> timeLineViewWeekGroupForColumn(DMTimelineView *view, int column) override;
    std::shared_ptr<OCVColumnGroup> timeLineViewMonthGroupForColumn(DMTimelineView *view, int column) override;
    // A left click on the column band shows that day, on the week band that week, on the month
    // band that month.
    bool timeLineViewMouseDown(DMTimelineView *view, const DMEvent &event) override;
    bool timeLineViewMouseUp(DMTimelineView *view, const DMEvent &event) override;
    // Pointing-hand rectangles over the visible part of every clickable band.
    bool setupCursorRectForTimeLineView(DMTimelineView *view) override;

    // The change of scale for a click at a point of the header (y up); false when the click
    // changes nothing.
    bool changeScaleForClickAtPoint(const QPointF &point, const QRectF &bounds, double visibleWidth);

private:
    float columnWidth();
    DMTimelineColumnCacheInputs currentInputs(const DMProject &project) const;

    std::weak_ptr<DMProject> m_project;
    std::function<DMDate()> m_now;
    DMTimelineColumnCache m_cache;
};
