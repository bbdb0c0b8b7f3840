#include "NBAPISerializer.h"

#include "NBJSON.h"
#include "NBWebItem.h"

namespace {

QString flagString(bool flag)
{
    return flag ? QStringLiteral("true") : QStringLiteral("false");
}

QVariantMap bookmark(const QUrl &url, const QString &name)
{
    return {{QStringLiteral("redirect_url"), QString::fromUtf8(url.toEncoded())}, {QStringLiteral("name"), name}};
}

} // namespace

QByteArray NBAPISerializer::accountWithEmailPasswordAcceptTerms(const QString &email, const QString &password,
                                                                bool acceptTerms)
{
    if (email.isEmpty() || password.isEmpty())
        return {};
    const QVariantMap user{{QStringLiteral("email"), email},
                           {QStringLiteral("password"), password},
                           {QStringLiteral("accept_tos"), acceptTerms}};
    return JSONDataFromDictionary({{QStringLiteral("user"), user}});
}

QByteArray NBAPISerializer::itemWithName(const QString &name)
{
    if (name.isEmpty())
        return {};
    return JSONDataFromDictionary({{QStringLiteral("item"), QVariantMap{{QStringLiteral("name"), name}}}});
}

QByteArray NBAPISerializer::itemWithPrivate(bool isPrivate)
{
    return JSONDataFromDictionary(
        {{QStringLiteral("item"), QVariantMap{{QStringLiteral("private"), flagString(isPrivate)}}}});
}

QByteArray NBAPISerializer::itemForRestore()
{
    return JSONDataFromDictionary(
        {{QStringLiteral("item"), QVariantMap{{QStringLiteral("deleted_at"), QVariant::fromValue(nullptr)}}},
         {QStringLiteral("deleted"), true}});
}

QByteArray NBAPISerializer::bookmarkWithURLName(const QUrl &url, const QString &name)
{
    if (url.isEmpty() || name.isEmpty())
        return {};
    return JSONDataFromDictionary({{QStringLiteral("item"), bookmark(url, name)}});
}

QByteArray NBAPISerializer::bookmarkWithURLNamePrivate(const QUrl &url, const QString &name, bool isPrivate)
{
    if (url.isEmpty() || name.isEmpty())
        return {};
    QVariantMap item = bookmark(url, name);
    item.insert(QStringLiteral("private"), flagString(isPrivate));
    return JSONDataFromDictionary({{QStringLiteral("item"), item}});
}

QByteArray NBAPISerializer::receiptWithBase64String(const QString &string)
{
    return JSONDataFromDictionary({{QStringLiteral("receipt-data"), string}});
}

QString NBAPISerializer::webItemTypeStringForType(qint64 type)
{
    return NBWebItemTypeString(type);
}

QByteArray NBAPISerializer::JSONDataFromDictionary(const QVariantMap &dictionary)
{
    return NBJSONDataWithValue(dictionary);
}

QByteArray NBAPISerializer::JSONDataFromArray(const QVariantList &array)
{
    return NBJSONDataWithValue(array);
}
