#pragma once

#include <QString>
#include <QStringList>

class DMDate;

// The pieces of the CSV export: every field in double quotes with its inner quotes doubled
// (numbers and dates too), fields separated by commas, lines ended by CR LF as spreadsheet
// programs expect.
QString DMCSV_field(const QString &text);
QString DMCSV_line(const QStringList &fields);
// "YYYY-MM-DD HH:MM:SS" of the date as it stands (no time zone, no locale); empty for no date.
QString DMCSV_dateText(const DMDate &date);
