#pragma once

#include <QList>

#include <memory>

class DMProject;
class DMProjectItem;

// Progress roll-up of the item tree: a parent that is neither a task nor a milestone shows the
// mean progress of the progress items (tasks) below it. Each ancestor is recomputed from the
// one below it plus that one's siblings, so a roll-up costs the size of the top ancestor's
// subtree, not its depth times that.
class DMRollup
{
public:
    // The ancestors of item, after its progress changed.
    static void rollUpProgressFromItem(DMProjectItem &item);
    // The item itself (its subitems changed), then its ancestors.
    static void refreshProgressOfItem(DMProjectItem &item);
    // Every parent in the trees, from the tasks below it, whatever the project's state: for trees
    // built while roll-ups were off (an import). Each item is visited once.
    static void refreshProgressOfTrees(const QList<std::shared_ptr<DMProjectItem>> &roots);
    // False without a project, while loading, undoing or redoing: then the stored values stand (undo restores the
    // rolled-up values through their own registrations).
    static bool mayRollUp(const DMProject *project);
    // True when a task lies among the items or below them (a change of them moves a mean).
    static bool containsProgressItems(const QList<std::shared_ptr<DMProjectItem>> &items);
};
