#include "DMUIProjectProcess.h"

#include "DMGanttGuideLabels.h"
#include "DMProject.h"
#include "DMProjectItem.h"
#include "DMProjectView.h"
#include "DMProjectViewConstants.h"

#include <QPainter>

namespace {

const QSizeF kDateLabelSize(68, 40);

} // namespace

DMUIProjectProcess::DMUIProjectProcess(const QRectF &frame)
    : DMUIProjectItem(frame)
{
    // The base built its handles before this class's table applied.
    updateUIFeatures();
}

DMUIProjectProcess::~DMUIProjectProcess() = default;

QString DMUIProjectProcess::objectEditorControllerClass() const
{
    return QStringLiteral("DMUIProjectProcessInspectorController");
}

QPointF DMUIProjectProcess::horizontalFrameRangeInGrid(const DMProjectViewDateGrid &grid,
                                                       const DMProjectItem &item) const
{
    // The bracket reaches 5 points beyond each date, so the tips fall on the dates.
    const qreal rw = kDMUIProjectProcess_resizeHandlesWidth;
    return QPointF(grid.alignedX(item.beginDate()) - rw, grid.alignedWidth(item.beginDate(), item.endDate()) + 2 * rw);
}

// ---- Title and handles ----

QString DMUIProjectProcess::titleText() const
{
    const std::shared_ptr<DMProjectItem> item = representedObject();
    return item ? item->title() : QString();
}

DMUIProjectProcessTitleInput DMUIProjectProcess::titleInput(DMObjectView *view) const
{
    DMUIProjectProcessTitleInput input;
    input.frame = frame();
    const std::shared_ptr<DMProject> owner = project();
    input.displayTaskNames = owner && owner->displayAttributes().displayTaskNames;
    input.titleSize = measuredSizeOfString(titleText());
    // Without a view (the handles) the Gantt view is assumed; the hit test passes its view.
    input.ganttView = viewModeVisibility() == kDMProjectViewMode_Gantt && (!view || qobject_cast<DMProjectView *>(view));
    if (auto *projectView = qobject_cast<DMProjectView *>(view))
        input.visibleRect = projectView->drawRectVisibleRect();
    return input;
}

DMUIProjectTaskTitleLayout DMUIProjectProcess::titleLayout(DMObjectView *view) const
{
    return DMUIProjectProcess_titleLayout(titleInput(view));
}

void DMUIProjectProcess::_updateDragHandleList()
{
    const QRectF f = frame();
    const DMUIProjectTaskTitleLayout title = titleLayout(nullptr);
    QRectF right;
    QRectF left;
    if (title.placement == DMUIProjectTaskTitleLayout::Right || title.placement == DMUIProjectTaskTitleLayout::Left) {
        // Both places a title beside the bracket may take, relative to the frame.
        const qreal tw = title.rect.width();
        right = QRectF(f.width() + 4, title.rect.y() - f.y(), tw, title.rect.height());
        left = right.translated(-f.width() - 8 - tw, 0);
    }
    setFirstTitleSlot(DMUIProjectProcess_fillHandleTable(mutableDragHandles(), f.width(), f.height(), right, left));
}

// ---- Drags ----

DMUIProjectItemDragRule DMUIProjectProcess::dragRule() const
{
    DMUIProjectItemDragRule rule;
    rule.dragsProgress = false;
    rule.shiftsSubitemsOnMove = true;
    return rule;
}

void DMUIProjectProcess::updateGuideAnchorObjects()
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
                 DMGanttGuideLabels::dateText(item->endDate())}});
}

// ---- Drawing ----

void DMUIProjectProcess::drawInRect(QPainter *painter, const QRectF &, DMObjectView *view)
{
    const QRectF f = frame();
    const QPainterPath path = bracket();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);

    fillShapeWithProgress(painter, path, f);
    painter->strokePath(path, QPen(isSelected() ? QColor(Qt::black) : strokeColor(), 1.0));

    const DMUIProjectTaskTitleLayout title = titleLayout(view);
    if (title.placement == DMUIProjectTaskTitleLayout::Inside)
        drawTitleInsideShape(painter, titleText(), title.rect, path);
    else if (title.placement != DMUIProjectTaskTitleLayout::None)
        titleTextAttributes().drawStringInRect(painter, titleText(), title.rect);
    painter->restore();
}
