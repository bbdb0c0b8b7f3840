#include "DMIndexSet_64.h"
#include "DMObjectSerialization.h"
#include "DMPropertyList.h"

#include <QColor>
#include <QImage>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

using namespace DMObjectSerialization;

// Encodes, writes as a property list, reads back and decodes: only property-list types may
// come out of encode.
QVariant throughPropertyList(const QVariant &value, DMPropertyList::Format format = DMPropertyList::XML)
{
    QString error;
    const QByteArray bytes = DMPropertyList::dataWithPropertyList(encode(value), format, &error);
    EXPECT_FALSE(bytes.isEmpty()) << value.metaType().name() << ": " << error.toStdString();
    return decode(DMPropertyList::propertyListWithData(bytes, &error));
}

QVariantMap wrapped(const QString &className, const QVariant &object)
{
    return {{"class", className}, {"object", object}};
}

TEST(ObjectSerialization, EveryKindRoundTripsThroughPropertyListsWithItsKind)
{
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    image.setPixel(0, 0, qRgba(255, 0, 0, 255));
    image.setPixel(2, 1, qRgba(0, 0, 255, 128));
    DMMutableIndexSet_64 indexes;
    indexes.addIndexesInRange({-5, 3});
    indexes.addIndexesInRange({86400LL * 2460000, 3600});
    const QUrl url("file:///home/u/a%20b.pdf");

    const std::pair<QVariant, QVariant> cases[] = { // value, value decoded
        {QString("s €"), QString("s €")},
        {int(-42), qint64(-42)},
        {qint64(INT64_MIN), qint64(INT64_MIN)},
        {quint32(4000000000u), qint64(4000000000LL)},
        {0.1, 0.1},
        {1.5f, 1.5},
        {true, true},
        {false, false},
        {QByteArray("\0\xff", 2), QByteArray("\0\xff", 2)},
        {QVariantList{QString("a"), 1, QVariantList{true}}, QVariantList{QString("a"), qint64(1), QVariantList{true}}},
        {QStringList{"p", "q"}, QVariantList{QString("p"), QString("q")}},
        {QVariantList{}, QVariantList{}},
        {QVariantMap{}, QVariantMap{}},
        {QVariant::fromValue(DMSet{{QString("a"), qint64(3)}}), QVariant::fromValue(DMSet{{QString("a"), qint64(3)}})},
        {QVariantMap{{"nested", QVariantMap{{"url", url}}}}, QVariantMap{{"nested", QVariantMap{{"url", url}}}}},
        {QVariant::fromValue(indexes), QVariant::fromValue(DMIndexSet_64(indexes))},
        {QVariant::fromValue(DMIndexSet_64()), QVariant::fromValue(DMIndexSet_64())},
        {QColor::fromRgbF(0.1f, 0.2f, 0.3f, 0.4f), QColor::fromRgbF(0.1f, 0.2f, 0.3f, 0.4f)},
        {QColor::fromHsv(120, 255, 255), QColor(0, 255, 0)},
        {image, image},
    };
    for (const auto format : {DMPropertyList::XML, DMPropertyList::Binary}) {
        for (const auto &[value, expected] : cases) {
            const QVariant decoded = throughPropertyList(value, format);
            ASSERT_EQ(decoded.metaType(), expected.metaType()) << value.metaType().name();
            if (expected.typeId() == QMetaType::QImage)
                EXPECT_EQ(decoded.value<QImage>().convertToFormat(QImage::Format_ARGB32), image);
            else
                EXPECT_EQ(decoded, expected) << value.metaType().name();
        }
    }
}

TEST(ObjectSerialization, EncodedFormUsesDocumentedClassNames)
{
    EXPECT_EQ(encode(QString("a")), QVariant(wrapped("string", "a")));
    EXPECT_EQ(encode(7), QVariant(wrapped("number", qint64(7))));
    EXPECT_EQ(encode(QUrl("https://example.org/a b")), QVariant(wrapped("url", "https://example.org/a%20b")));
    EXPECT_EQ(encode(QVariantList{1}), QVariant(wrapped("array", QVariantList{wrapped("number", qint64(1))})));
    DMMutableIndexSet_64 indexes;
    indexes.addIndexesInRange({-5, 3});
    indexes.addIndex(10);
    EXPECT_EQ(encode(QVariant::fromValue(indexes)), QVariant(wrapped("indexset", "-5--3,10")));
    const QVariantMap color = encode(QColor(255, 0, 0)).toMap();
    EXPECT_EQ(color.value("class"), "color");
    EXPECT_EQ(color.value("object").toMap().value("r").toDouble(), 1.0);
    EXPECT_EQ(color.value("object").toMap().value("g").toDouble(), 0.0);
    QImage image(1, 1, QImage::Format_ARGB32);
    image.fill(Qt::red);
    EXPECT_TRUE(encode(image).toMap().value("object").toByteArray().startsWith("\x89PNG"));
}

TEST(ObjectSerialization, UnencodableValuesGiveInvalidOrAreLeftOut)
{
    for (const QVariant &value : {QVariant(), QVariant(QColor()), QVariant(QImage()), QVariant(QUrl()),
                                  QVariant(QPointF(1, 2)), QVariant(quint64(UINT64_MAX))}) // no wrap to negative
        EXPECT_FALSE(encode(value).isValid()) << value.metaType().name();

    const QVariantList mixed = throughPropertyList(QVariantList{1, QPointF(1, 2), QString("z")}).toList();
    EXPECT_EQ(mixed.size(), 2);
    EXPECT_EQ(encodeDictionary({{"a", 1}, {"b", QVariant()}}).keys(), QStringList{"a"});
}

TEST(ObjectSerialization, MalformedInputDecodesToInvalid)
{
    const QVariant bad[] = {
        QVariant(),
        QString("string"),
        QVariantMap{{"object", QString("no class")}},
        wrapped("string", QVariant()),
        wrapped("unknownclass", QString("x")),
        QVariantMap{{"class", 5}, {"object", QString("x")}},
        wrapped("string", qint64(5)),
        wrapped("number", QString("5")),
        wrapped("data", QString("x")),
        wrapped("array", QString("x")),
        wrapped("set", QVariantMap{}),
        wrapped("dictionary", QVariantList{}),
        wrapped("url", qint64(1)),
        wrapped("url", QString("")),
        wrapped("url", QString("http://[bad")),
        wrapped("indexset", QString("5-")),
        wrapped("indexset", qint64(1)),
        wrapped("color", QVariantMap{{"r", 1.0}, {"g", 1.0}}),
        wrapped("color", QVariantMap{{"r", 1.0}, {"g", QString("1")}, {"b", 1.0}}),
        wrapped("color", QVariantMap{{"r", 1.0}, {"g", 1.0}, {"b", std::nan("")}}),
        wrapped("image", QByteArray("\x89PNG not really")),
        wrapped("image", QString("x")),
    };
    for (const QVariant &value : bad)
        EXPECT_FALSE(decode(value).isValid()) << QVariant(value).toMap().value("class").toString().toStdString();
}

TEST(ObjectSerialization, DamagedEntriesAreDroppedAndOthersKept)
{
    const QVariant dictionary = wrapped("dictionary", QVariantMap{{"good", wrapped("string", "g")},
                                                                  {"bad", wrapped("string", qint64(1))},
                                                                  {"plain", QString("not wrapped")}});
    EXPECT_EQ(decode(dictionary).toMap(), (QVariantMap{{"good", QString("g")}}));
    EXPECT_EQ(decodeDictionary({{"x", wrapped("number", 2.0)}, {"y", QString("raw")}}), (QVariantMap{{"x", 2.0}}));

    const QColor clamped = decode(wrapped("color", QVariantMap{{"r", 2.0}, {"g", qint64(0)}, {"b", -1.0}})).value<QColor>();
    EXPECT_EQ(clamped, QColor(255, 0, 0));
}

TEST(ObjectSerialization, NestingIsCutAtTheDepthLimit)
{
    const auto leafDepth = [](int levels) {
        QVariant nested = wrapped("string", "leaf");
        for (int i = 0; i < levels; ++i)
            nested = wrapped("array", QVariantList{nested});
        QVariant decoded = decode(nested);
        int depth = 0;
        for (; decoded.typeId() == QMetaType::QVariantList && !decoded.toList().isEmpty(); ++depth)
            decoded = decoded.toList().first();
        return decoded.typeId() == QMetaType::QString ? depth : -1;
    };
    EXPECT_EQ(leafDepth(maxDepth), maxDepth);
    EXPECT_EQ(leafDepth(maxDepth + 1), -1);
}

} // namespace
