#pragma once

#include "DMDate.h"
#include "DMReportHTML.h"

#include <QString>

#include <functional>

// What a report shows, as the controls of its page say: which report, the optional columns,
// and for a grouped report the resource or process and the dates its rows lie within. The report
// controller reads its page into one of these; DMReportBuilder builds from it and the project.
struct DMReportOptions
{
    enum class Kind { Global, TasksByResource, TasksByProcess };

    Kind kind = Kind::Global;
    DMReportColumns columns;
    // Grouped reports: the object ID of the resource or process reported on (0: none).
    quint64 chosenObjectID = 0;
    // Grouped reports: the items listed begin and end within these dates, both included; a
    // null date stands for the project's own begin or end.
    DMDate begin;
    DMDate end;
};

// How the document writes values in a report, and its report preferences.
struct DMReportFormat
{
    // Money as the user reads it (the document's currency formatter).
    std::function<QString(double)> currency;
    // The same amount for files: independent of the user's locale, without grouping.
    std::function<QString(double)> fileCurrency;
    std::function<QString(const DMDate &)> calendarDate;
    std::function<QString(const DMDate &)> timeOfDay;
    // "#RRGGBB" of the header rows (DMReport_headerColorText) and the logo's path (empty: none).
    QString headerColorText = QStringLiteral("#000000");
    QString logoPath;

    // "<date> <time of day>", as the rows show a begin or an end.
    QString dateAndTime(const DMDate &date) const { return calendarDate(date) + QLatin1Char(' ') + timeOfDay(date); }
};
