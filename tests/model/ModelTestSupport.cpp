#include "ModelTestSupport.h"

#include "DMColorAdditions.h"

#include <vector>

namespace halcyra::test {

namespace {

QList<quint64> ids(const QList<std::shared_ptr<DMProjectResource>> &resources)
{
    QList<quint64> list;
    for (const auto &r : resources)
        list.append(r->objectID());
    return list;
}

void expectSameItem(const DMProjectItem &a, const DMProjectItem &b)
{
    SCOPED_TRACE(a.title().toStdString());
    EXPECT_EQ(a.className(), b.className());
    EXPECT_EQ(a.objectID(), b.objectID());
    EXPECT_EQ(a.title(), b.title());
    EXPECT_EQ(a.beginDate(), b.beginDate());
    EXPECT_EQ(a.endDate(), b.endDate());
    EXPECT_EQ(a.duration(), b.duration());
    EXPECT_EQ(a.useWorkingSchedule(), b.useWorkingSchedule());
    EXPECT_FLOAT_EQ(a.progress(), b.progress());
    EXPECT_EQ(a.locked(), b.locked());
    EXPECT_EQ(a.fillColor().rgba64(), b.fillColor().rgba64());
    EXPECT_EQ(a.attributes(), b.attributes());
    const auto pa = a.parentItem();
    const auto pb = b.parentItem();
    EXPECT_EQ(pa ? pa->objectID() : 0, pb ? pb->objectID() : 0);
    ASSERT_EQ(a.outboundDependencies().size(), b.outboundDependencies().size());
    for (qsizetype i = 0; i < a.outboundDependencies().size(); ++i) {
        const auto &da = *a.outboundDependencies().at(i);
        const auto &db = *b.outboundDependencies().at(i);
        EXPECT_EQ(da.objectID(), db.objectID());
        EXPECT_EQ(db.fromItemPointer(), &b);
        EXPECT_EQ(da.toItem()->objectID(), db.toItem()->objectID());
        EXPECT_TRUE(db.toItem()->inboundDependencies().contains(b.outboundDependencies().at(i)));
        EXPECT_EQ(da.kind(), db.kind());
        EXPECT_EQ(da.color().rgba64(), db.color().rgba64());
        EXPECT_EQ(da.linkStyle(), db.linkStyle());
        EXPECT_EQ(da.hasArrow(), db.hasArrow());
        EXPECT_EQ(da.dashStyle(), db.dashStyle());
        EXPECT_EQ(da.thickness(), db.thickness());
    }
    EXPECT_EQ(a.inboundDependencies().size(), b.inboundDependencies().size());
    const auto *ta = dynamic_cast<const DMProjectTask *>(&a);
    const auto *tb = dynamic_cast<const DMProjectTask *>(&b);
    ASSERT_EQ(ta == nullptr, tb == nullptr);
    if (ta) {
        EXPECT_EQ(ids(ta->concernedResources()), ids(tb->concernedResources()));
    }
    ASSERT_EQ(a.subitems().size(), b.subitems().size());
}

void expectSameItemTrees(const QList<std::shared_ptr<DMProjectItem>> &a, const QList<std::shared_ptr<DMProjectItem>> &b)
{
    ASSERT_EQ(a.size(), b.size());
    std::vector<std::pair<const DMProjectItem *, const DMProjectItem *>> stack;
    for (qsizetype i = 0; i < a.size(); ++i)
        stack.push_back({a.at(i).get(), b.at(i).get()});
    while (!stack.empty()) {
        auto [x, y] = stack.back();
        stack.pop_back();
        expectSameItem(*x, *y);
        if (x->subitems().size() != y->subitems().size())
            return;
        for (qsizetype i = 0; i < x->subitems().size(); ++i)
            stack.push_back({x->subitems().at(i).get(), y->subitems().at(i).get()});
    }
}

void expectSameResources(const QList<std::shared_ptr<DMProjectResource>> &a, const QList<std::shared_ptr<DMProjectResource>> &b)
{
    ASSERT_EQ(a.size(), b.size());
    for (qsizetype i = 0; i < a.size(); ++i) {
        const DMProjectResource &x = *a.at(i);
        const DMProjectResource &y = *b.at(i);
        EXPECT_EQ(x.objectID(), y.objectID());
        EXPECT_EQ(x.kind(), y.kind());
        EXPECT_EQ(x.name(), y.name());
        EXPECT_EQ(x.attributes(), y.attributes());
        EXPECT_EQ(x.assignedTasks().size(), y.assignedTasks().size());
        expectSameResources(x.subitems().list(), y.subitems().list());
    }
}

} // namespace

void expectSameProject(const DMProject &a, const DMProject &b)
{
    EXPECT_EQ(a.title(), b.title());
    EXPECT_EQ(a.beginDate(), b.beginDate());
    EXPECT_EQ(a.endDate(), b.endDate());
    EXPECT_EQ(a.attributes().keys(), b.attributes().keys());
    for (const QString &key : a.attributes().keys())
        EXPECT_EQ(a.attributes().value(key), b.attributes().value(key)) << key.toStdString();
    expectSameItemTrees(a.tasks().list(), b.tasks().list());
    expectSameResources(a.resources().list(), b.resources().list());
    QList<std::shared_ptr<DMProjectItem>> ea, eb;
    for (const auto &e : a.eventContainer()->events())
        ea.append(e);
    for (const auto &e : b.eventContainer()->events())
        eb.append(e);
    expectSameItemTrees(ea, eb);
    EXPECT_EQ(a.eventContainer()->subRowCount(), b.eventContainer()->subRowCount());
    const auto &ta = a.todoContainer()->todos();
    const auto &tb = b.todoContainer()->todos();
    EXPECT_EQ(a.todoContainer()->sortingMode(), b.todoContainer()->sortingMode());
    ASSERT_EQ(ta.size(), tb.size());
    for (qsizetype i = 0; i < ta.size(); ++i) {
        EXPECT_EQ(ta.at(i)->objectID(), tb.at(i)->objectID());
        EXPECT_EQ(ta.at(i)->kind(), tb.at(i)->kind());
        EXPECT_EQ(ta.at(i)->date(), tb.at(i)->date());
        EXPECT_EQ(ta.at(i)->done(), tb.at(i)->done());
        EXPECT_EQ(ta.at(i)->noDueDate(), tb.at(i)->noDueDate());
        EXPECT_EQ(ta.at(i)->attributes(), tb.at(i)->attributes());
    }
    EXPECT_EQ(a.indexedObjectCount(), b.indexedObjectCount());
}

std::string firstDifference(const QVariant &a, const QVariant &b)
{
    struct Pending
    {
        QVariant a, b;
        QString path;
    };
    std::vector<Pending> stack{{a, b, QString()}};
    while (!stack.empty()) {
        const Pending p = std::move(stack.back());
        stack.pop_back();
        if (p.a == p.b)
            continue;
        if (p.a.typeId() == QMetaType::QVariantMap && p.b.typeId() == QMetaType::QVariantMap) {
            const QVariantMap ma = p.a.toMap();
            const QVariantMap mb = p.b.toMap();
            QStringList keys = ma.keys() + mb.keys();
            keys.removeDuplicates();
            for (const QString &key : keys)
                stack.push_back({ma.value(key), mb.value(key), p.path + QLatin1Char('.') + key});
            continue;
        }
        if (p.a.typeId() == QMetaType::QVariantList && p.b.typeId() == QMetaType::QVariantList
            && p.a.toList().size() == p.b.toList().size()) {
            const QVariantList la = p.a.toList();
            const QVariantList lb = p.b.toList();
            for (qsizetype i = la.size() - 1; i >= 0; --i)
                stack.push_back({la.at(i), lb.at(i), p.path + QStringLiteral("[%1]").arg(i)});
            continue;
        }
        const auto text = [](const QVariant &v) {
            if (v.typeId() == QMetaType::QVariantList)
                return QStringLiteral("list of %1").arg(v.toList().size());
            return v.isValid() ? v.toString() : QStringLiteral("(none)");
        };
        return (p.path + QStringLiteral(": ") + text(p.a) + QStringLiteral(" / ") + text(p.b)).toStdString();
    }
    return {};
}

namespace {

QVariantMap itemDictionary(const QString &className, qint64 id, int index)
{
    const qint64 begin = at(2024, 1, 8, 8).absoluteSecond() + qint64(index % 200) * 86400;
    const bool milestone = className == QLatin1String("DMProjectMilestone");
    return {{QStringLiteral("class"), className},
            {QStringLiteral("objectID"), id},
            {QStringLiteral("title"), QStringLiteral("Item %1: Grüße & <b>").arg(index)},
            {QStringLiteral("beginDate"), begin},
            {QStringLiteral("endDate"), milestone ? begin : begin + 36000},
            {QStringLiteral("duration"), milestone ? 0 : 36000},
            {QStringLiteral("progress"), (index % 11) / 10.0}};
}

QVariantMap linkTo(qint64 id, qint64 to)
{
    return {{QStringLiteral("class"), QStringLiteral("DMProjectDependency")},
            {QStringLiteral("objectID"), id},
            {QStringLiteral("toItem"), to}};
}

qint64 idOf(int index)
{
    return kLargeProjectFirstID + index;
}

} // namespace

QVariantMap largeProjectDictionary()
{
    const QStringList classes = {QStringLiteral("DMProjectTask"), QStringLiteral("DMProjectMilestone"),
                                 QStringLiteral("DMProjectProcess"), QStringLiteral("DMProjectItemGroup"),
                                 QStringLiteral("DMProjectItem")};
    QVariantList tasks;
    for (int i = 0; i < kLargeProjectItems; ++i) {
        const QString className = classes.at(i % classes.size());
        QVariantMap item = itemDictionary(className, i == kLargeProjectItems * 3 / 4 ? idOf(kLargeProjectItems / 4) : idOf(i), i);
        if (className == QLatin1String("DMProjectProcess") || className == QLatin1String("DMProjectItemGroup")) {
            QVariantMap inner = itemDictionary(QStringLiteral("DMProjectItemGroup"), 100000 + qint64(i) * 10, i);
            inner.insert(QStringLiteral("subitems"), QVariantList{itemDictionary(QStringLiteral("DMProjectTask"), 100001 + qint64(i) * 10, i)});
            item.insert(QStringLiteral("subitems"),
                        QVariantList{itemDictionary(QStringLiteral("DMProjectTask"), 100002 + qint64(i) * 10, i),
                                     itemDictionary(QStringLiteral("DMProjectMilestone"), 100003 + qint64(i) * 10, i), inner});
        }
        if (i % 7 == 0)
            item.insert(QStringLiteral("outboundDependencies"),
                        QVariantList{linkTo(500000 + i, idOf((i + kLargeProjectItems / 3) % kLargeProjectItems)),
                                     linkTo(600000 + i, i % 700 == 0 ? 999999 : idOf((i + 1) % kLargeProjectItems))});
        if (className == QLatin1String("DMProjectTask"))
            item.insert(QStringLiteral("resources"), QVariantList{qint64(50 + i % 3), qint64(i % 900 == 0 ? 99 : 53)});
        if (i % 2 == 0)
            item.remove(QStringLiteral("progress"));
        if (i % 3 == 0)
            item.insert(QStringLiteral("fillColor"), componentsDictionary(QColor::fromRgb(0x336699 + i)));
        tasks.append(item);
    }
    tasks[kLargeProjectItems / 10] = QVariantMap{{QStringLiteral("class"), QStringLiteral("NSWindow")},
                                     {QStringLiteral("subitems"), QVariantList{itemDictionary(QStringLiteral("DMProjectTask"), 7, 0)}}};
    tasks[kLargeProjectItems * 8 / 10] = QVariantMap{{QStringLiteral("class"), QStringLiteral("NSView")}};
    tasks[kLargeProjectItems * 6 / 10] = QStringLiteral("not an item");
    QVariantMap mended = itemDictionary(QStringLiteral("DMProjectTask"), -5, kLargeProjectItems * 7 / 10);
    mended.insert(QStringLiteral("beginDate"), QStringLiteral("yesterday"));
    tasks[kLargeProjectItems * 7 / 10] = mended;
    tasks[kLargeProjectItems * 9 / 10] = itemDictionary(QStringLiteral("DMProjectTask"), 0, kLargeProjectItems * 9 / 10);
    // New IDs are drawn above the file's highest, which a late part holds.
    tasks[kLargeProjectItems - 2] = itemDictionary(QStringLiteral("DMProjectTask"), qint64(5) << 32, kLargeProjectItems - 2);

    QVariantList resources;
    for (qint64 id = 50; id <= 53; ++id)
        resources.append(QVariantMap{{QStringLiteral("class"), QStringLiteral("DMProjectResource")},
                                     {QStringLiteral("objectID"), id},
                                     {QStringLiteral("name"), QStringLiteral("Resource %1").arg(id)}});
    return {{QStringLiteral("class"), QStringLiteral("DMProject")},
            {QStringLiteral("title"), QStringLiteral("Large")},
            {QStringLiteral("identifier"), QStringLiteral("6f1c5a52-3c8e-4d1b-9a57-0d1f0b6a2c11")},
            {QStringLiteral("beginDate"), at(2024, 1, 8).absoluteSecond()},
            {QStringLiteral("lastObjectID"), qint64(700000)}, // below the highest ID
            {QStringLiteral("itemFillColor"), componentsDictionary(QColor::fromRgb(0x123456))},
            {QStringLiteral("resources"), resources},
            {QStringLiteral("tasks"), tasks}};
}


} // namespace halcyra::test
