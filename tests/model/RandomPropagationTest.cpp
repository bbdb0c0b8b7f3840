// Random projects changed through the validated setters, checked after every change against
// invariants computed here from the dates alone (working time through the calendar's own walk,
// not the scheduler's timeline), and against the same change made by searching every item it
// reaches instead of walking the project's kept order.
#include "DMProjectItemTree.h"
#include "DMPropagation.h"
#include "DMScheduler.h"
#include "DMValidation.h"
#include "ModelTestSupport.h"

#include <QHash>

#include <random>
#include <vector>

using namespace halcyra::test;

namespace {

struct Dates
{
    DMDate begin, end;
    qint32 duration;
    bool operator==(const Dates &other) const
    {
        return begin == other.begin && end == other.end && duration == other.duration;
    }
};

QHash<quint64, Dates> datesOf(const QList<std::shared_ptr<DMProjectItem>> &items)
{
    QHash<quint64, Dates> dates;
    for (const auto &item : items)
        dates.insert(item->objectID(), {item->beginDate(), item->endDate(), item->duration()});
    return dates;
}

// A project of 20 to 200 items: processes and groups (some fitted to their subitems) nesting
// tasks and milestones, a few off the working schedule or wholly in a weekend, and links of
// all four kinds. Links only run from an item whose leaves all come before (in a random order)
// every leaf of the other, so no chain of links and parents closes a cycle.
class RandomProject
{
public:
    RandomProject(unsigned seed, int size) : m_random(seed)
    {
        project = workingWeekProject();
        std::vector<std::shared_ptr<DMProjectItem>> containers;
        for (int i = 0; i < size; ++i) {
            const int roll = int(m_random() % 100);
            std::shared_ptr<DMProjectItem> item;
            if (roll < 15)
                item = std::make_shared<DMProjectProcess>();
            else if (roll < 22)
                item = std::make_shared<DMProjectItemGroup>();
            else if (roll < 35)
                item = std::make_shared<DMProjectMilestone>();
            else
                item = std::make_shared<DMProjectTask>();
            item->setProject(project);
            item->setTitle(QString::number(i));
            if (item->kind() == kDMProjectItem_Kind_Task && roll % 10 == 0)
                item->setUseWorkingSchedule(false);
            giveDates(*item, roll % 17 == 0);
            const bool nested = !containers.empty() && m_random() % 3 != 0;
            if (nested)
                containers[m_random() % containers.size()]->subitems().append(item);
            else
                project->tasks().append(item);
            if (!item->hasEqualDates() && item->kind() != kDMProjectItem_Kind_Task) {
                item->setAttribute(kDMProjectItem_ExpandToFitSubitems, m_random() % 2 == 0);
                if (!nested || containers.size() < 6)
                    containers.push_back(item);
            }
        }
        items = itemsOf(*project);
        rankLeaves();
        for (int i = 0; i < size; ++i) {
            const auto &from = items[qsizetype(m_random() % items.size())];
            const auto &to = items[qsizetype(m_random() % items.size())];
            if (m_last.value(from.get(), -1) >= 0 && m_first.value(to.get(), -1) > m_last.value(from.get()))
                link(from, to, int(m_random() % 4));
        }
    }

    // Pushes until every link holds: enforcing each item in turn only ever moves items later.
    bool settle()
    {
        for (int pass = 0; pass < 50; ++pass) {
            for (const auto &item : items)
                item->enforceLinkedItemsConstrainedDates();
            if (brokenLink().isEmpty())
                return true;
        }
        return false;
    }

    // The first link that does not hold, as a description, or empty. A link into an item with
    // subitems must hold for each of them too.
    QString brokenLink() const
    {
        for (const auto &item : items)
            for (const auto &link : item->inboundDependencies()) {
                const auto from = link->fromItem();
                QString broken;
                DMProjectItem_forEachItem({item}, [&](const DMProjectItem &to) {
                    if (broken.isEmpty() && !DMProjectDependency::holds(link->kind(), from->beginDate(), from->endDate(),
                                                                           to.beginDate(), to.endDate()))
                        broken = QStringLiteral("%1 -> %2 (kind %3)").arg(from->title(), to.title()).arg(link->kind());
                });
                if (!broken.isEmpty())
                    return broken;
            }
        return {};
    }

    std::shared_ptr<DMProject> project;
    QList<std::shared_ptr<DMProjectItem>> items;

private:
    // Dates from January to March 2024, mostly in working time; a few wholly in a weekend.
    void giveDates(DMProjectItem &item, bool weekend)
    {
        DMDate begin = weekend ? at(2024, 1, 6 + 7 * int(m_random() % 8), 9 + int(m_random() % 8))
                               : at(2024, 1, 8 + int(m_random() % 70), 8 + int(m_random() % 10), 15 * int(m_random() % 4));
        if (item.hasEqualDates()) {
            item.setBeginDateAndEndDate(begin, begin);
            return;
        }
        const qint64 hours = weekend ? 1 + qint64(m_random() % 6) : 1 + qint64(m_random() % 40);
        const DMDate end = weekend ? begin.dateByAddingSeconds(hours * 3600)
                                   : project->endDateWithBeginDateAndDurationWorkSlices(begin, hours * 3600, item.useWorkingSchedule());
        item.setBeginDateAndEndDate(begin, end);
    }

    // Each leaf gets a place in a random order; an item spans the places of its leaves.
    void rankLeaves()
    {
        QList<DMProjectItem *> leaves;
        for (const auto &item : items)
            if (item->subitems().isEmpty())
                leaves.append(item.get());
        std::shuffle(leaves.begin(), leaves.end(), m_random);
        for (int rank = 0; rank < leaves.size(); ++rank)
            for (DMProjectItem *item = leaves[rank]; item; item = item->parentItemPointer()) {
                m_first.insert(item, std::min(m_first.value(item, rank), rank));
                m_last.insert(item, std::max(m_last.value(item, rank), rank));
            }
    }

    std::mt19937 m_random;
    QHash<const DMProjectItem *, int> m_first, m_last;
};

// Checks the invariants after an accepted change of `root` (shifted: its subitems moved with it).
class Invariants
{
public:
    Invariants(const RandomProject &p, const QHash<quint64, Dates> &before, const DMProjectItem &root, bool shifted)
        : m_p(p), m_calendar(p.project->workingCalendar()), m_before(before), m_root(root), m_shifted(shifted)
    {
    }

    QString firstViolation() const
    {
        if (const QString broken = m_p.brokenLink(); !broken.isEmpty())
            return QStringLiteral("link broken: ") + broken;
        for (const auto &item : m_p.items) {
            const Dates &was = m_before.value(item->objectID());
            const QString name = item->title();
            const qint64 working = item->hasEqualDates()
                ? 0
                : m_calendar.durationBetween(item->beginDate(), item->endDate(), item->useWorkingSchedule());
            if (item->duration() != working)
                return QStringLiteral("%1 stores %2 s for %3 s of working time").arg(name).arg(item->duration()).arg(working);
            if (const QString enclosure = enclosureProblem(*item); !enclosure.isEmpty())
                return name + enclosure;
            if (!pushable(*item))
                continue;
            if (item->beginDate() < was.begin || item->endDate() < was.end)
                return name + QStringLiteral(" moved earlier");
            const bool moved = item->beginDate() != was.begin || item->endDate() != was.end;
            if (moved && item->subitems().isEmpty())
                if (const QString push = pushProblem(*item, was); !push.isEmpty())
                    return name + push;
        }
        return {};
    }

private:
    // Items a change only ever pushes: all but the changed one, its ancestors (which grow or
    // fit around it) and, in a shift, its subitems.
    bool pushable(const DMProjectItem &item) const
    {
        if (&item == &m_root || m_root.isChildOfItem(&item))
            return false;
        return !(m_shifted && item.isChildOfItem(&m_root));
    }

    QString enclosureProblem(const DMProjectItem &item) const
    {
        if (item.subitems().isEmpty())
            return {};
        DMDate first, last;
        for (const auto &child : item.subitems()) {
            if (first.isNull() || child->beginDate() < first)
                first = child->beginDate();
            if (last.isNull() || child->endDate() > last)
                last = child->endDate();
        }
        if (item.beginDate() > first || item.endDate() < last)
            return QStringLiteral(" does not enclose its subitems");
        if (item.attribute(kDMProjectItem_ExpandToFitSubitems).toBool() && first < last
            && (item.beginDate() != first || item.endDate() != last))
            return QStringLiteral(" does not fit its subitems");
        return {};
    }

    bool sameWorkingPosition(const DMProjectItem &item, const DMDate &a, const DMDate &b) const
    {
        return m_calendar.durationBetween(std::min(a, b), std::max(a, b), item.useWorkingSchedule()) == 0;
    }

    // A pushed leaf sits at the earliest working-time position its links (and its ancestors'
    // links) allow, a milestone whatever the kinds of its links. One with working time begins inside a working window (never at its end);
    // one without keeps its calendar span, wherever that puts its begin.
    QString pushProblem(const DMProjectItem &item, const Dates &was) const
    {
        DMDate requiredBegin, requiredEnd;
        for (const DMProjectItem *to = &item; to; to = to->parentItemPointer())
            for (const auto &link : to->inboundDependencies()) {
                const auto from = link->fromItem();
                const DMDate required = DMProjectDependency::requiredTargetDate(link->kind(), from->beginDate(), from->endDate());
                DMDate &bound = DMProjectDependency::constrainsTargetEnd(link->kind()) ? requiredEnd : requiredBegin;
                if (bound.isNull() || required > bound)
                    bound = required;
            }
        const bool atBegin = !requiredBegin.isNull() && sameWorkingPosition(item, item.beginDate(), requiredBegin);
        // A milestone's date is a begin: an end requirement places it as one.
        const bool atEnd = !requiredEnd.isNull()
            && (item.hasEqualDates() ? sameWorkingPosition(item, item.beginDate(), requiredEnd) : item.endDate() == requiredEnd);
        if (!atBegin && !atEnd)
            return QStringLiteral(" was pushed further than its links require");
        const int second = item.beginDate().secondOfDay();
        const bool hasWork = m_calendar.durationBetween(was.begin, was.end, true) > 0;
        if (item.useWorkingSchedule() && hasWork
            && (!m_calendar.isWorkingDay(item.beginDate()) || second < m_calendar.dayBeginSecond()
                || second >= m_calendar.dayEndSecond()))
            return QStringLiteral(" begins outside a working window: ") + item.beginDate().description();
        return {};
    }

    const RandomProject &m_p;
    const DMWorkingCalendar &m_calendar;
    const QHash<quint64, Dates> &m_before;
    const DMProjectItem &m_root;
    bool m_shifted;
};

} // namespace

TEST(RandomPropagation, ValidatedChangesKeepEveryInvariant)
{
    int accepted = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed * 7u + 3u);
        RandomProject p(seed, 20 + int(seed * 37 % 181));
        ASSERT_TRUE(p.settle()) << p.brokenLink().toStdString();
        StepUndo undo(p.project);
        for (int change = 0; change < 30; ++change) {
            SCOPED_TRACE(change);
            const auto &item = p.items[qsizetype(random() % p.items.size())];
            item->setLocked(random() % 20 == 0);
            const QHash<quint64, Dates> before = datesOf(p.items);
            const int steps = undo.manager.undoStepCount();
            const qint64 shift = (qint64(random() % 81) - 30) * 3600;
            const DMDate begin = item->beginDate().dateByAddingSeconds(shift);
            const DMDate end = item->hasEqualDates() ? begin : item->endDate().dateByAddingSeconds(shift + qint64(random() % 3) * 7200);
            const unsigned kind = random() % 4;
            const bool reschedule = random() % 2 == 0;
            bool shifted = false;
            const auto apply = [&] {
                int code = 0;
                undo.step([&] {
                    switch (kind) {
                    case 0:
                        code = item->validateAndSetBeginDateAndEndDate(begin, end);
                        break;
                    case 1:
                        shifted = !item->subitems().isEmpty();
                        code = item->validateTimeShiftAndSetBeginDateAndEndDate(begin, end);
                        break;
                    case 2:
                        shifted = reschedule && item->kind() == kDMProjectItem_Kind_Process;
                        code = item->setValidatedBeginDate(begin, reschedule ? DMScheduler::RescheduleMode::RescheduleProcess
                                                                             : DMScheduler::RescheduleMode::SetBeginDate);
                        break;
                    default:
                        code = item->setValidatedEndDate(end);
                        break;
                    }
                });
                return code;
            };
            // The search of every item the change reaches first, undone; then the walk over the
            // items it moves in the order the project keeps, which must give the same.
            DMPropagation::setSearchesForTesting(true);
            const int searchedCode = apply();
            const QHash<quint64, Dates> searched = datesOf(p.items);
            if (undo.manager.undoStepCount() > steps)
                undo.manager.undo();
            DMPropagation::setSearchesForTesting(false);
            const int code = apply();
            ASSERT_EQ(code, searchedCode);
            ASSERT_TRUE(datesOf(p.items) == searched) << "the walk moved other dates than the search";
            if (code != kDMValidation_OK) {
                ASSERT_TRUE(datesOf(p.items) == before) << "a refused change moved something";
                ASSERT_EQ(undo.manager.undoStepCount(), steps);
                continue;
            }
            ++accepted;
            const QString violation = Invariants(p, before, *item, shifted).firstViolation();
            ASSERT_TRUE(violation.isEmpty()) << violation.toStdString() << " after changing " << item->title().toStdString();
            const QHash<quint64, Dates> after = datesOf(p.items);
            if (undo.manager.undoStepCount() == steps)
                continue; // the change moved nothing
            undo.manager.undo();
            ASSERT_TRUE(datesOf(p.items) == before) << "undo did not restore every date";
            undo.manager.redo();
            ASSERT_TRUE(datesOf(p.items) == after) << "redo did not restore every date";
        }
    }
    EXPECT_GT(accepted, 600);
}
