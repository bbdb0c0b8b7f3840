#include "DMUIProjectTask.h"

#include "DMBeep.h"
#include "DMGanttGuideLabels.h"
#include "DMGanttImages.h"
#include "DMLocalizedString.h"
#include "DMProject.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMProjectView.h"
#include "DMProjectViewConstants.h"
#include "DMProjectViewObjectEditor.h"
#include "DMProjectViewDelegate.h"
#include "DMProjectViewMenuItem.h"
#include "DMUIProjectShapeGeometry.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr qreal kBarInset = 2.0;
constexpr qreal kProgressImageBottomInset = 2.0;
constexpr qreal kIconGap = 1.5;
constexpr qreal kIconInset = 2.0;
const QSizeF kDateLabelSize(68, 40);
const QSizeF kProgressLabelSize(68, 20);

bool hasAttachedDocuments(const DMProjectItem &item)
{
    const QVariant documents = item.attribute(kDMProjectItem_AttachedDocuments);
    return documents.canConvert<QVariantList>() && !documents.toList().isEmpty();
}

} // namespace

DMUIProjectTask::DMUIProjectTask(const QRectF &frame)
    : DMUIProjectItem(frame)
{
    // The base built its handles before this class's table applied.
    updateUIFeatures();
}

DMUIProjectTask::~DMUIProjectTask() = default;

DMUIProjectTaskHandleMetrics DMUIProjectTask::handleMetrics()
{
    static const DMUIProjectTaskHandleMetrics metrics = [] {
        DMUIProjectTaskHandleMetrics m;
        const QImage link = DMGanttImages::imageNamed(QStringLiteral("DMUIProjectItem_DependencyHandle3"));
        m.linkWidth = std::max<qreal>(10.0, link.width());
        m.linkHeight = std::max<qreal>(10.0, link.height());
        m.linkMargin = -m.linkWidth / 2;
        m.sliderWidth = 12.0;
        m.sliderHeight = 12.0;
        m.sliderYOffset = 2.0;
        return m;
    }();
    return metrics;
}

QRectF DMUIProjectTask::barRect() const
{
    return frame().adjusted(0, kBarInset, 0, -kBarInset);
}

QRectF DMUIProjectTask::dependencyEndRect() const
{
    const DMUIProjectTaskHandleMetrics m = handleMetrics();
    const QRectF f = frame();
    const qreal y = f.y() + (f.height() - m.linkHeight) / 2;
    if (2 * (m.linkWidth + m.linkMargin) >= f.width())
        return QRectF(f.x(), y, 1, m.linkHeight);
    return QRectF(f.x() + m.linkMargin, y, m.linkWidth, m.linkHeight);
}

QRectF DMUIProjectTask::dependencyStartRect() const
{
    const DMUIProjectTaskHandleMetrics m = handleMetrics();
    const QRectF f = frame();
    const qreal y = f.y() + (f.height() - m.linkHeight) / 2;
    if (2 * (m.linkWidth + m.linkMargin) >= f.width())
        return QRectF(f.right(), y, 1, m.linkHeight);
    return QRectF(f.right() - m.linkMargin - m.linkWidth, y, m.linkWidth, m.linkHeight);
}

bool DMUIProjectTask::acceptsDependencies() const
{
    return viewModeVisibility() == kDMProjectViewMode_Gantt;
}

QString DMUIProjectTask::objectEditorControllerClass() const
{
    return DMProjectViewObjectEditor::kTaskInspectorClass;
}

// ---- Title and handles ----

QString DMUIProjectTask::titleText() const
{
    const std::shared_ptr<DMProjectItem> item = representedObject();
    return item ? item->title() : QString();
}

qreal DMUIProjectTask::iconOffset() const
{
    // The icons start at the bar's left end (not half outside it, where the link handle is
    // centred), and make way for the link handle while it shows.
    qreal offset = kIconInset;
    if (isHovered())
        if (const DMUIProjectItem_DragHandle *link = dragHandles().find(DMProjectViewDragOperation::LinkFromBegin))
            offset = std::max(offset, link->rect.x() + link->rect.width());
    return offset;
}

DMUIProjectTaskTitleInput DMUIProjectTask::titleInput(DMObjectView *view) const
{
    DMUIProjectTaskTitleInput input;
    input.barRect = barRect();
    input.frameWidth = frame().width();
    const std::shared_ptr<DMProject> owner = project();
    const std::shared_ptr<DMProjectItem> item = representedObject();
    input.displayTaskNames = owner && item && owner->displayAttributes().displayTaskNames && !item->title().isEmpty();
    input.titleSize = measuredSizeOfString(titleText());
    input.ganttView = viewModeVisibility() == kDMProjectViewMode_Gantt;
    if (view && !qobject_cast<DMProjectView *>(view))
        input.ganttView = false;
    if (item && item->locked())
        input.lockRoom = lockImage().width() + 2;
    input.iconOffset = iconOffset();
    if (auto *projectView = qobject_cast<DMProjectView *>(view))
        input.visibleRect = projectView->drawRectVisibleRect();
    return input;
}

DMUIProjectTaskTitleLayout DMUIProjectTask::titleLayout(DMObjectView *view) const
{
    return DMUIProjectTask_titleLayout(titleInput(view));
}

void DMUIProjectTask::_updateDragHandleList()
{
    const std::shared_ptr<DMProjectItem> item = representedObject();
    const QRectF bar = barRect();
    const DMUIProjectTaskTitleInput input = titleInput(nullptr);
    const QSizeF besideTitle = DMUIProjectTask_titleGoesBeside(input) ? input.titleSize : QSizeF();
    setFirstTitleSlot(DMUIProjectTask_fillHandleTable(mutableDragHandles(), bar.width(), bar.height(),
                                                       item ? item->progress() : 0.0,
                                                       viewModeVisibility() == kDMProjectViewMode_Gantt,
                                                       handleMetrics(), besideTitle));
}

// ---- Drags ----

DMUIProjectItemDragRule DMUIProjectTask::dragRule() const
{
    DMUIProjectItemDragRule rule;
    rule.ignoredWhenLocked = true;
    return rule;
}

// ---- Guide labels ----

void DMUIProjectTask::updateGuideAnchorObjects()
{
    const std::shared_ptr<DMProjectItem> item = representedObject();
    if (!item || !project())
        return;
    const QRectF f = frame();
    const qreal y = std::max(0.0, f.y() - 10);
    DMGanttGuideLabels::update(
        *this, {{QRectF(QPointF(f.x() - kDateLabelSize.width(), y), kDateLabelSize), Qt::AlignRight | Qt::AlignVCenter,
                 DMGanttGuideLabels::dateText(item->beginDate())},
                {QRectF(QPointF(f.right(), y), kDateLabelSize), Qt::AlignLeft | Qt::AlignVCenter,
                 DMGanttGuideLabels::dateText(item->endDate())},
                {QRectF(QPointF(f.x() + f.width() / 2 - kProgressLabelSize.width() / 2, f.y() - 20), kProgressLabelSize),
                 Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("%1%").arg(int(item->progress() * 100))}});
}

// ---- Context menu ----

std::unique_ptr<QMenu> DMUIProjectTask::commandMenu(DMProjectView *view, bool handled,
                                                    std::initializer_list<MenuCommand> commands,
                                                    void (*perform)(DMObjectViewDelegate *delegate, QAction *sender))
{
    auto menu = std::make_unique<QMenu>(QStringLiteral("task option"));
    if (!view || !handled)
        return menu;
    const std::shared_ptr<DMBaseObject> self = shared_from_this();
    const QPointer<DMProjectView> canvas(view);
    for (const MenuCommand &command : commands) {
        QAction *action = menu->addAction(DMLocalizedString(command.title));
        DMProjectViewMenuItem::setRepresentedObject(action, view, self);
        DMProjectViewMenuItem::setTag(action, qint32(command.tag));
        QObject::connect(action, &QAction::triggered, action, [canvas, action, perform] {
            if (canvas)
                perform(canvas->delegate(), action);
        });
    }
    return menu;
}

std::unique_ptr<QMenu> DMUIProjectTask::contextMenuInView(DMProjectView *view, DMObjectViewDelegate *delegate)
{
    auto *projectDelegate = dynamic_cast<DMProjectViewDelegate *>(delegate);
    return commandMenu(view, projectDelegate && projectDelegate->respondsToProjectViewConvertTaskToProcessFromItem(),
                       {
                           {"Convert to Milestone", DMFourCharCode("mile")},
                           {"Convert to Process", DMFourCharCode("cnvt")},
                           {"Embed in Process", DMFourCharCode("embd")},
                       },
                       [](DMObjectViewDelegate *target, QAction *sender) {
                           if (auto *commands = dynamic_cast<DMProjectViewDelegate *>(target))
                               commands->projectViewConvertTaskToProcessFromItem(sender);
                       });
}

bool DMUIProjectTask::presentsContextMenuFromEventInViewWithDelegate(const DMEvent &event, DMProjectView *view,
                                                                     DMObjectViewDelegate *delegate)
{
    if (!view)
        return false;
    if (QWidget *window = view->window())
        window->activateWindow();
    std::unique_ptr<QMenu> menu = contextMenuInView(view, delegate);
    if (menu->isEmpty())
        return true;
    const QPointF global = event.globalLocation().isNull() ? view->mapToGlobal(view->mapFrom(view->window(), event.locationInWindow()))
                                                           : event.globalLocation();
    menu->exec(global.toPoint());
    return true;
}

// ---- Drawing ----

void DMUIProjectTask::strokeOutline(QPainter *painter, const QPainterPath &outline) const
{
    const std::shared_ptr<DMProjectItem> item = representedObject();
    if (isSelected())
        painter->strokePath(outline, QPen(Qt::black, 1.0));
    else if (item && item->partOfCriticalPath())
        painter->strokePath(outline, QPen(Qt::red, 2.0));
    else
        painter->strokePath(outline, QPen(strokeColor(), 1.0));
}

void DMUIProjectTask::drawInRect(QPainter *painter, const QRectF &, DMObjectView *view)
{
    const QRectF bar = barRect();
    const std::shared_ptr<DMProjectItem> item = representedObject();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);

    QPainterPath path;
    if (bar.width() >= bar.height())
        path.addRoundedRect(bar, bar.height() / 2, bar.height() / 2);
    else
        path.addRect(bar);

    fillShapeWithProgress(painter, path, bar.translated(0, 0.5));

    strokeOutline(painter, path);

    const DMUIProjectItemDragHandleTable &table = dragHandles();
    if (isHovered()) {
        const QImage progressImage = DMGanttImages::imageNamed(QStringLiteral("DMUIProjectItem_ProgressHandle"));
        const QImage linkImage = DMGanttImages::imageNamed(QStringLiteral("DMUIProjectItem_DependencyHandle3"));
        for (int i = 0; i < table.count(); ++i) {
            const DMUIProjectItem_DragHandle &handle = table.at(i);
            const QRectF placed = handle.rect.translated(bar.topLeft());
            if (handle.operation == DMProjectViewDragOperation::Progress) {
                const QPointF origin(std::round(placed.x() + (placed.width() - progressImage.width()) / 2),
                                     std::round(placed.bottom() - kProgressImageBottomInset - progressImage.height()));
                painter->drawImage(origin, progressImage);
            } else if (handle.operation == DMProjectViewDragOperation::LinkFromBegin
                       || handle.operation == DMProjectViewDragOperation::LinkFromEnd) {
                painter->drawImage(placed, linkImage);
            }
        }
    }

    if (item) {
        qreal offset = iconOffset();
        const auto drawIcon = [&](const QImage &image) {
            painter->drawImage(QPointF(bar.x() + offset - 0.5, bar.y() + (bar.height() - image.height()) / 2 - 0.5), image);
            offset += image.width() + kIconGap;
        };
        if (item->locked())
            drawIcon(lockImage());
        if (hasAttachedDocuments(*item))
            drawIcon(attachedImage());
    }

    const DMUIProjectTaskTitleLayout title = titleLayout(view);
    if (title.placement == DMUIProjectTaskTitleLayout::Inside)
        drawTitleInsideShape(painter, titleText(), title.rect, path);
    else if (title.placement != DMUIProjectTaskTitleLayout::None)
        titleTextAttributes().drawStringInRect(painter, titleText(), title.rect);
    painter->restore();
}
