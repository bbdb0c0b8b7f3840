#include "DMUIProjectMilestone.h"

#include "DMGanttContextMenuDelegate.h"
#include "DMObjectViewDelegate.h"
#include "DMGanttGuideLabels.h"
#include "DMGanttHoverShadow.h"
#include "DMGanttImages.h"
#include "DMProject.h"
#include "DMProjectItem.h"
#include "DMProjectView.h"
#include "DMProjectViewConstants.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

#include <optional>

namespace {

// A milestone's date snaps to either end of the day window.
constexpr int kSnapMilestone = kDMProjectView_SnapBegin | kDMProjectView_SnapEnd;
const QSizeF kDateLabelSize(68, 40);

std::optional<DMTextAttributes> &cachedTitleAttributes()
{
    static std::optional<DMTextAttributes> attributes;
    return attributes;
}

QImage linkImage()
{
    return DMGanttImages::imageNamed(QStringLiteral("DMUIProjectItem_DependencyHandle3"));
}

} // namespace

DMUIProjectMilestone::DMUIProjectMilestone(const QRectF &frame)
    : DMUIProjectTask(frame)
{
    adoptTextAttributes(titleTextAttributes());
    updateUIFeatures();
}

DMUIProjectMilestone::~DMUIProjectMilestone() = default;

DMUIProjectMilestoneHandleMetrics DMUIProjectMilestone::milestoneHandleMetrics()
{
    static const DMUIProjectMilestoneHandleMetrics metrics = [] {
        DMUIProjectMilestoneHandleMetrics m;
        const QImage image = linkImage();
        if (!image.isNull()) {
            m.linkWidth = image.width();
            m.linkHeight = image.height();
            m.linkMargin = -m.linkWidth / 2;
        }
        return m;
    }();
    return metrics;
}

DMTextAttributes DMUIProjectMilestone::titleTextAttributes()
{
    return projectViewTitleAttributes(cachedTitleAttributes(), false);
}

void DMUIProjectMilestone::resetTitleTextAttributes()
{
    cachedTitleAttributes().reset();
}

DMTextAttributes DMUIProjectMilestone::defaultTextAttributes() const
{
    return titleTextAttributes();
}

QString DMUIProjectMilestone::objectEditorControllerClass() const
{
    return QStringLiteral("DMUIProjectMilestoneInspectorController");
}

QPolygonF DMUIProjectMilestone::diamond() const
{
    return DMUIProjectMilestone_diamond(diamondRect());
}

QPointF DMUIProjectMilestone::horizontalFrameRangeInGrid(const DMProjectViewDateGrid &grid,
                                                         const DMProjectItem &item) const
{
    // Centred on the date: roundf(days x ppd - 7) + 0.5.
    return QPointF(grid.alignedX(item.beginDate(), -kDMUIProjectMilestone_Width / 2), kDMUIProjectMilestone_Width);
}

QRectF DMUIProjectMilestone::dependencyEndRect() const
{
    const DMUIProjectMilestoneHandleMetrics m = milestoneHandleMetrics();
    const QRectF f = frame();
    return QRectF(f.x() + m.linkMargin, f.y() + (f.height() - m.linkHeight) / 2, m.linkWidth, m.linkHeight);
}

QRectF DMUIProjectMilestone::dependencyStartRect() const
{
    const DMUIProjectMilestoneHandleMetrics m = milestoneHandleMetrics();
    const QRectF f = frame();
    return QRectF(f.right() - m.linkMargin - m.linkWidth, f.y() + (f.height() - m.linkHeight) / 2, m.linkWidth,
                  m.linkHeight);
}

// ---- Title and handles ----

QString DMUIProjectMilestone::shownTitle() const
{
    const std::shared_ptr<DMProject> owner = project();
    const std::shared_ptr<DMProjectItem> item = representedObject();
    if (!owner || !item || !owner->displayAttributes().displayTaskNames)
        return QString();
    return item->title();
}

DMUIProjectTaskTitleLayout DMUIProjectMilestone::titleLayout(DMObjectView *view) const
{
    const QString title = shownTitle();
    if (title.isEmpty())
        return {};
    QRectF visible;
    if (auto *projectView = qobject_cast<DMProjectView *>(view))
        visible = projectView->drawRectVisibleRect();
    return DMUIProjectMilestone_titleLayout(diamondRect(), titleTextAttributes().sizeOfString(title), visible);
}

void DMUIProjectMilestone::_updateDragHandleList()
{
    const QRectF d = diamondRect();
    const QString title = shownTitle();
    const QSizeF titleSize = title.isEmpty() ? QSizeF() : titleTextAttributes().sizeOfString(title);
    setFirstTitleSlot(DMUIProjectMilestone_fillHandleTable(mutableDragHandles(), d.width(), d.height(),
                                                            viewModeVisibility() == kDMProjectViewMode_Gantt,
                                                            milestoneHandleMetrics(), titleSize));
}

// ---- Drags ----

DMUIProjectItemDragRule DMUIProjectMilestone::dragRule() const
{
    DMUIProjectItemDragRule rule;
    rule.resizes = false;
    rule.dragsProgress = false;
    rule.movesBothDatesTogether = true;
    rule.moveSnap = kSnapMilestone;
    return rule;
}

void DMUIProjectMilestone::updateGuideAnchorObjects()
{
    const std::shared_ptr<DMProjectItem> item = representedObject();
    if (!item || !project())
        return;
    const QRectF f = frame();
    DMGanttGuideLabels::update(*this, {{QRectF(QPointF(f.center().x() - kDateLabelSize.width() / 2, f.bottom()), kDateLabelSize),
                                        Qt::AlignHCenter | Qt::AlignTop, DMGanttGuideLabels::dateText(item->beginDate())}});
}

// ---- Context menu ----

std::unique_ptr<QMenu> DMUIProjectMilestone::contextMenuInView(DMProjectView *view, DMObjectViewDelegate *delegate)
{
    auto *commands = dynamic_cast<DMGanttContextMenuDelegate *>(delegate);
    return commandMenu(view, commands && commands->respondsToProjectViewConvertMilestoneToProcessFromItem(),
                       {
                           {"Convert to Task", DMFourCharCode("task")},
                           {"Convert to Process", DMFourCharCode("cnvt")},
                           {"Embed in Process", DMFourCharCode("embd")},
                       },
                       [](DMObjectViewDelegate *target, QAction *sender) {
                           if (auto *handler = dynamic_cast<DMGanttContextMenuDelegate *>(target))
                               handler->projectViewConvertMilestoneToProcessFromItem(sender);
                       });
}

// ---- Drawing ----

void DMUIProjectMilestone::drawInRect(QPainter *painter, const QRectF &, DMObjectView *view)
{
    const QRectF d = diamondRect();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addPolygon(diamond());
    path.closeSubpath();

    if (isHovered())
        DMGanttHoverShadow::drawForPath(painter, path);
    painter->fillPath(path, fillColor());

    strokeOutline(painter, path);

    if (isHovered()) {
        const QImage image = linkImage();
        const DMUIProjectItemDragHandleTable &table = dragHandles();
        for (int i = 0; i < table.count(); ++i) {
            const DMUIProjectItem_DragHandle &handle = table.at(i);
            if (handle.operation == DMProjectViewDragOperation::LinkFromBegin
                || handle.operation == DMProjectViewDragOperation::LinkFromEnd)
                painter->drawImage(handle.rect.translated(d.topLeft()), image);
        }
    }

    const DMUIProjectTaskTitleLayout title = titleLayout(view);
    if (title.placement != DMUIProjectTaskTitleLayout::None)
        titleTextAttributes().drawStringInRect(painter, shownTitle(), title.rect);
    painter->restore();
}
