#include "DMCriticalPath.h"
#include "DMValidation.h"
#include "ModelTestSupport.h"

using namespace halcyra::test;

namespace {

// The textbook network: A(3) precedes B(4) and C(2); B precedes D(5); C precedes E(1); D and E
// precede F(2); H(1) stands alone. Worked out by hand (in days):
//   forward:  A 0-3, B 3-7, C 3-5, D 7-12, E 5-6, F 12-14, H 0-1; the project ends at 14.
//   backward: F 12-14, D 7-12, E 11-12, B 3-7, C 9-11, A 0-3, H 13-14.
//   floats:   A B D F 0 (the critical path), C and E 6, H 13.
struct Network
{
    std::shared_ptr<DMProject> project;
    std::shared_ptr<DMProjectTask> a, b, c, d, e, f, h;
    QList<std::shared_ptr<DMProjectTask>> all() const { return {a, b, c, d, e, f, h}; }
};

std::shared_ptr<DMProjectTask> task(Network &n, const char *title, const DMDate &begin, const DMDate &end, bool working)
{
    auto item = makeItem<DMProjectTask>(n.project, QString::fromLatin1(title), begin, end);
    item->setUseWorkingSchedule(working);
    n.project->tasks().append(item);
    return item;
}

void linkNetwork(Network &n)
{
    n.a->addOutboundDependencyToItem(n.b);
    n.a->addOutboundDependencyToItem(n.c);
    n.b->addOutboundDependencyToItem(n.d);
    n.c->addOutboundDependencyToItem(n.e);
    n.d->addOutboundDependencyToItem(n.f);
    n.e->addOutboundDependencyToItem(n.f);
}

// Calendar time: every item at its early dates, day 0 = Monday 1 January 2024.
Network calendarNetwork()
{
    Network n;
    n.project = DMProject::create();
    const auto day = [](int d) { return at(2024, 1, 1 + d); };
    n.a = task(n, "A", day(0), day(3), false);
    n.b = task(n, "B", day(3), day(7), false);
    n.c = task(n, "C", day(3), day(5), false);
    n.d = task(n, "D", day(7), day(12), false);
    n.e = task(n, "E", day(5), day(6), false);
    n.f = task(n, "F", day(12), day(14), false);
    n.h = task(n, "H", day(0), day(1), false);
    linkNetwork(n);
    return n;
}

// Working time: 9:00 to 17:00 (8 h a day), weekends off, from Monday 8 January 2024. In working
// days the network is the one above; as dates, each item begins at the first working instant:
//   A Mon 8 - Wed 10, B Thu 11 - Tue 16, C Thu 11 - Fri 12, D Wed 17 - Tue 23, E Mon 15,
//   F Wed 24 - Thu 25, H Mon 8. Floats in working seconds: C and E 6 x 8 h, H 13 x 8 h. In
//   calendar time B (ending Tue 17:00) would have the night to Wed 9:00 as float; it has none.
Network workingNetwork()
{
    Network n;
    n.project = DMProject::create();
    n.project->setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 540}, {kDMTimeSpanEnd, 1020}});
    DMMutableIndexSet_64 weekend;
    weekend.addIndex(0);
    weekend.addIndex(6);
    n.project->setAttribute(kDMProject_Settings_NonWorkingWeekDays, QVariant::fromValue(DMIndexSet_64(weekend)));
    n.a = task(n, "A", at(2024, 1, 8, 9), at(2024, 1, 10, 17), true);
    n.b = task(n, "B", at(2024, 1, 11, 9), at(2024, 1, 16, 17), true);
    n.c = task(n, "C", at(2024, 1, 11, 9), at(2024, 1, 12, 17), true);
    n.d = task(n, "D", at(2024, 1, 17, 9), at(2024, 1, 23, 17), true);
    n.e = task(n, "E", at(2024, 1, 15, 9), at(2024, 1, 15, 17), true);
    n.f = task(n, "F", at(2024, 1, 24, 9), at(2024, 1, 25, 17), true);
    n.h = task(n, "H", at(2024, 1, 8, 9), at(2024, 1, 8, 17), true);
    linkNetwork(n);
    return n;
}

QSet<quint64> ids(const QList<std::shared_ptr<DMProjectTask>> &items)
{
    QSet<quint64> set;
    for (const auto &item : items)
        set.insert(item->objectID());
    return set;
}

} // namespace

TEST(CriticalPath, TextbookNetworkInCalendarTime)
{
    Network n = calendarNetwork();
    constexpr qint32 day = 86400;
    EXPECT_EQ(n.project->criticalPathObjectIDs(), ids({n.a, n.b, n.d, n.f}));
    const qint32 floats[] = {0, 0, 6 * day, 0, 6 * day, 0, 13 * day};
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(n.all()[i]->title().toStdString());
        EXPECT_EQ(n.all()[i]->floatDuration(), floats[i]);
        EXPECT_EQ(n.all()[i]->partOfCriticalPath(), floats[i] == 0);
    }

    // Without the link D -> F, F alone is critical and A, B, D gain F's two days of slack.
    n.d->removeOutboundDependencyToItem(n.f.get());
    EXPECT_TRUE(n.project->needsCriticalPathUpdate());
    EXPECT_EQ(n.project->criticalPathObjectIDs(), ids({n.f}));
    EXPECT_EQ(n.d->floatDuration(), 2 * day);
    EXPECT_EQ(n.a->floatDuration(), 2 * day);
    EXPECT_EQ(n.c->floatDuration(), 6 * day);
}

TEST(CriticalPath, TextbookNetworkInWorkingTime)
{
    Network n = workingNetwork();
    constexpr qint32 day = 8 * 3600;
    EXPECT_EQ(n.project->criticalPathObjectIDs(), ids({n.a, n.b, n.d, n.f}));
    const qint32 floats[] = {0, 0, 6 * day, 0, 6 * day, 0, 13 * day};
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(n.all()[i]->title().toStdString());
        EXPECT_EQ(n.all()[i]->floatDuration(), floats[i]);
    }

    // E moves to Wed 24: F is pushed to the next working instant, Thu 25 9:00 - Fri 26 17:00,
    // and the project ends two days later. Now E and F are critical; D (ending Tue 23 17:00, latest Wed 24 17:00) and A
    // have one working day of float, C seven. The set is current right after the change.
    EXPECT_EQ(n.e->validateAndSetBeginDateAndEndDate(at(2024, 1, 24, 9), at(2024, 1, 24, 17)), kDMValidation_OK);
    EXPECT_EQ(n.f->beginDate(), at(2024, 1, 25, 9));
    EXPECT_EQ(n.f->endDate(), at(2024, 1, 26, 17));
    EXPECT_FALSE(n.project->needsCriticalPathUpdate());
    EXPECT_EQ(n.project->criticalPathObjectIDs(), ids({n.e, n.f}));
    EXPECT_EQ(n.d->floatDuration(), day);
    EXPECT_EQ(n.a->floatDuration(), day);
    EXPECT_EQ(n.c->floatDuration(), 7 * day);
}

TEST(CriticalPath, KeptCurrentAfterLoadLinkKindAndCalendarChanges)
{
    Network n = calendarNetwork();
    const QSet<quint64> expected = n.project->criticalPathObjectIDs();
    auto loaded = DMProject::projectWithDictionaryRepresentation(n.project->dictionaryRepresentation());
    EXPECT_FALSE(loaded->needsCriticalPathUpdate());
    EXPECT_EQ(loaded->criticalPathObjectIDs(), expected);

    // D -> F as finish to finish: D may end as late as F (day 14), so D, B and A gain two days.
    n.d->outboundDependencyToItem(n.f.get())->setKind(DMProjectDependency::FinishToFinish);
    EXPECT_TRUE(n.project->needsCriticalPathUpdate());
    EXPECT_EQ(n.project->criticalPathObjectIDs(), ids({n.f}));
    EXPECT_EQ(n.b->floatDuration(), 2 * 86400);

    n.project->setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 480}, {kDMTimeSpanEnd, 1080}});
    EXPECT_TRUE(n.project->needsCriticalPathUpdate());
    n.project->criticalPathObjectIDs();
    EXPECT_FALSE(n.project->needsCriticalPathUpdate());
}

TEST(CriticalPath, ProcessesAreNodesAndBoundTheirSubitems)
{
    // P (holding X, 2 days) precedes Y (1 day); Z stands alone for 5 days. Y ends on day 3,
    // so P, X and Y have 2 days of float, bounded for X by its parent's latest end.
    auto project = DMProject::create();
    auto p = makeItem<DMProjectProcess>(project, "P", at(2024, 1, 1), at(2024, 1, 3));
    auto x = makeItem<DMProjectTask>(project, "X", at(2024, 1, 1), at(2024, 1, 3));
    auto y = makeItem<DMProjectTask>(project, "Y", at(2024, 1, 3), at(2024, 1, 4));
    auto z = makeItem<DMProjectTask>(project, "Z", at(2024, 1, 1), at(2024, 1, 6));
    p->subitems().append(x);
    project->tasks().append(p);
    project->tasks().append(y);
    project->tasks().append(z);
    p->addOutboundDependencyToItem(y);
    DMCriticalPath::update(*project);
    EXPECT_EQ(project->criticalPathObjectIDs(), QSet<quint64>{z->objectID()});
    EXPECT_EQ(p->floatDuration(), 2 * 86400);
    EXPECT_EQ(x->floatDuration(), 2 * 86400);
    EXPECT_EQ(y->floatDuration(), 2 * 86400);

    // A broken link shows as negative float: X's successor W begins a day before X ends, and
    // W's end (day 5) is the project's end. Latest: W 1-5, so X by day 1, P by day 1 too.
    auto w = makeItem<DMProjectTask>(project, "W", at(2024, 1, 2), at(2024, 1, 6));
    project->tasks().append(w);
    x->addOutboundDependencyToItem(w);
    EXPECT_EQ(x->floatDuration(), -86400);
    EXPECT_EQ(w->floatDuration(), 0);
    EXPECT_TRUE(x->partOfCriticalPath());
    EXPECT_TRUE(w->partOfCriticalPath());
}
