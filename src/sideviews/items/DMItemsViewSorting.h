#pragma once

#include <QVariantMap>

class DMProjectDependency;
class DMProjectItem;
class DMProjectResource;

// The orders of the items view's pages. Each compares two entries under the sorting mode (the
// index of the chosen sort button) and answers -1 (ascending), 0 (same) or 1; a mode that a
// function does not know compares equal. The pages sort stably, so entries that compare equal
// keep the order they were collected in (the project's order).
int DMProjectDocument_ItemsView_TasksSortFunction(const DMProjectItem &a, const DMProjectItem &b, int mode);
int DMProjectDocument_ItemsView_MilestonesSortFunction(const DMProjectItem &a, const DMProjectItem &b, int mode);
int DMProjectDocument_ItemsView_ProcessesSortFunction(const DMProjectItem &a, const DMProjectItem &b, int mode);
int DMProjectDocument_ItemsView_DependenciesSortFunction(const DMProjectDependency &a, const DMProjectDependency &b,
                                                         int mode);
int DMProjectDocument_ItemsView_ResourcesSortFunction(const DMProjectResource &a, const DMProjectResource &b, int mode);
int DMProjectDocument_ItemsView_EventsSortFunction(const DMProjectItem &a, const DMProjectItem &b, int mode);
int DMProjectDocument_ItemsView_DocumentsSortFunction(const QVariantMap &a, const QVariantMap &b, int mode);

// The roll-up of an item as the cards and the orders show it: the cost total and the completion,
// the mean progress of the progress items below it (0 when it has none).
struct DMItemsViewTotals
{
    float cost = 0;
    float completion = 0;
    int progressItems = 0;
    int tasks = 0;
    int milestones = 0;
    int processes = 0;
};
DMItemsViewTotals DMItemsView_totalsForItem(const DMProjectItem &item);
