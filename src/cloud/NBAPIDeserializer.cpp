#include "NBAPIDeserializer.h"

#include "DMDictionaryAccess.h"
#include "NBDateFormatters.h"
#include "NBJSON.h"
#include "NBMimeType.h"
#include "NBPOSTBody.h"
#include "NBUnicodeURL.h"

namespace {

QUrl urlForKey(const QVariantMap &dictionary, const QString &key)
{
    return NBURLWithString(stringForKey(dictionary, key));
}

QUrl unicodeURLForKey(const QVariantMap &dictionary, const QString &key)
{
    return NBURLWithUnicodeString(stringForKey(dictionary, key));
}

QDateTime itemDateForKey(const QVariantMap &dictionary, const QString &key)
{
    return NBItemDateFromString(stringForKey(dictionary, key));
}

std::optional<QVariantMap> objectForKey(const QVariantMap &dictionary, const QString &key)
{
    const QVariant value = dictionary.value(key);
    if (value.metaType().id() != QMetaType::QVariantMap)
        return std::nullopt;
    return value.toMap();
}

} // namespace

std::optional<QVariantMap> NBAPIDeserializer::dictionaryFromJSONData(const QByteArray &data)
{
    const std::optional<QVariant> value = NBJSONValueWithData(data);
    if (!value || value->metaType().id() != QMetaType::QVariantMap)
        return std::nullopt;
    return value->toMap();
}

std::optional<QVariantList> NBAPIDeserializer::arrayFromJSONData(const QByteArray &data)
{
    const std::optional<QVariant> value = NBJSONValueWithData(data);
    if (!value || value->metaType().id() != QMetaType::QVariantList)
        return std::nullopt;
    return value->toList();
}

std::optional<NBAccount> NBAPIDeserializer::accountWithJSONDictionaryData(const QByteArray &data)
{
    const std::optional<QVariantMap> dictionary = dictionaryFromJSONData(data);
    if (!dictionary)
        return std::nullopt;
    return accountWithAPIDictionary(*dictionary);
}

std::optional<NBWebItem> NBAPIDeserializer::webItemWithJSONDictionaryData(const QByteArray &data)
{
    const std::optional<QVariantMap> dictionary = dictionaryFromJSONData(data);
    if (!dictionary)
        return std::nullopt;
    return webItemWithAPIDictionary(*dictionary);
}

std::shared_ptr<NBSocket> NBAPIDeserializer::socketWithJSONDictionaryData(const QByteArray &data)
{
    const std::optional<QVariantMap> dictionary = dictionaryFromJSONData(data);
    if (!dictionary)
        return nullptr;
    return socketWithJSONDictionary(*dictionary);
}

std::optional<QList<NBWebItem>> NBAPIDeserializer::webItemArrayWithJSONArrayData(const QByteArray &data)
{
    const std::optional<QVariantList> array = arrayFromJSONData(data);
    if (!array)
        return std::nullopt;
    return webItemArrayWithAPIArray(*array);
}

std::optional<QVariantList> NBAPIDeserializer::productsWithJSONArrayData(const QByteArray &data)
{
    return arrayFromJSONData(data);
}

NBAccount NBAPIDeserializer::accountWithAPIDictionary(const QVariantMap &dictionary)
{
    NBAccount account(stringForKey(dictionary, QStringLiteral("email")));
    account.setDomain(unicodeURLForKey(dictionary, QStringLiteral("domain")));
    account.setDomainHomePage(unicodeURLForKey(dictionary, QStringLiteral("domain_home_page")));
    account.setUploadsArePrivate(boolForKey(dictionary, QStringLiteral("private_items")));
    account.setType(boolForKey(dictionary, QStringLiteral("subscribed")) ? 1 : 0);
    account.setSubscriptionExpiresAt(
        NBDayDateFromString(stringForKey(dictionary, QStringLiteral("subscription_expires_at"))));
    account.setAlphaUser(boolForKey(dictionary, QStringLiteral("alpha")));
    if (const std::optional<QVariantMap> socket = objectForKey(dictionary, QStringLiteral("socket")))
        account.setSocket(socketWithJSONDictionary(*socket));
    return account;
}

std::shared_ptr<NBSocket> NBAPIDeserializer::socketWithJSONDictionary(const QVariantMap &dictionary)
{
    auto socket = std::make_shared<NBSocket>();
    socket->setAPIKey(stringForKey(dictionary, QStringLiteral("api_key")));
    socket->setAppID(integerForKey(dictionary, QStringLiteral("app_id")));
    socket->setAuthURL(urlForKey(dictionary, QStringLiteral("auth_url")));
    socket->setChannels(objectForKey(dictionary, QStringLiteral("channels")));
    return socket;
}

NBWebItem NBAPIDeserializer::webItemWithAPIDictionary(const QVariantMap &dictionary)
{
    NBWebItem item(stringForKey(dictionary, QStringLiteral("name")),
                   webItemTypeForTypeString(stringForKey(dictionary, QStringLiteral("item_type"))),
                   longLongForKey(dictionary, QStringLiteral("view_counter")));
    if (item.type() != NBWebItemTypeBookmark) {
        item.setRemoteURL(urlForKey(dictionary, QStringLiteral("remote_url")));
    } else {
        item.setRemoteURL(unicodeURLForKey(dictionary, QStringLiteral("redirect_url")));
        if (item.name().isEmpty() && !item.remoteURL().isEmpty())
            item.setName(NBUnicodeAbsoluteString(item.remoteURL()));
    }
    item.setURL(unicodeURLForKey(dictionary, QStringLiteral("url")));
    item.setHref(urlForKey(dictionary, QStringLiteral("href")));
    item.setIconURL(urlForKey(dictionary, QStringLiteral("icon")));
    item.setPrivate(boolForKey(dictionary, QStringLiteral("private")));
    item.setCreatedAt(itemDateForKey(dictionary, QStringLiteral("created_at")));
    item.setUpdatedAt(itemDateForKey(dictionary, QStringLiteral("updated_at")));
    item.setDeletedAt(itemDateForKey(dictionary, QStringLiteral("deleted_at")));
    item.setTrashed(item.deletedAt().isValid());
    return item;
}

std::optional<QList<NBWebItem>> NBAPIDeserializer::webItemArrayWithAPIArray(const QVariantList &array)
{
    QList<NBWebItem> items;
    items.reserve(array.size());
    for (const QVariant &element : array) {
        if (element.metaType().id() != QMetaType::QVariantMap)
            return std::nullopt;
        items.append(webItemWithAPIDictionary(element.toMap()));
    }
    return items;
}

qint64 NBAPIDeserializer::webItemTypeForTypeString(const QString &string)
{
    return NBWebItemTypeForString(string);
}

std::optional<DMMultipartRequest> NBAPIDeserializer::URLRequestWithS3ParametersDictionary(const QVariantMap &dictionary,
                                                                                         const QString &fileName,
                                                                                         const QByteArray &fileData)
{
    const QUrl url = urlForKey(dictionary, QStringLiteral("url"));
    const std::optional<QVariantMap> params = objectForKey(dictionary, QStringLiteral("params"));
    if (url.isEmpty() || !params || params->isEmpty())
        return std::nullopt;

    const QString normalizedName = fileName.normalized(QString::NormalizationForm_C);
    // Form values are text; a number or boolean is written as its JSON text.
    QList<std::pair<QString, QString>> fields;
    QList<QByteArray> contents{fileData, normalizedName.toUtf8()};
    for (auto it = params->cbegin(); it != params->cend(); ++it) {
        const QVariant &value = it.value();
        const int type = value.metaType().id();
        if (type == QMetaType::QVariantMap || type == QMetaType::QVariantList || NBJSONIsNull(value))
            continue;
        fields.append({it.key(), value.toString()});
        contents << it.key().toUtf8() << value.toString().toUtf8();
    }
    // A file's own bytes may hold the usual boundary.
    const QByteArray boundary = multipartBoundaryNotIn(NBPOSTBody::boundary(), contents);

    DMMultipartRequest result;
    result.method = "POST";
    result.request.setUrl(url);
    result.request.setRawHeader("Accept", "application/json");
    result.request.setRawHeader("Content-Type", "multipart/form-data; boundary=" + boundary + "; charset=UTF-8");
    for (const auto &[key, text] : std::as_const(fields))
        NBPOSTBody::addToHTTPBodyValueForKey(&result.body, text, key, boundary);
    NBPOSTBody::addToHTTPBodyFileDataFileNameMimeTypeForKey(&result.body, fileData, normalizedName,
                                                            NBMimeType(normalizedName), QStringLiteral("file"), boundary);
    NBPOSTBody::finalizeHTTPBody(&result.body);
    return result;
}

std::optional<DMMultipartRequest> NBAPIDeserializer::URLRequestWithS3ParametersDictionaryData(const QByteArray &data,
                                                                                             const QString &fileName,
                                                                                             const QByteArray &fileData)
{
    const std::optional<QVariantMap> dictionary = dictionaryFromJSONData(data);
    if (!dictionary)
        return std::nullopt;
    return URLRequestWithS3ParametersDictionary(*dictionary, fileName, fileData);
}
