#include "DMTimelineImages.h"

#include "DMImageLibrary.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

struct CellLook
{
    QColor top;
    QColor bottom;
    QColor highlight; // the line along the top edge
    QColor separator; // the line along the right edge
};

// A 16 x 19 cell: a vertical gradient, a light line at the top and a separator on the right.
QImage drawCell(const CellLook &look)
{
    QImage image(16, 19, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    QLinearGradient gradient(0, 0, 0, 19);
    gradient.setColorAt(0, look.top);
    gradient.setColorAt(1, look.bottom);
    p.fillRect(QRect(0, 0, 16, 19), gradient);
    p.fillRect(QRect(0, 0, 15, 1), look.highlight);
    p.fillRect(QRect(15, 0, 1, 19), look.separator);
    p.fillRect(QRect(0, 18, 16, 1), look.separator);
    return image;
}

const CellLook kSelected{QColor(84, 148, 222), QColor(44, 106, 186), QColor(140, 190, 240), QColor(30, 76, 140)};

} // namespace

void DMTimelineImages::registerGenerators()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    DMImageLibrary::registerGenerator(QStringLiteral("fond-jour"), [] {
        return drawCell({QColor(98, 102, 108), QColor(74, 77, 82), QColor(124, 128, 134), QColor(52, 54, 58)});
    });
    DMImageLibrary::registerGenerator(QStringLiteral("fond-semaine"), [] {
        return drawCell({QColor(246, 246, 246), QColor(218, 218, 220), QColor(255, 255, 255), QColor(170, 170, 174)});
    });
    DMImageLibrary::registerGenerator(QStringLiteral("fond-mois"), [] {
        return drawCell({QColor(62, 66, 74), QColor(40, 43, 49), QColor(88, 92, 100), QColor(24, 26, 30)});
    });
    for (const char *name : {"fond-jour-on", "fond-semaine-on", "fond-mois-on"})
        DMImageLibrary::registerGenerator(QString::fromLatin1(name), [] { return drawCell(kSelected); });
}

QImage DMTimelineImages::imageNamed(const QString &name)
{
    registerGenerators();
    return DMImageLibrary::imageNamed(name);
}
