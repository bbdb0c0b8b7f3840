// Links: hy_formats
// Feeds arbitrary bytes to the keyed-archive reader through the earlier planner's import: no
// crash, hang or unbounded memory, whatever references, cycles and classes the archive holds.
#include "DMImportReport.h"
#include "DMPenduloProjectConverter.h"
#include "DMProject.h"
#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    installQuietMessageHandler();
    auto project = DMProject::create();
    DMImportReport report;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    DMPenduloProjectConverter::importPenduloProjectDataInProject(bytes, *project, QStringList(), &report);
    return 0;
}
