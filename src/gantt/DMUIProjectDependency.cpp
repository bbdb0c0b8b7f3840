#include "DMUIProjectDependency.h"

#include "DMGanttContextMenuDelegate.h"
#include "DMObjectViewDelegate.h"
#include "DMProjectViewObjectDelegate.h"
#include "DMGanttHoverShadow.h"
#include "DMLocalizedString.h"
#include "DMObjectViewDragOperation.h"
#include "DMProject.h"
#include "DMProjectDependency.h"
#include "DMProjectItem.h"
#include "DMProjectView.h"
#include "DMProjectViewConstants.h"
#include "DMProjectViewMenuItem.h"
#include "DMUIProjectDependencyGeometry.h"
#include "DMUIProjectDependencyInspectorController.h"
#include "DMUIProjectItem.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr qreal kHaloWidth = 3.0;
constexpr qreal kCriticalLineWidth = 0.5;

// The item's Gantt bar if it has been made; never makes one. A bar that is placed tells its
// lines, and a line that made the bar at its other end would have it placed in turn, and so on
// along the whole chain of links, one placement inside the other.
std::shared_ptr<DMUIProjectItem> existingBarOf(const DMProjectItem &item)
{
    for (const auto &object : item.uiObjects())
        if (auto bar = std::dynamic_pointer_cast<DMUIProjectItem>(object))
            if (bar->viewModeVisibility() == kDMProjectViewMode_Gantt)
                return bar;
    return nullptr;
}

QPen linePen(const QColor &color, qreal width, int dashStyle)
{
    // Flat ends keep dashes their stated length: square caps would add half a width to each.
    QPen pen(color, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    const QVector<qreal> pattern = DMUIProjectDependency_penDashPattern(dashStyle, width);
    if (!pattern.isEmpty())
        pen.setDashPattern(pattern);
    return pen;
}

QPoint globalMenuPoint(const DMEvent &event, DMProjectView *view)
{
    if (!event.globalLocation().isNull())
        return event.globalLocation().toPoint();
    return view->mapToGlobal(view->mapFrom(view->window(), event.locationInWindow().toPoint()));
}

} // namespace

DMUIProjectDependency::DMUIProjectDependency()
    : DMProjectViewObject(QRectF())
{
    setPlacementClock(placementClock());
    setFollowsOtherObjects();
    markPlaced();
}

bool DMUIProjectDependency::followedObjectsMoved() const
{
    const std::shared_ptr<DMUIProjectItem> from = m_fromBar.lock();
    const std::shared_ptr<DMUIProjectItem> to = m_toBar.lock();
    return !from || !to || from->geometryStamp() != m_fromBarStamp || to->geometryStamp() != m_toBarStamp;
}

DMUIProjectDependency::~DMUIProjectDependency() = default;

std::shared_ptr<DMProjectDependency> DMUIProjectDependency::representedObject() const
{
    return m_representedObject.lock();
}

void DMUIProjectDependency::setRepresentedObject(const std::shared_ptr<DMProjectDependency> &dependency)
{
    m_representedObject = dependency;
    if (!dependency)
        return;
    updateUIFeatures();
    representedObject_endsChanged();
}

std::shared_ptr<DMProject> DMUIProjectDependency::project() const
{
    const std::shared_ptr<DMProjectDependency> dependency = representedObject();
    const std::shared_ptr<DMProjectItem> from = dependency ? dependency->fromItem() : nullptr;
    return from ? from->project() : nullptr;
}

QString DMUIProjectDependency::objectEditorControllerClass() const
{
    return QStringLiteral("DMUIProjectDependencyInspectorController");
}

void DMUIProjectDependency::updateUIFeatures()
{
    if (const std::shared_ptr<DMProjectDependency> dependency = representedObject()) {
        DMBaseObject::setStrokeColor(dependency->color());
        m_style = dependency->linkStyle();
        m_hasArrow = dependency->hasArrow();
        m_dashStyle = dependency->dashStyle();
        m_strokeWidth = DMUIProjectDependency_strokeWidthForThickness(dependency->thickness(), m_strokeWidth);
    }
    objectNeedsUpdate();
}

void DMUIProjectDependency::representedObject_endsChanged()
{
    invalidatePlacement();
    if (DMProjectViewObjectDelegate *delegate = visibleObjectDelegate())
        delegate->projectViewObjectWillBePlacedAgain(this);
}

void DMUIProjectDependency::representedObject_styleChanged()
{
    // The kind moves the ends; the style reshapes the route. The old place is redrawn first.
    updateUIFeatures();
    representedObject_endsChanged();
}

void DMUIProjectDependency::placeStaleGeometry()
{
    const PlacingScope placing;
    _linkedObjectsFramesDidChange();
}

void DMUIProjectDependency::_linkedObjectsFramesDidChange()
{
    const std::shared_ptr<DMProjectDependency> dependency = representedObject();
    if (!dependency)
        return;
    const std::shared_ptr<DMProjectItem> from = dependency->fromItem();
    const std::shared_ptr<DMProjectItem> to = dependency->toItem();
    if (!from || !to)
        return;
    // Until both bars exist the line has no place: it keeps its points and is not shown. The
    // later of the two tells it when it is placed, and the relayout places every line after
    // every bar.
    const std::shared_ptr<DMUIProjectItem> fromBar = existingBarOf(*from);
    const std::shared_ptr<DMUIProjectItem> toBar = existingBarOf(*to);
    if (!fromBar || !toBar) {
        m_displayed = false;
        return;
    }
    const int kind = dependency->kind();
    // Finish to start and finish to finish leave the predecessor's finish side; finish to start
    // and start to start enter the successor's start side.
    const bool leavesFinish = kind == DMProjectDependency::FinishToStart || kind == DMProjectDependency::FinishToFinish;
    const bool entersStart = kind == DMProjectDependency::FinishToStart || kind == DMProjectDependency::StartToStart;
    const QRectF startRect = leavesFinish ? fromBar->dependencyStartRect() : fromBar->dependencyEndRect();
    const QRectF endRect = entersStart ? toBar->dependencyEndRect() : toBar->dependencyStartRect();
    // Reading the bars placed them: this line is placed against what they are now.
    m_fromBar = fromBar;
    m_toBar = toBar;
    m_fromBarStamp = fromBar->geometryStamp();
    m_toBarStamp = toBar->geometryStamp();
    markPlaced();
    m_displayed = fromBar->isDisplayed() || toBar->isDisplayed();
    setStartPointEndPoint(startRect.center(), endRect.center());
}

void DMUIProjectDependency::setStartPointEndPoint(QPointF start, QPointF end)
{
    // The old area (with its halo and shadow) goes before the line moves, the new after.
    objectNeedsUpdate();
    m_startPoint = start;
    m_endPoint = end;
    const std::shared_ptr<DMProjectDependency> dependency = representedObject();
    m_route = DMUIProjectDependency_route(m_style, dependency ? dependency->kind() : 0, start, end);
    m_arrow = m_hasArrow ? DMUIProjectDependency_arrow(m_route) : QPolygonF();
    setFrame(DMUIProjectDependency_frame(m_route, m_arrow));
    objectNeedsUpdate();
}

bool DMUIProjectDependency::rowSpanOfEnds(double *top, double *bottom) const
{
    const std::shared_ptr<DMProjectDependency> dependency = representedObject();
    const DMProjectItem *from = dependency ? dependency->fromItemPointer() : nullptr;
    const DMProjectItem *to = dependency ? dependency->toItemPointer() : nullptr;
    const std::shared_ptr<DMUIProjectItem> fromBar = from ? existingBarOf(*from) : nullptr;
    const std::shared_ptr<DMUIProjectItem> toBar = to ? existingBarOf(*to) : nullptr;
    if (!fromBar || !toBar)
        return false;
    const QRectF a = fromBar->placedFrame();
    const QRectF b = toBar->placedFrame();
    *top = std::min(a.top(), b.top());
    *bottom = std::max(a.bottom(), b.bottom());
    return true;
}

bool DMUIProjectDependency::isPointHitting(QPointF point, DMObjectView *) const
{
    placeIfStale();
    return DMUIProjectDependency_isPointHitting(m_route, point, m_strokeWidth);
}

qint32 DMUIProjectDependency::dragOperationForPoint(QPointF point, DMObjectView *view) const
{
    return isPointHitting(point, view) ? DMObjectViewDragOperation::Select : DMObjectViewDragOperation::None;
}

void DMUIProjectDependency::drawInRect(QPainter *painter, const QRectF &, DMObjectView *)
{
    placeIfStale();
    if (m_route.size() < 2)
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setBrush(Qt::NoBrush);
    QPainterPath path;
    path.addPolygon(m_route);

    if (isHovered()) {
        QPainterPath shape = QPainterPathStroker(linePen(strokeColor(), kHaloWidth, 0)).createStroke(path);
        if (!m_arrow.isEmpty())
            shape.addPolygon(m_arrow);
        DMGanttHoverShadow::drawForPath(painter, shape);
    }

    qreal width = m_strokeWidth;
    const std::shared_ptr<DMProjectDependency> dependency = representedObject();
    const std::shared_ptr<DMProjectItem> from = dependency ? dependency->fromItem() : nullptr;
    const std::shared_ptr<DMProjectItem> to = dependency ? dependency->toItem() : nullptr;
    if (isSelected() || isHovered()) {
        painter->strokePath(path, linePen(QColor::fromRgbF(0, 0, 0, 0.5), kHaloWidth, m_dashStyle));
    } else if (from && to && from->partOfCriticalPath() && to->partOfCriticalPath()) {
        painter->strokePath(path, linePen(Qt::red, kHaloWidth, m_dashStyle));
        width = kCriticalLineWidth;
    }
    painter->strokePath(path, linePen(strokeColor(), width, m_dashStyle));
    if (!m_arrow.isEmpty()) {
        QPainterPath head;
        head.addPolygon(m_arrow);
        painter->fillPath(head, strokeColor());
    }
    painter->restore();
}

std::unique_ptr<QMenu> DMUIProjectDependency::contextMenuInView(DMProjectView *view, DMObjectViewDelegate *delegate)
{
    auto menu = std::make_unique<QMenu>(QStringLiteral("dependency option"));
    auto *commands = dynamic_cast<DMGanttContextMenuDelegate *>(delegate);
    if (!view || !commands)
        return menu;
    const std::shared_ptr<DMBaseObject> self = shared_from_this();
    const QPointer<DMProjectView> canvas(view);
    using Command = void (DMGanttContextMenuDelegate::*)(QAction *);
    const auto addGroup = [&](const QStringList &titles, Command command) {
        for (int tag = 0; tag < titles.size(); ++tag) {
            QAction *action = menu->addAction(DMLocalizedString(titles.at(tag)));
            DMProjectViewMenuItem::setRepresentedObject(action, view, self);
            DMProjectViewMenuItem::setTag(action, tag);
            // The delegate is looked up when the command runs: the document may have closed since.
            QObject::connect(action, &QAction::triggered, action, [canvas, action, command] {
                if (!canvas)
                    return;
                if (auto *target = dynamic_cast<DMGanttContextMenuDelegate *>(canvas->delegate()))
                    (target->*command)(action);
            });
        }
    };
    if (commands->respondsToProjectViewChangeDependencyLineStyle())
        addGroup(DMUIProjectDependencyInspectorController::lineStyleTitles(),
                 &DMGanttContextMenuDelegate::projectViewChangeDependencyLineStyle);
    if (commands->respondsToProjectViewChangeDependencyPatternStyle()) {
        menu->addSeparator();
        addGroup(DMUIProjectDependencyInspectorController::patternTitles(),
                 &DMGanttContextMenuDelegate::projectViewChangeDependencyPatternStyle);
    }
    return menu;
}

bool DMUIProjectDependency::presentsContextMenuFromEventInViewWithDelegate(const DMEvent &event, DMProjectView *view,
                                                                           DMObjectViewDelegate *delegate)
{
    if (!view)
        return false;
    if (QWidget *window = view->window())
        window->activateWindow();
    std::unique_ptr<QMenu> menu = contextMenuInView(view, delegate);
    if (!menu->actions().isEmpty())
        menu->exec(globalMenuPoint(event, view));
    return true;
}
