#include "DMPropertyList.h"
#include "DMPropertyListNode.h"
#include "PropertyListTestSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <thread>

using halcyra::test::everyKindOfValue;
using halcyra::test::PoolThreads;
using halcyra::test::sameVariant;
using halcyra::test::utc;

namespace {

// A root dictionary whose "tasks" array of `count` items makes a list of some megabytes: items of
// every kind of value, text with entities and characters beyond ASCII, arrays and dictionaries
// nested in them (with "tasks" keys of their own), an element now and then that is no
// dictionary, and other entries sorting before and after the array.
QVariantMap largeList(int count)
{
    const QVariantMap every = everyKindOfValue();
    QVariantList tasks;
    for (int i = 0; i < count; ++i) {
        if (i % 211 == 5) {
            tasks.append(QStringLiteral("not a dictionary %1").arg(i));
            continue;
        }
        QVariantMap item{{QStringLiteral("class"), QStringLiteral("DMProjectTask")},
                         {QStringLiteral("objectID"), qint64(i + 1)},
                         {QStringLiteral("title"), QStringLiteral("Grüße & <%1> \"☺\" 𝄞").arg(i)},
                         {QStringLiteral("progress"), i / 7.0},
                         {QStringLiteral("beginDate"), utc(2024, 1, 1).addSecs(qint64(i) * 61)},
                         {QStringLiteral("data"), QByteArray::number(i).repeated(i % 5)},
                         {QStringLiteral("locked"), i % 3 == 0}};
        if (i % 10 == 0)
            item.insert(QStringLiteral("subitems"),
                        QVariantList{QVariantMap{{QStringLiteral("n"), qint64(-i)},
                                                 {QStringLiteral("tasks"), QVariantList{QStringLiteral("inner")}}},
                                     QVariantList{}, QVariantMap{}});
        if (i % 97 == 0)
            item.insert(QStringLiteral("every"), every);
        tasks.append(item);
    }
    return {{QStringLiteral("attributes"), QVariantMap{{QStringLiteral("budget"), 12.5}}},
            {QStringLiteral("tasks"), tasks},
            {QStringLiteral("title"), QStringLiteral("Large")},
            {QStringLiteral("zeta"), QVariantList{qint64(1), QStringLiteral("two")}}};
}

// The list of `count` items written out, of more than `atLeast` bytes.
QByteArray largeListXML(DMPropertyList::Format format, int count, qsizetype atLeast)
{
    QString error;
    const QByteArray data = DMPropertyList::dataWithPropertyList(largeList(count), format, &error);
    EXPECT_GT(data.size(), atLeast) << error.toStdString();
    return data;
}

// Parsed with its tasks in parts, the data reads as it does parsed whole, or fails alike.
void expectReadAsWhole(const QByteArray &data)
{
    QString partedError;
    QString wholeError;
    const DMPropertyListNode parted = DMPropertyListNode::parse(data, &partedError, "tasks");
    const DMPropertyListNode whole = DMPropertyListNode::parse(data, &wholeError);
    EXPECT_EQ(parted.isNull(), whole.isNull());
    EXPECT_EQ(partedError, wholeError);
    EXPECT_TRUE(parted.value() == whole.value());
    EXPECT_EQ(parted.valueForKey("tasks").value().toList().size(), whole.valueForKey("tasks").value().toList().size());
}

} // namespace

// Reading a document part by part gives the values that converting it whole gives, in both
// formats, and a part stays readable after the root and everything else are gone.
TEST(DMPropertyListNode, PartsReadAsTheWholeDocumentDoes)
{
    QVariantMap sample = everyKindOfValue();
    sample.insert(QStringLiteral("list"), QVariantList{sample, QStringLiteral("tail"), 7});
    for (DMPropertyList::Format format : {DMPropertyList::XML, DMPropertyList::Binary}) {
        SCOPED_TRACE(format == DMPropertyList::XML ? "XML" : "binary");
        const QByteArray data = DMPropertyList::dataWithPropertyList(sample, format);
        const QVariant whole = DMPropertyList::propertyListWithData(data);
        DMPropertyListNode list;
        {
            const DMPropertyListNode root = DMPropertyListNode::parse(data);
            ASSERT_TRUE(root.isDictionary());
            EXPECT_TRUE(sameVariant(root.value(), whole));
            for (const QString &key : sample.keys()) {
                SCOPED_TRACE(key.toStdString());
                EXPECT_TRUE(sameVariant(root.valueForKey(key.toUtf8().constData()).value(), whole.toMap().value(key)));
                QVariantMap rest = whole.toMap();
                rest.remove(key);
                EXPECT_TRUE(sameVariant(root.dictionaryWithoutKey(key.toUtf8().constData()), rest));
            }
            list = root.valueForKey("list");
        }
        const QList<DMPropertyListNode> items = list.arrayItems();
        ASSERT_EQ(items.size(), 3);
        EXPECT_TRUE(sameVariant(items.at(0).value(), whole.toMap().value(QStringLiteral("list")).toList().at(0)));
        EXPECT_TRUE(sameVariant(items.at(0).dictionaryWithoutKey("no such key"), items.at(0).value()));
        EXPECT_EQ(items.at(2).value(), QVariant(qint64(7)));

        // Taking a dictionary's entries leaves the kept one and everything around it readable.
        DMPropertyListNode first = items.at(0);
        QVariantMap expected = whole.toMap().value(QStringLiteral("list")).toList().at(0).toMap();
        const QString keptKey = expected.firstKey();
        const QVariant kept = expected.take(keptKey);
        EXPECT_TRUE(sameVariant(first.takeDictionaryWithoutKey(keptKey.toUtf8().constData()), expected));
        EXPECT_TRUE(sameVariant(first.value(), QVariantMap{{keptKey, kept}}));
        EXPECT_TRUE(first.takeDictionaryWithoutKey(keptKey.toUtf8().constData()).isEmpty());
        EXPECT_TRUE(sameVariant(items.at(1).value(), QStringLiteral("tail")));
    }
}

// Asking a node for what its kind does not have gives nothing rather than a crash, and parsing
// refuses what the whole-document reader refuses, with its error.
TEST(DMPropertyListNode, AbsentPartsAndOtherKindsGiveNothing)
{
    const DMPropertyListNode root = DMPropertyListNode::parse(
        "<plist><dict><key>a</key><array><string>x</string></array><key>s</key><string>t</string></dict></plist>");
    ASSERT_TRUE(root.isDictionary());
    EXPECT_TRUE(root.valueForKey("missing").isNull());
    EXPECT_FALSE(root.valueForKey("missing").value().isValid());
    EXPECT_TRUE(root.arrayItems().isEmpty());
    const DMPropertyListNode array = root.valueForKey("a");
    EXPECT_TRUE(array.isArray());
    EXPECT_TRUE(array.valueForKey("a").isNull());
    EXPECT_TRUE(array.dictionaryWithoutKey("a").isEmpty());
    const DMPropertyListNode text = root.valueForKey("s");
    EXPECT_FALSE(text.isDictionary() || text.isArray());
    EXPECT_TRUE(text.arrayItems().isEmpty());
    const DMPropertyListNode null;
    EXPECT_TRUE(null.valueForKey("a").isNull());
    EXPECT_TRUE(null.arrayItems().isEmpty());
    EXPECT_TRUE(null.dictionaryWithoutKey("a").isEmpty());

    for (const QByteArray &bad : {QByteArray(), QByteArray("<plist><dict><key>a</key>"),
                                  "<plist>" + QByteArray("<array>").repeated(1000), QByteArray("bplist00")}) {
        QString error;
        EXPECT_TRUE(DMPropertyListNode::parse(bad, &error).isNull());
        QString wholeError;
        DMPropertyList::propertyListWithData(bad, &wholeError);
        EXPECT_EQ(error, wholeError);
        EXPECT_FALSE(error.isEmpty());
    }
}

// A large list parsed with its tasks in parts gives the values of the whole parse through every
// way of reading it, in either way of writing XML; the parts are the items in order.
TEST(DMPropertyListNode, ALargeArrayReadInPartsReadsAsTheWholeList)
{
    const PoolThreads threads(4);
    for (DMPropertyList::Format format : {DMPropertyList::XML, DMPropertyList::CompactXML}) {
        SCOPED_TRACE(format == DMPropertyList::XML ? "XML" : "compact XML");
        const QByteArray data = largeListXML(format, 6000, 2 << 20);
        const DMPropertyListNode whole = DMPropertyListNode::parse(data);
        DMPropertyListNode parted = DMPropertyListNode::parse(data, nullptr, "tasks");
        ASSERT_TRUE(parted.isDictionary());
        const QVariantMap expected = whole.value().toMap();
        const QVariantList expectedTasks = expected.value(QStringLiteral("tasks")).toList();
        EXPECT_TRUE(sameVariant(parted.value(), expected));

        const DMPropertyListNode tasks = parted.valueForKey("tasks");
        const QList<QList<DMPropertyListNode>> parts = tasks.arrayParts();
        EXPECT_GT(parts.size(), 1);
        QVariantList joined;
        for (const QList<DMPropertyListNode> &part : parts) {
            EXPECT_FALSE(part.isEmpty());
            for (const DMPropertyListNode &item : part)
                joined.append(item.value());
        }
        EXPECT_TRUE(joined == expectedTasks);
        const QList<DMPropertyListNode> items = tasks.arrayItems();
        ASSERT_EQ(items.size(), expectedTasks.size());
        EXPECT_TRUE(sameVariant(items.at(1234).value(), expectedTasks.at(1234)));

        // The rest without the array, and the rest converted with it.
        DMPropertyListNode skipped;
        QVariantMap rest = expected;
        rest.remove(QStringLiteral("tasks"));
        EXPECT_TRUE(sameVariant(parted.dictionaryWithoutKey("tasks", &skipped), rest));
        EXPECT_TRUE(skipped.value() == expectedTasks);
        QVariantMap withTasks = expected;
        withTasks.remove(QStringLiteral("title"));
        EXPECT_TRUE(parted.dictionaryWithoutKey("title") == withTasks);

        // Taking the rest leaves the array and its parts readable; taking the array with the rest
        // converts it whole.
        EXPECT_TRUE(sameVariant(parted.takeDictionaryWithoutKey("tasks", &skipped), rest));
        EXPECT_EQ(skipped.arrayParts().size(), parts.size());
        EXPECT_TRUE(skipped.value() == expectedTasks);
        DMPropertyListNode again = DMPropertyListNode::parse(data, nullptr, "tasks");
        QVariantMap withoutZeta = expected;
        withoutZeta.remove(QStringLiteral("zeta"));
        EXPECT_TRUE(again.takeDictionaryWithoutKey("zeta") == withoutZeta);
        EXPECT_TRUE(sameVariant(again.value(), QVariantMap{{QStringLiteral("zeta"), expected.value(QStringLiteral("zeta"))}}));
    }
}

// Each part lies in a tree of its own: the parts' items are taken apart on a thread each at once,
// after the root is gone, and give the whole parse's values.
TEST(DMPropertyListNode, PartsAreTakenApartOnSeveralThreadsAtOnce)
{
    const PoolThreads threads(4);
    const QByteArray data = largeListXML(DMPropertyList::CompactXML, 6000, 2 << 20);
    const QVariantList expected = DMPropertyListNode::parse(data).valueForKey("tasks").value().toList();
    QList<QList<DMPropertyListNode>> parts = DMPropertyListNode::parse(data, nullptr, "tasks").valueForKey("tasks").arrayParts();
    ASSERT_GT(parts.size(), 1);
    std::vector<QVariantList> taken(size_t(parts.size()));
    std::vector<std::thread> workers;
    for (qsizetype k = 0; k < parts.size(); ++k)
        workers.emplace_back([&, k] {
            for (DMPropertyListNode &item : parts[k]) {
                if (!item.isDictionary()) {
                    taken[size_t(k)].append(item.value());
                    continue;
                }
                DMPropertyListNode subitems;
                QVariantMap d = item.takeDictionaryWithoutKey("subitems", &subitems);
                if (!subitems.isNull())
                    d.insert(QStringLiteral("subitems"), subitems.value());
                taken[size_t(k)].append(d);
            }
        });
    for (std::thread &worker : workers)
        worker.join();
    QVariantList joined;
    for (const QVariantList &part : taken)
        joined.append(part);
    EXPECT_TRUE(joined == expected);
}

// Damage, and lists that only look splittable, read as the whole parse reads them: the same
// error, or the same values where the parser makes its own choice (a repeated key's last entry).
TEST(DMPropertyListNode, DamagedOrUnusualLargeListsReadAsTheWholeParseReadsThem)
{
    const PoolThreads threads(4);
    const QByteArray data = largeListXML(DMPropertyList::CompactXML, 3500, 1 << 20);
    const qsizetype middle = data.indexOf("</dict>", data.size() / 2);
    const qsizetype rootEnd = data.lastIndexOf("</dict>");
    const qsizetype rootBegin = data.indexOf("<dict>") + 6;
    const auto replaced = [&](qsizetype at, qsizetype length, const QByteArray &with) {
        return QByteArray(data).replace(at, length, with);
    };
    const struct
    {
        const char *name;
        QByteArray data;
    } cases[] = {
        {"an element broken in the middle", replaced(middle, 7, "</dixt>")},
        {"an element left open in the middle", replaced(middle, 7, "")},
        {"an element closed twice in the middle", replaced(middle, 7, "</dict></dict>")},
        {"truncated in the array", data.left(data.size() * 2 / 3)},
        {"truncated after the array", data.left(rootEnd)},
        {"a comment in the array", replaced(middle, 7, "</dict><!-- -->")},
        {"text between the elements", replaced(middle, 7, "</dict>x")},
        {"the key again with an empty array", replaced(rootEnd, 0, "<key>tasks</key><array/>")},
        {"the key again with an array without elements", replaced(rootEnd, 0, "<key>tasks</key><array></array>")},
        {"the key again written with an entity", replaced(rootEnd, 0, "<key>t&#97;sks</key><array></array>")},
        {"the key again with one element", replaced(rootEnd, 0, "<key>tasks</key><array><true/></array>")},
        {"the key again with a string", replaced(rootEnd, 0, "<key>tasks</key><string>x</string>")},
        {"the key first with a string", replaced(rootBegin, 0, "<key>tasks</key><string>x</string>")},
        {"a second root after the first", data + "<plist><dict><key>tasks</key><array/></dict></plist>"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        expectReadAsWhole(c.data);
    }
}
