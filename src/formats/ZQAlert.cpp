#include "ZQAlert.h"

#include "DMKeyedUnarchiver.h"

void ZQAlert::initWithCoder(const DMArchiveCoder &coder)
{
    m_alertName = coder.decodeStringForKey(QStringLiteral("alert name"));
    m_alertStartHour = coder.decodeDateForKey(QStringLiteral("alert start hour"));
    m_alertEndHour = coder.decodeDateForKey(QStringLiteral("alert end hour"));
}
