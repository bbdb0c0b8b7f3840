#include "DMPrintView.h"

#include "DMPageLayoutAdditions.h"
#include "DMPrintPicture.h"
#include "DMViewCompositor.h"

#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPointsPerInch = 72.0;
// A recorded drawing counts screen pixels, 96 to the inch.
constexpr double kPointsPerPictureUnit = kPointsPerInch / DMPrintPicture::kRecordingDpi;
// More pages than this is a mistake in the settings, not a print job.
constexpr double kMaxPages = 100000;
// Fitting the image to the page makes its scaled size equal the zone, up to rounding, which
// must not spill into a second, empty page.
constexpr double kPageSpillTolerance = 1e-9;

int pagesAcross(double length, double pageLength)
{
    return int(std::ceil(length / pageLength - kPageSpillTolerance));
}

} // namespace

DMPrintViewPagination DMPrintViewPaginate(const QSizeF &boundsSize, const QSizeF &printZone, double u,
                                          bool adjustToPageWidth, bool adjustToPageHeight, const QList<double> &pageBreaks,
                                          double repeatedTop)
{
    DMPrintViewPagination result;
    const double bw = boundsSize.width(), bh = boundsSize.height();
    if (!(bw > 0 && bh > 0)) {
        result.whyNoPages = QStringLiteral("The image to print is empty.");
        return result;
    }
    if (!(printZone.width() > 0 && printZone.height() > 0)) {
        result.whyNoPages = QStringLiteral("The page is smaller than its margins.");
        return result;
    }
    if (!(u > 0) || !std::isfinite(u)) {
        result.whyNoPages = QStringLiteral("The print scale must be greater than 0.");
        return result;
    }
    double f = 1.0;
    if (adjustToPageWidth)
        f = std::min(printZone.width() / (bw * u), 1.0);
    if (adjustToPageHeight)
        f = std::min(f, printZone.height() / (bh * u));
    const double scale = f * u;
    const double columns = std::max(1, pagesAcross(bw * scale, printZone.width()));
    const double height = bh * scale;
    const double zone = printZone.height();
    // Pages after the first hold less: the titles stand above what they show.
    double titles = std::max(0.0, repeatedTop * scale);
    if (!(titles <= zone / 2) || titles >= height)
        titles = 0;
    const auto roomOfPage = [&](qsizetype page) { return page == 0 ? zone : zone - titles; };
    QList<double> edges{0.0};
    if (pageBreaks.isEmpty()) {
        const double rows = pagesAcross(height, zone) <= 1 ? 1 : 1 + std::max(1, pagesAcross(height - zone, zone - titles));
        if (columns * rows > kMaxPages) {
            result.whyNoPages = QStringLiteral("The image would need more than %1 pages.").arg(kMaxPages);
            return result;
        }
        for (int row = 1; row <= int(rows); ++row)
            edges.append(edges.last() + roomOfPage(row - 1));
    } else {
        // Each page ends at the last break that fits on it, or a page lower when none does.
        qsizetype next = 0;
        while (height - edges.last() > kPageSpillTolerance * std::max(1.0, height)) {
            const double top = edges.last();
            double end = top + roomOfPage(edges.size() - 1);
            if (end < height) {
                while (next < pageBreaks.size() && pageBreaks.at(next) * scale <= top)
                    ++next;
                qsizetype fits = next;
                while (fits < pageBreaks.size() && pageBreaks.at(fits) * scale <= end + kPageSpillTolerance)
                    ++fits;
                if (fits > next)
                    end = pageBreaks.at(fits - 1) * scale;
            }
            edges.append(std::min(end, height));
            if (columns * double(edges.size() - 1) > kMaxPages) {
                result.whyNoPages = QStringLiteral("The image would need more than %1 pages.").arg(kMaxPages);
                return result;
            }
        }
        if (edges.size() == 1)
            edges.append(height);
    }
    result.scale = scale;
    result.columns = int(columns);
    result.rows = int(edges.size() - 1);
    result.rowEdges = edges;
    result.repeatedTop = result.rows > 1 ? titles : 0;
    return result;
}

DMPrintView::DMPrintView(QWidget *parent)
    : QWidget(parent),
      m_pageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(36, 36, 36, 36), QPageLayout::Point)
{
    setImage(QImage());
}

void DMPrintView::setImage(const QImage &image)
{
    m_image = image;
    const QSizeF size = DMViewCompositor::imageSizeInPoints(image);
    setGeometry(0, 0, int(std::ceil(size.width())), int(std::ceil(size.height())));
}

void DMPrintView::setPicture(const std::shared_ptr<const DMPrintPicture> &picture)
{
    m_image = QImage();
    m_picture = picture;
    setFrameToBounds();
}

void DMPrintView::setTitles(const std::shared_ptr<const DMPrintPicture> &titles)
{
    m_titles = titles;
    setFrameToBounds();
}

void DMPrintView::setFrameToBounds()
{
    const QSizeF size = boundsSize();
    setGeometry(0, 0, int(std::ceil(size.width())), int(std::ceil(size.height())));
}

double DMPrintView::titlesHeight() const
{
    return m_picture && m_titles ? m_titles->size().height() : 0.0;
}

QSizeF DMPrintView::boundsSize() const
{
    if (m_picture)
        return (m_picture->size() + QSizeF(0, titlesHeight())) * kPointsPerPictureUnit;
    return DMViewCompositor::imageSizeInPoints(m_image);
}

void DMPrintView::setPrintInfo(const QPageLayout &layout, double scalingFactor)
{
    m_pageLayout = layout;
    m_printScale = scalingFactor;
}

QSizeF DMPrintView::printZoneSizeOfLayout(const QPageLayout &layout)
{
    QRectF zone;
    getPageRectPrintZoneRectOrientation(layout, nullptr, &zone, nullptr);
    return zone.size();
}

QSizeF DMPrintView::calculatePrintZoneSize() const
{
    return printZoneSizeOfLayout(m_pageLayout);
}

DMPrintViewPagination DMPrintView::pagination() const
{
    // The view's frame has the titles above the rows.
    const double unit = m_picture ? kPointsPerPictureUnit : 1.0;
    const double titles = titlesHeight();
    QList<double> breaks;
    breaks.reserve(m_pageBreaks.size());
    for (double y : m_pageBreaks)
        breaks.append((titles + y) * unit);
    return DMPrintViewPaginate(boundsSize(), calculatePrintZoneSize(), m_printScale, m_adjustToPageWidth,
                               m_adjustToPageHeight, breaks, titles * unit);
}

bool DMPrintView::knowsPageRange(int *first, int *last) const
{
    const int count = pagination().pageCount();
    if (first)
        *first = 1;
    if (last)
        *last = count;
    return count > 0;
}

QRectF DMPrintView::rectForPage(int page) const
{
    return rectForPage(page, pagination());
}

QRectF DMPrintView::rectForPage(int page, const DMPrintViewPagination &p) const
{
    if (page < 1 || page > p.pageCount())
        return QRectF();
    const QSizeF zone = calculatePrintZoneSize();
    const int row = (page - 1) / p.columns;
    const int column = (page - 1) - row * p.columns;
    const double top = p.rowEdges.at(row);
    return QRectF(column * zone.width(), top, zone.width(), p.rowEdges.at(row + 1) - top);
}

void DMPrintView::drawRect(QPainter *painter, const QRectF &rect) const
{
    drawRect(painter, rect, pagination().scale);
}

void DMPrintView::drawRect(QPainter *painter, const QRectF &rect, double scale) const
{
    if (m_picture && scale > 0) {
        // Only the part shown plays, and what lies beyond it is not in the output at all: the
        // titles where it meets them, the rows below them.
        const double unit = scale * kPointsPerPictureUnit;
        const QRectF part(rect.topLeft() / unit, rect.size() / unit);
        const double titles = titlesHeight();
        painter->save();
        painter->scale(unit, unit);
        if (titles > 0 && part.top() < titles)
            m_titles->drawPart(painter, part);
        painter->translate(0, titles);
        m_picture->drawPart(painter, part.translated(0, -titles));
        painter->restore();
        return;
    }
    if (m_image.isNull() || scale <= 0)
        return;
    const QSizeF size = DMViewCompositor::imageSizeInPoints(m_image);
    painter->save();
    // The image replaces what lies below where the device can copy; a page is blank anyway.
    if (painter->paintEngine() && painter->paintEngine()->hasFeature(QPaintEngine::PorterDuff))
        painter->setCompositionMode(QPainter::CompositionMode_Source);
    painter->setOpacity(1.0);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(QRectF(0, 0, size.width() * scale, size.height() * scale), m_image);
    painter->restore();
}

bool DMPrintView::printOnDevice(QPagedPaintDevice *device, QString *error) const
{
    const DMPrintViewPagination p = pagination();
    auto refuse = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (p.pageCount() == 0)
        return refuse(p.whyNoPages);
    device->setPageLayout(m_pageLayout);
    QPainter painter;
    if (!painter.begin(device))
        return refuse(QStringLiteral("The printer could not be started."));
    // The painter starts at the top left of the printable area and counts in device dots.
    painter.scale(device->logicalDpiX() / kPointsPerInch, device->logicalDpiY() / kPointsPerInch);
    // Draws the part of the view at the height on the page.
    const auto drawPart = [&](const QRectF &part, double y) {
        painter.save();
        painter.setClipRect(QRectF(QPointF(0, y), part.size()));
        painter.translate(-part.x(), y - part.y());
        drawRect(&painter, part, p.scale);
        painter.restore();
    };
    for (int page = 1; page <= p.pageCount(); ++page) {
        if (page > 1 && !device->newPage())
            return refuse(QStringLiteral("The printer refused page %1.").arg(page));
        const QRectF part = rectForPage(page, p);
        const bool titled = part.y() > 0 && p.repeatedTop > 0;
        if (titled)
            drawPart(QRectF(part.x(), 0, part.width(), p.repeatedTop), 0);
        drawPart(part, titled ? p.repeatedTop : 0);
    }
    return true;
}

void DMPrintView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    drawRect(&painter, QRectF(event->rect()));
}
