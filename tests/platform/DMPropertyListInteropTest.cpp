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

// The same values as everyKindOfValue(), in Python, and a comparison of dictionaries that,
// unlike ==, tells True from 1 and 1 from 1.0, and names the keys that differ.
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
def typed(v):
    if isinstance(v, dict): return {k: typed(x) for k, x in v.items()}
    if isinstance(v, list): return [typed(x) for x in v]
    return (type(v).__name__, v)
def same(a, b):
    wrong = [k for k in b if typed(a.get(k)) != typed(b[k])] + sorted(set(a) - set(b))
    return wrong and 'differ: %r' % wrong
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
    for (const auto &[path, format] : {std::pair(xml, DMPropertyList::XML), std::pair(binary, DMPropertyList::Binary)}) {
        QString error;
        ASSERT_TRUE(DMPropertyList::writePropertyListToFile(halcyra::test::everyKindOfValue(), path, format, &error))
            << error.toStdString();
    }
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
    // Besides the sample: scalar roots, and containers long and wide enough for references of
    // two and three bytes.
    const QString script = QStringLiteral(R"(
d = sys.argv[1]
plistlib.dump(expected, open(d + '/theirs.plist', 'wb'), fmt=plistlib.FMT_XML)
expected['fraction'] = datetime.datetime(1990, 3, 4, 5, 6, 7, 250000)
for name, value in [('theirs', expected), ('string', 'alone'), ('minus', -1), ('long', list(range(70000))),
                    ('wide', {'k%d' % i: 'shared' for i in range(300)})]:
    plistlib.dump(value, open(d + '/' + name + '.bplist', 'wb'), fmt=plistlib.FMT_BINARY)
print('written')
)");
    ASSERT_EQ(runPython(script, {dir.path()}), QStringLiteral("written"));
    auto read = [&](const char *name) {
        return DMPropertyList::propertyListWithContentsOfFile(dir.filePath(QString::fromLatin1(name)));
    };
    QVariantMap expected = halcyra::test::everyKindOfValue();
    EXPECT_TRUE(sameVariant(read("theirs.plist"), expected));
    expected.insert(QStringLiteral("fraction"), utc(1990, 3, 4, 5, 6, 7, 250));
    EXPECT_TRUE(sameVariant(read("theirs.bplist"), expected));
    EXPECT_TRUE(sameVariant(read("string.bplist"), QStringLiteral("alone")));
    EXPECT_TRUE(sameVariant(read("minus.bplist"), QVariant(qint64(-1))));
    const QVariantList list = read("long.bplist").toList();
    ASSERT_EQ(list.size(), 70000);
    EXPECT_TRUE(sameVariant(list.last(), QVariant(qint64(69999))));
    const QVariantMap wide = read("wide.bplist").toMap();
    EXPECT_EQ(wide.size(), 300);
    EXPECT_EQ(wide.value(QStringLiteral("k299")), QVariant(QStringLiteral("shared")));
}
