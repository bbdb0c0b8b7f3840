#include "DMUIProjectItem.h"
#include "DMUIProjectShapeGeometry.h"

#include "DMBeep.h"
#include "DMGanttHoverShadow.h"
#include "DMGanttImages.h"
#include "DMLocalizedString.h"
#include "DMObjectView.h"
#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectDependencyUIObject.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMProjectView.h"
#include "DMProjectViewConstants.h"
#include "DMProjectViewObjectDelegate.h"
#include "DMUIProjectItemGeometry.h"
#include "DMUndoManager.h"
#include "DMUserDefaults.h"

#include <QPainter>
#include <QPainterPath>

#include <optional>

namespace {

constexpr qreal kDependencyRectSize = 5.0;
constexpr qreal kDependencyInset = 4.0;
constexpr qreal kPlainCornerRadius = 3.0;
constexpr qreal kSelectedLineWidth = 5.0;

std::optional<DMTextAttributes> &cachedTitleAttributes()
{
    static std::optional<DMTextAttributes> attributes;
    return attributes;
}

// Names the undo step that the edit of a drag step joined, as the menu shows it ("Undo Move"):
// the canvas controller's group from press to release, or the turn's step of a keyboard nudge.
// With no step open it renames nothing, so a step closed before never takes this drag's name.
void nameUndoStepOfDrag(const DMProject &project, qint32 operation)
{
    DMUndoManager *undo = project.undoManager();
    if (!undo || undo->groupingLevel() == 0)
        return;
    if (operation == DMProjectViewDragOperation::MoveItem)
        undo->setActionName(DMLocalizedString("Move"));
    else if (operation == DMProjectViewDragOperation::Progress)
        undo->setActionName(DMLocalizedString("Progress"));
    else
        undo->setActionName(DMLocalizedString("Resize"));
}

} // namespace

DMUIProjectItem::DMUIProjectItem(const QRectF &frame)
    : DMProjectViewObject(frame)
{
    adoptTextAttributes(titleTextAttributes());
    DMProjectViewObject::setFillColor(QColor::fromRgbF(1, 1, 0, 1));
    DMProjectViewObject::setStrokeColor(QColor::fromRgbF(0, 0, 0, 0.5));
    // Placed, with its handles, when its geometry is first read.
    setPlacementClock(placementClock());
    updateUIFeatures();
}

DMUIProjectItem::~DMUIProjectItem() = default;

std::shared_ptr<DMProjectItem> DMUIProjectItem::representedObject() const
{
    return std::static_pointer_cast<DMProjectItem>(m_representedObject.lock());
}

void DMUIProjectItem::setRepresentedObject(const std::shared_ptr<DMProjectItem> &item)
{
    m_representedObject = item;
}

std::shared_ptr<DMProject> DMUIProjectItem::project() const
{
    const std::shared_ptr<DMProjectItem> item = representedObject();
    return item ? item->project() : nullptr;
}

DMTextAttributes DMUIProjectItem::defaultTextAttributes() const
{
    return titleTextAttributes();
}

DMTextAttributes DMUIProjectItem::titleTextAttributes()
{
    return projectViewTitleAttributes(cachedTitleAttributes(), true);
}

void DMUIProjectItem::fillShapeWithProgress(QPainter *painter, const QPainterPath &shape,
                                            const QRectF &progressBox) const
{
    painter->save();
    if (isHovered())
        DMGanttHoverShadow::drawForPath(painter, shape);
    painter->fillPath(shape, fillColor());
    painter->setClipPath(shape, Qt::IntersectClip);
    if (const std::shared_ptr<DMProjectItem> item = representedObject()) {
        const QRectF overlay(progressBox.x(), progressBox.y(), item->progress() * progressBox.width(),
                             progressBox.height());
        if (overlay.width() >= 0.5)
            painter->fillRect(overlay, bestContrastColor());
    }
    painter->restore();
}

void DMUIProjectItem::drawTitleInsideShape(QPainter *painter, const QString &title, const QRectF &rect,
                                           const QPainterPath &shape) const
{
    const QRectF bounds = shape.boundingRect();
    if (rect.left() >= bounds.left() && rect.right() <= bounds.right()) {
        textAttributes().drawStringInRect(painter, title, rect);
        return;
    }
    painter->save();
    painter->setClipPath(shape, Qt::IntersectClip);
    textAttributes().drawStringInRect(painter, title, rect);
    painter->restore();
    QPainterPath outside;
    outside.addRect(rect);
    painter->save();
    painter->setClipPath(outside.subtracted(shape), Qt::IntersectClip);
    titleTextAttributes().drawStringInRect(painter, title, rect);
    painter->restore();
}

DMTextAttributes DMUIProjectItem::projectViewTitleAttributes(std::optional<DMTextAttributes> &cache, bool truncates)
{
    if (!cache) {
        const QVariant stored = DMUserDefaults::standardUserDefaults().objectForKey(kDMHalcyra_ProjectViewFontSize);
        bool ok = false;
        const double size = stored.toDouble(&ok);
        cache = DMTextAttributes{DMTextAttributes::smallSystemFont(ok && size >= 8.0 ? size : 9.0), Qt::black,
                                 Qt::AlignLeft, truncates};
    }
    return *cache;
}

void DMUIProjectItem::resetTitleTextAttributes()
{
    cachedTitleAttributes().reset();
}

QImage DMUIProjectItem::lockImage()
{
    return DMGanttImages::imageNamed(QStringLiteral("locked"));
}

QImage DMUIProjectItem::attachedImage()
{
    return DMGanttImages::imageNamed(QStringLiteral("attached"));
}

QImage DMUIProjectItem::fxGradientImage()
{
    return DMGanttImages::imageNamed(DMGanttImages::kGlossImageName);
}

// ---- Geometry ----

void DMUIProjectItem::setFrame(const QRectF &requested)
{
    QRectF frame = requested;
    if (frame.width() < 1.0)
        frame.setWidth(1.0);
    if (frame.height() < 1.0)
        frame.setHeight(1.0);
    const QRectF old = this->frame();
    if (frame == old)
        return;
    DMProjectViewObject::setFrame(frame);
    if (frame.size() != old.size())
        updateUIFeatures();

    // The links follow when they are next read (they compare the stamps of their bars).
    noteGeometryChange();
    if (viewModeVisibility() != kDMProjectViewMode_Gantt || s_linkUpdatesDeferred > 0)
        return;
    // Placed outside a reading, the bar asks for its links' old and new places to be redrawn.
    if (DMProjectViewObjectDelegate *delegate = visibleObjectDelegate())
        if (const std::shared_ptr<DMProjectItem> item = representedObject())
            if (!item->outboundDependencies().isEmpty() || !item->inboundDependencies().isEmpty())
                delegate->projectViewObjectWillBePlacedAgain(this);
}

void DMUIProjectItem::setVerticalFrameRange(qreal y, qreal height)
{
    // A bar left to be placed keeps waiting: its placement keeps the stored vertical part, and
    // builds its handles anew when the height changed them.
    const QRectF stored = placedFrame();
    if (isPlacementStale()) {
        const qreal newHeight = std::max<qreal>(height, 1.0);
        if (newHeight != stored.height())
            m_featuresStale = true;
        storeFrameWhileStale(QRectF(stored.x(), y, stored.width(), newHeight));
        return;
    }
    const QRectF f = frame();
    setFrame(QRectF(f.x(), y, f.width(), height));
}

QRectF DMUIProjectItem::dependencyEndRect() const
{
    const QRectF f = frame();
    return QRectF(f.x() + kDependencyInset, f.y() + (f.height() - kDependencyRectSize) / 2, kDependencyRectSize,
                  kDependencyRectSize);
}

QRectF DMUIProjectItem::dependencyStartRect() const
{
    const QRectF f = frame();
    return QRectF(f.right() - kDependencyInset - kDependencyRectSize, f.y() + (f.height() - kDependencyRectSize) / 2,
                  kDependencyRectSize, kDependencyRectSize);
}

void DMUIProjectItem::updateUIFeatures()
{
    if (isPlacementStale()) {
        m_featuresStale = true;
        objectNeedsUpdate();
        return;
    }
    m_featuresStale = false;
    _updateDragHandleList();
    updateBoundingBox();
    objectNeedsUpdate();
}

void DMUIProjectItem::_updateDragHandleList()
{
    const std::shared_ptr<DMProjectItem> item = representedObject();
    DMUIProjectItem_fillHandleTable(mutableDragHandles(), frame().width(), frame().height(), item ? item->progress() : 0.0);
}

const DMUIProjectItemDragHandleTable &DMUIProjectItem::handles() const
{
    static const DMUIProjectItemDragHandleTable none;
    return m_dragHandles ? *m_dragHandles : none;
}

DMUIProjectItemDragHandleTable &DMUIProjectItem::mutableDragHandles()
{
    if (!m_dragHandles)
        m_dragHandles = std::make_unique<DMUIProjectItemDragHandleTable>();
    return *m_dragHandles;
}

void DMUIProjectItem::updateBoundingBox()
{
    setBoundingBox(frameAndHandlesBox());
}

QRectF DMUIProjectItem::frameAndHandlesBox() const
{
    QRectF box = frame();
    const QPointF origin = dragHandlesOrigin();
    const DMUIProjectItemDragHandleTable &table = handles();
    for (int i = 0; i < table.count(); ++i) {
        const DMUIProjectItem_DragHandle &handle = table.at(i);
        if (handle.shape != DMUIProjectItem_DragHandle::Empty)
            box = box.united(handle.rect.translated(origin));
    }
    return box;
}

DMProjectViewDateGrid DMUIProjectItem::dateGrid() const
{
    const std::shared_ptr<DMProject> owner = project();
    return owner ? DMProjectViewDateGrid(owner->displayAttributes()) : DMProjectViewDateGrid();
}

QPointF DMUIProjectItem::horizontalFrameRangeInGrid(const DMProjectViewDateGrid &grid, const DMProjectItem &item) const
{
    return QPointF(grid.alignedX(item.beginDate()), grid.alignedWidth(item.beginDate(), item.endDate()));
}

void DMUIProjectItem::representedObject_timeSpanChanged()
{
    // Placed when next read: the canvas reads what it shows, and a pushed chain moves thousands
    // of bars of which a screenful is drawn. What is in view is redrawn.
    invalidatePlacement();
    noteGeometryChange();
    const std::shared_ptr<DMProjectItem> item = representedObject();
    const std::shared_ptr<DMProject> owner = item ? item->project() : nullptr;
    if (!owner)
        return;
    if (DMProjectViewObjectDelegate *delegate = visibleObjectDelegateInProject(*owner))
        delegate->projectViewObjectWillBePlacedAgain(this);
}

void DMUIProjectItem::placeStaleGeometry()
{
    const PlacingScope placing;
    const std::shared_ptr<DMProjectItem> item = representedObject();
    const DMProjectViewDateGrid grid = dateGrid();
    if (item && grid.isValid() && !item->beginDate().isNull() && !item->endDate().isNull()) {
        const QPointF range = horizontalFrameRangeInGrid(grid, *item);
        const QRectF stored = placedFrame();
        setFrame(QRectF(range.x(), stored.y(), range.y(), stored.height()));
        // The vertical layout may have moved the stored frame alone: a frame that comes out the
        // same still takes its bounding box to where it is.
        if (placedFrame() == stored && !m_featuresStale)
            updateBoundingBox();
    }
    if (m_featuresStale)
        updateUIFeatures();
}

void DMUIProjectItem::representedObject_progressChanged()
{
    updateUIFeatures();
    updateGuideAnchorObjects();
}

void DMUIProjectItem::representedObject_titleChanged()
{
    updateUIFeatures();
}

void DMUIProjectItem::representedObject_fillColorChanged()
{
    if (const std::shared_ptr<DMProjectItem> item = representedObject())
        setFillColor(item->fillColor());
}

void DMUIProjectItem::representedObject_criticalPathChanged()
{
    objectNeedsUpdate();
}

void DMUIProjectItem::representedObject_lockOrAttributesChanged()
{
    updateUIFeatures();
}

void DMUIProjectItem::setResourceViewFields(int subRow, DMProjectResource *resource)
{
    m_subRow = subRow;
    m_resource = resource;
}

// ---- Hit testing and drags ----

bool DMUIProjectItem::isPointHitting(QPointF point, DMObjectView *view) const
{
    return frame().contains(point) || dragOperationForPoint(point, view) != 0;
}

DMUIProjectTaskTitleLayout DMUIProjectItem::titleLayout(DMObjectView *) const
{
    return {};
}

QString DMUIProjectItem::toolTipInView(DMObjectView *view) const
{
    const std::shared_ptr<DMProjectItem> item = representedObject();
    if (!item || item->title().isEmpty())
        return QString();
    const DMUIProjectTaskTitleLayout layout = titleLayout(view);
    const qreal room = layout.placement == DMUIProjectTaskTitleLayout::None ? frame().width() : layout.rect.width();
    return measuredSizeOfString(item->title()).width() > room + 0.5 ? item->title() : QString();
}

qint32 DMUIProjectItem::dragOperationForPoint(QPointF point, DMObjectView *view) const
{
    placeIfStale();
    const QPointF inTable = point - dragHandlesOrigin();
    if (m_firstTitleSlot < 0)
        return handles().operationAtPoint(inTable);
    // Of the two places a title beside the bar may take, only the one it is drawn in is pressed.
    return DMUIProjectItem_operationAtPoint(handles(), inTable, m_firstTitleSlot, titleLayout(view).placement);
}

void DMUIProjectItem::handleDragOperation(qint32 operation, QPointF startPoint, QPointF endPoint,
                                          const DMEvent &event, DMObjectView *)
{
    const std::shared_ptr<DMProjectItem> item = representedObject();
    if (event.eventNumber() != m_drag.eventNumber) {
        m_drag.eventNumber = event.eventNumber();
        m_drag.pressPoint = startPoint;
        m_drag.pressDates = item ? DMUIProjectDateDragStep{item->beginDate(), item->endDate()} : DMUIProjectDateDragStep{};
        m_drag.pressProgress = item ? item->progress() : 0.0f;
    }

    const std::shared_ptr<DMProject> owner = project();
    const DMUIProjectItemDragRule rule = dragRule();
    if (!item || !owner || (rule.ignoredWhenLocked && item->locked()))
        return;
    const qreal deltaX = endPoint.x() - m_drag.pressPoint.x();

    if (operation == DMProjectViewDragOperation::Progress) {
        if (!rule.dragsProgress)
            return;
        // Where the pointer is, of the bar's width; what the item had while it has not moved.
        const QRectF f = frame();
        const float progress = deltaX == 0.0 ? m_drag.pressProgress
                                             : float(std::clamp((endPoint.x() - f.x()) / f.width(), 0.0, 1.0));
        if (progress != item->progress()) {
            item->setProgress(progress);
            nameUndoStepOfDrag(*owner, operation);
        }
        updateGuideAnchorObjects();
        return;
    }

    const std::optional<DMUIProjectDateDragStep> step = DMUIProjectItem_datesForDragStep(
        *item, *owner, dateGrid(), operation, m_drag.pressDates, deltaX, rule);
    if (!step)
        return;
    const bool shifts = rule.shiftsSubitemsOnMove && operation == DMProjectViewDragOperation::MoveItem;
    const int result = shifts ? item->validateTimeShiftAndSetBeginDateAndEndDate(step->begin, step->end)
                              : item->validateAndSetBeginDateAndEndDate(step->begin, step->end);
    if (result != 0)
        DMBeep(); // refused: the model is as it was
    else
        nameUndoStepOfDrag(*owner, operation);
}

// ---- Drawing ----

void DMUIProjectItem::drawInRect(QPainter *painter, const QRectF &, DMObjectView *)
{
    const QRectF f = frame();
    const std::shared_ptr<DMProjectItem> item = representedObject();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);

    QPainterPath path;
    if (f.width() < 6 || f.height() < 6)
        path.addRect(f);
    else
        path.addRoundedRect(f, kPlainCornerRadius, kPlainCornerRadius);
    painter->fillPath(path, fillColor());
    painter->strokePath(path, isSelected() ? QPen(Qt::black, kSelectedLineWidth) : QPen(strokeColor(), 1.0));

    if (item) {
        const QRectF overlay(f.x(), f.y() + 3, item->progress() * f.width(), f.height() - 6);
        if (overlay.width() >= 0.5)
            painter->fillRect(overlay, QColor::fromRgbF(1, 1, 1, 0.5));
    }

    painter->setPen(QPen(Qt::black, 1.0));
    painter->setBrush(Qt::NoBrush);
    for (const QRectF &link : {dependencyEndRect(), dependencyStartRect()})
        if (f.contains(link))
            painter->drawEllipse(link);

    const DMUIProjectItemDragHandleTable &table = handles();
    if (table.count() > 0 && table.at(0).operation == DMProjectViewDragOperation::Progress) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(Qt::red);
        painter->drawEllipse(table.at(0).rect.translated(f.topLeft()));
    }

    painter->drawImage(f, fxGradientImage());

    if (item)
        titleTextAttributes().drawStringInRect(painter, item->title(), f);
    painter->restore();
}

QString DMUIProjectItem::description() const
{
    const std::shared_ptr<DMProjectItem> item = representedObject();
    const QString resource = m_resource ? m_resource->name() : QStringLiteral("(null)");
    return QStringLiteral("DMUIProjectItem { _resourceViewFields = { subRow = %1 resource = %2 } _ganttViewFields = "
                          "{ displayed = %3 } representedObject = %4 }")
        .arg(m_subRow)
        .arg(resource, m_displayed ? QStringLiteral("YES") : QStringLiteral("NO"),
             item ? item->title() : QStringLiteral("(null)"));
}
