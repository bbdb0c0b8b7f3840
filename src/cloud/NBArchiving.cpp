#include "NBArchiving.h"

#include "DMDictionaryAccess.h"

namespace NBArchiving {

void setURL(QVariantMap &archive, const QString &key, const QUrl &url)
{
    if (!url.isEmpty())
        archive.insert(key, QString::fromLatin1(url.toEncoded()));
}

void setString(QVariantMap &archive, const QString &key, const QString &string)
{
    if (!string.isNull())
        archive.insert(key, string);
}

void setDate(QVariantMap &archive, const QString &key, const QDateTime &date)
{
    if (date.isValid())
        archive.insert(key, date.toUTC());
}

QUrl url(const QVariantMap &archive, const QString &key)
{
    const QString string = stringForKey(archive, key);
    return string.isEmpty() ? QUrl() : QUrl::fromEncoded(string.toLatin1(), QUrl::StrictMode);
}

QDateTime date(const QVariantMap &archive, const QString &key)
{
    const QVariant value = archive.value(key);
    return value.metaType().id() == QMetaType::QDateTime ? value.toDateTime().toUTC() : QDateTime();
}

} // namespace NBArchiving
