#pragma once

#include "DMMultipartRequest.h"
#include "NBAccount.h"
#include "NBSocket.h"
#include "NBWebItem.h"

#include <QByteArray>
#include <QList>
#include <QVariantList>
#include <QVariantMap>

#include <memory>
#include <optional>

// Reads the service's JSON answers into records. Stateless; every operation gives nothing for
// data that is not JSON of the expected kind, never throws.
//
// Values are read leniently: JSON null counts as absent; strings, URLs and dates must be strings
// (another type gives an empty value); booleans and numbers follow the typed dictionary access of
// the foundation (a number, "true"/"yes" or a numeric string; absent gives false or 0).
class NBAPIDeserializer
{
public:
    // The parsed UTF-8 JSON text when it is an object / an array; nothing for empty data.
    static std::optional<QVariantMap> dictionaryFromJSONData(const QByteArray &data);
    static std::optional<QVariantList> arrayFromJSONData(const QByteArray &data);

    static std::optional<NBAccount> accountWithJSONDictionaryData(const QByteArray &data);
    static std::optional<NBWebItem> webItemWithJSONDictionaryData(const QByteArray &data);
    static std::shared_ptr<NBSocket> socketWithJSONDictionaryData(const QByteArray &data);
    static std::optional<QList<NBWebItem>> webItemArrayWithJSONArrayData(const QByteArray &data);
    // The parsed array, unchanged.
    static std::optional<QVariantList> productsWithJSONArrayData(const QByteArray &data);

    static NBAccount accountWithAPIDictionary(const QVariantMap &dictionary);
    static std::shared_ptr<NBSocket> socketWithJSONDictionary(const QVariantMap &dictionary);
    static NBWebItem webItemWithAPIDictionary(const QVariantMap &dictionary);
    // Every element mapped as a web item, in order; nothing when an element is not an object.
    static std::optional<QList<NBWebItem>> webItemArrayWithAPIArray(const QVariantList &array);

    // The type of "item_type", compared in lower case; NBWebItemTypeUnknown for any other string.
    static qint64 webItemTypeForTypeString(const QString &string);

    // The second step of an upload, from the first step's answer: a multipart POST of every field
    // of "params" followed by the file (named in precomposed Unicode form, with the MIME type of
    // its extension) to the answer's "url". Nothing without a valid "url" or without at least one
    // field.
    static std::optional<DMMultipartRequest> URLRequestWithS3ParametersDictionary(const QVariantMap &dictionary,
                                                                                 const QString &fileName,
                                                                                 const QByteArray &fileData);
    static std::optional<DMMultipartRequest> URLRequestWithS3ParametersDictionaryData(const QByteArray &data,
                                                                                     const QString &fileName,
                                                                                     const QByteArray &fileData);
};
