#include "ModelTestSupport.h"

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

} // namespace halcyra::test
