// Links: hy_formats
// Feeds arbitrary bytes to the vCard reader: it either reads at least one card or says why not.
#include "DMVCardReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<DMVCard> cards;
    QString error;
    const bool read = DMVCardReader::readVCards(bytes, &cards, &error);
    if (read == cards.isEmpty() || read == !error.isEmpty())
        std::abort();
    for (const DMVCard &card : cards) {
        // Every reading path of the caller must hold on what came out.
        (void)card.personName();
        (void)card.preferredEmail();
        (void)card.preferredPhone();
    }
    return 0;
}
