#include "DMIndexSet_64.h"
#include "DMObjectSerialization.h"
#include "DMPropertyList.h"

#include <QColor>
#include <QImage>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

using namespace DMObjectSerialization;

// Encoded output must be writable as a property list: only these types, all the way down.
bool onlyPropertyListTypes(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QVariantMap: {
        const QVariantMap map = value.toMap();
        return std::all_of(map.cbegin(), map.cend(), onlyPropertyListTypes);
    }
    case QMetaType::QVariantList: {
        const QVariantList list = value.toList();
        return std::all_of(list.cbegin(), list.cend(), onlyPropertyListTypes);
    }
    case QMetaType::QString:
    case QMetaType::LongLong:
    case QMetaType::Double:
    case QMetaType::Bool:
    case QMetaType::QByteArray:
    case QMetaType::QDateTime:
        return true;
    default:
        return false;
    }
}

QVariant roundTrip(const QVariant &value)
{
    const QVariant encoded = encode(value);
    EXPECT_TRUE(encoded.isValid()) << value.metaType().name();
    EXPECT_TRUE(onlyPropertyListTypes(encoded)) << value.metaType().name();
    return decode(encoded);
}

QVariantMap wrapped(const QString &className, const QVariant &object)
{
    return {{"class", className}, {"object", object}};
}

TEST(ObjectSerialization, ScalarsRoundTripWithTheirKind)
{
    EXPECT_EQ(roundTrip(QString("Täst")), QVariant(QString("Täst")));
    EXPECT_EQ(roundTrip(QByteArray("\0\1\2", 3)), QVariant(QByteArray("\0\1\2", 3)));

    const QVariant integer = roundTrip(int(-42));
    EXPECT_EQ(integer.typeId(), QMetaType::LongLong);
    EXPECT_EQ(integer.toLongLong(), -42);
    EXPECT_EQ(roundTrip(qint64(INT64_MAX)).toLongLong(), INT64_MAX);
    EXPECT_EQ(roundTrip(quint32(4000000000u)).toLongLong(), 4000000000LL);

    const QVariant real = roundTrip(2.5);
    EXPECT_EQ(real.typeId(), QMetaType::Double);
    EXPECT_EQ(real.toDouble(), 2.5);
    EXPECT_EQ(roundTrip(1.5f).toDouble(), 1.5);

    const QVariant boolean = roundTrip(true);
    EXPECT_EQ(boolean.typeId(), QMetaType::Bool);
    EXPECT_TRUE(boolean.toBool());
    EXPECT_EQ(roundTrip(false).typeId(), QMetaType::Bool);
}

TEST(ObjectSerialization, EncodedFormUsesDocumentedClassNames)
{
    EXPECT_EQ(encode(QString("a")), QVariant(wrapped("string", "a")));
    EXPECT_EQ(encode(7), QVariant(wrapped("number", qint64(7))));
    EXPECT_EQ(encode(QUrl("https://example.org/a b")), QVariant(wrapped("url", "https://example.org/a%20b")));
    EXPECT_EQ(encode(QVariantList{1}), QVariant(wrapped("array", QVariantList{wrapped("number", qint64(1))})));
    const QVariantMap color = encode(QColor(255, 0, 0)).toMap();
    EXPECT_EQ(color.value("class"), "color");
    EXPECT_EQ(color.value("object").toMap().value("r").toDouble(), 1.0);
    EXPECT_EQ(color.value("object").toMap().value("g").toDouble(), 0.0);
}

TEST(ObjectSerialization, CollectionsRoundTripRecursively)
{
    const QVariantList array{QString("x"), 3, QVariantList{true, QByteArray("d")}};
    const QVariant decodedArray = roundTrip(array);
    ASSERT_EQ(decodedArray.typeId(), QMetaType::QVariantList);
    const QVariantList list = decodedArray.toList();
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list[0], QString("x"));
    EXPECT_EQ(list[1].toLongLong(), 3);
    EXPECT_EQ(list[2].toList().value(1), QByteArray("d"));

    const QVariant set = roundTrip(QVariant::fromValue(DMSet{{QString("a"), QString("b")}}));
    ASSERT_EQ(set.metaType(), QMetaType::fromType<DMSet>());
    EXPECT_EQ(set.value<DMSet>().values, (QVariantList{QString("a"), QString("b")}));

    const QVariantMap dictionary{{"name", QString("n")},
                                 {"nested", QVariantMap{{"url", QUrl("file:///tmp/x.txt")}}},
                                 {"strings", QStringList{"p", "q"}}};
    const QVariantMap decoded = roundTrip(dictionary).toMap();
    EXPECT_EQ(decoded.value("name"), QString("n"));
    EXPECT_EQ(decoded.value("nested").toMap().value("url"), QUrl("file:///tmp/x.txt"));
    EXPECT_EQ(decoded.value("strings").toList(), (QVariantList{QString("p"), QString("q")}));

    EXPECT_EQ(roundTrip(QVariantList{}), QVariant(QVariantList{}));
    EXPECT_EQ(roundTrip(QVariantMap{}), QVariant(QVariantMap{}));
}

TEST(ObjectSerialization, IndexSetsColoursAndImagesRoundTrip)
{
    DMMutableIndexSet_64 indexes;
    indexes.addIndexesInRange({-5, 3});
    indexes.addIndex(10);
    indexes.addIndexesInRange({86400LL * 2460000, 3600});
    const QVariant encodedIndexes = encode(QVariant::fromValue(indexes));
    EXPECT_EQ(encodedIndexes.toMap().value("class"), "indexset");
    EXPECT_EQ(encodedIndexes.toMap().value("object"), indexes.rangeString());
    const QVariant decodedIndexes = decode(encodedIndexes);
    ASSERT_EQ(decodedIndexes.metaType(), QMetaType::fromType<DMIndexSet_64>());
    EXPECT_TRUE(decodedIndexes.value<DMIndexSet_64>() == indexes);
    EXPECT_TRUE(roundTrip(QVariant::fromValue(DMIndexSet_64())).value<DMIndexSet_64>().isEmpty());

    const QColor color = QColor::fromRgbF(0.1f, 0.2f, 0.3f, 0.4f);
    EXPECT_EQ(roundTrip(color).value<QColor>(), color);
    EXPECT_EQ(roundTrip(QColor::fromHsv(120, 255, 255)).value<QColor>(), QColor(0, 255, 0));

    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    image.setPixel(0, 0, qRgba(255, 0, 0, 255));
    image.setPixel(2, 1, qRgba(0, 0, 255, 128));
    const QVariant encodedImage = encode(image);
    EXPECT_TRUE(encodedImage.toMap().value("object").toByteArray().startsWith("\x89PNG"));
    const QImage decoded = decode(encodedImage).value<QImage>().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(decoded, image);
}

TEST(ObjectSerialization, EveryKindRoundTripsThroughPropertyLists)
{
    QImage image(2, 2, QImage::Format_ARGB32);
    image.fill(qRgba(10, 20, 30, 40));
    DMMutableIndexSet_64 indexes;
    indexes.addIndexesInRange({100, 50});
    const QVariantMap settings{{"string", QString("s €")},
                               {"integer", qint64(-9000000000LL)},
                               {"real", 0.1},
                               {"bool", true},
                               {"data", QByteArray("\0\xff", 2)},
                               {"array", QVariantList{QString("a"), 1}},
                               {"set", QVariant::fromValue(DMSet{{qint64(3)}})},
                               {"dictionary", QVariantMap{{"k", QString("v")}}},
                               {"url", QUrl("file:///home/u/a%20b.pdf")},
                               {"indexset", QVariant::fromValue(DMIndexSet_64(indexes))},
                               {"color", QColor(1, 2, 3, 4)},
                               {"image", image}};
    for (const auto format : {DMPropertyList::XML, DMPropertyList::Binary}) {
        QString error;
        const QByteArray bytes = DMPropertyList::dataWithPropertyList(encodeDictionary(settings), format, &error);
        ASSERT_FALSE(bytes.isEmpty()) << error.toStdString();
        const QVariantMap decoded = decodeDictionary(DMPropertyList::propertyListWithData(bytes, &error).toMap());
        ASSERT_EQ(decoded.keys(), settings.keys()) << error.toStdString();
        for (const QString &key : settings.keys()) {
            if (key == "image")
                EXPECT_EQ(decoded[key].value<QImage>().convertToFormat(QImage::Format_ARGB32), image);
            else if (key == "integer")
                EXPECT_EQ(decoded[key].toLongLong(), -9000000000LL);
            else if (key == "array")
                EXPECT_EQ(decoded[key].toList(), (QVariantList{QString("a"), qint64(1)}));
            else
                EXPECT_EQ(decoded[key], settings[key]) << key.toStdString();
        }
    }
}

TEST(ObjectSerialization, UnencodableValuesGiveInvalidOrAreLeftOut)
{
    EXPECT_FALSE(encode(QVariant()).isValid());
    EXPECT_FALSE(encode(QColor()).isValid());
    EXPECT_FALSE(encode(QImage()).isValid());
    EXPECT_FALSE(encode(QUrl()).isValid());
    EXPECT_FALSE(encode(QPointF(1, 2)).isValid());
    EXPECT_FALSE(encode(quint64(UINT64_MAX)).isValid()); // no silent wrap to a negative number

    const QVariantList mixed = roundTrip(QVariantList{1, QPointF(1, 2), QString("z")}).toList();
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
    const auto nestedArrays = [](int levels) {
        QVariant nested = wrapped("string", "leaf");
        for (int i = 0; i < levels; ++i)
            nested = wrapped("array", QVariantList{nested});
        return nested;
    };
    const auto leafDepth = [](QVariant decoded) {
        int depth = 0;
        while (decoded.typeId() == QMetaType::QVariantList && !decoded.toList().isEmpty()) {
            decoded = decoded.toList().first();
            ++depth;
        }
        return decoded.typeId() == QMetaType::QString ? depth : -1;
    };
    EXPECT_EQ(leafDepth(decode(nestedArrays(10))), 10);
    EXPECT_EQ(leafDepth(decode(nestedArrays(maxDepth))), maxDepth);
    EXPECT_EQ(leafDepth(decode(nestedArrays(maxDepth + 1))), -1);
}

} // namespace
