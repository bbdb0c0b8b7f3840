#include "DMWallClock.h"

namespace {

QDateTime &fixedNow()
{
    static QDateTime fixed;
    return fixed;
}

} // namespace

QDateTime DMWallClock::now()
{
    const QDateTime &fixed = fixedNow();
    return fixed.isValid() ? fixed : QDateTime::currentDateTime();
}

void DMWallClock::setFixedNow(const QDateTime &now)
{
    fixedNow() = now;
}
