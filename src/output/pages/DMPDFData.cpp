#include "DMPDFData.h"

#include "DMLocalizedString.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {

constexpr double kPointsPerInch = 72.0;

QPageLayout exactLayout(const QSizeF &size)
{
    return QPageLayout(QPageSize(size, QPageSize::Point, QString(), QPageSize::ExactMatch), QPageLayout::Portrait,
                       QMarginsF(), QPageLayout::Point);
}

} // namespace

QByteArray DMPDFData(const QList<QSizeF> &pageSizes, const std::function<bool(QPainter &, int)> &drawPage,
                     const QString &title, QString *error)
{
    if (pageSizes.isEmpty()) {
        if (error)
            *error = DMLocalizedString("There is no page.");
        return QByteArray();
    }
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("Halcyra 2"));
    writer.setTitle(title);
    writer.setPageLayout(exactLayout(pageSizes.first()));
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = DMLocalizedString("The PDF document could not be started.");
        return QByteArray();
    }
    for (int i = 0; i < pageSizes.size(); ++i) {
        if (i > 0) {
            writer.setPageLayout(exactLayout(pageSizes.at(i)));
            writer.newPage();
        }
        painter.save();
        // The writer counts in its own dots; the pages are drawn in points.
        painter.scale(writer.logicalDpiX() / kPointsPerInch, writer.logicalDpiY() / kPointsPerInch);
        const bool goOn = drawPage(painter, i);
        painter.restore();
        if (!goOn) {
            painter.end();
            return QByteArray();
        }
    }
    painter.end();
    return data;
}
