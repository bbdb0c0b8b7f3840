#include "DMPropertyList.h"
#include "DMPropertyListNode.h"
#include "PropertyListTestSupport.h"

#include <QDir>
#include <QPoint>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using halcyra::test::sameVariant;
using halcyra::test::utc;

namespace {

QVariant roundTrip(const QVariant &value, DMPropertyList::Format format)
{
    QString error;
    const QByteArray data = DMPropertyList::dataWithPropertyList(value, format, &error);
    EXPECT_FALSE(data.isEmpty()) << error.toStdString();
    return DMPropertyList::propertyListWithData(data, &error);
}

QByteArray bigEndian(quint64 value, int size)
{
    QByteArray bytes(size, '\0');
    for (int i = size - 1; i >= 0; --i, value >>= 8)
        bytes[i] = char(value & 0xFF);
    return bytes;
}

// A binary property list of the given objects (already encoded, referring to each other by
// index with 4-byte references), rooted at the first.
QByteArray binaryPlist(const QList<QByteArray> &objects)
{
    QByteArray data("bplist00");
    QByteArray offsets;
    for (const QByteArray &object : objects) {
        offsets += bigEndian(quint64(data.size()), 4);
        data += object;
    }
    const quint64 tableOffset = quint64(data.size());
    // Trailer: six unused bytes, offset size 4, reference size 4, object count, root, table.
    return data + offsets + QByteArray(6, '\0') + "\x04\x04" + bigEndian(quint64(objects.size()), 8) + bigEndian(0, 8)
           + bigEndian(tableOffset, 8);
}

// An array object of the given references; from 15 items on the count follows in 4 bytes.
QByteArray binaryArray(const QList<quint32> &refs)
{
    QByteArray object = refs.size() < 15 ? QByteArray(1, char(0xA0 | refs.size()))
                                         : "\xAF\x12" + bigEndian(quint64(refs.size()), 4);
    for (quint32 ref : refs)
        object += bigEndian(ref, 4);
    return object;
}

void expectRejected(const QByteArray &data, const char *what)
{
    QString error;
    const QVariant value = DMPropertyList::propertyListWithData(data, &error);
    EXPECT_FALSE(value.isValid()) << what;
    EXPECT_FALSE(error.isEmpty()) << what;
}

} // namespace

TEST(DMPropertyList, EveryKindOfValueSurvivesXMLAndBinary)
{
    const QVariantList values{halcyra::test::everyKindOfValue(), QStringLiteral("alone"), QVariant(qint64(-7)),
                              QVariant(2.5), QVariant(true), QVariant(utc(2001, 1, 1)), QVariant(QByteArray("x"))};
    for (const QVariant &value : values) {
        EXPECT_TRUE(sameVariant(roundTrip(value, DMPropertyList::XML), value));
        EXPECT_TRUE(sameVariant(roundTrip(value, DMPropertyList::Binary), value));
    }
    // Binary carries control characters that XML cannot.
    const QVariant text(QStringLiteral("tab\tbell\aescape\x1b"));
    EXPECT_TRUE(sameVariant(roundTrip(text, DMPropertyList::Binary), text));
}

TEST(DMPropertyList, CompactXMLDropsIndentationAndLineBreaksButNeverTextWhitespace)
{
    // Strings whose whitespace sits next to their tags, empty strings and data spread over
    // lines, nested in arrays and dictionaries.
    const QVariantMap value{
        {QStringLiteral("edges"), QStringLiteral("\n\t\tindented\n\t")},
        {QStringLiteral("only whitespace"), QStringLiteral("\n\t\n")},
        {QStringLiteral("brackets"), QStringLiteral("a>\n\t<b")},
        {QStringLiteral("empty"), QString()},
        {QStringLiteral("data"), QByteArray(300, '\x5a')},
        {QStringLiteral("nested"), QVariantList{QVariantMap{{QStringLiteral("\tkey\n"), QVariantList{1, QStringLiteral("\t")}}}}},
        {QStringLiteral("everything"), halcyra::test::everyKindOfValue()}};
    // Compact XML reads back as the indented form does (libplist's reader has its own ways
    // with whitespace at the ends of a string, the same for both).
    EXPECT_TRUE(sameVariant(roundTrip(value, DMPropertyList::CompactXML), roundTrip(value, DMPropertyList::XML)));
    EXPECT_TRUE(sameVariant(roundTrip(value, DMPropertyList::CompactXML).toMap().value("brackets"), value.value("brackets")));
    const QByteArray indented = DMPropertyList::dataWithPropertyList(value, DMPropertyList::XML);
    const QByteArray compact = DMPropertyList::dataWithPropertyList(value, DMPropertyList::CompactXML);
    EXPECT_LT(compact.size(), indented.size());
    EXPECT_FALSE(compact.contains("\n\t<key>"));
    // Tags follow each other without line breaks; the prolog keeps its lines.
    EXPECT_TRUE(compact.startsWith("<?xml"));
    EXPECT_FALSE(compact.mid(compact.indexOf("<plist")).contains(">\n<"));
}

TEST(DMPropertyList, DatesKeepMillisecondsInBinaryAndWholeSecondsInXML)
{
    // libplist's getter loses the sign of a fraction before the reference date and cannot hold
    // dates outside 32-bit seconds.
    for (const QDateTime &exact : {utc(1990, 3, 4, 5, 6, 7, 250), utc(2000, 12, 31, 23, 59, 59, 750),
                                   utc(2001, 1, 1, 0, 0, 0, 250), utc(2150, 7, 1, 0, 0, 0, 500),
                                   utc(1700, 2, 3, 4, 5, 6, 125)})
        EXPECT_TRUE(sameVariant(roundTrip(exact, DMPropertyList::Binary), exact));
    EXPECT_TRUE(sameVariant(roundTrip(utc(1990, 3, 4, 5, 6, 7, 250), DMPropertyList::XML), utc(1990, 3, 4, 5, 6, 7)));
    // A date in another zone is stored as the same instant.
    const QDateTime offset(QDate(2020, 6, 1), QTime(12, 0), Qt::OffsetFromUTC, 2 * 3600);
    EXPECT_TRUE(sameVariant(roundTrip(offset, DMPropertyList::XML), utc(2020, 6, 1, 10)));
}

TEST(DMPropertyList, OtherQtTypesAreWrittenAsTheirPropertyListKind)
{
    const QVariantHash hash{{QStringLiteral("b"), QVariant(int(-3))}, {QStringLiteral("a"), QVariant(uint(4000000000u))}};
    const QList<std::pair<QVariant, QVariant>> cases{
        {QVariant(int(-12)), QVariant(qint64(-12))},
        {QVariant(uint(7)), QVariant(qint64(7))},
        {QVariant(0.1f), QVariant(0.1)},
        {QStringList{QStringLiteral("x")}, QVariantList{QStringLiteral("x")}},
        {hash, QVariantMap{{QStringLiteral("a"), QVariant(qint64(4000000000))}, {QStringLiteral("b"), QVariant(qint64(-3))}}},
    };
    for (const auto &[value, expected] : cases)
        EXPECT_TRUE(sameVariant(roundTrip(value, DMPropertyList::XML), expected));
    // A hash is written in key order, so equal hashes give equal files.
    const QByteArray xml = DMPropertyList::dataWithPropertyList(hash);
    EXPECT_LT(xml.indexOf("<key>a</key>"), xml.indexOf("<key>b</key>"));
}

TEST(DMPropertyList, ValuesAPropertyListCannotCarryAreRefused)
{
    const QList<std::pair<QVariant, const char *>> refused{
        {QVariant(), "null"},
        {QVariant(QPoint(1, 2)), "point"},
        {QVariantMap{{QStringLiteral("deep"), QVariantList{QVariant(QPoint())}}}, "point inside"},
        {QVariant(QDateTime()), "invalid date"},
    };
    for (const auto &[value, what] : refused) {
        QString error;
        EXPECT_TRUE(DMPropertyList::dataWithPropertyList(value, DMPropertyList::XML, &error).isEmpty()) << what;
        EXPECT_FALSE(error.isEmpty()) << what;
    }
}

// A character the format cannot store never makes a save fail: it is dropped (an unpaired
// surrogate becomes U+FFFD) with one logged line.
TEST(DMPropertyList, CharactersAFormatCannotStoreAreDroppedWithALoggedLine)
{
    const QString lone = QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b") + QChar(0xDC00);
    const QVariantMap value{{QStringLiteral("k") + QChar(0), QStringLiteral("cut") + QChar(0) + QStringLiteral("short")},
                            {QStringLiteral("bell"), QStringLiteral("tab\tbell\aescape\x1b")},
                            {QStringLiteral("lone"), lone},
                            {QStringLiteral("pair"), QStringLiteral("\U0001F600")}};
    static int warnings = 0;
    warnings = 0;
    const auto previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) { ++warnings; });
    const QVariant xml = roundTrip(value, DMPropertyList::XML);
    const QVariant binary = roundTrip(value, DMPropertyList::Binary);
    qInstallMessageHandler(previous);
    EXPECT_EQ(warnings, 2);
    const QString fffd(QChar(QChar::ReplacementCharacter));
    EXPECT_TRUE(sameVariant(xml, QVariantMap{{QStringLiteral("k"), QStringLiteral("cutshort")},
                                             {QStringLiteral("bell"), QStringLiteral("tab\tbellescape")},
                                             {QStringLiteral("lone"), QStringLiteral("a") + fffd + QStringLiteral("b") + fffd},
                                             {QStringLiteral("pair"), QStringLiteral("\U0001F600")}}));
    // Binary carries the control characters that XML cannot, but no NUL.
    EXPECT_EQ(binary.toMap().value(QStringLiteral("bell")), QStringLiteral("tab\tbell\aescape\x1b"));
    EXPECT_EQ(binary.toMap().value(QStringLiteral("k")), QStringLiteral("cutshort"));
    EXPECT_EQ(DMPropertyList::storableString(lone), QStringLiteral("a") + fffd + QStringLiteral("b") + fffd);
}

TEST(DMPropertyList, WritingNestsOnlyAsDeepAsReadingAccepts)
{
    auto nested = [](int depth) {
        QVariant value = QVariantList{};
        for (int i = 0; i < depth; ++i)
            value = QVariantList{value};
        return value;
    };
    QString error;
    EXPECT_TRUE(DMPropertyList::dataWithPropertyList(nested(2000), DMPropertyList::XML, &error).isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("nested")));
    EXPECT_TRUE(sameVariant(roundTrip(nested(400), DMPropertyList::XML), nested(400)));
    EXPECT_TRUE(sameVariant(roundTrip(nested(400), DMPropertyList::Binary), nested(400)));
}

TEST(DMPropertyList, FilesAreWrittenWholeOrNotAtAll)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.plist"));
    const QVariantMap first{{QStringLiteral("version"), QVariant(qint64(1))}};
    QString error;
    ASSERT_TRUE(DMPropertyList::writePropertyListToFile(first, path, DMPropertyList::XML, &error)) << error.toStdString();
    EXPECT_TRUE(sameVariant(DMPropertyList::propertyListWithContentsOfFile(path), first));

    // A value that cannot be written leaves the old file as it was.
    EXPECT_FALSE(DMPropertyList::writePropertyListToFile(QVariant(QPoint()), path, DMPropertyList::XML, &error));
    EXPECT_TRUE(sameVariant(DMPropertyList::propertyListWithContentsOfFile(path), first));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("settings.plist")});

    EXPECT_FALSE(DMPropertyList::writePropertyListToFile(first, dir.filePath(QStringLiteral("missing/x.plist")),
                                                         DMPropertyList::XML, &error));
    EXPECT_FALSE(DMPropertyList::propertyListWithContentsOfFile(dir.filePath(QStringLiteral("none")), &error).isValid());
    EXPECT_FALSE(error.isEmpty());
}

TEST(DMPropertyList, MalformedInputGivesAnError)
{
    expectRejected(QByteArray(), "empty");
    expectRejected("hello, world", "not a property list");
    expectRejected("<plist><dict><key>a</key><string>b</string>", "unclosed");
    expectRejected("<plist><array></dict></plist>", "mismatched");
    expectRejected("<plist><wobble/></plist>", "unknown element");
    expectRejected("<plist></array></plist>", "closing what was never opened");
    expectRejected("<plist><string>a&bogus;b</string></plist>", "unknown entity");
    expectRejected("bplist00", "binary header only");
    expectRejected(QByteArray("bplist00") + QByteArray(40, '\xff'), "binary trailer of garbage");
}

TEST(DMPropertyList, EveryTruncationOfAFileIsRefusedAndDamageNeverCrashes)
{
    const QVariantMap sample = halcyra::test::everyKindOfValue();
    const QByteArray binary = DMPropertyList::dataWithPropertyList(sample, DMPropertyList::Binary);
    for (qsizetype length = 0; length < binary.size(); ++length)
        expectRejected(binary.left(length), "truncated binary");
    for (qsizetype i = 8; i < binary.size(); ++i) {
        for (char replacement : {'\x00', '\x0F', '\x7F', '\xAF', '\xFF'}) {
            QByteArray damaged = binary;
            damaged[i] = replacement;
            DMPropertyList::propertyListWithData(damaged); // any answer but a crash
        }
    }

    // An XML file is complete once its root element closes; the end tag of <plist> is optional.
    const QByteArray xml = DMPropertyList::dataWithPropertyList(sample, DMPropertyList::XML);
    for (qsizetype length = 0; length < xml.lastIndexOf("</dict>"); length += 3)
        expectRejected(xml.left(length), "truncated XML");
}

TEST(DMPropertyList, DeepNestingIsRefusedBeforeItExhaustsTheStack)
{
    const int depth = 200000;
    expectRejected("<plist>" + QByteArray("<array>").repeated(depth), "deep XML");
    expectRejected("<plist>" + QByteArray("<array><!-- </array> -->").repeated(depth), "deep XML hiding in comments");
    expectRejected("<plist>" + QByteArray("<dict><key>k</key>").repeated(depth), "deep XML dictionaries");
    // The parser reads a double-quoted value in a tag, declaration or instruction to its closing
    // quote, and "<?>" as a whole instruction: nesting cannot hide behind what looks like the end
    // of one.
    expectRejected("<plist>" + QByteArray("<array a=\"/>\">").repeated(depth), "deep XML behind quoted empty-tag ends");
    expectRejected("<plist>" + QByteArray("<?><array a=\"?>\">").repeated(depth), "deep XML behind empty instructions");
    expectRejected("<plist>" + QByteArray("<array><!DOCTYPE a \"></array>\">").repeated(depth),
                   "deep XML behind quoted end tags in declarations");
    expectRejected("<plist>" + QByteArray("<array><array></array a=\"></array>\">").repeated(depth),
                   "deep XML behind quoted end tags in end tags");

    QList<QByteArray> objects;
    for (int i = 0; i < depth; ++i)
        objects.append(binaryArray({quint32(i + 1)}));
    objects.append(binaryArray({}));
    expectRejected(binaryPlist(objects), "deep binary");

    const QByteArray allowed = "<plist>" + QByteArray("<array>").repeated(500) + QByteArray("</array>").repeated(500)
                               + "</plist>";
    EXPECT_TRUE(DMPropertyList::propertyListWithData(allowed).isValid());
    // Quoted values that the parser reads through are no obstacle either.
    const QByteArray quoted = "<?xml a=\"?>\"?><!DOCTYPE plist \"[>\"><plist><array a=\"/>\"><string b=\"/>\">s</string>"
                              "<true c=\">\"/></array d=\"<\"></plist>";
    EXPECT_TRUE(sameVariant(DMPropertyList::propertyListWithData(quoted), QVariantList{QStringLiteral("s"), true}));
}

TEST(DMPropertyList, BinaryReferencesThatLoopOrMultiplyAreRefused)
{
    expectRejected(binaryPlist({binaryArray({0})}), "an array containing itself");
    expectRejected(binaryPlist({binaryArray({1}), binaryArray({0})}), "two arrays containing each other");
    expectRejected(binaryPlist({binaryArray({5})}), "a reference past the last object");
    // libplist aborts on a dictionary key with a NUL character in it.
    expectRejected(binaryPlist({QByteArray("\xD1\0\0\0\x01\0\0\0\x02", 9), QByteArray("\x53" "a\0b", 4),
                                QByteArray(1, '\x09')}),
                   "NUL in a key");

    // Forty arrays each holding the next one twice would expand to 2^40 objects.
    QList<QByteArray> objects;
    for (quint32 i = 0; i < 40; ++i)
        objects.append(binaryArray({i + 1, i + 1}));
    objects.append(QByteArray(1, '\x09')); // true
    expectRejected(binaryPlist(objects), "exponential sharing");

    // Sharing within reason is ordinary: one string referred to by every item.
    QList<quint32> refs(100, 1);
    const QVariant shared = DMPropertyList::propertyListWithData(binaryPlist({binaryArray(refs), QByteArray("\x51x", 2)}));
    ASSERT_EQ(shared.toList().size(), 100);
    EXPECT_EQ(shared.toList().last(), QVariant(QStringLiteral("x")));
}

TEST(DMPropertyList, ArchiveUIDsReadAsTheirDictionaryForm)
{
    // A binary UID object (0x80, one byte) inside an array.
    const QVariant value = DMPropertyList::propertyListWithData(binaryPlist({binaryArray({1}), QByteArray("\x80\x07", 2)}));
    const QVariant expected = QVariantList{QVariantMap{{QStringLiteral("CF$UID"), QVariant(qint64(7))}}};
    EXPECT_TRUE(sameVariant(value, expected));
}

// A binary dictionary may name a key twice: read whole or in place, the last entry counts.
TEST(DMPropertyList, ARepeatedKeyReadsAsItsLastEntryWholeOrInPlace)
{
    QByteArray dictionary("\xD3");
    for (quint32 ref : {1, 2, 1, 3, 4, 5})
        dictionary += bigEndian(ref, 4);
    const QByteArray data = binaryPlist({dictionary, "\x51k", "\x51m", "\x55" "first", "\x53mid", "\x54last"});
    const QVariantMap whole = DMPropertyList::propertyListWithData(data).toMap();
    EXPECT_EQ(whole.value(QStringLiteral("k")), QVariant(QStringLiteral("last")));
    const DMPropertyListNode root = DMPropertyListNode::parse(data);
    EXPECT_EQ(root.valueForKey("k").value(), QVariant(QStringLiteral("last")));
    DMPropertyListNode skipped;
    EXPECT_EQ(root.dictionaryWithoutKey("k", &skipped), (QVariantMap{{QStringLiteral("m"), QStringLiteral("mid")}}));
    EXPECT_EQ(skipped.value(), QVariant(QStringLiteral("last")));
    DMPropertyListNode copy = DMPropertyListNode::parse(data);
    EXPECT_EQ(copy.takeDictionaryWithoutKey("m", &skipped), (QVariantMap{{QStringLiteral("k"), QStringLiteral("last")}}));
    EXPECT_EQ(skipped.value(), QVariant(QStringLiteral("mid")));
    EXPECT_EQ(copy.value(), (QVariantMap{{QStringLiteral("m"), QStringLiteral("mid")}}));
}
