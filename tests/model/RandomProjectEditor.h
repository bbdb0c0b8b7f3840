#pragma once

// Random edits of every kind the document makes, for the tests that undo and redo them.
#include "DMProjectItemTree.h"
#include "ModelTestSupport.h"

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace halcyra::test {

// The dictionary form without the ID counter (undo never hands an ID out again), plus the
// orders the dictionary leaves out: each item's inbound links and each resource's tasks.
inline QVariantMap state(const DMProject &project)
{
    QVariantMap d = project.dictionaryRepresentation();
    d.remove(QStringLiteral("lastObjectID"));
    QVariantMap orders;
    DMProjectItem_forEachItem(project.tasks().list(), [&orders](const DMProjectItem &item) {
        QVariantList inbound;
        for (const auto &link : item.inboundDependencies())
            inbound.append(link->objectID());
        orders.insert(QString::number(item.objectID()), inbound);
    });
    std::vector<const DMProjectResource *> stack;
    for (const auto &resource : project.resources())
        stack.push_back(resource.get());
    while (!stack.empty()) {
        const DMProjectResource *resource = stack.back();
        stack.pop_back();
        QVariantList tasks;
        for (const auto &task : resource->assignedTasks())
            tasks.append(task->objectID());
        orders.insert(QString::number(resource->objectID()), tasks);
        for (const auto &member : resource->subitems())
            stack.push_back(member.get());
    }
    d.insert(QStringLiteral("orders"), orders);
    d.insert(QStringLiteral("objects"), project.indexedObjectCount());
    return d;
}

// The first item whose stored duration is not the working time between its dates, or empty.
inline std::string staleDuration(const DMProject &project)
{
    QList<std::shared_ptr<DMProjectItem>> roots = project.tasks().list();
    for (const auto &event : project.eventContainer()->events())
        roots.append(event);
    std::string stale;
    DMProjectItem_forEachItem(roots, [&](const DMProjectItem &item) {
        const qint64 working = item.hasEqualDates() ? 0 : project.durationBetween(item.beginDate(), item.endDate(), item.useWorkingSchedule());
        if (stale.empty() && item.duration() != working)
            stale = item.title().toStdString();
    });
    return stale;
}

// Picks and applies random edits of every kind the document makes.
class RandomEditor
{
public:
    RandomEditor(FullProject &f, std::mt19937 &random) : m_f(f), m_random(random) {}

    void edit()
    {
        using Edit = void (RandomEditor::*)();
        static const std::pair<Edit, const char *> edits[] = {
            {&RandomEditor::addItem, "add"},           {&RandomEditor::removeItem, "remove"},
            {&RandomEditor::moveItem, "move"},         {&RandomEditor::link, "link"},
            {&RandomEditor::unlink, "unlink"},         {&RandomEditor::assign, "assign"},
            {&RandomEditor::unassign, "unassign"},     {&RandomEditor::setDates, "dates"},
            {&RandomEditor::validatedMove, "validated"}, {&RandomEditor::setAttribute, "attribute"},
            {&RandomEditor::editLink, "link look"},    {&RandomEditor::editResources, "resources"},
            {&RandomEditor::editEvents, "events"},     {&RandomEditor::editTodos, "to-dos"},
            {&RandomEditor::editProject, "project"},   {&RandomEditor::reorder, "reorder"},
            {&RandomEditor::reinsert, "reinsert"},
        };
        const auto &[edit, name] = edits[pick(std::size(edits))];
        m_log += QLatin1String(name) + QLatin1Char(' ');
        (this->*edit)();
    }
    void endStep() { m_log += QStringLiteral("| "); }
    void note(const char *what) { m_log += QLatin1String(what) + QLatin1Char(' '); }
    // The edits so far, steps separated by "|", for the failure messages.
    std::string log() const { return m_log.toStdString(); }

private:
    size_t pick(size_t count) { return size_t(m_random() % count); }
    bool chance(int percent) { return int(m_random() % 100) < percent; }
    template <typename T>
    T any(const QList<T> &list) { return list.at(qsizetype(pick(size_t(list.size())))); }

    QList<std::shared_ptr<DMProjectItem>> items() const { return itemsOf(*m_f.project); }
    QList<std::shared_ptr<DMProjectTask>> tasks() const
    {
        QList<std::shared_ptr<DMProjectTask>> all;
        for (const auto &item : items())
            if (auto task = std::dynamic_pointer_cast<DMProjectTask>(item))
                all.append(task);
        return all;
    }
    QList<std::shared_ptr<DMProjectResource>> resources(bool groups) const
    {
        QList<std::shared_ptr<DMProjectResource>> all;
        std::vector<std::shared_ptr<DMProjectResource>> stack(m_f.project->resources().begin(), m_f.project->resources().end());
        while (!stack.empty()) {
            auto resource = stack.back();
            stack.pop_back();
            if (resource->isGroup() == groups || !groups)
                all.append(resource);
            for (const auto &member : resource->subitems())
                stack.push_back(member);
        }
        return all;
    }
    QList<std::shared_ptr<DMProjectDependency>> links() const
    {
        QList<std::shared_ptr<DMProjectDependency>> all;
        for (const auto &item : items())
            for (const auto &link : item->outboundDependencies())
                all.append(link);
        return all;
    }
    DMProject::ItemList &listHolding(const DMProjectItem &item)
    {
        const auto parent = item.parentItem();
        return parent ? parent->subitems() : m_f.project->tasks();
    }
    DMDate someDate() { return at(2024, 3, 1 + int(pick(40)), 6 + int(pick(14)), 15 * int(pick(4))); }

    std::shared_ptr<DMProjectItem> newItem()
    {
        std::shared_ptr<DMProjectItem> item;
        switch (pick(4)) {
        case 0: item = std::make_shared<DMProjectTask>(); break;
        case 1: item = std::make_shared<DMProjectMilestone>(); break;
        case 2: item = std::make_shared<DMProjectProcess>(); break;
        default: item = std::make_shared<DMProjectItemGroup>(); break;
        }
        item->setProject(m_f.project);
        item->setTitle(QStringLiteral("new %1").arg(m_random() % 1000));
        const DMDate begin = someDate();
        item->setBeginDateAndEndDate(begin, item->hasEqualDates() ? begin : begin.dateByAddingSeconds(3600 * (1 + int(pick(30)))));
        return item;
    }

    // A list an item may go into: the top level or a process's or group's subitems, never
    // inside the item itself.
    DMProject::ItemList &someListFor(const DMProjectItem *moving)
    {
        QList<std::shared_ptr<DMProjectItem>> parents;
        for (const auto &item : items())
            if ((item->kind() == kDMProjectItem_Kind_Process || item->kind() == kDMProjectItem_Kind_ItemGroup)
                && item.get() != moving && !(moving && item->isChildOfItem(moving)))
                parents.append(item);
        if (parents.isEmpty() || chance(30))
            return m_f.project->tasks();
        return any(parents)->subitems();
    }

    void addItem()
    {
        auto &list = someListFor(nullptr);
        list.insert(qsizetype(pick(size_t(list.size() + 1))), newItem());
    }
    void removeItem()
    {
        const auto all = items();
        if (all.size() < 3)
            return;
        const auto item = any(all);
        listHolding(*item).removeOne(item);
        m_removed.append(item);
    }
    // An item removed in an earlier step comes back somewhere, its links and assignments
    // with it, whatever changed at their other ends meanwhile.
    void reinsert()
    {
        QList<std::shared_ptr<DMProjectItem>> outside;
        for (const auto &item : m_removed)
            if (!item->isAttached() && !item->parentItem())
                outside.append(item);
        if (outside.isEmpty())
            return;
        const auto item = any(outside);
        auto &list = someListFor(item.get());
        list.insert(qsizetype(pick(size_t(list.size() + 1))), item);
    }
    void moveItem()
    {
        const auto all = items();
        if (all.isEmpty())
            return;
        const auto item = any(all);
        listHolding(*item).removeOne(item);
        auto &list = someListFor(item.get());
        list.insert(qsizetype(pick(size_t(list.size() + 1))), item);
    }
    void link()
    {
        const auto all = items();
        if (all.size() < 2)
            return;
        if (auto link = any(all)->addOutboundDependencyToItem(any(all)); link && chance(50))
            link->setKind(int(pick(4)));
    }
    void unlink()
    {
        const auto all = links();
        if (all.isEmpty())
            return;
        const auto link = any(all);
        link->fromItem()->removeOutboundDependencyToItem(link->toItemPointer());
        // Sometimes a second link of the same item in the same step (one of the lost cases).
        if (chance(40) && !link->fromItem() && !all.isEmpty()) {
            const auto other = any(all);
            if (const auto from = other->fromItem())
                from->removeOutboundDependencyToItem(other->toItemPointer());
        }
    }
    void assign()
    {
        const auto all = tasks();
        const auto people = resources(false);
        if (all.isEmpty() || people.isEmpty())
            return;
        const auto task = any(all);
        task->addResource(any(people));
        if (chance(40))
            task->addResource(any(people));
    }
    void unassign()
    {
        const auto people = resources(false);
        if (people.isEmpty())
            return;
        const auto resource = any(people);
        if (chance(30)) {
            resource->deleteAllAssignments();
            return;
        }
        const auto assigned = resource->assignedTasks();
        if (!assigned.isEmpty())
            any(assigned)->removeResource(resource);
    }
    void setDates()
    {
        const auto all = items();
        if (all.isEmpty())
            return;
        const auto item = any(all);
        const DMDate begin = someDate();
        item->setBeginDateAndEndDate(begin, item->hasEqualDates() ? begin : begin.dateByAddingSeconds(3600 * (1 + int(pick(50)))));
    }
    void validatedMove()
    {
        const auto all = items();
        if (all.isEmpty())
            return;
        const auto item = any(all);
        const qint64 shift = (qint64(pick(97)) - 48) * 3600;
        const DMDate begin = item->beginDate().dateByAddingSeconds(shift);
        const DMDate end = item->hasEqualDates() ? begin : item->endDate().dateByAddingSeconds(shift + 3600 * qint64(pick(5)));
        if (item->kind() == kDMProjectItem_Kind_Process && chance(50))
            item->validateTimeShiftAndSetBeginDateAndEndDate(begin, end);
        else
            item->validateAndSetBeginDateAndEndDate(begin, end);
    }
    void setAttribute()
    {
        const auto all = items();
        if (all.isEmpty())
            return;
        const auto item = any(all);
        switch (pick(7)) {
        case 0: item->setTitle(QStringLiteral("t%1").arg(m_random() % 100)); break;
        case 1: item->setProgress(float(pick(11)) / 10.0f); break;
        case 2: item->setLocked(chance(50)); break;
        case 3: item->setAttribute(kDMProjectItem_Notes, chance(80) ? QVariant(QStringLiteral("n%1").arg(m_random() % 100)) : QVariant()); break;
        case 4: item->setAttribute(kDMProjectItem_ExpandToFitSubitems, chance(50)); break;
        case 5: item->setUseWorkingSchedule(chance(50)); break;
        default: item->setFillColor(QColor::fromRgb(int(m_random() % 0xffffff))); break;
        }
    }
    void editLink()
    {
        const auto all = links();
        if (all.isEmpty())
            return;
        const auto link = any(all);
        link->setKind(int(pick(4)));
        if (chance(50))
            link->setColor(QColor::fromRgb(int(m_random() % 0xffffff)));
        if (chance(30))
            link->setThickness(int(pick(3)));
    }
    void editResources()
    {
        const auto groups = resources(true);
        const auto all = resources(false);
        switch (pick(6)) {
        case 0: {
            auto resource = std::make_shared<DMProjectResource>(chance(20) ? DMProjectResource::Group : DMProjectResource::Resource);
            resource->setProject(m_f.project);
            resource->setName(QStringLiteral("r%1").arg(m_random() % 100));
            if (!groups.isEmpty() && chance(50))
                any(groups)->subitems().append(resource);
            else
                m_f.project->resources().append(resource);
            break;
        }
        case 1:
            if (!all.isEmpty()) {
                const auto resource = any(all);
                if (const auto group = resource->parentItem())
                    group->subitems().removeOne(resource);
                else
                    m_f.project->resources().removeOne(resource);
                m_removedResources.append(resource);
            }
            break;
        case 5:
            for (const auto &resource : m_removedResources)
                if (!resource->isAttached() && !resource->parentItem()) {
                    m_f.project->resources().insert(qsizetype(pick(size_t(m_f.project->resources().size() + 1))), resource);
                    break;
                }
            break;
        case 2:
            if (!all.isEmpty())
                any(all)->setName(QStringLiteral("n%1").arg(m_random() % 100));
            break;
        case 3:
            if (!all.isEmpty())
                any(all)->setAttribute(kDMProjectResource_HourlyCost, double(pick(200)));
            break;
        default:
            if (m_f.project->resources().size() > 1)
                m_f.project->resources().exchange(0, m_f.project->resources().size() - 1);
            break;
        }
    }
    void editEvents()
    {
        auto &events = m_f.project->eventContainer()->events();
        if (events.isEmpty() || chance(40)) {
            auto event = std::make_shared<DMProjectEvent>();
            event->setProject(m_f.project);
            const DMDate begin = someDate();
            event->setBeginDateAndEndDate(begin, begin.dateByAddingSeconds(3600 * (1 + int(pick(10)))));
            events.insert(qsizetype(pick(size_t(events.size() + 1))), event);
        } else if (chance(50)) {
            events.removeAt(qsizetype(pick(size_t(events.size()))));
        } else {
            const auto event = events.at(qsizetype(pick(size_t(events.size()))));
            const DMDate begin = someDate();
            event->validateAndSetBeginDateAndEndDate(begin, begin.dateByAddingSeconds(7200));
        }
    }
    void editTodos()
    {
        auto &todos = m_f.project->todoContainer()->todos();
        if (todos.isEmpty() || chance(30)) {
            auto todo = std::make_shared<DMProjectTodo>();
            todo->setProject(m_f.project);
            todo->setText(QStringLiteral("do %1").arg(m_random() % 100));
            todos.append(todo);
        } else if (chance(30)) {
            todos.removeAt(qsizetype(pick(size_t(todos.size()))));
        } else {
            const auto todo = todos.at(qsizetype(pick(size_t(todos.size()))));
            todo->setDone(chance(50));
            todo->setText(QStringLiteral("again %1").arg(m_random() % 100));
        }
    }
    void editProject()
    {
        switch (pick(4)) {
        case 0: m_f.project->setTitle(QStringLiteral("p%1").arg(m_random() % 100)); break;
        case 1: m_f.project->setAttribute(kDMProject_Settings_Budget, double(pick(1000))); break;
        case 2: // the calendar: every item's duration follows in the same step
            m_f.project->setAttribute(kDMProject_Settings_DayTimeSpan,
                                      QVariantMap{{kDMTimeSpanBegin, 60 * int(6 + pick(4))}, {kDMTimeSpanEnd, 60 * int(16 + pick(4))}});
            break;
        default: m_f.project->setEndDate(someDate()); break;
        }
    }
    void reorder()
    {
        const auto all = items();
        QList<std::shared_ptr<DMProjectItem>> parents;
        for (const auto &item : all)
            if (item->subitems().size() > 1)
                parents.append(item);
        if (parents.isEmpty())
            return;
        auto &list = any(parents)->subitems();
        if (chance(50))
            list.exchange(0, list.size() - 1);
        else
            list.sort([](const auto &a, const auto &b) { return a->title() < b->title(); });
    }

    FullProject &m_f;
    std::mt19937 &m_random;
    QList<std::shared_ptr<DMProjectItem>> m_removed;
    QList<std::shared_ptr<DMProjectResource>> m_removedResources;
    QString m_log;
};

// Steps, undos and redos in random order: after each step the project is kept; after each undo
// it must be exactly the copy kept before the step undone, after each redo the one after it.
// `step` makes one step's edits through `editor` and ends the step. A step that registers
// nothing must change nothing. `check`, when given, runs after every step, undo and redo, once
// the project was compared.
inline void undoAndRedoAtRandom(const DMProject &project, DMUndoManager &manager, RandomEditor &editor,
                                std::mt19937 &random, int moves, const std::function<void()> &step,
                                const std::function<void()> &check = {})
{
    std::vector<QVariantMap> states{state(project)};
    size_t at = 0; // states[at] is the project now; the ones after it can be redone
    for (int move = 0; move < moves; ++move) {
        const int roll = int(random() % 10);
        if (roll < 5) {
            step();
            editor.endStep();
            ASSERT_EQ(staleDuration(project), "") << editor.log();
            if (manager.undoStepCount() == int(at) + 1) {
                states.resize(at + 1);
                states.push_back(state(project));
                ++at;
            } else {
                ASSERT_EQ(manager.undoStepCount(), int(at)) << editor.log();
                ASSERT_EQ(firstDifference(state(project), states[at]), "")
                    << "a change registered nothing or was folded into the step before: " << editor.log();
            }
        } else if (roll < 8 && at > 0) {
            manager.undo();
            editor.note("<undo>");
            --at;
            ASSERT_EQ(firstDifference(state(project), states[at]), "") << "undoing to step " << at << ": " << editor.log();
        } else if (at + 1 < states.size()) {
            manager.redo();
            editor.note("<redo>");
            ++at;
            ASSERT_EQ(firstDifference(state(project), states[at]), "") << "redoing to step " << at << ": " << editor.log();
        }
        if (check) {
            check();
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }
}

} // namespace halcyra::test
