// Links: hy_platform
// Feeds arbitrary bytes to the property list reader, and writes back whatever it read in both
// formats, which must then read again.
#include "DMPropertyList.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QString error;
    const QVariant value = DMPropertyList::propertyListWithData(bytes, &error);
    if (!value.isValid())
        return 0;
    for (DMPropertyList::Format format : {DMPropertyList::XML, DMPropertyList::Binary}) {
        const QByteArray written = DMPropertyList::dataWithPropertyList(value, format, &error);
        // Text with control characters cannot go into XML; anything else that was read must
        // write and read again.
        if (!written.isEmpty() && !DMPropertyList::propertyListWithData(written, &error).isValid())
            std::abort();
    }
    return 0;
}
