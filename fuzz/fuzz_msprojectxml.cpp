// Links: hy_formats
// Feeds arbitrary bytes to the MS Project XML import. Whatever the bytes, the import must not
// crash; a project it accepts must export, and the export must import again.
#include "DMImportReport.h"
#include "DMMSProjectXMLConverter.h"
#include "DMProject.h"
#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    installQuietMessageHandler();
    auto project = DMProject::create();
    DMImportReport report;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!DMMSProjectXMLConverter::importMSProjectXMLDataInProject(bytes, *project, &report))
        return 0;
    const QByteArray exported = DMMSProjectXMLConverter::MSProjectXMLDataForProject(*project);
    auto again = DMProject::create();
    DMImportReport secondReport;
    if (!DMMSProjectXMLConverter::importMSProjectXMLDataInProject(exported, *again, &secondReport))
        std::abort();
    return 0;
}
