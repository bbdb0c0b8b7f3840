// Links: hy_sideviews_cells
// Feeds arbitrary bytes to the reader of outline drag payloads, which may come from any program.
// A payload it accepts must write back to the very same bytes.
#include "DMProjectOutlineDragPayload.h"
#include "FuzzSupport.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    installQuietMessageHandler();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<DMProjectOutlineDragPayload> payload = DMProjectOutlineDragPayload::fromData(bytes);
    if (payload && payload->data() != bytes)
        std::abort();
    return 0;
}
