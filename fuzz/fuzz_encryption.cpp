// Links: hy_foundation
// Feeds arbitrary bytes to the document decryption: it must refuse them cleanly.
#include "DMEncryptionContext.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const DMEncryptionContext context(QStringLiteral("secret"));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QString error;
    (void)context.decryptData(bytes, &error);
    return 0;
}
