#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QVariantList>
#include <QVariantMap>

// Writes the JSON bodies of the service's requests as UTF-8 text. Stateless; an operation gives
// an empty array when a required value is missing (null or empty).
class NBAPISerializer
{
public:
    // {"user": {"email", "password", "accept_tos": JSON boolean}}
    static QByteArray accountWithEmailPasswordAcceptTerms(const QString &email, const QString &password,
                                                          bool acceptTerms);
    // {"item": {"name"}}
    static QByteArray itemWithName(const QString &name);
    // {"item": {"private": "true" or "false"}}: the service takes the flag as a string here.
    static QByteArray itemWithPrivate(bool isPrivate);
    // {"item": {"deleted_at": null}, "deleted": true}
    static QByteArray itemForRestore();
    // {"item": {"redirect_url": the URL's absolute string, "name"}}, with "private" as a string in
    // the second form.
    static QByteArray bookmarkWithURLName(const QUrl &url, const QString &name);
    static QByteArray bookmarkWithURLNamePrivate(const QUrl &url, const QString &name, bool isPrivate);
    // {"receipt-data": the string}
    static QByteArray receiptWithBase64String(const QString &string);

    // Not JSON: the type's string in the service's JSON ("unknown" for the unknown and all types).
    static QString webItemTypeStringForType(qint64 type);

    // The JSON text of a dictionary or an array; empty when it holds a value JSON cannot carry.
    static QByteArray JSONDataFromDictionary(const QVariantMap &dictionary);
    static QByteArray JSONDataFromArray(const QVariantList &array);
};
