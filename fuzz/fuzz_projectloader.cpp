// Feeds property lists to the project loader: whatever the bytes, loading must not crash, the
// loaded project must write itself out again, and reading the parsed list in place must load
// the same project, with the same report, as converting it whole first.
#include "DMProject.h"
#include "DMProjectCoder.h"
#include "DMPropertyList.h"
#include "DMPropertyListNode.h"

#include <QUuid>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {
void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const auto previous = qInstallMessageHandler(quiet);
    Q_UNUSED(previous);
    const DMPropertyListNode root =
        DMPropertyListNode::parse(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!root.isDictionary())
        return 0;
    // Converted first: loading takes the items' entries out of the parsed list.
    const QVariant whole = root.value();
    QStringList problems;
    const auto project = DMProjectCoder::loadProject(root, &problems);
    if (!project || whole.typeId() != QMetaType::QVariantMap)
        return 0;
    QVariantMap written = project->dictionaryRepresentation();
    QStringList wholeProblems;
    const auto fromWhole = DMProject::projectWithDictionaryRepresentation(whole.toMap(), &wholeProblems);
    if (!fromWhole)
        std::abort();
    // A file without a sound identifier gets a new one at each load; one it holds is kept.
    QVariantMap writtenFromWhole = fromWhole->dictionaryRepresentation();
    if (written.value(QStringLiteral("identifier")) != writtenFromWhole.value(QStringLiteral("identifier"))) {
        if (!QUuid::fromString(whole.toMap().value(QStringLiteral("identifier")).toString()).isNull())
            std::abort();
        written.remove(QStringLiteral("identifier"));
        writtenFromWhole.remove(QStringLiteral("identifier"));
    }
    // Compared as bytes: a NaN read from the file is not equal to itself as a value.
    if (wholeProblems != problems
        || DMPropertyList::dataWithPropertyList(writtenFromWhole, DMPropertyList::Binary)
               != DMPropertyList::dataWithPropertyList(written, DMPropertyList::Binary))
        std::abort();
    return 0;
}
