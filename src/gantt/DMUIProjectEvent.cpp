#include "DMUIProjectEvent.h"

#include "DMGanttGuideLabels.h"
#include "DMGanttImages.h"
#include "DMProject.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectViewConstants.h"

#include <QPainter>
#include <QPainterPath>

#include <optional>

namespace {

constexpr qreal kCornerRadius = 2.0;
constexpr qreal kTitleGap = 4.0;
constexpr qreal kLabelWidth = 68.0;

std::optional<DMTextAttributes> &cachedTitleAttributes()
{
    static std::optional<DMTextAttributes> attributes;
    return attributes;
}

} // namespace

DMUIProjectEvent::DMUIProjectEvent(const QRectF &frame)
    : DMUIProjectItem(frame)
{
    adoptTextAttributes(titleTextAttributes());
    // The base built its handles before this class's table applied.
    updateUIFeatures();
}

DMUIProjectEvent::~DMUIProjectEvent() = default;

DMTextAttributes DMUIProjectEvent::titleTextAttributes()
{
    return projectViewTitleAttributes(cachedTitleAttributes(), false);
}

void DMUIProjectEvent::resetTitleTextAttributes()
{
    cachedTitleAttributes().reset();
}

QImage DMUIProjectEvent::eventImage()
{
    return DMGanttImages::imageNamed(QStringLiteral("ic_events"));
}

DMTextAttributes DMUIProjectEvent::defaultTextAttributes() const
{
    return titleTextAttributes();
}

QString DMUIProjectEvent::objectEditorControllerClass() const
{
    return QStringLiteral("DMUIProjectEventInspectorController");
}

void DMUIProjectEvent::representedObject_timeSpanChanged()
{
    const std::shared_ptr<DMProject> owner = project();
    if (!owner || !owner->isValid())
        return;
    DMUIProjectItem::representedObject_timeSpanChanged();
}

void DMUIProjectEvent::layoutInEventsRow(const QRectF &eventsRow)
{
    const auto event = std::dynamic_pointer_cast<DMProjectEvent>(representedObject());
    const std::shared_ptr<DMProject> owner = project();
    if (!event || !owner || !owner->eventContainer())
        return;
    const QRectF lane = DMUIProjectEvent_laneRect(eventsRow, event->subRow(), owner->eventContainer()->subRowCount());
    setFrame(QRectF(frame().x(), lane.y(), frame().width(), lane.height()));
}

// ---- Title and handles ----

QString DMUIProjectEvent::shownTitle() const
{
    const std::shared_ptr<DMProject> owner = project();
    const std::shared_ptr<DMProjectItem> item = representedObject();
    if (!owner || !item || !owner->displayAttributes().displayTaskNames)
        return QString();
    return item->title();
}

QRectF DMUIProjectEvent::titleRect() const
{
    return titleRectFor(shownTitle());
}

QRectF DMUIProjectEvent::titleRectFor(const QString &title) const
{
    if (title.isEmpty())
        return QRectF();
    const QSizeF size = titleTextAttributes().sizeOfString(title);
    const QRectF f = frame();
    return QRectF(QPointF(f.right() + kTitleGap, f.y() + (f.height() - size.height()) / 2), size);
}

QRectF DMUIProjectEvent::shownTitleRect() const
{
    return shownTitleRectFor(shownTitle());
}

QRectF DMUIProjectEvent::shownTitleRectFor(const QString &shown) const
{
    QRectF title = titleRectFor(shown);
    const auto event = std::dynamic_pointer_cast<DMProjectEvent>(representedObject());
    if (title.isEmpty() || !event)
        return title;
    // Lanes are laid out by dates, not by titles: the next bar may begin where this one ends.
    const std::shared_ptr<DMProjectEvent> next = event->nextInSubRow();
    const auto *bar = next ? dynamic_cast<const DMUIProjectEvent *>(next->ganttUIObjectPointer()) : nullptr;
    if (bar && bar->frame().left() >= frame().right() - 0.5)
        title.setRight(std::max(title.left(), std::min(title.right(), bar->frame().left() - kTitleGap)));
    return title;
}

QString DMUIProjectEvent::toolTipInView(DMObjectView *) const
{
    const std::shared_ptr<DMProjectItem> item = representedObject();
    return item ? item->title() : QString();
}

void DMUIProjectEvent::_updateDragHandleList()
{
    DMUIProjectEvent_fillHandleTable(mutableDragHandles(), frame().width(), frame().height());
}

void DMUIProjectEvent::updateBoundingBox()
{
    const QRectF title = titleRect();
    setBoundingBox(title.isEmpty() ? frameAndHandlesBox() : frameAndHandlesBox().united(title));
}

// ---- Drags ----

DMUIProjectItemDragRule DMUIProjectEvent::dragRule() const
{
    DMUIProjectItemDragRule rule;
    rule.dragsProgress = false;
    return rule;
}

void DMUIProjectEvent::updateGuideAnchorObjects()
{
    const std::shared_ptr<DMProjectItem> item = representedObject();
    if (!item || !project())
        return;
    const QRectF f = frame();
    const qreal y = std::max(0.0, f.y() - f.height() / 2);
    const QSizeF size(kLabelWidth, 2 * f.height());
    DMGanttGuideLabels::update(*this, {{QRectF(QPointF(f.x() - kLabelWidth, y), size), Qt::AlignRight | Qt::AlignVCenter,
                                        DMGanttGuideLabels::dateText(item->beginDate())},
                                       {QRectF(QPointF(f.right(), y), size), Qt::AlignLeft | Qt::AlignVCenter,
                                        DMGanttGuideLabels::dateText(item->endDate())}});
}

// ---- Drawing ----

void DMUIProjectEvent::drawInRect(QPainter *painter, const QRectF &, DMObjectView *)
{
    const QRectF bar = barRect();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(bar, kCornerRadius, kCornerRadius);

    fillShapeWithProgress(painter, path, bar.translated(0, 0.5));
    if (isSelected())
        painter->strokePath(path, QPen(Qt::black, 1.0));

    const QRectF icon = DMUIProjectEvent_iconRect(bar);
    if (!icon.isEmpty())
        painter->drawImage(icon, eventImage());

    // A title cut short by the next bar ends with an ellipsis.
    const QString shown = shownTitle();
    const QRectF title = shownTitleRectFor(shown);
    if (!title.isEmpty()) {
        DMTextAttributes attributes = titleTextAttributes();
        attributes.truncatesTail = true;
        attributes.drawStringInRect(painter, shown, title);
    }
    painter->restore();
}
