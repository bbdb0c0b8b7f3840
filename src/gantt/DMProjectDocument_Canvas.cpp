// DMProjectDocument as the Gantt canvas's data source: the objects of each layer that meet a
// rectangle, the cursors, which objects may be selected, and the selection mirrored into the
// outline and handed to the inspector.
#include "DMProjectDocument.h"
#include "DMProjectItemTree.h"

#include "DMOutlineView.h"
#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItem.h"
#include "DMProjectResource.h"
#include "DMProjectView.h"
#include "DMProjectViewBackgroundObject.h"
#include "DMProjectViewBackgroundObjectAttributes.h"
#include "DMProjectViewConstants.h"
#include "DMProjectViewCursor.h"
#include "DMProjectViewObjectEditor.h"
#include "DMUIProjectDependency.h"
#include "DMUIProjectItem.h"
#include "DMUIProjectPendingDependency.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace {

// Routes may bend a little above or below the bars they join.
constexpr double kLinkIndexMargin = 40.0;
const QString kTaskInspectorClass = QStringLiteral("DMUIProjectTaskInspectorController");

// Hovered objects go first: drawn last, so on top, and hit first.
void addObject(DMBaseObjectList &list, const std::shared_ptr<DMBaseObject> &object, const QRectF &rect)
{
    if (!object || !object->boundingBox().intersects(rect))
        return;
    const auto *viewObject = dynamic_cast<const DMProjectViewObject *>(object.get());
    if (viewObject && viewObject->isHovered())
        list.prepend(object);
    else
        list.append(object);
}

void addEventObjects(DMBaseObjectList &list, const DMProjectEventContainer &container, const QRectF &rect)
{
    for (const auto &event : container.events())
        addObject(list, std::dynamic_pointer_cast<DMBaseObject>(event->ganttUIObject()), rect);
}

std::shared_ptr<DMUIProjectDependency> lineOf(const DMProjectDependency &dependency)
{
    return std::dynamic_pointer_cast<DMUIProjectDependency>(dependency.ganttUIObject());
}

bool endsAreInProject(const DMProjectDependency &dependency)
{
    const DMProjectItem *from = dependency.fromItemPointer();
    const DMProjectItem *to = dependency.toItemPointer();
    return from && to && from->isAttached() && to->isAttached();
}

} // namespace

void DMProjectDocument_GanttView_RetrieveAllUIDependenciesInRect(const QList<std::shared_ptr<DMProjectItem>> *items,
                                                                 DMBaseObjectList &result, const QRectF &rect)
{
    if (!items)
        return;
    DMProjectItem_forEachItem(*items, [&](const DMProjectItem &item) {
        for (const auto &dependency : item.outboundDependencies()) {
            const auto line = lineOf(*dependency);
            if (line && line->isDisplayed() && line->boundingBox().intersects(rect))
                result.append(line);
        }
    }, [](const DMProjectItem &item) {
        return item.kind() == kDMProjectItem_Kind_Process || item.kind() == kDMProjectItem_Kind_ItemGroup;
    });
}

// ---- Rows ----

int DMProjectDocument::projectOutlineRowAtCanvasY(double y) const
{
    const DMOutlineView *outline = m_outlets.projectOutlineView;
    if (!outline || !std::isfinite(y) || y < 0 || y > INT_MAX)
        return -1;
    return outline->rowAtPoint(QPoint(0, int(y)));
}

std::shared_ptr<DMProjectObject> DMProjectDocument::projectOutlineObjectAtRow(int row) const
{
    const DMOutlineView *outline = m_outlets.projectOutlineView;
    if (!outline || row < 0 || row >= outline->numberOfRows())
        return nullptr;
    return m_outlineDataSource->objectForItem(outline->itemAtRow(row));
}

// ---- Objects of a layer ----

void DMProjectDocument::projectViewRowsMeetingRect(const DMProjectViewBackgroundObjectAttributes *table, int outlineRows,
                                                   const QRectF &rect, int *first, int *last)
{
    qint32 from = 0;
    qint32 to = -1;
    const QRectF span = rect.normalized();
    if (table && std::isfinite(span.top()) && std::isfinite(span.bottom()))
        table->rowsMeeting(float(span.top()), float(span.bottom()), &from, &to);
    // Only rows that both the outline and the table know.
    to = std::min<qint32>(to, std::min<qint32>(outlineRows, table ? table->rows() : 0) - 1);
    if (first)
        *first = std::max<qint32>(from, 0);
    if (last)
        *last = to;
}

DMBaseObjectList DMProjectDocument::objectViewObjectsInRectForLayer(DMObjectView *view, const QRectF &rect,
                                                                     quint16 layer)
{
    DMBaseObjectList objects;
    if (!m_project)
        return objects;
    const int viewMode = m_project->displayAttributes().viewMode;
    switch (layer) {
    case kDMProjectViewLayer_Background:
        if (m_outlets.projectViewBackgroundObject)
            objects.append(m_outlets.projectViewBackgroundObject);
        return objects;

    case kDMProjectViewLayer_Items: {
        if (viewMode != kDMProjectViewMode_Gantt && viewMode != kDMProjectViewMode_Resources)
            return objects;
        const DMOutlineView *outline = m_outlets.projectOutlineView;
        const auto &background = m_outlets.projectViewBackgroundObject;
        const auto table = background ? background->attributes() : nullptr;
        if (!outline || !table)
            return objects;
        int first = 0;
        int last = -1;
        projectViewRowsMeetingRect(table.get(), outline->numberOfRows(), rect, &first, &last);
        const DMProjectEventContainer *events = m_project->eventContainer().get();
        for (int row = first; row <= last; ++row) {
            const std::shared_ptr<DMProjectObject> object = projectOutlineObjectAtRow(row);
            if (!object)
                continue;
            if (object.get() == events) {
                addEventObjects(objects, *events, rect);
            } else if (viewMode == kDMProjectViewMode_Gantt) {
                if (const auto *item = dynamic_cast<const DMProjectItem *>(object.get()))
                    addObject(objects, std::dynamic_pointer_cast<DMBaseObject>(item->ganttUIObject()), rect);
            } else if (const auto *resource = dynamic_cast<const DMProjectResource *>(object.get())) {
                for (const auto &bar : resource->UIObjects())
                    addObject(objects, std::dynamic_pointer_cast<DMBaseObject>(bar), rect);
            }
        }
        return objects;
    }

    case kDMProjectViewLayer_Links: {
        if (viewMode != kDMProjectViewMode_Gantt)
            return objects;
        if (!m_linkIndexValid)
            rebuildLinkIndex();
        // The candidates whose extent meets the rectangle: a binary search on the running
        // maximum of the bottoms for the first, on the tops for the end.
        const double top = rect.top();
        const double bottom = rect.bottom();
        const auto begin = std::lower_bound(m_linkIndexMaxBottom.cbegin(), m_linkIndexMaxBottom.cend(), top);
        const auto end = std::upper_bound(m_linkIndex.cbegin(), m_linkIndex.cend(), bottom,
                                          [](double y, const LinkIndexEntry &entry) { return y < entry.top; });
        std::vector<std::pair<int, std::shared_ptr<DMBaseObject>>> found;
        for (auto it = m_linkIndex.cbegin() + (begin - m_linkIndexMaxBottom.cbegin()); it < end; ++it) {
            if (it->bottom < top)
                continue;
            const auto line = std::static_pointer_cast<DMUIProjectDependency>(it->line.lock());
            const auto dependency = line ? line->representedObject() : nullptr;
            if (dependency && endsAreInProject(*dependency) && line->isDisplayed() && line->boundingBox().intersects(rect))
                found.emplace_back(it->order, line);
        }
        std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        for (auto &entry : found)
            objects.append(std::move(entry.second));
        if (m_outlets.pendingDependency)
            objects.append(m_outlets.pendingDependency);
        return objects;
    }

    case kDMProjectViewLayer_Guides:
        if (view && view->currentDragOperation() != 0)
            for (const auto &object : view->currentDragOperationConcernedObjects())
                if (object)
                    objects += object->guideAnchorsObjects();
        return objects;

    default:
        return objects;
    }
}

void DMProjectDocument::rebuildLinkIndex()
{
    m_linkIndex.clear();
    m_linkIndexMaxBottom.clear();
    m_linkIndexValid = true;
    if (!m_project)
        return;
    int order = 0;
    DMProjectItem_forEachItem(m_project->tasks().list(), [&](const DMProjectItem &item) {
        for (const auto &dependency : item.outboundDependencies()) {
            const auto line = lineOf(*dependency);
            if (!line || !endsAreInProject(*dependency))
                continue;
            const QRectF box = line->boundingBox();
            m_linkIndex.push_back({box.top() - kLinkIndexMargin, box.bottom() + kLinkIndexMargin, order++, line});
        }
    }, [](const DMProjectItem &) { return true; });
    std::sort(m_linkIndex.begin(), m_linkIndex.end(),
              [](const LinkIndexEntry &a, const LinkIndexEntry &b) { return a.top < b.top; });
    m_linkIndexMaxBottom.reserve(m_linkIndex.size());
    double maximum = -std::numeric_limits<double>::infinity();
    for (const LinkIndexEntry &entry : m_linkIndex) {
        maximum = std::max(maximum, entry.bottom);
        m_linkIndexMaxBottom.push_back(maximum);
    }
}

// ---- Cursors and selection ----

std::optional<QCursor> DMProjectDocument::objectViewCursorForDragOperation(DMObjectView *, qint32 operation)
{
    return QCursor(DMProjectView_cursorShapeForDragOperation(operation));
}

bool DMProjectDocument::objectViewShouldSelectObjectInLayer(DMObjectView *, const std::shared_ptr<DMBaseObject> &,
                                                            quint16 layer)
{
    // The background is never selected; the every-layer value 0xFFFF is a selectable layer.
    return (layer & 0xFFFF) != 0;
}

void DMProjectDocument::objectViewSelectionDidChange(DMObjectView *view)
{
    if (!m_applyingOutlineSelection)
        projectOutlineViewSelectionNeedsSyncingWithObjectView();
    const DMBaseObjectList selection = view ? view->selectedObjects() : DMBaseObjectList();
    m_outlets.projectViewHasSelectedItems = !selection.isEmpty();
    if (selection.size() == 1) {
        if (auto *object = dynamic_cast<DMProjectViewObject *>(selection.first().get()))
            if (DMProjectViewObjectEditor *editor = DMProjectViewObjectEditor::sharedInstance(object->objectEditorControllerClass()))
                editor->editObject(object);
        return;
    }
    if (DMProjectViewObjectEditor *editor = DMProjectViewObjectEditor::sharedInstance(kTaskInspectorClass))
        editor->editObject(nullptr);
}

void DMProjectDocument::projectOutlineViewSelectionNeedsSyncingWithObjectView()
{
    if (m_outlets.outlineSyncPending)
        return;
    m_outlets.outlineSyncPending = true;
    m_outlineSyncTimer.start();
}

void DMProjectDocument::_syncProjectOutlineViewSelectionWithObjectView()
{
    m_outlets.outlineSyncPending = false;
    DMOutlineView *outline = m_outlets.projectOutlineView;
    if (!outline || !m_outlets.projectView)
        return;
    QList<int> rows;
    for (const auto &object : m_outlets.projectView->selectedObjects()) {
        const auto *bar = dynamic_cast<const DMUIProjectItem *>(object.get());
        const std::shared_ptr<DMProjectItem> item = bar ? bar->representedObject() : nullptr;
        const int row = item ? outline->rowForItem(m_outlineDataSource->itemForObject(item.get())) : -1;
        if (row >= 0 && !rows.contains(row))
            rows.append(row);
    }
    std::sort(rows.begin(), rows.end());
    if (rows == outline->selectedRowIndexes())
        return;
    m_syncingOutlineSelection = true;
    outline->selectRowIndexesByExtendingSelection(rows, false);
    m_syncingOutlineSelection = false;
    _updateBackgroundObjectRowsColor();
}

void DMProjectDocument::projectOutlineSelectionDidChange()
{
    if (m_syncingOutlineSelection || !m_project)
        return;
    DMOutlineView *outline = m_outlets.projectOutlineView;
    DMProjectView *canvas = m_outlets.projectView;
    if (outline && canvas && m_project->displayAttributes().viewMode == kDMProjectViewMode_Gantt) {
        m_applyingOutlineSelection = true;
        canvas->deselectAll();
        for (int row : outline->selectedRowIndexes()) {
            const auto item = std::dynamic_pointer_cast<DMProjectItem>(projectOutlineObjectAtRow(row));
            const auto bar = item ? std::dynamic_pointer_cast<DMBaseObject>(item->ganttUIObject()) : nullptr;
            if (!bar || bar->isSelected())
                continue;
            canvas->selectObjectInLayerExtendSelection(bar, kDMProjectViewLayer_Items, true);
            canvas->scrollRectToVisible(canvas->convertRectFromCanvasToView(bar->frame()));
        }
        m_applyingOutlineSelection = false;
    }
    _updateBackgroundObjectRowsColor();
    if (canvas)
        canvas->setNeedsDisplay();
}
