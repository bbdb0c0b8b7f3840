// Links: hy_cloud
// Feeds arbitrary bytes to every reader of the cloud service's answers: the records, the item
// list, the upload parameters and the messages of an error answer. Whatever is read must also
// archive.
#include "NBAPIDeserializer.h"
#include "NBError.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const auto account = NBAPIDeserializer::accountWithJSONDictionaryData(bytes))
        account->archive();
    if (const auto item = NBAPIDeserializer::webItemWithJSONDictionaryData(bytes))
        NBWebItem::webItemWithArchive(item->archive());
    if (const auto items = NBAPIDeserializer::webItemArrayWithJSONArrayData(bytes)) {
        for (const NBWebItem &item : *items)
            item.description();
    }
    NBAPIDeserializer::URLRequestWithS3ParametersDictionaryData(bytes, QStringLiteral("Re\u0301sume\u0301.pdf"),
                                                                QByteArray("%PDF"));
    NBError::HTTPStatusError(5, 422, bytes);
    return 0;
}
