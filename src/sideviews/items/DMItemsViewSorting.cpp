#include "DMItemsViewSorting.h"

#include "DMItemsViewObject.h"
#include "DMProjectDependency.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"

namespace {

template <typename T>
int ordered(const T &a, const T &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

int sign(int value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

int titles(const DMProjectItem &a, const DMProjectItem &b)
{
    return sign(QString::compare(a.title(), b.title(), Qt::CaseInsensitive));
}

QList<std::shared_ptr<DMProjectResource>> resourcesOf(const DMProjectItem &item)
{
    const auto *task = dynamic_cast<const DMProjectTask *>(&item);
    return task ? task->concernedResources() : QList<std::shared_ptr<DMProjectResource>>();
}

// Unassigned items first, by title; assigned ones by their first resource's name.
int byResources(const DMProjectItem &a, const DMProjectItem &b)
{
    const auto ra = resourcesOf(a);
    const auto rb = resourcesOf(b);
    if (ra.isEmpty() != rb.isEmpty())
        return ra.isEmpty() ? -1 : 1;
    if (ra.isEmpty())
        return titles(a, b);
    return sign(QString::compare(ra.first()->name(), rb.first()->name(), Qt::CaseInsensitive));
}

// A resource having the attribute comes first; two lacking it compare by name.
int byResourceAttribute(const DMProjectResource &a, const DMProjectResource &b, const QString &key)
{
    const QVariant va = a.attribute(key);
    const QVariant vb = b.attribute(key);
    if (va.isValid() != vb.isValid())
        return va.isValid() ? -1 : 1;
    if (!va.isValid())
        return sign(QString::compare(a.name(), b.name()));
    return sign(QString::compare(va.toString(), vb.toString()));
}

} // namespace

DMItemsViewTotals DMItemsView_totalsForItem(const DMProjectItem &item)
{
    DMItemsViewTotals totals;
    float progress = 0;
    item.computeProgressProgressItemsTasksMilestonesProcessesCost(&progress, &totals.progressItems, &totals.tasks,
                                                                  &totals.milestones, &totals.processes, &totals.cost);
    // An item with no progress item below it has no mean: it counts as not started.
    totals.completion = totals.progressItems > 0 ? progress / float(totals.progressItems) : 0.0f;
    return totals;
}

int DMProjectDocument_ItemsView_TasksSortFunction(const DMProjectItem &a, const DMProjectItem &b, int mode)
{
    switch (mode) {
    case 0:
        return titles(a, b);
    case 1:
        return a.beginDate().compare(b.beginDate());
    case 2:
        return a.endDate().compare(b.endDate());
    case 3:
        return ordered(a.duration(), b.duration());
    case 4:
        return byResources(a, b);
    case 5:
        return ordered(DMItemsView_totalsForItem(a).cost, DMItemsView_totalsForItem(b).cost);
    case 6:
        return ordered(DMItemsView_totalsForItem(a).completion, DMItemsView_totalsForItem(b).completion);
    default:
        return 0;
    }
}

int DMProjectDocument_ItemsView_MilestonesSortFunction(const DMProjectItem &a, const DMProjectItem &b, int mode)
{
    switch (mode) {
    case 0:
        return titles(a, b);
    case 1:
        return a.beginDate().compare(b.beginDate());
    case 2:
        return byResources(a, b);
    default:
        return 0;
    }
}

int DMProjectDocument_ItemsView_ProcessesSortFunction(const DMProjectItem &a, const DMProjectItem &b, int mode)
{
    switch (mode) {
    case 0:
        return titles(a, b);
    case 1:
        return a.beginDate().compare(b.beginDate());
    case 2:
        return a.endDate().compare(b.endDate());
    case 3:
        return ordered(a.duration(), b.duration());
    case 4:
        return ordered(DMItemsView_totalsForItem(a).completion, DMItemsView_totalsForItem(b).completion);
    default:
        return 0;
    }
}

int DMProjectDocument_ItemsView_DependenciesSortFunction(const DMProjectDependency &a, const DMProjectDependency &b,
                                                         int mode)
{
    const auto date = [](DMProjectItem *item, bool end) { return item ? (end ? item->endDate() : item->beginDate()) : DMDate(); };
    switch (mode) {
    case 0:
        return date(a.fromItemPointer(), true).compare(date(b.fromItemPointer(), true));
    case 1:
        return date(a.toItemPointer(), false).compare(date(b.toItemPointer(), false));
    case 2:
        if (int order = ordered(a.linkStyle(), b.linkStyle()))
            return order;
        if (a.hasArrow() != b.hasArrow())
            return a.hasArrow() ? -1 : 1;
        if (int order = ordered(a.dashStyle(), b.dashStyle()))
            return order;
        return ordered(a.thickness(), b.thickness());
    default:
        return 0;
    }
}

int DMProjectDocument_ItemsView_ResourcesSortFunction(const DMProjectResource &a, const DMProjectResource &b, int mode)
{
    switch (mode) {
    case 0:
        return sign(QString::compare(a.name(), b.name()));
    case 1:
        return byResourceAttribute(a, b, kDMProjectResource_Email);
    case 2:
        return byResourceAttribute(a, b, kDMProjectResource_Phone);
    default: // 3, "Level of charge": the stored order
        return 0;
    }
}

int DMProjectDocument_ItemsView_EventsSortFunction(const DMProjectItem &a, const DMProjectItem &b, int mode)
{
    switch (mode) {
    case 0:
        return titles(a, b);
    case 1:
        return ordered(a.duration(), b.duration());
    case 2:
        return a.beginDate().compare(b.beginDate());
    default:
        return 0;
    }
}

int DMProjectDocument_ItemsView_DocumentsSortFunction(const QVariantMap &a, const QVariantMap &b, int mode)
{
    const auto text = [](const QVariantMap &row, const QString &key) { return row.value(key).toString(); };
    switch (mode) {
    case 0:
        return sign(QString::compare(text(a, kDMItemsViewDocumentItem_Name), text(b, kDMItemsViewDocumentItem_Name),
                                     Qt::CaseInsensitive));
    case 1:
        return ordered(a.value(kDMItemsViewDocumentItem_FileSize).toULongLong(),
                       b.value(kDMItemsViewDocumentItem_FileSize).toULongLong());
    case 2:
        return sign(QString::compare(text(a, kDMItemsViewDocumentItem_Kind), text(b, kDMItemsViewDocumentItem_Kind),
                                     Qt::CaseInsensitive));
    default:
        return 0;
    }
}
