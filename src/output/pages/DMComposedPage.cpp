#include "DMComposedPage.h"

#include "DMLocalizedString.h"
#include "DMPDFData.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>

#include <cmath>

namespace {

constexpr double kPointsPerInch = 72.0;
// The largest side of a JPEG image.
constexpr double kMaximumImageSide = 65500.0;

void fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
}

} // namespace

void DMComposedPage::draw(QPainter *painter) const
{
    DMViewCompositor compositor(QRectF(QPointF(0, 0), size));
    compositor.setCompositedViews(entries);
    // Screen pictures keep their pixels exact on paper.
    painter->setRenderHint(QPainter::LosslessImageRendering);
    compositor.drawRect(painter, compositor.bounds());
}

QImage DMComposedPage::image(QString *error) const
{
    const double width = std::floor(size.width());
    const double height = std::floor(size.height());
    if (width < 1 || height < 1) {
        fail(error, DMLocalizedString("The page is empty."));
        return QImage();
    }
    if (width > kMaximumImageSide || height > kMaximumImageSide) {
        fail(error, DMLocalizedString("The page is too large for an image (%1 x %2 points).").arg(width).arg(height));
        return QImage();
    }
    QImage picture(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull()) {
        fail(error, DMLocalizedString("There is not enough memory for an image of %1 x %2 pixels.").arg(width).arg(height));
        return QImage();
    }
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    draw(&painter);
    return picture;
}

QByteArray DMComposedPage::dataWithPDFOfPages(const QList<DMComposedPage> &pages, const QString &title,
                                              const std::function<bool(int)> &afterPage, QString *error)
{
    QList<QSizeF> sizes;
    for (const DMComposedPage &page : pages)
        sizes.append(page.size);
    bool cancelled = false;
    const QByteArray data = DMPDFData(sizes, [&](QPainter &painter, int index) {
        pages.at(index).draw(&painter);
        cancelled = afterPage && !afterPage(index);
        return !cancelled;
    }, title, error);
    if (cancelled)
        fail(error, DMLocalizedString("Cancelled."));
    return data;
}

bool DMComposedPage::printPages(const QList<DMComposedPage> &pages, QPagedPaintDevice *device, QString *error)
{
    if (pages.isEmpty()) {
        fail(error, DMLocalizedString("There is no page."));
        return false;
    }
    QPainter painter;
    if (!painter.begin(device)) {
        fail(error, DMLocalizedString("The printer could not be started."));
        return false;
    }
    // The painter starts at the printable area's corner; the pages hold their margins already.
    const QRectF paper = device->pageLayout().fullRectPoints();
    const QRectF printable = device->pageLayout().paintRectPoints();
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0 && !device->newPage()) {
            fail(error, DMLocalizedString("The printer refused page %1.").arg(i + 1));
            return false;
        }
        painter.save();
        painter.scale(device->logicalDpiX() / kPointsPerInch, device->logicalDpiY() / kPointsPerInch);
        painter.translate(paper.topLeft() - printable.topLeft());
        pages.at(i).draw(&painter);
        painter.restore();
    }
    return painter.end();
}
