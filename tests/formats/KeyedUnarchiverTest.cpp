// The keyed-archive reader: identity of shared objects, the foundation's value forms, and where
// a damaged object's failure stops.
#include "DMArchiveValues.h"
#include "DMKeyedUnarchiver.h"
#include "DMPropertyList.h"

#include <gtest/gtest.h>

namespace {

QVariantMap ref(qint64 index)
{
    return QVariantMap{{QStringLiteral("CF$UID"), index}};
}

QVariantMap classInfo(const QString &name, const QStringList &parents = {QStringLiteral("NSObject")})
{
    QVariantList classes{name};
    for (const QString &parent : parents)
        classes.append(parent);
    return QVariantMap{{QStringLiteral("$classname"), name}, {QStringLiteral("$classes"), classes}};
}

QByteArray archive(const QVariantList &objects, qint64 root)
{
    const QVariantMap plist{{QStringLiteral("$archiver"), QStringLiteral("NSKeyedArchiver")},
                            {QStringLiteral("$version"), 100000},
                            {QStringLiteral("$top"), QVariantMap{{QStringLiteral("root"), ref(root)}}},
                            {QStringLiteral("$objects"), objects}};
    return DMPropertyList::dataWithPropertyList(plist, DMPropertyList::Binary);
}

// A class of the test: its "items" and "name".
class Holder : public DMArchivedObject
{
public:
    void initWithCoder(const DMArchiveCoder &coder) override
    {
        items = coder.decodeArrayForKey(QStringLiteral("items"));
        name = coder.decodeStringForKey(QStringLiteral("name"));
        if (coder.decodeIntegerForKey(QStringLiteral("refuse")) == 1)
            coder.failDecoding(QStringLiteral("refused"));
    }
    QVariantList items;
    QString name;
};

TEST(KeyedUnarchiver, SharedObjectsKeepTheirIdentityAndFailuresStayInside)
{
    // 0 $null, 1 Holder class, 2 array class, 3 dictionary class, 4 root holder, 5 shared
    // dictionary, 6 key, 7 array holding the dictionary twice, two holders and nil, 8 a holder
    // whose array (9) refers back to it, 10 a holder that refuses to be read.
    const QVariantList objects{
        QStringLiteral("$null"),
        classInfo(QStringLiteral("TestHolder"), {QStringLiteral("Holder"), QStringLiteral("NSObject")}),
        classInfo(QStringLiteral("NSArray")),
        classInfo(QStringLiteral("NSDictionary")),
        QVariantMap{{QStringLiteral("$class"), ref(1)}, {QStringLiteral("items"), ref(7)}, {QStringLiteral("name"), ref(6)}},
        QVariantMap{{QStringLiteral("$class"), ref(3)}, {QStringLiteral("NS.keys"), QVariantList{ref(6)}},
                    {QStringLiteral("NS.objects"), QVariantList{ref(6)}}},
        QStringLiteral("key"),
        QVariantMap{{QStringLiteral("$class"), ref(2)},
                    {QStringLiteral("NS.objects"), QVariantList{ref(5), ref(5), ref(8), ref(10), ref(0)}}},
        QVariantMap{{QStringLiteral("$class"), ref(1)}, {QStringLiteral("items"), ref(9)}},
        QVariantMap{{QStringLiteral("$class"), ref(2)}, {QStringLiteral("NS.objects"), QVariantList{ref(8)}}},
        QVariantMap{{QStringLiteral("$class"), ref(1)}, {QStringLiteral("refuse"), 1}},
    };
    DMKeyedUnarchiver unarchiver(archive(objects, 4));
    ASSERT_TRUE(unarchiver.isValid());
    // The class is found through the classes it derives from.
    unarchiver.setClassForClassName(QStringLiteral("Holder"), [] { return std::make_shared<Holder>(); });
    const auto root = DMArchivedObject_cast<Holder>(unarchiver.decodeTopObjectForKey(QStringLiteral("root")));
    ASSERT_TRUE(root);
    EXPECT_EQ(root->archivedClassName(), QStringLiteral("TestHolder"));
    EXPECT_EQ(root->name, QStringLiteral("key"));
    ASSERT_EQ(root->items.size(), 5);
    const auto first = DMArchivedObject_cast<DMArchivedDictionary>(root->items.at(0));
    ASSERT_TRUE(first);
    EXPECT_EQ(first.get(), DMArchivedObject_cast<DMArchivedDictionary>(root->items.at(1)).get());
    EXPECT_EQ(first->value(QStringLiteral("key")).toString(), QStringLiteral("key"));
    // The array that refers back to the holder being read fails, not the holder; the holder
    // that refuses fails alone; nil stays nil.
    const auto cyclic = DMArchivedObject_cast<Holder>(root->items.at(2));
    ASSERT_TRUE(cyclic);
    EXPECT_TRUE(cyclic->items.isEmpty());
    EXPECT_FALSE(root->items.at(3).isValid());
    EXPECT_FALSE(root->items.at(4).isValid());
    ASSERT_EQ(unarchiver.problems().size(), 2);
    EXPECT_TRUE(unarchiver.problems().at(0).contains(QLatin1String("object 9 cannot be read")));
    EXPECT_TRUE(unarchiver.problems().at(0).contains(QLatin1String("reference cycle")));
    EXPECT_TRUE(unarchiver.problems().at(1).contains(QLatin1String("object 10 cannot be read: refused")));
}

TEST(KeyedUnarchiver, FoundationValues)
{
    const QVariantList objects{
        QStringLiteral("$null"),
        classInfo(QStringLiteral("NSArray")),
        QVariantMap{{QStringLiteral("$class"), ref(1)},
                    {QStringLiteral("NS.objects"), QVariantList{ref(3), ref(5), ref(6), ref(8), ref(9), ref(10), ref(12)}}},
        QVariantMap{{QStringLiteral("$class"), ref(4)}, {QStringLiteral("NSColorSpace"), 3}, {QStringLiteral("NSWhite"), QByteArray("0.5\0", 4)}},
        classInfo(QStringLiteral("NSColor")),
        QVariantMap{{QStringLiteral("$class"), ref(7)}, {QStringLiteral("NS.string"), QStringLiteral("mutable")}},
        QVariantMap{{QStringLiteral("$class"), ref(11)}, {QStringLiteral("NS.rectval"), QStringLiteral("{{1.5, 2}, {30, 40}}")}},
        classInfo(QStringLiteral("NSMutableString")),
        QVariantMap{{QStringLiteral("$class"), ref(13)}, {QStringLiteral("NS.data"), QByteArray("\x01\x02", 2)}},
        QVariantMap{{QStringLiteral("$class"), ref(14)}, {QStringLiteral("NS.time"), 0.0}},
        QVariantMap{{QStringLiteral("$class"), ref(4)}, {QStringLiteral("NSColorSpace"), 1}, {QStringLiteral("NSRGB"), QByteArray("1 0.5 0 0.25")}},
        classInfo(QStringLiteral("NSValue")),
        QVariantMap{{QStringLiteral("$class"), ref(15)}},
        classInfo(QStringLiteral("NSMutableData")),
        classInfo(QStringLiteral("NSDate")),
        classInfo(QStringLiteral("NSNull")),
    };
    DMKeyedUnarchiver unarchiver(archive(objects, 2));
    const QVariantList values = unarchiver.decodeTopObjectForKey(QStringLiteral("root")).toList();
    ASSERT_EQ(values.size(), 7) << unarchiver.problems().join('\n').toStdString();
    EXPECT_EQ(values.at(0).value<QColor>(), QColor::fromRgbF(0.5f, 0.5f, 0.5f));
    EXPECT_EQ(values.at(1).toString(), QStringLiteral("mutable"));
    EXPECT_EQ(values.at(2).toRectF(), QRectF(1.5, 2, 30, 40));
    EXPECT_EQ(values.at(3).toByteArray(), QByteArray("\x01\x02", 2));
    EXPECT_EQ(values.at(4).toDateTime().toUTC(), QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(values.at(5).value<QColor>(), QColor::fromRgbF(1.0f, 0.5f, 0.0f, 0.25f));
    EXPECT_FALSE(values.at(6).isValid());
    EXPECT_TRUE(unarchiver.problems().isEmpty());
}

TEST(KeyedUnarchiver, ValueFormsOfTheArchive)
{
    QRectF rect;
    EXPECT_TRUE(DMArchive_rectFromString(u"{{0, 0}, {10, 20.5}}", &rect));
    EXPECT_EQ(rect, QRectF(0, 0, 10, 20.5));
    for (const char16_t *bad : {u"{{0, 0}, {10}}", u"{0, 0, 10, 20}", u"{{a, 0}, {10, 20}}", u"", u"{{0, 0}, {nan, 1}}"})
        EXPECT_FALSE(DMArchive_rectFromString(bad, &rect)) << QString::fromUtf16(bad).toStdString();

    EXPECT_EQ(DMArchive_colorWithComponents(2, "0 0 1", {}, {}), QColor::fromRgbF(0, 0, 1));
    EXPECT_EQ(DMArchive_colorWithComponents(1, "2 -1 0.5", {}, {}), QColor::fromRgbF(1, 0, 0.5f));
    EXPECT_FALSE(DMArchive_colorWithComponents(1, "0 0", {}, {}).isValid());
    EXPECT_FALSE(DMArchive_colorWithComponents(1, "red green blue", {}, {}).isValid());
    EXPECT_FALSE(DMArchive_colorWithComponents(9, "0 0 0", {}, {}).isValid());

    EXPECT_EQ(DMArchive_dateWithReferenceSeconds(86400.0, QTimeZone("UTC")),
              QDateTime(QDate(2001, 1, 2), QTime(0, 0), QTimeZone("UTC")));
    EXPECT_FALSE(DMArchive_dateWithReferenceSeconds(1e300).isValid());
    EXPECT_FALSE(DMArchive_dateWithReferenceSeconds(std::nan("")).isValid());
}

} // namespace
