#pragma once

#include "DMMutableArray.h"
#include "DMProjectObject.h"

#include <QList>

class DMProjectTodo;

// The project's to-do list. arrangedObjects is the list sorted by the sorting mode (0 "Date":
// by due date, to-dos without one last; 1 "Name": by text), without the to-dos of collapsed
// categories (those after a collapsed separator, up to the next separator), re-announced under
// "arrangedObjects" whenever the list, a date, a text or a separator's state changes.
class DMProjectTodoContainer : public DMProjectObject, private DMMutableArray<std::shared_ptr<DMProjectTodo>>::Delegate
{
public:
    using TodoList = DMMutableArray<std::shared_ptr<DMProjectTodo>>;
    enum SortingMode { SortByDate = 0, SortByName = 1 };
    static QStringList sortingModeNames(); // "Date", "Name"

    DMProjectTodoContainer();
    ~DMProjectTodoContainer() override;

    static QString staticClassName() { return QStringLiteral("DMProjectTodoContainer"); }
    QString className() const override { return staticClassName(); }

    TodoList &todos() { return m_todos; }
    const TodoList &todos() const { return m_todos; }
    const QList<std::shared_ptr<DMProjectTodo>> &arrangedObjects() const { return m_arranged; }
    int sortingMode() const { return m_sortingMode; }
    void setSortingMode(int mode); // clamped to 0-1, undoable
    // Number of to-dos not done (separators excluded).
    int undoneCount() const;

    // {"class", "objectID", "sortingMode", "todos"}.
    QVariantMap dictionaryRepresentation() const override;

    void rearrangeObjects();

private:
    friend class DMProject;
    friend class DMProjectCoder;
    void mutableArrayWillChange(TodoList &array, const TodoList::Change &change) override;
    void mutableArrayDidChange(TodoList &array, const TodoList::Change &change) override;

    TodoList m_todos;
    QList<std::shared_ptr<DMProjectTodo>> m_arranged;
    int m_sortingMode = SortByDate;
    QList<quint64> m_orderBefore;
};
