#include "DMProjectTodoContainer.h"

#include "DMDictionaryAccess.h"
#include "DMProject.h"
#include "DMProjectCoder.h"
#include "DMProjectChildList.h"
#include "DMProjectTodo.h"

#include <algorithm>
#include <stdexcept>

QStringList DMProjectTodoContainer::sortingModeNames()
{
    return {QStringLiteral("Date"), QStringLiteral("Name")};
}

DMProjectTodoContainer::DMProjectTodoContainer()
{
    m_todos.setDelegate(this);
}

DMProjectTodoContainer::~DMProjectTodoContainer()
{
    m_todos.setDelegate(nullptr);
}

void DMProjectTodoContainer::setSortingMode(int mode)
{
    mode = qBound(0, mode, 1);
    if (mode == m_sortingMode)
        return;
    registerUndo("setSortingMode", [old = m_sortingMode](DMProjectObject &o) {
        static_cast<DMProjectTodoContainer &>(o).setSortingMode(old);
    });
    assign(m_sortingMode, mode, DMProjectKey::sortingMode);
    rearrangeObjects();
}

int DMProjectTodoContainer::undoneCount() const
{
    return int(std::count_if(m_todos.begin(), m_todos.end(),
                             [](const auto &todo) { return !todo->isSeparator() && !todo->done(); }));
}

void DMProjectTodoContainer::rearrangeObjects()
{
    QList<std::shared_ptr<DMProjectTodo>> arranged = m_todos.list();
    if (m_sortingMode == SortByName) {
        std::stable_sort(arranged.begin(), arranged.end(), [](const auto &a, const auto &b) {
            return a->text().compare(b->text(), Qt::CaseInsensitive) < 0;
        });
    } else {
        // Due dates first, in date order; to-dos without a due date after them.
        std::stable_sort(arranged.begin(), arranged.end(), [](const auto &a, const auto &b) {
            const bool aDated = !a->noDueDate() && !a->date().isNull();
            const bool bDated = !b->noDueDate() && !b->date().isNull();
            if (aDated != bDated)
                return aDated;
            return aDated && a->date() < b->date();
        });
    }
    // A collapsed separator hides its category: the to-dos after it, up to the next separator.
    bool hiding = false;
    arranged.removeIf([&hiding](const std::shared_ptr<DMProjectTodo> &todo) {
        if (todo->isSeparator()) {
            hiding = todo->attribute(kDMProjectTodo_Collapsed).toBool();
            return false;
        }
        return hiding;
    });
    if (arranged == m_arranged)
        return;
    willChangeValueForKey(DMProjectKey::arrangedObjects);
    m_arranged = arranged;
    didChangeValueForKey(DMProjectKey::arrangedObjects);
}

void DMProjectTodoContainer::mutableArrayWillChange(TodoList &list, const TodoList::Change &change)
{
    if (change.kind == TodoList::Change::Insert || change.kind == TodoList::Change::Replace)
        for (const auto &todo : change.objects)
            if (!todo || todo->isAttached() || list.contains(todo))
                throw std::invalid_argument("todos: the to-do is null or already in a list");
    m_orderBefore = DMProjectChildList<DMProjectTodo>::orderBefore(list, change);
    willChangeList(DMProjectKey::todos, DMProjectChildList<DMProjectTodo>::observedKind(change),
                   DMProjectChildList<DMProjectTodo>::indexesOf(list, change));
}

void DMProjectTodoContainer::mutableArrayDidChange(TodoList &list, const TodoList::Change &change)
{
    if (change.kind == TodoList::Change::Insert || change.kind == TodoList::Change::Replace)
        for (const auto &todo : change.objects)
            if (!todo->project() && project())
                todo->setProject(project());
    DMProjectChildList<DMProjectTodo>::didChange(
        projectPointer(), isAttached(),
        [](DMProject &p) { return p.todoContainer() ? &p.todoContainer()->todos() : nullptr; }, change, m_orderBefore);
    didChangeList(DMProjectKey::todos, DMProjectChildList<DMProjectTodo>::observedKind(change),
                  DMProjectChildList<DMProjectTodo>::indexesOf(list, change));
    rearrangeObjects();
}

QVariantMap DMProjectTodoContainer::dictionaryRepresentation() const
{
    QVariantMap d;
    d.insert(QStringLiteral("class"), className());
    d.insert(QStringLiteral("objectID"), DMProjectCoder::idValue(objectID()));
    d.insert(QStringLiteral("sortingMode"), qint64(m_sortingMode));
    QVariantList todos;
    for (const auto &todo : m_todos)
        todos.append(todo->dictionaryRepresentation());
    d.insert(QStringLiteral("todos"), todos);
    return d;
}
