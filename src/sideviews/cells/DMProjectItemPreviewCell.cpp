#include "DMProjectItemPreviewCell.h"

#include "DMProjectItem.h"
#include "DMProjectItemUIObject.h"
#include "DMProjectViewObject.h"
#include "DMUIProjectEvent.h"
#include "DMUIProjectShapeGeometry.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// Below this size a task is a plain rectangle: a rounded end would be wider than the bar.
constexpr qreal kRoundedBarMinimum = 6.0;
constexpr qreal kProcessCornerRadius = 3.0;
constexpr qreal kEventCornerRadius = 2.5;
constexpr qreal kMinimumProgressWidth = 0.5;

struct Colors
{
    QColor fill;
    QColor stroke;
    QColor contrast;
};

void strokeShape(QPainter &painter, const QPainterPath &shape, const DMProjectItem &item, const Colors &colors)
{
    if (item.partOfCriticalPath())
        painter.strokePath(shape, QPen(Qt::red, 2.0));
    else
        painter.strokePath(shape, QPen(colors.stroke, 1.0));
}

// Fills the shape, then the part of the progress box that progress covers, clipped to the shape.
void fillWithProgress(QPainter &painter, const QPainterPath &shape, const QRectF &progressBox, float progress,
                      const QColor &fill, const QColor &overlay)
{
    painter.fillPath(shape, fill);
    const qreal width = qreal(std::clamp(progress, 0.0f, 1.0f)) * progressBox.width();
    if (width < kMinimumProgressWidth)
        return;
    painter.save();
    painter.setClipPath(shape, Qt::IntersectClip);
    painter.fillRect(QRectF(progressBox.x(), progressBox.y(), width, progressBox.height()), overlay);
    painter.restore();
}

void drawTask(QPainter &painter, const QRectF &r, const DMProjectItem &item, const Colors &colors)
{
    QPainterPath shape;
    if (r.width() < kRoundedBarMinimum || r.height() < kRoundedBarMinimum)
        shape.addRect(r);
    else
        shape.addRoundedRect(r, r.height() / 2, r.height() / 2);
    fillWithProgress(painter, shape, r.translated(0, 0.5), item.progress(), colors.fill, colors.contrast);
    strokeShape(painter, shape, item, colors);
}

void drawMilestone(QPainter &painter, const QRectF &r, const DMProjectItem &item, const Colors &colors)
{
    const QRectF square(r.x() + (r.width() - r.height()) / 2, r.y(), r.height(), r.height());
    QPainterPath shape;
    shape.addPolygon(DMUIProjectMilestone_diamond(square));
    shape.closeSubpath();
    painter.fillPath(shape, colors.fill);
    strokeShape(painter, shape, item, colors);
}

void drawProcess(QPainter &painter, const QRectF &r, const DMProjectItem &item, const Colors &colors)
{
    const QPainterPath shape = DMUIProjectProcess_bracket(r, kProcessCornerRadius);
    fillWithProgress(painter, shape, r, item.progress(), colors.fill, QColor::fromRgbF(0.8f, 0.8f, 0.8f, 0.6f));
    // Processes are not marked on the critical path.
    painter.strokePath(shape, QPen(colors.stroke, 1.0));
}

void drawEvent(QPainter &painter, const QRectF &r, const Colors &colors)
{
    const qreal height = 2 * std::trunc(r.height() / 2);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(r.x(), std::round(r.y() + (r.height() - height) / 2), r.width(), height),
                         kEventCornerRadius, kEventCornerRadius);
    painter.fillPath(shape, colors.fill);
    const QImage image = DMUIProjectEvent::eventImage();
    const qreal side = std::min(r.height() - 3, qreal(image.height()));
    if (side <= 0 || image.isNull())
        return;
    painter.drawImage(QRectF(std::round(r.x() + (r.width() - side) / 2), std::round(r.y() + (r.height() - side) / 2),
                             side, side),
                      image);
}

} // namespace

QRectF DMProjectItemPreviewCell::drawingRect(const QRectF &frame)
{
    const QRectF r(frame.x() + 4.5, frame.y() + 4.5, frame.width() - 9, frame.height() - 9);
    return r.width() > 0 && r.height() > 0 ? r : QRectF();
}

void DMProjectItemPreviewCell::drawItemInFrame(QPainter &painter, const QRectF &frame, const DMProjectItem &item)
{
    const QRectF r = drawingRect(frame);
    const auto object = std::dynamic_pointer_cast<DMProjectViewObject>(item.ganttUIObject());
    if (r.isEmpty() || !object)
        return;
    const Colors colors{object->fillColor(), object->strokeColor(), object->bestContrastColor()};
    painter.save();
    // A shape wider than the cell (a milestone in a narrow column) is cut at the cell's edges.
    painter.setClipRect(frame, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (item.kind()) {
    case kDMProjectItem_Kind_Task:
        drawTask(painter, r, item, colors);
        break;
    case kDMProjectItem_Kind_Milestone:
        drawMilestone(painter, r, item, colors);
        break;
    case kDMProjectItem_Kind_Process:
        drawProcess(painter, r, item, colors);
        break;
    case kDMProjectItem_Kind_Event:
        drawEvent(painter, r, colors);
        break;
    default:
        break; // groups and plain items show no shape
    }
    painter.restore();
}

void DMProjectItemPreviewCell::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // The row's background and selection, as an image cell without an image.
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    background.icon = QIcon();
    background.features &= ~QStyleOptionViewItem::HasDecoration;
    QStyle *style = option.widget ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, option.widget);
    if (const auto item = representedObject())
        drawItemInFrame(*painter, QRectF(option.rect), *item);
}
