#pragma once

#include <QDate>
#include <QDateTime>

// The local date and time the application takes as now: the system's, unless a test fixes it, so
// that what the application does with today (a new day off, the month a calendar opens on) is
// the same on any day.
class DMWallClock
{
public:
    static QDateTime now();
    static QDate today() { return now().date(); }
    // An invalid date and time gives the system's clock back.
    static void setFixedNow(const QDateTime &now);
};
