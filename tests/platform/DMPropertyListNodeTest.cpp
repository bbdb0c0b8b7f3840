#include "DMPropertyList.h"
#include "DMPropertyListNode.h"
#include "PropertyListTestSupport.h"

#include <gtest/gtest.h>

using halcyra::test::everyKindOfValue;
using halcyra::test::sameVariant;

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
