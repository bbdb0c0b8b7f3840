#include "DMSourceListIcons.h"

#include "DMImageLibrary.h"

#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {

constexpr int kSide = 32; // drawn at twice the shown size, so that they stay sharp when scaled

using Drawing = std::function<void(QPainter &)>;

QImage render(const Drawing &draw, const QColor &color)
{
    QImage image(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    draw(painter);
    return image;
}

void sliders(QPainter &p)
{
    for (int i = 0; i < 3; ++i) {
        const qreal y = 8 + i * 8;
        p.drawLine(QPointF(5, y), QPointF(27, y));
        const qreal knob = i == 1 ? 20 : 11;
        p.save();
        p.setBrush(p.pen().color());
        p.drawEllipse(QPointF(knob, y), 3, 3);
        p.restore();
    }
}

void calendar(QPainter &p)
{
    p.drawRoundedRect(QRectF(5, 7, 22, 20), 3, 3);
    p.drawLine(QPointF(5, 13), QPointF(27, 13));
    p.drawLine(QPointF(11, 4), QPointF(11, 9));
    p.drawLine(QPointF(21, 4), QPointF(21, 9));
    p.save();
    p.setBrush(p.pen().color());
    p.drawRect(QRectF(17, 18, 5, 5));
    p.restore();
}

void person(QPainter &p, qreal x, qreal scale)
{
    p.drawEllipse(QPointF(x, 11 * scale + (1 - scale) * 16), 5 * scale, 5 * scale);
    QPainterPath body;
    body.moveTo(x - 9 * scale, 27);
    body.cubicTo(x - 9 * scale, 18, x + 9 * scale, 18, x + 9 * scale, 27);
    p.drawPath(body);
}

void resourcesView(QPainter &p)
{
    person(p, 16, 1.0);
}

void people(QPainter &p)
{
    person(p, 11, 0.8);
    person(p, 21, 0.8);
}

void gantt(QPainter &p)
{
    p.save();
    p.setBrush(p.pen().color());
    p.drawRoundedRect(QRectF(4, 6, 13, 5), 2, 2);
    p.drawRoundedRect(QRectF(11, 14, 15, 5), 2, 2);
    p.drawRoundedRect(QRectF(8, 22, 11, 5), 2, 2);
    p.restore();
}

void checklist(QPainter &p)
{
    for (int i = 0; i < 3; ++i) {
        const qreal y = 8 + i * 8;
        p.drawLine(QPointF(4, y), QPointF(6.5, y + 2.5));
        p.drawLine(QPointF(6.5, y + 2.5), QPointF(10, y - 2));
        p.drawLine(QPointF(14, y), QPointF(28, y));
    }
}

void flag(QPainter &p)
{
    p.drawLine(QPointF(8, 4), QPointF(8, 28));
    QPainterPath cloth;
    cloth.moveTo(8, 5);
    cloth.cubicTo(14, 2, 18, 9, 26, 6);
    cloth.lineTo(26, 17);
    cloth.cubicTo(18, 20, 14, 13, 8, 16);
    p.drawPath(cloth);
}

void page(QPainter &p)
{
    QPainterPath sheet;
    sheet.moveTo(7, 4);
    sheet.lineTo(19, 4);
    sheet.lineTo(25, 10);
    sheet.lineTo(25, 28);
    sheet.lineTo(7, 28);
    sheet.closeSubpath();
    p.drawPath(sheet);
    p.drawLine(QPointF(19, 4), QPointF(19, 10));
    p.drawLine(QPointF(19, 10), QPointF(25, 10));
}

void report(QPainter &p)
{
    page(p);
    p.save();
    p.setBrush(p.pen().color());
    p.drawRect(QRectF(10.5, 19, 2.5, 6));
    p.drawRect(QRectF(14.7, 15, 2.5, 10));
    p.drawRect(QRectF(19, 21, 2.5, 4));
    p.restore();
}

bool registerIcons()
{
    const struct
    {
        const char *name;
        void (*draw)(QPainter &);
    } icons[] = {{"icon_settings_project", sliders}, {"icon_settings_days", calendar},
                 {"icon_resources_view", resourcesView}, {"icon_gantt_view", gantt},
                 {"icon_items_tasks", checklist},       {"icon_resources_view2", people},
                 {"icon_items_events", flag},           {"icon_items_documents", page},
                 {"icon_report_view", report}};
    const QColor slate(0x5a, 0x66, 0x78);
    for (const auto &icon : icons) {
        const Drawing draw = icon.draw;
        const QString name = QLatin1String(icon.name);
        DMImageLibrary::registerGenerator(name, [draw, slate] { return render(draw, slate); });
        DMImageLibrary::registerGenerator(name + QLatin1String("_on"), [draw] { return render(draw, Qt::white); });
    }
    return true;
}

} // namespace

namespace DMSourceListIcons {

QImage imageNamed(const QString &name)
{
    static const bool registered = registerIcons();
    Q_UNUSED(registered);
    return DMImageLibrary::imageNamed(name);
}

} // namespace DMSourceListIcons
