#pragma once

#include "DMDate.h"
#include "DMProjectEnums.h"
#include "OCVColumnGroup.h"

#include <QList>
#include <QLocale>
#include <QString>

#include <memory>

// What the timeline's columns depend on; the cache is rebuilt only when these change.
struct DMTimelineColumnCacheInputs
{
    int mode = kDMTimelineViewMode_WholeProject; // a DMTimelineViewMode
    DMDate firstDay;          // the day of column 0 (the shown day in the day scale)
    int dayCount = 0;         // days shown in the other scales
    int dayViewBeginMinute = 0;
    int dayViewEndMinute = 1440;
    int firstDayOfWeek = 1;   // 0 = Sunday
    int weekFormat = 0;       // see DMTimelineColumnCache::minimumDaysInFirstWeek
    QLocale locale;

    bool operator==(const DMTimelineColumnCacheInputs &other) const;
};

// The titles and the week and month groups of every timeline column. In the day scale the
// columns are the quarter hours of the day window, the week band holds the week of the shown day
// and the month band one group naming the day; in the other scales there is one column per day,
// grouped by week and by month. Every column of a group shares the group's object. Each group
// also carries shorter forms of its title for the header to show where the title does not fit.
class DMTimelineColumnCache
{
public:
    void rebuild(const DMTimelineColumnCacheInputs &inputs);
    const DMTimelineColumnCacheInputs &inputs() const { return m_inputs; }

    int columnCount() const { return int(m_titles.size()); }
    QString titleForColumn(int column) const;
    std::shared_ptr<OCVColumnGroup> weekGroupForColumn(int column) const;
    std::shared_ptr<OCVColumnGroup> monthGroupForColumn(int column) const;
    // The column showing the date (its quarter hour in the day scale), or -1.
    int columnForDate(const DMDate &date) const;
    // The day a column belongs to (the shown day in the day scale); null outside the columns.
    DMDate dayForColumn(int column) const;

    // Week formats: 0 the first week has at least four days of the year (as in ISO 8601),
    // 1 the first week holds January 1st, 2 the first week is the first full week.
    static int minimumDaysInFirstWeek(int weekFormat);
    // Week of the year of a date, weeks starting on firstDayOfWeek (0 = Sunday).
    static int weekOfYear(const DMDate &date, int firstDayOfWeek, int weekFormat);
    // The first day (00:00) of the week holding the date.
    static DMDate beginningOfWeek(const DMDate &date, int firstDayOfWeek);
    // Each word's first letter upper case, the rest lower case.
    static QString capitalized(const QString &text, const QLocale &locale);

private:
    void rebuildDayScale();
    void rebuildDayColumns();
    // The week holding the date, over those columns: "Week %d", or its number alone.
    std::shared_ptr<OCVColumnGroup> weekGroup(const DMDate &date, int beginColumn, int endColumn) const;

    DMTimelineColumnCacheInputs m_inputs;
    bool m_built = false;
    QList<QString> m_titles;
    QList<std::shared_ptr<OCVColumnGroup>> m_weekGroups;
    QList<std::shared_ptr<OCVColumnGroup>> m_monthGroups;
};
