#pragma once

#include <QDateTime>
#include <QUrl>
#include <QVariantMap>

// Keyed archives of the service's records, in property-list types: only set values are written
// (a property list has no null), URLs as their encoded strings, and reading gives an empty value
// for an absent key or a value of the wrong type.
namespace NBArchiving {

void setURL(QVariantMap &archive, const QString &key, const QUrl &url);
void setString(QVariantMap &archive, const QString &key, const QString &string);
void setDate(QVariantMap &archive, const QString &key, const QDateTime &date);

QUrl url(const QVariantMap &archive, const QString &key);
QDateTime date(const QVariantMap &archive, const QString &key);

} // namespace NBArchiving
