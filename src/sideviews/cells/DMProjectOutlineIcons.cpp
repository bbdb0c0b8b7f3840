#include "DMProjectOutlineIcons.h"

#include "DMImageLibrary.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

constexpr int kImageSize = 32;

QImage blankImage()
{
    QImage image(kImageSize, kImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A head and shoulders.
QImage drawPerson()
{
    QImage image = blankImage();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(45, 70, 120), 1.5));
    p.setBrush(QColor(110, 150, 215));
    p.drawEllipse(QRectF(10, 4, 12, 12));
    p.drawChord(QRectF(4, 17, 24, 24), 0, 180 * 16);
    return image;
}

// A crate: a resource that is not a person.
QImage drawMaterial()
{
    QImage image = blankImage();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(110, 75, 30), 1.5));
    p.setBrush(QColor(215, 170, 100));
    p.drawRect(QRectF(5, 9, 22, 18));
    p.drawLine(QPointF(5, 15), QPointF(27, 15));
    p.drawLine(QPointF(16, 9), QPointF(16, 27));
    return image;
}

// Two people, one behind the other.
QImage drawGroup()
{
    QImage image = blankImage();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 90, 60), 1.5));
    for (const auto &[x, colour] : {std::pair{14.0, QColor(150, 200, 140)}, std::pair{4.0, QColor(100, 170, 95)}}) {
        p.setBrush(colour);
        p.drawEllipse(QRectF(x + 4, 5, 10, 10));
        p.drawChord(QRectF(x, 16, 18, 20), 0, 180 * 16);
    }
    return image;
}

} // namespace

namespace DMProjectOutlineIcons {

QImage imageNamed(const QString &name)
{
    static const bool registered = [] {
        DMImageLibrary::registerGenerator(QStringLiteral("28"), drawPerson);
        DMImageLibrary::registerGenerator(QStringLiteral("bt_newgroup"), drawGroup);
        DMImageLibrary::registerGenerator(QStringLiteral("47"), drawMaterial);
        return true;
    }();
    Q_UNUSED(registered);
    return DMImageLibrary::imageNamed(name);
}

QString resourceImageName(const DMProjectResource &resource)
{
    if (resource.isGroup())
        return QStringLiteral("bt_newgroup");
    return resource.attribute(kDMProjectResource_Human).toBool() ? QStringLiteral("28") : QStringLiteral("47");
}

void drawItemIcon(QPainter &painter, const QRectF &rect, const DMProjectItem &item)
{
    const double side = std::min({rect.height() - 4.0, rect.width() - 2.0, 16.0});
    if (side <= 2.0)
        return;
    const QRectF box(rect.center().x() - side / 2, rect.center().y() - side / 2, side, side);
    QColor fill = item.fillColor();
    if (!fill.isValid())
        fill = DMProjectItem::defaultFillColorForKind(item.kind());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(fill.darker(160), 1.0));
    painter.setBrush(fill);
    switch (item.kind()) {
    case kDMProjectItem_Kind_Milestone: {
        QPainterPath diamond;
        diamond.moveTo(box.center().x(), box.top());
        diamond.lineTo(box.right(), box.center().y());
        diamond.lineTo(box.center().x(), box.bottom());
        diamond.lineTo(box.left(), box.center().y());
        diamond.closeSubpath();
        painter.drawPath(diamond);
        break;
    }
    case kDMProjectItem_Kind_Process:
    case kDMProjectItem_Kind_ItemGroup: {
        // A bracket: a bar with a foot at each end.
        const double bar = side * 0.35;
        QPainterPath bracket;
        bracket.moveTo(box.left(), box.top() + side * 0.2);
        bracket.lineTo(box.right(), box.top() + side * 0.2);
        bracket.lineTo(box.right(), box.top() + side * 0.2 + bar + side * 0.3);
        bracket.lineTo(box.right() - side * 0.25, box.top() + side * 0.2 + bar);
        bracket.lineTo(box.left() + side * 0.25, box.top() + side * 0.2 + bar);
        bracket.lineTo(box.left(), box.top() + side * 0.2 + bar + side * 0.3);
        bracket.closeSubpath();
        painter.drawPath(bracket);
        break;
    }
    default:
        painter.drawRoundedRect(QRectF(box.left(), box.top() + side * 0.25, side, side * 0.5), 2.0, 2.0);
        break;
    }
    painter.restore();
}

} // namespace DMProjectOutlineIcons
