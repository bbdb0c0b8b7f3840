// DMProjectDocumentObjectViewDataSource: its life with the canvas, and the canvas's data source:
// the objects of each layer that meet a rectangle, the cursors, which objects may be selected,
// and the selection mirrored into the outline and handed to the inspector.
#include "DMProjectDocumentObjectViewDataSource.h"
#include "DMProjectItemTree.h"

#include "DMDelayedCall.h"
#include "DMGanttDocumentHooks.h"
#include "DMIdleTimeout.h"
#include "DMLocalizedString.h"
#include "DMObjectViewDragOperation.h"
#include "DMOutlineView.h"
#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItem.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMProjectView.h"
#include "DMProjectViewBackgroundObject.h"
#include "DMProjectViewBackgroundObjectAttributes.h"
#include "DMProjectViewConstants.h"
#include "DMProjectViewCursor.h"
#include "DMProjectViewDateGrid.h"
#include "DMProjectViewObjectEditor.h"
#include "DMUIProjectDependency.h"
#include "DMUIProjectItem.h"
#include "DMUIProjectPendingDependency.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace {

// Routes may bend a little above or below the rows of the bars they join (a curve between bars
// of one row by up to 25, an arrow head by up to 10).
constexpr double kLinkIndexMargin = 40.0;
// One notch of a mouse wheel (eighths of a degree), and the zoom it makes with Control held.
constexpr double kWheelNotch = 120.0;
constexpr double kWheelNotchMagnification = 0.1;
const QString &kTaskInspectorClass = DMProjectViewObjectEditor::kTaskInspectorClass;

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
    // The Gantt chart's factory makes every link line of the model.
    return std::static_pointer_cast<DMUIProjectDependency>(dependency.ganttUIObject());
}

bool endsAreInProject(const DMProjectDependency &dependency)
{
    const DMProjectItem *from = dependency.fromItemPointer();
    const DMProjectItem *to = dependency.toItemPointer();
    return from && to && from->isAttached() && to->isAttached();
}

// The rows a link's route lies in: from the higher of its bars' tops to the lower's bottom, as
// the vertical layout stored them; false when an end has no bar. The line itself is made only
// when it is drawn or hit.
bool rowSpanOfLink(const DMProjectDependency &dependency, double *top, double *bottom)
{
    // The items hold their bars while the index is built: no reference is taken per link.
    const auto barOf = [](const DMProjectItem *item) -> const DMUIProjectItem * {
        return item ? dynamic_cast<const DMUIProjectItem *>(item->ganttUIObjectPointer()) : nullptr;
    };
    const DMUIProjectItem *from = barOf(dependency.fromItemPointer());
    const DMUIProjectItem *to = barOf(dependency.toItemPointer());
    if (!from || !to)
        return false;
    const QRectF a = from->placedFrame();
    const QRectF b = to->placedFrame();
    *top = std::min(a.top(), b.top());
    *bottom = std::max(a.bottom(), b.bottom());
    return true;
}

// Whether a canvas object still shows something of the project: an item or a link in its trees,
// and for a bar of a resource's row, an assignment its task still has.
bool showsObjectOfProject(const DMBaseObject &object, const std::shared_ptr<DMProject> &project)
{
    if (const auto *bar = dynamic_cast<const DMUIProjectItem *>(&object)) {
        const std::shared_ptr<DMProjectItem> item = bar->representedObject();
        if (!item || !item->isAttached() || !item->isInProject(project))
            return false;
        const DMProjectResource *resource = bar->resourceViewResource();
        const auto *task = dynamic_cast<const DMProjectTask *>(item.get());
        return !resource || (task && task->resourceUIObject(resource).get() == bar);
    }
    if (const auto *line = dynamic_cast<const DMUIProjectDependency *>(&object)) {
        const std::shared_ptr<DMProjectDependency> dependency = line->representedObject();
        return dependency && dependency->isAttached() && dependency->isInProject(project);
    }
    return true;
}

} // namespace

// ---- Life with the canvas ----

DMProjectDocumentObjectViewDataSource::DMProjectDocumentObjectViewDataSource(DMGanttDocumentHooks &document)
    : m_document(document)
{
}

DMProjectDocumentObjectViewDataSource::~DMProjectDocumentObjectViewDataSource()
{
    detachFromViews();
}

DMProjectView *DMProjectDocumentObjectViewDataSource::canvas() const
{
    return m_document.projectView();
}

void DMProjectDocumentObjectViewDataSource::attachToViews()
{
    DMProjectView *view = canvas();
    if (!view)
        return;
    view->addLayerEventPriority(kDMProjectViewLayer_Background, kDMProjectViewLayerPriority_Background);
    view->addLayerEventPriority(kDMProjectViewLayer_Links, kDMProjectViewLayerPriority_Links);
    view->addLayerEventPriority(kDMProjectViewLayer_Items, kDMProjectViewLayerPriority_Items);
    view->addLayerEventPriority(kDMProjectViewLayer_Guides, kDMProjectViewLayerPriority_Guides);
    m_background = std::make_shared<DMProjectViewBackgroundObject>(QRectF(0, 0, 10, 10));
    m_background->setStrokeColor(QColor::fromRgbF(0, 0, 0, 0.1f));
    view->setDatasource(this);
    view->setDelegate(this);
    view->installEventFilter(this);
    if (QScrollArea *scroll = m_document.projectViewScrollArea())
        scroll->viewport()->installEventFilter(this);
}

void DMProjectDocumentObjectViewDataSource::detachFromViews()
{
    closeDragUndoGroup();
    if (DMProjectView *view = canvas()) {
        if (view->datasource() == this)
            view->setDatasource(nullptr);
        if (view->delegate() == this)
            view->setDelegate(nullptr);
        view->removeEventFilter(this);
    }
    if (QScrollArea *scroll = m_document.projectViewScrollArea())
        scroll->viewport()->removeEventFilter(this);
    // What was scheduled finds nothing pending and does nothing.
    m_outlineSyncPending = false;
    m_relayoutPending = false;
    m_reloadPending = false;
    m_resourceLanesPending = false;
    m_resourceObservations.clear();
    m_shownTimeSpanCheckPending = false;
    m_selectionCheckPending = false;
    destroyPendingIdleInvocations(this);
}

void DMProjectDocumentObjectViewDataSource::projectDidChange()
{
    m_linkIndexValid = false;
}

void DMProjectDocumentObjectViewDataSource::linksDidChange()
{
    m_linkIndexValid = false;
    if (DMProjectView *view = canvas())
        view->setNeedsDisplay();
}

// ---- Rows ----

int DMProjectDocumentObjectViewDataSource::projectOutlineRowAtCanvasY(double y) const
{
    const DMOutlineView *outline = m_document.projectOutlineView();
    if (!outline || !std::isfinite(y) || y < 0 || y > INT_MAX)
        return -1;
    return outline->rowAtPoint(QPoint(0, int(y)));
}

std::shared_ptr<DMProjectObject> DMProjectDocumentObjectViewDataSource::objectAtRow(int row) const
{
    return m_document.projectOutlineObjectAtRow(row);
}

// ---- Objects of a layer ----

void DMProjectDocumentObjectViewDataSource::projectViewRowsMeetingRect(const DMProjectViewBackgroundObjectAttributes *table, int outlineRows,
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

DMBaseObjectList DMProjectDocumentObjectViewDataSource::objectViewObjectsInRectForLayer(DMObjectView *view, const QRectF &rect,
                                                                     quint16 layer)
{
    DMBaseObjectList objects;
    const std::shared_ptr<DMProject> project = m_document.project();
    if (!project)
        return objects;
    const int viewMode = project->displayAttributes().viewMode;
    switch (layer) {
    case kDMProjectViewLayer_Background:
        if (m_background)
            objects.append(m_background);
        return objects;

    case kDMProjectViewLayer_Items: {
        if (!DMProjectViewMode_showsRows(viewMode))
            return objects;
        const DMOutlineView *outline = m_document.projectOutlineView();
        const auto table = m_background ? m_background->attributes() : nullptr;
        if (!outline || !table)
            return objects;
        int first = 0;
        int last = -1;
        projectViewRowsMeetingRect(table.get(), outline->numberOfRows(), rect, &first, &last);
        const DMProjectEventContainer *events = project->eventContainer().get();
        for (int row = first; row <= last; ++row) {
            const std::shared_ptr<DMProjectObject> object = objectAtRow(row);
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
            const std::shared_ptr<DMProjectDependency> dependency = it->link.lock();
            const auto line = dependency && endsAreInProject(*dependency) ? lineOf(*dependency) : nullptr;
            if (line && line->isDisplayed() && line->boundingBox().intersects(rect))
                found.emplace_back(it->order, line);
        }
        std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        for (auto &entry : found)
            objects.append(std::move(entry.second));
        if (m_pendingDependency)
            objects.append(m_pendingDependency);
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

void DMProjectDocumentObjectViewDataSource::rebuildLinkIndex()
{
    m_linkIndex.clear();
    m_linkIndexMaxBottom.clear();
    m_linkIndexValid = true;
    const std::shared_ptr<DMProject> project = m_document.project();
    if (!project)
        return;
    int order = 0;
    DMProjectItem_forEachItem(project->tasks().list(), [&](const DMProjectItem &item) {
        for (const auto &dependency : item.outboundDependencies()) {
            double top = 0.0;
            double bottom = 0.0;
            if (!endsAreInProject(*dependency) || !rowSpanOfLink(*dependency, &top, &bottom))
                continue;
            m_linkIndex.push_back({top - kLinkIndexMargin, bottom + kLinkIndexMargin, order++, dependency});
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

std::optional<QCursor> DMProjectDocumentObjectViewDataSource::objectViewCursorForDragOperation(DMObjectView *, qint32 operation)
{
    return QCursor(DMProjectView_cursorShapeForDragOperation(operation));
}

bool DMProjectDocumentObjectViewDataSource::objectViewShouldSelectObjectInLayer(DMObjectView *, const std::shared_ptr<DMBaseObject> &,
                                                            quint16 layer)
{
    // The background is never selected; the every-layer value 0xFFFF is a selectable layer.
    return (layer & 0xFFFF) != 0;
}

void DMProjectDocumentObjectViewDataSource::objectViewSelectionDidChange(DMObjectView *view)
{
    if (!m_applyingOutlineSelection)
        projectOutlineViewSelectionNeedsSyncingWithObjectView();
    m_projectViewHasSelectedItems = view && !view->selectedObjects().isEmpty();
    inspectSelection(view);
}

void DMProjectDocumentObjectViewDataSource::inspectSelection(DMObjectView *view)
{
    const DMBaseObjectList selection = view ? view->selectedObjects() : DMBaseObjectList();
    if (selection.size() == 1) {
        if (auto *object = dynamic_cast<DMProjectViewObject *>(selection.first().get()))
            object->editInInspector();
        return;
    }
    DMProjectViewObjectEditor *editor = DMProjectViewObjectEditor::sharedInstance(kTaskInspectorClass);
    if (editor && selection.isEmpty())
        editor->editObject(nullptr);
    else if (editor)
        editor->editNoObjectSaying(DMLocalizedString("Multiple Selection"));
}

void DMProjectDocumentObjectViewDataSource::projectObjectsDidLeave()
{
    // Checked once the change is whole: at the close of its undo step or after the undo or redo
    // that made it, or from the event loop for a change made without either.
    performOnceAfterDelay(m_selectionCheckPending, 0, &DMProjectDocumentObjectViewDataSource::dropSelectedObjectsOutsideProject);
}

void DMProjectDocumentObjectViewDataSource::dropSelectedObjectsOutsideProject()
{
    m_selectionCheckPending = false;
    DMProjectView *view = canvas();
    const std::shared_ptr<DMProject> project = m_document.project();
    if (!view || !project)
        return;
    const DMBaseObjectList &selection = view->selectedObjects();
    DMBaseObjectList kept;
    for (const auto &object : selection)
        if (showsObjectOfProject(*object, project))
            kept.append(object);
    // The objects that went are unmarked, so that an undo bringing one back does not show it
    // selected; the inspector and the outline follow.
    if (kept.size() != selection.size())
        view->setSelectedObjectsInLayer(kept, kDMObjectView_AllLayers);
}

void DMProjectDocumentObjectViewDataSource::projectOutlineViewSelectionNeedsSyncingWithObjectView()
{
    performOnceAfterDelay(m_outlineSyncPending, 0.05,
                          &DMProjectDocumentObjectViewDataSource::syncProjectOutlineViewSelectionWithObjectView);
}

void DMProjectDocumentObjectViewDataSource::performOnceAfterDelay(bool &pending, double seconds,
                                                                 void (DMProjectDocumentObjectViewDataSource::*fn)())
{
    if (pending)
        return;
    pending = true;
    performAfterDelay(this, seconds, [this, &pending, fn] {
        if (pending)
            (this->*fn)();
    });
}

void DMProjectDocumentObjectViewDataSource::syncProjectOutlineViewSelectionWithObjectView()
{
    m_outlineSyncPending = false;
    DMOutlineView *outline = m_document.projectOutlineView();
    if (!outline || !canvas())
        return;
    QList<int> rows;
    for (const auto &object : canvas()->selectedObjects()) {
        const auto *bar = dynamic_cast<const DMUIProjectItem *>(object.get());
        const std::shared_ptr<DMProjectItem> item = bar ? bar->representedObject() : nullptr;
        const int row = item ? m_document.projectOutlineRowForObject(item.get()) : -1;
        if (row >= 0 && !rows.contains(row))
            rows.append(row);
    }
    std::sort(rows.begin(), rows.end());
    if (rows == outline->selectedRowIndexes())
        return;
    m_syncingOutlineSelection = true;
    outline->selectRowIndexesByExtendingSelection(rows, false);
    m_syncingOutlineSelection = false;
    updateBackgroundSelectedRowsColor();
}

void DMProjectDocumentObjectViewDataSource::projectOutlineSelectionDidChange()
{
    const std::shared_ptr<DMProject> project = m_document.project();
    if (m_syncingOutlineSelection || !project)
        return;
    DMOutlineView *outline = m_document.projectOutlineView();
    DMProjectView *canvas = this->canvas();
    if (outline && canvas && project->displayAttributes().viewMode == kDMProjectViewMode_Gantt) {
        m_applyingOutlineSelection = true;
        canvas->deselectAll();
        for (int row : outline->selectedRowIndexes()) {
            const auto item = std::dynamic_pointer_cast<DMProjectItem>(objectAtRow(row));
            const auto bar = item ? std::dynamic_pointer_cast<DMBaseObject>(item->ganttUIObject()) : nullptr;
            if (!bar || bar->isSelected())
                continue;
            canvas->selectObjectInLayerExtendSelection(bar, kDMProjectViewLayer_Items, true);
            canvas->scrollRectToVisible(canvas->convertRectFromCanvasToView(bar->frame()));
        }
        m_applyingOutlineSelection = false;
    }
    updateBackgroundSelectedRowsColor();
    if (canvas)
        canvas->setNeedsDisplay();
}

bool DMProjectDocumentObjectViewDataSource::editSelectedObjectInView(DMObjectView *view)
{
    auto *canvas = qobject_cast<DMProjectView *>(view);
    if (!view || view->selectedObjects().size() != 1)
        return false;
    auto *object = dynamic_cast<DMProjectViewObject *>(view->selectedObjects().first().get());
    if (!object)
        return false;
    object->editInView(canvas);
    return true;
}

void DMProjectDocumentObjectViewDataSource::selectItemShowingInspector(const std::shared_ptr<DMProjectItem> &item)
{
    DMProjectView *canvas = this->canvas();
    const auto bar = item ? std::dynamic_pointer_cast<DMProjectViewObject>(item->ganttUIObject()) : nullptr;
    if (!canvas || !bar || !bar->isVisibleInCurrentViewMode())
        return;
    canvas->deselectAll();
    canvas->selectObjectInLayerExtendSelection(bar, kDMProjectViewLayer_Items, false);
    canvas->scrollRectToVisible(canvas->convertRectFromCanvasToView(bar->frame()));
    bar->editInView(canvas);
}

void DMProjectDocumentObjectViewDataSource::scrollToDay(const DMDate &date)
{
    const std::shared_ptr<DMProject> project = m_document.project();
    DMProjectView *view = canvas();
    QScrollArea *scroll = m_document.projectViewScrollArea();
    if (!project || !view || !scroll || date.isNull())
        return;
    // Midnight counts as the begin of the day's working window: its column's left edge.
    const double x = DMProjectViewDateGrid(project->displayAttributes()).xForDate(DMDate(date.year(), date.month(), date.day(), 0));
    const double inView = view->convertRectFromCanvasToView(QRectF(x, 0, 0, 0)).x();
    scroll->horizontalScrollBar()->setValue(int(std::lround(inView)));
}

// ---- Events of the canvas and its scroll area ----

bool DMProjectDocumentObjectViewDataSource::eventFilter(QObject *watched, QEvent *event)
{
    QScrollArea *scroll = m_document.projectViewScrollArea();
    if (scroll && watched == scroll->viewport() && event->type() == QEvent::Resize) {
        // The canvas fills at least the visible width and height: fit it once the resizing
        // settles. The rows stay as they are.
        performOnceAfterDelay(m_widenPending, 0, &DMProjectDocumentObjectViewDataSource::widenProjectView);
        return false;
    }
    DMProjectView *view = canvas();
    if (view && watched == view && event->type() == QEvent::FocusOut) {
        endKeyboardNudgeSeries();
        return false;
    }
    if (view && watched == view && event->type() == QEvent::Wheel) {
        // The wheel with Control held zooms, a notch a tenth of a pinch's decade.
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (!(wheel->modifiers() & Qt::ControlModifier))
            return false;
        const double notches = wheel->angleDelta().y() / kWheelNotch;
        if (notches != 0.0 && std::isfinite(notches))
            objectViewMagnifyWithEvent(view, DMEvent::magnifyEvent(notches * kWheelNotchMagnification,
                                                                   view->mapTo(view->window(), wheel->position()),
                                                                   DMEvent::modifiersFromQt(wheel->modifiers())));
        return true;
    }
    return QObject::eventFilter(watched, event);
}
