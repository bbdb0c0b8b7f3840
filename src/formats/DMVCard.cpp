#include "DMVCard.h"

QString DMVCard::preferredValue(const QList<Value> &values)
{
    const Value *best = nullptr;
    for (const Value &value : values)
        if (!value.text.isEmpty() && (!best || value.preference < best->preference))
            best = &value;
    return best ? best->text : QString();
}

QString DMVCard::personName() const
{
    QStringList parts;
    if (!givenName.trimmed().isEmpty())
        parts << givenName.trimmed();
    if (!familyName.trimmed().isEmpty())
        parts << familyName.trimmed();
    return parts.join(QLatin1Char(' '));
}
