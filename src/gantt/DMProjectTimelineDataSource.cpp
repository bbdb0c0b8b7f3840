#include "DMProjectTimelineDataSource.h"

#include "DMEvent.h"
#include "DMProject.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMProjectViewDateGrid.h"
#include "DMTimelineView.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

DMDate dayOf(const DMDate &date)
{
    return DMDate::dateWithJulianDay(date.julianDay(), 0);
}

DMDate dateFromVariant(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<DMDate>())
        return value.value<DMDate>();
    return DMDate::dateWithDictionaryRepresentation(value);
}

int projectTimelineMode(const DMProject &project)
{
    const QVariant value = project.attribute(kDMProject_TimelineViewMode);
    bool ok = false;
    const int mode = value.toInt(&ok);
    return DMTimelineViewMode_clamped(ok ? mode : project.displayAttributes().timelineViewMode);
}

int projectFirstDayOfWeek(const DMProject &project)
{
    bool ok = false;
    const int day = project.attribute(kDMProject_Settings_FirstDayOfWeek).toInt(&ok);
    if (ok)
        return ((day % 7) + 7) % 7;
    return int(QLocale().firstDayOfWeek()) % 7; // Qt counts Monday 1 to Sunday 7
}

// Whether a milestone lies on the day: its diamond, centred on its date, would stick out past the
// chart's left edge were the day the first shown.
bool hasMilestoneOnDay(const DMProject &project, const DMDate &day)
{
    const DMDate nextDay = DMDate::dateWithJulianDay(day.julianDay() + 1, 0);
    const auto milestones = project.milestones();
    return std::any_of(milestones.begin(), milestones.end(),
                       [&](const auto &milestone) { return milestone->beginDate() < nextDay; });
}

} // namespace

// ---- Time spans ----

qint64 DMTimelineTimeSpan::dayCount() const
{
    if (!isValid())
        return 0;
    qint64 days = 0;
    qint64 seconds = 0;
    dayOf(begin).getIntervalToDateDaysSeconds(end, &days, &seconds);
    return seconds > 0 ? days + 1 : days;
}

QVariantMap DMTimelineTimeSpan::dictionary() const
{
    return QVariantMap{{kDMTimeSpanBegin, QVariant::fromValue(begin)}, {kDMTimeSpanEnd, QVariant::fromValue(end)}};
}

DMTimelineTimeSpan DMTimelineTimeSpan::fromDictionary(const QVariant &value)
{
    const QVariantMap map = value.toMap();
    return DMTimelineTimeSpan{dateFromVariant(map.value(kDMTimeSpanBegin)), dateFromVariant(map.value(kDMTimeSpanEnd))};
}

DMTimelineTimeSpan DMProjectTimelineDataSource_effectiveProjectTimeSpan(const DMProject &project, const DMDate &today)
{
    DMDate begin = project.effectiveBeginDate();
    DMDate end = project.effectiveEndDate();
    if (begin.isNull())
        begin = today.isNull() ? DMDate::dateForNow() : today;
    if (end.isNull() || end < begin)
        end = begin;
    return DMTimelineTimeSpan{dayOf(begin), DMDate::dateWithJulianDay(end.julianDay() + 7, 0)};
}

DMTimelineTimeSpan DMProjectTimelineDataSource_shownTimeSpan(const DMProject &project, const DMDate &today)
{
    const QString key = projectTimelineMode(project) == kDMTimelineViewMode_WholeProject
        ? kDMProject_TimelineViewCustomTimeSpan
        : kDMProject_TimelineViewTimeSpan;
    const DMTimelineTimeSpan stored = DMTimelineTimeSpan::fromDictionary(project.attribute(key));
    if (stored.isValid())
        return stored;
    // A bar beginning on the first day shows whole from the left edge on; a milestone there gets
    // the day before as room for its diamond.
    DMTimelineTimeSpan span = DMProjectTimelineDataSource_effectiveProjectTimeSpan(project, today);
    if (hasMilestoneOnDay(project, span.begin))
        span.begin = DMDate::dateWithJulianDay(span.begin.julianDay() - 1, 0);
    return span;
}

DMTimelineTimeSpan DMProjectTimelineDataSource_timeSpanForModeContainingDate(int mode, const DMDate &date,
                                                                             int firstDayOfWeek)
{
    if (date.isNull())
        return {};
    switch (mode) {
    case kDMTimelineViewMode_Day:
        return {dayOf(date), DMDate::dateWithJulianDay(date.julianDay() + 1, 0)};
    case kDMTimelineViewMode_Week: {
        const DMDate begin = DMTimelineColumnCache::beginningOfWeek(date, firstDayOfWeek);
        return {begin, DMDate::dateWithJulianDay(begin.julianDay() + 7, 0)};
    }
    case kDMTimelineViewMode_Month: {
        const DMDate begin(date.year(), date.month(), 1, 0);
        return {begin, begin.dateByAddingYearsMonthsDaysHoursMinutesSeconds(0, 1, 0, 0, 0, 0)};
    }
    case kDMTimelineViewMode_Year: {
        const DMDate begin(date.year(), 1, 1, 0);
        return {begin, begin.dateByAddingYearsMonthsDaysHoursMinutesSeconds(1, 0, 0, 0, 0, 0)};
    }
    default:
        return {};
    }
}

// ---- Data source ----

DMProjectTimelineDataSource::DMProjectTimelineDataSource(std::weak_ptr<DMProject> project)
    : m_project(std::move(project)), m_now([] { return DMDate::dateForNow(); })
{
}

void DMProjectTimelineDataSource::setProject(std::weak_ptr<DMProject> project)
{
    m_project = std::move(project);
    m_cache = DMTimelineColumnCache();
}

void DMProjectTimelineDataSource::setDateForNowProvider(std::function<DMDate()> provider)
{
    m_now = provider ? std::move(provider) : [] { return DMDate::dateForNow(); };
}

int DMProjectTimelineDataSource::timelineMode() const
{
    const auto project = m_project.lock();
    return project ? projectTimelineMode(*project) : kDMTimelineViewMode_Day;
}

DMTimelineColumnCacheInputs DMProjectTimelineDataSource::currentInputs(const DMProject &project) const
{
    const DMProject_DisplayAttributes &attributes = project.displayAttributes();
    DMTimelineColumnCacheInputs inputs;
    inputs.mode = projectTimelineMode(project);
    // The canvas's span is the one truth for where the columns lie; the stored settings stand
    // in until the document has laid the canvas out.
    DMTimelineTimeSpan span{attributes.timeSpanBeginDate, attributes.timeSpanEndDate};
    if (!span.isValid())
        span = DMProjectTimelineDataSource_shownTimeSpan(project, m_now());
    inputs.firstDay = span.begin;
    inputs.dayCount = int(std::min<qint64>(span.dayCount(), INT_MAX));
    inputs.dayViewBeginMinute = attributes.dayViewBeginMinute;
    inputs.dayViewEndMinute = attributes.dayViewEndMinute;
    inputs.firstDayOfWeek = projectFirstDayOfWeek(project);
    inputs.weekFormat = project.attribute(kDMProject_Settings_WeekFormat).toInt();
    inputs.locale = QLocale();
    return inputs;
}

const DMTimelineColumnCache &DMProjectTimelineDataSource::columnCache()
{
    if (const auto project = m_project.lock())
        m_cache.rebuild(currentInputs(*project));
    else
        m_cache.rebuild(DMTimelineColumnCacheInputs());
    return m_cache;
}

float DMProjectTimelineDataSource::columnWidth()
{
    const auto project = m_project.lock();
    if (!project)
        return 0.0f;
    return DMProjectViewDateGrid(project->displayAttributes()).columnWidth(timelineMode() == kDMTimelineViewMode_Day);
}

bool DMProjectTimelineDataSource::isBandClickable(int band) const
{
    const int mode = timelineMode();
    switch (band) {
    case DMTimelineView::ColumnBand:
        return mode != kDMTimelineViewMode_Day;
    case DMTimelineView::WeekBand:
        return mode != kDMTimelineViewMode_Week;
    case DMTimelineView::MonthBand:
        return mode != kDMTimelineViewMode_Month;
    default:
        return false;
    }
}

int DMProjectTimelineDataSource::modeForTimeLineView(DMTimelineView *)
{
    return timelineMode();
}

void DMProjectTimelineDataSource::timeLineViewTotalColumnsGetMinColumnMinColumnMinXMaxColumnMaxColumnMaxX(
    DMTimelineView *view, int *totalColumns, int *minColumn, double *minColumnMinX, int *maxColumn,
    double *maxColumnMaxX)
{
    const int total = columnCache().columnCount();
    const double w = columnWidth();
    int first = 0;
    int last = -1;
    if (total > 0 && w > 0) {
        const QRectF visible = view ? view->visibleRect() : QRectF(0, 0, total * w, 0);
        if (visible.right() > 0 && visible.left() < total * w) {
            first = int(std::clamp(std::floor(visible.left() / w), 0.0, double(total - 1)));
            last = int(std::clamp(std::ceil(visible.right() / w) - 1, double(first), double(total - 1)));
        }
    }
    if (totalColumns)
        *totalColumns = total;
    if (minColumn)
        *minColumn = first;
    if (minColumnMinX)
        *minColumnMinX = first * w;
    if (maxColumn)
        *maxColumn = last;
    if (maxColumnMaxX)
        *maxColumnMaxX = (last + 1) * w;
}

int DMProjectTimelineDataSource::timeLineViewGetSelectedColumn(DMTimelineView *)
{
    return columnCache().columnForDate(m_now());
}

float DMProjectTimelineDataSource::columnWidthForTimeLineView(DMTimelineView *)
{
    return columnWidth();
}

QString DMProjectTimelineDataSource::timeLineViewTitleForColumn(DMTimelineView *, int column)
{
    return columnCache().titleForColumn(column);
}

void DMProjectTimelineDataSource::timeLineViewBeginMinuteForDayViewEndMinute(DMTimelineView *, int *beginMinute,
                                                                             int *endMinute)
{
    const auto project = m_project.lock();
    const int begin = project ? project->displayAttributes().dayViewBeginMinute : 0;
    const int end = project ? project->displayAttributes().dayViewEndMinute : 1440;
    if (beginMinute)
        *beginMinute = end > begin ? begin : 0;
    if (endMinute)
        *endMinute = end > begin ? end : 1440;
}

std::shared_ptr<OCVColumnGroup> DMProjectTimelineDataSource::timeLineViewWeekGroupForColumn(DMTimelineView *, int column)
{
    return columnCache().weekGroupForColumn(column);
}

std::shared_ptr<OCVColumnGroup> DMProjectTimelineDataSource::timeLineViewMonthGroupForColumn(DMTimelineView *, int column)
{
    return columnCache().monthGroupForColumn(column);
}

bool DMProjectTimelineDataSource::timeLineViewMouseDown(DMTimelineView *view, const DMEvent &event)
{
    if (!view || event.type() != DMEvent::LeftMouseDown)
        return false;
    const QPointF inView = view->mapFrom(view->window(), event.locationInWindow());
    return changeScaleForClickAtPoint(DMTimelineView::fromQtPoint(inView, view->height()), view->bounds(),
                                      view->visibleRect().width());
}

bool DMProjectTimelineDataSource::timeLineViewMouseUp(DMTimelineView *, const DMEvent &)
{
    return false;
}

bool DMProjectTimelineDataSource::setupCursorRectForTimeLineView(DMTimelineView *view)
{
    if (!view || !m_project.lock())
        return false;
    const QRectF visible = view->visibleRect();
    for (DMTimelineView::Band band : {DMTimelineView::ColumnBand, DMTimelineView::WeekBand, DMTimelineView::MonthBand}) {
        if (!isBandClickable(band))
            continue;
        QRectF rect = DMTimelineView::bandRect(band, view->bounds());
        rect.setLeft(std::max(rect.left(), visible.left()));
        rect.setRight(std::min(rect.right(), visible.right()));
        if (rect.width() > 0)
            view->addCursorRect(rect, Qt::PointingHandCursor);
    }
    return true;
}

bool DMProjectTimelineDataSource::changeScaleForClickAtPoint(const QPointF &point, const QRectF &bounds,
                                                             double visibleWidth)
{
    const auto project = m_project.lock();
    if (!project)
        return false;
    const DMTimelineView::Band band = DMTimelineView::bandAtPoint(point, bounds);
    if (band == DMTimelineView::NoBand || !isBandClickable(band))
        return false;
    const DMTimelineColumnCache &cache = columnCache();
    const double w = columnWidth();
    const int total = cache.columnCount();
    if (total == 0 || !(w > 0))
        return false;
    const int column = int(std::clamp(std::floor(point.x() / w), 0.0, double(total - 1)));
    const int mode = band == DMTimelineView::ColumnBand ? kDMTimelineViewMode_Day
        : band == DMTimelineView::WeekBand               ? kDMTimelineViewMode_Week
                                                         : kDMTimelineViewMode_Month;
    const DMTimelineTimeSpan span = DMProjectTimelineDataSource_timeSpanForModeContainingDate(
        mode, cache.dayForColumn(column), projectFirstDayOfWeek(*project));
    if (!span.isValid())
        return false;
    const float fitting = float(visibleWidth / double(span.dayCount()));
    const float pixelsPerDay = visibleWidth > 0 ? std::max(DMProjectViewDateGrid::kMinimumPixelsPerDay, fitting)
                                                : project->displayAttributes().pixelsPerDay;
    // The mode goes last: the document relays out on each change and the mode completes the set.
    project->setAttribute(kDMProject_TimelineViewTimeSpan, span.dictionary());
    project->setAttribute(kDMProject_TimelineViewPixelsPerDay, QVariant::fromValue(pixelsPerDay));
    project->setAttribute(kDMProject_TimelineViewMode, mode);
    return true;
}
