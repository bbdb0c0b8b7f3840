// Feeds property lists to the project loader: whatever the bytes, loading must not crash,
// and the loaded project must write itself out again.
#include "DMProject.h"
#include "DMPropertyList.h"

#include <QtGlobal>

#include <cstddef>
#include <cstdint>

namespace {
void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const auto previous = qInstallMessageHandler(quiet);
    Q_UNUSED(previous);
    const QVariant plist = DMPropertyList::propertyListWithData(
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (plist.typeId() != QMetaType::QVariantMap)
        return 0;
    QStringList problems;
    const auto project = DMProject::projectWithDictionaryRepresentation(plist.toMap(), &problems);
    if (project)
        (void)project->dictionaryRepresentation();
    return 0;
}
