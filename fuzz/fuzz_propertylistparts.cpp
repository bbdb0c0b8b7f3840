// Makes the input into a list large enough for its "tasks" to be parsed in parts: the input's
// pieces, split at NUL bytes, are the text before the array's elements, one element, and the
// text after them (missing pieces are those of a plain project file), the element repeated to
// more than a megabyte with each '#' in it replaced by the copy's number. Parsed in parts and whole, the
// list must read the same or fail with the same error, and a project must load from it the same
// with the same report.
#include "DMProject.h"
#include "DMProjectCoder.h"
#include "DMPropertyListNode.h"

#include <QThreadPool>
#include <QtGlobal>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

// Equal values of equal types all the way down; reals by their bits, so that NaN equals itself.
bool same(const QVariant &a, const QVariant &b)
{
    if (a.metaType() != b.metaType())
        return false;
    switch (a.metaType().id()) {
    case QMetaType::QVariantMap: {
        const QVariantMap x = a.toMap();
        const QVariantMap y = b.toMap();
        if (x.size() != y.size())
            return false;
        for (auto i = x.cbegin(), j = y.cbegin(); i != x.cend(); ++i, ++j)
            if (i.key() != j.key() || !same(i.value(), j.value()))
                return false;
        return true;
    }
    case QMetaType::QVariantList: {
        const QVariantList x = a.toList();
        const QVariantList y = b.toList();
        if (x.size() != y.size())
            return false;
        for (qsizetype i = 0; i < x.size(); ++i)
            if (!same(x.at(i), y.at(i)))
                return false;
        return true;
    }
    case QMetaType::Double: {
        const double x = a.toDouble();
        const double y = b.toDouble();
        return std::memcmp(&x, &y, sizeof x) == 0;
    }
    default:
        return a == b;
    }
}

QByteArray largeList(const QByteArray &input)
{
    QList<QByteArray> pieces = input.split('\0');
    if (pieces.size() == 1)
        pieces.prepend("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>class</key>"
                       "<string>DMProject</string><key>lastObjectID</key><integer>5</integer><key>tasks</key><array>");
    if (pieces.size() == 2)
        pieces.append("</array><key>title</key><string>Plan</string></dict></plist>");
    const QByteArray &element = pieces.at(1);
    if (element.isEmpty())
        return {};
    QByteArray list = pieces.at(0);
    const bool numbered = element.contains('#');
    // Past the size from which an array is parsed in parts, by a quarter, so that parts are made.
    const qsizetype end = list.size() + (5 << 18);
    for (int copy = 0; list.size() < end; ++copy)
        list += numbered ? QByteArray(element).replace('#', QByteArray::number(copy)) : element;
    return list + pieces.mid(2).join('\0');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const auto previous = qInstallMessageHandler(quiet);
    Q_UNUSED(previous);
    // A second thread for the parts on any machine.
    static const bool threads = [] {
        QThreadPool::globalInstance()->setMaxThreadCount(qMax(4, QThreadPool::globalInstance()->maxThreadCount()));
        return true;
    }();
    Q_UNUSED(threads);
    const QByteArray list = largeList(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (list.isEmpty())
        return 0;
    QString partedError;
    QString wholeError;
    const DMPropertyListNode parted = DMPropertyListNode::parse(list, &partedError, "tasks");
    const DMPropertyListNode whole = DMPropertyListNode::parse(list, &wholeError);
    if (parted.isNull() != whole.isNull() || partedError != wholeError)
        std::abort();
    const QVariant wholeValue = whole.value();
    if (!same(parted.value(), wholeValue))
        std::abort();
    QVariantList items;
    for (const QList<DMPropertyListNode> &part : parted.valueForKey("tasks").arrayParts())
        for (const DMPropertyListNode &item : part)
            items.append(item.value());
    if (!same(items, whole.valueForKey("tasks").isArray() ? whole.valueForKey("tasks").value() : QVariantList()))
        std::abort();
    if (!parted.isDictionary())
        return 0;

    QStringList problems;
    const auto project = DMProjectCoder::loadProject(parted, &problems);
    QStringList wholeProblems;
    const auto fromWhole = DMProjectCoder::loadProject(wholeValue.toMap(), &wholeProblems);
    if (!project || !fromWhole || problems != wholeProblems)
        std::abort();
    // A file without a sound identifier gets a new one at each load.
    QVariantMap written = project->dictionaryRepresentation();
    QVariantMap writtenFromWhole = fromWhole->dictionaryRepresentation();
    written.remove(QStringLiteral("identifier"));
    writtenFromWhole.remove(QStringLiteral("identifier"));
    if (!same(written, writtenFromWhole))
        std::abort();
    return 0;
}
