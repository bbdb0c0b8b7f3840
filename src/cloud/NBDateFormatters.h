#pragma once

#include <QDateTime>
#include <QString>

// The service's two date formats, read in GMT whatever the user's locale and time zone. Only the
// exact form is accepted: anything else (no trailing "Z", fractional seconds, a day that does not
// exist) gives an invalid QDateTime.

// "yyyy-MM-dd'T'HH:mm:ss'Z'": the dates of items.
QDateTime NBItemDateFromString(const QString &string);

// "yyyy-MM-dd": the end of an account's subscription, at midnight GMT.
QDateTime NBDayDateFromString(const QString &string);
