// Links: hy_foundation
// Decodes property lists as serialized settings values, then encodes what was decoded again.
#include "DMObjectSerialization.h"
#include "DMPropertyList.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QVariant plist = DMPropertyList::propertyListWithData(bytes);
    if (!plist.isValid())
        return 0;
    const QVariant decoded = DMObjectSerialization::decode(plist);
    if (decoded.isValid())
        (void)DMObjectSerialization::encode(decoded);
    (void)DMObjectSerialization::decodeDictionary(plist.toMap());
    return 0;
}
