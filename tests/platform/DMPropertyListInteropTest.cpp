// Files exchanged with Python's plistlib, an independent reader and writer of both formats.
#include "DMPropertyList.h"
#include "PropertyListTestSupport.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using halcyra::test::sameVariant;
using halcyra::test::utc;

namespace {

// The same values as everyKindOfValue(), in Python, and a comparison that, unlike ==, tells
// True from 1 and 1 from 1.0.
const char *const kPythonPrelude = R"(
import datetime, plistlib, sys
expected = {
    'string': 'Grüße & <tags> "quoted" ☺ 𝄞', 'empty string': '',
    'integer': 42, 'zero': 0, 'negative': -5,
    'int64 min': -2**63, 'int64 max': 2**63 - 1, 'uint64 max': 2**64 - 1,
    'real': 3.25, 'negative real': -0.1, 'tiny real': 1e-300, 'true': True, 'false': False,
    'data': b'\x00\x01\xff<data>&', 'empty data': b'',
    'date': datetime.datetime(2023, 5, 1, 8, 30, 15),
    'before reference': datetime.datetime(1999, 12, 31, 23, 59, 59),
    'early date': datetime.datetime(1850, 6, 15, 12), 'late date': datetime.datetime(2150, 1, 1),
    'array': [1, 'two', [], {}], 'nested': {'a': {'b': [True]}}, '': 'empty key',
}
def same(a, b, path='root'):
    if type(a) is not type(b):
        return '%s: %r instead of %r' % (path, a, b)
    if isinstance(a, dict):
        if sorted(a) != sorted(b):
            return '%s: keys %r instead of %r' % (path, sorted(a), sorted(b))
        for k in a:
            r = same(a[k], b[k], path + '.' + k)
            if r: return r
        return None
    if isinstance(a, list):
        if len(a) != len(b):
            return '%s: %d items instead of %d' % (path, len(a), len(b))
        for i, (x, y) in enumerate(zip(a, b)):
            r = same(x, y, '%s[%d]' % (path, i))
            if r: return r
        return None
    return None if a == b else '%s: %r instead of %r' % (path, a, b)
)";

QString python()
{
    return QStandardPaths::findExecutable(QStringLiteral("python3"));
}

// Runs the prelude and the script with the arguments; returns what it printed, or the failure.
QString runPython(const QString &script, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(python(), QStringList{QStringLiteral("-c"), QString::fromUtf8(kPythonPrelude) + script} + arguments);
    if (!process.waitForFinished(30000))
        return QStringLiteral("python3 did not finish");
    return QString::fromUtf8(process.readAll()).trimmed();
}

} // namespace

TEST(DMPropertyListInterop, PlistlibReadsWhatWeWrite)
{
    if (python().isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    QTemporaryDir dir;
    const QString xml = dir.filePath(QStringLiteral("ours.plist"));
    const QString binary = dir.filePath(QStringLiteral("ours.bplist"));
    QString error;
    ASSERT_TRUE(DMPropertyList::writePropertyListToFile(halcyra::test::everyKindOfValue(), xml, DMPropertyList::XML, &error))
        << error.toStdString();
    ASSERT_TRUE(DMPropertyList::writePropertyListToFile(halcyra::test::everyKindOfValue(), binary,
                                                        DMPropertyList::Binary, &error))
        << error.toStdString();
    const QString script = QStringLiteral(R"(
for path in sys.argv[1:]:
    with open(path, 'rb') as f:
        print(path[-6:], same(plistlib.load(f), expected) or 'equal')
)");
    EXPECT_EQ(runPython(script, {xml, binary}), QStringLiteral(".plist equal\nbplist equal"));
}

TEST(DMPropertyListInterop, WeReadWhatPlistlibWrites)
{
    if (python().isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    QTemporaryDir dir;
    const QString xml = dir.filePath(QStringLiteral("theirs.plist"));
    const QString binary = dir.filePath(QStringLiteral("theirs.bplist"));
    const QString script = QStringLiteral(R"(
with open(sys.argv[1], 'wb') as f:
    plistlib.dump(expected, f, fmt=plistlib.FMT_XML)
expected['fraction'] = datetime.datetime(1990, 3, 4, 5, 6, 7, 250000)
with open(sys.argv[2], 'wb') as f:
    plistlib.dump(expected, f, fmt=plistlib.FMT_BINARY)
print('written')
)");
    ASSERT_EQ(runPython(script, {xml, binary}), QStringLiteral("written"));

    QVariantMap expected = halcyra::test::everyKindOfValue();
    QString error;
    EXPECT_TRUE(sameVariant(DMPropertyList::propertyListWithContentsOfFile(xml, &error), expected)) << error.toStdString();
    expected.insert(QStringLiteral("fraction"), utc(1990, 3, 4, 5, 6, 7, 250));
    EXPECT_TRUE(sameVariant(DMPropertyList::propertyListWithContentsOfFile(binary, &error), expected)) << error.toStdString();
}

TEST(DMPropertyListInterop, ScalarRootsAndLargeContainersOfPlistlib)
{
    if (python().isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    QTemporaryDir dir;
    const QString script = QStringLiteral(R"(
d = sys.argv[1]
plistlib.dump('alone', open(d + '/string.bplist', 'wb'), fmt=plistlib.FMT_BINARY)
plistlib.dump(-1, open(d + '/minus.bplist', 'wb'), fmt=plistlib.FMT_BINARY)
plistlib.dump(list(range(70000)), open(d + '/long.bplist', 'wb'), fmt=plistlib.FMT_BINARY)
plistlib.dump({'k%d' % i: 'shared' for i in range(300)}, open(d + '/wide.bplist', 'wb'), fmt=plistlib.FMT_BINARY)
print('written')
)");
    ASSERT_EQ(runPython(script, {dir.path()}), QStringLiteral("written"));
    EXPECT_TRUE(sameVariant(DMPropertyList::propertyListWithContentsOfFile(dir.filePath(QStringLiteral("string.bplist"))),
                            QStringLiteral("alone")));
    EXPECT_TRUE(sameVariant(DMPropertyList::propertyListWithContentsOfFile(dir.filePath(QStringLiteral("minus.bplist"))),
                            QVariant(qint64(-1))));
    const QVariantList list = DMPropertyList::propertyListWithContentsOfFile(dir.filePath(QStringLiteral("long.bplist"))).toList();
    ASSERT_EQ(list.size(), 70000);
    EXPECT_TRUE(sameVariant(list.last(), QVariant(qint64(69999))));
    const QVariantMap wide = DMPropertyList::propertyListWithContentsOfFile(dir.filePath(QStringLiteral("wide.bplist"))).toMap();
    EXPECT_EQ(wide.size(), 300);
    EXPECT_EQ(wide.value(QStringLiteral("k299")), QVariant(QStringLiteral("shared")));
}
