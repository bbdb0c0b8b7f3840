#pragma once

#include "DMDate.h"

#include <QString>
#include <QStringView>

// The value forms of MS Project XML files: dates, times of day, ISO 8601 durations and the
// lenient number readings of the importer.

// dateWithMSProjectFormat: "YYYY-MM-DDTHH:MM:SS" (seconds may carry a fraction, which is
// dropped). Any other shape, and a field outside its range (month 13, day 32, hour 25), gives a
// null date rather than a date carried into the next month or day.
DMDate DMDate_dateWithMSProjectFormat(QStringView text);
// MSProjectFormatString: "%d-%.2d-%.2dT%.2d:%.2d:%.2d".
QString DMDate_MSProjectFormatString(const DMDate &date);

// MSXMLTimeSpanReader: an ISO 8601 duration such as "PT7H30M0S", "P2DT4H" or "PT0.5H" (a
// fraction is that part of its unit, carried into the smaller units: a fraction of a year into
// months, of a month into 30-day months' days, of a day or time into seconds). Years, months
// and days are calendar units; the time parts come back normalized into hours, minutes and
// seconds. False, with the outputs zero, for text that is not such a duration (no "P", an
// unknown letter, a number without its unit, a negative or absurdly large value).
bool MSXMLTimeSpanReader(QStringView text, int *years, int *months, int *days, int *hours, int *minutes,
                         int *seconds);
// "PT%dH%dM%dS" of a number of seconds.
QString MSXMLDurationString(qint64 seconds);

// MSXMLTimeFormatToSecondOfDay: "HH:MM:SS" (or "HH:MM", "HH") as seconds since midnight; "24:00:00"
// is 86400, the end of the day. An empty text gives 0; a malformed one, or a field out of range
// (25:00, 10:61), gives -1.
int MSXMLTimeFormatToSecondOfDay(QStringView text);

// The leading number of the text, as the importer reads integers and reals: leading white space,
// an optional sign and the digits that follow; absent or non-numeric text gives 0. Integers
// saturate at the 32-bit range.
int MSXMLLenientInteger(QStringView text);
double MSXMLLenientDouble(QStringView text);

// A number as a file writes it: a decimal point whatever the locale, at most `decimals` places,
// no trailing zeros ("12.5", "40").
QString MSXMLDecimalText(double value, int decimals = 6);

// Amounts of money (Cost, FixedCost, CostPerUse and the like) are hundredths of the currency
// unit in the format: "150000" is 1,500.00. The amount of a value, and the value of an amount.
double MSXMLAmount(QStringView text);
QString MSXMLAmountText(double amount);

// Rates are per hour in the format, whatever unit they are shown in. The text of a rate per hour
// (StandardRate), with the decimals that bring a rate per day back whole; the rate per hour of
// an amount per day of dayHours working hours; and the amount per day of a rate per hour, in
// millionths of the unit, so that what the rate's decimals could not hold (1,000 a day over 9
// hours) is taken away.
QString MSXMLRateText(double ratePerHour);
double MSXMLRatePerHour(double amountPerDay, double dayHours);
double MSXMLAmountPerDay(double ratePerHour, double dayHours);

// Text as element content of a written file: characters XML cannot carry become U+FFFD, markup
// characters and every character above U+009F become references, a carriage return a reference.
QString MSXMLText(const QString &text);

// The processing instruction that a resource element of our files carries when the resource is
// paid a fixed amount per task: the format has no such kind (its cost per use holds the amount),
// and an amount of 0 would otherwise read back as an hourly rate of 0. Other readers pass over it.
inline constexpr char kMSXMLCostKindInstruction[] = "halcyra-cost-kind";
inline constexpr char kMSXMLCostKindPerTask[] = "per-task";
// The processing instruction of our files' Project element that carries the project's budget,
// an amount in the currency's units, which the format has no field for.
inline constexpr char kMSXMLBudgetInstruction[] = "halcyra-budget";
