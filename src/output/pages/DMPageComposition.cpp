#include "DMPageComposition.h"

#include "DMLocalizedString.h"
#include "DMPageLayoutAdditions.h"
#include "DMPrintPicture.h"

#include <QFontMetricsF>
#include <QImage>

#include <algorithm>
#include <cmath>

namespace {

// Screen units shrink to three quarters on paper: 96 of them to the inch become 72 points.
constexpr double kScreenToPaper = 0.75;
// The outline takes at most two thirds of the zone's width.
constexpr double kMaximumLeftShare = 0.667;
// Narrower days spread the span over several pages.
constexpr double kMinimumDayWidth = 16.0;
// The image export's page: the images, three units of frames and a 24-point margin.
constexpr double kImageExportMargin = 24.0;
constexpr double kImageExportExtra = 51.0;
// Header and footer stand this far from the zone.
constexpr double kHeaderGap = 5.0;
constexpr double kHeaderFontSize = 9.0;
constexpr double kPointsPerInch = 72.0;
constexpr double kMetersPerInch = 0.0254;

qint64 atLeastOne(double value)
{
    if (!std::isfinite(value) || value < 1)
        return 1;
    return value > 1e12 ? qint64(1e12) : qint64(std::floor(value));
}

QRectF inset1(const QRectF &r)
{
    return r.adjusted(1, 1, -1, -1);
}

// The rows' bottoms as given when they go down to the height of the images; else rows of the
// line height, the last one ending with the images.
QList<double> rowBottomsWithin(const QList<double> &given, double height, double lineHeight)
{
    constexpr double kTolerance = 0.5;
    bool usable = !given.isEmpty() && std::abs(given.last() - height) <= kTolerance;
    for (qsizetype i = 0; usable && i < given.size(); ++i)
        usable = given.at(i) > (i == 0 ? 0.0 : given.at(i - 1));
    if (usable)
        return given;
    QList<double> bottoms;
    if (!(height > 0) || !(lineHeight > 0) || height / lineHeight > 1e7)
        return bottoms;
    for (double bottom = lineHeight; bottom < height + kTolerance; bottom += lineHeight)
        bottoms.append(std::min(bottom, height));
    if (bottoms.isEmpty() || bottoms.last() < height - kTolerance)
        bottoms.append(height);
    return bottoms;
}

} // namespace

QPageLayout::Orientation DMPageComposition_orientationForChart(qint64 days, const QSizeF &leftSize)
{
    const double width = leftSize.width() + double(std::max<qint64>(0, days) + 1) * kMinimumDayWidth;
    return width > leftSize.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
}

DMPageCompositionPlan DMPageComposition_plan(const QPageLayout &layout, const DMPageCompositionSettings &settings,
                                             qint64 days, const QSizeF &leftSize)
{
    DMPageCompositionPlan plan;
    getPageRectPrintZoneRectOrientation(layout, &plan.pageRect, &plan.printZone, nullptr);
    plan.days = days;
    plan.leftSize = leftSize;
    const QRectF &z = plan.printZone;
    if (!settings.imageExport && (z.width() <= 0 || z.height() <= 0)) {
        plan.whyNoPages = DMLocalizedString("The page is smaller than its margins.");
        return plan;
    }
    if (days < 0) {
        plan.whyNoPages = DMLocalizedString("The end date is before the begin date.");
        return plan;
    }
    const double lw = leftSize.width();
    const double lh = leftSize.height();
    if (!(lw > 0 && lh > 0)) {
        plan.whyNoPages = DMLocalizedString("The outline has no rows to print.");
        return plan;
    }
    const double zoom = settings.zoomLevel > 0 ? settings.zoomLevel : 1.0;
    double s = zoom * kScreenToPaper;
    const double maxLeft = z.width() * kMaximumLeftShare / s;
    if (!settings.fitOnOnePage) {
        if (lw > maxLeft)
            s *= maxLeft / lw;
    } else if (!settings.imageExport) {
        if (lw > maxLeft)
            s *= maxLeft / lw;
        if (s * lh > z.height())
            s = z.height() / lh;
    }
    plan.scale = s;

    const double n = double(plan.columns());
    if (settings.imageExport) {
        plan.pixelsPerDay = settings.pixelsPerColumn;
        plan.daysPerPage = plan.daysBesideLeftImage = plan.columns();
        return plan;
    }
    const double room = z.width() - s * lw; // beside the outline
    double ppd = room / (n * s);
    if (settings.fitOnOnePage || ppd >= kMinimumDayWidth) {
        plan.daysPerPage = plan.daysBesideLeftImage = plan.columns();
    } else if (settings.leftImageOnEveryPage) {
        plan.daysPerPage = atLeastOne(room / (s * kMinimumDayWidth));
        ppd = room / (double(plan.daysPerPage) * s);
        plan.daysBesideLeftImage = plan.daysPerPage;
    } else {
        plan.daysPerPage = atLeastOne(z.width() / (s * kMinimumDayWidth));
        ppd = z.width() / (double(plan.daysPerPage) * s);
        plan.daysBesideLeftImage = atLeastOne(room / (ppd * s));
    }
    plan.pixelsPerDay = ppd;
    return plan;
}

DMViewCompositorTextAttributes DMPageComposer::headerAttributes()
{
    DMViewCompositorTextAttributes attributes;
    attributes.font = QFont(QStringLiteral("Helvetica"));
    attributes.font.setPointSizeF(kHeaderFontSize);
    attributes.color = Qt::darkGray;
    return attributes;
}

QSizeF DMPageComposer::sizeOfString(const QString &text, const DMViewCompositorTextAttributes &attributes)
{
    if (text.isEmpty())
        return QSizeF(0, 0);
    // Measured on a device of 72 dots an inch: one unit a point.
    static const QImage pointDevice = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = int(std::lround(kPointsPerInch / kMetersPerInch));
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    const QFontMetricsF metrics(attributes.font, &pointDevice);
    return metrics.boundingRect(QRectF(0, 0, 1e6, 1e6), Qt::AlignLeft | Qt::AlignTop, text).size();
}

DMPageComposer::DMPageComposer(const DMPageCompositionPlan &plan, const DMPageCompositionSettings &settings,
                               const DMPageCompositionImages &images)
    : m_plan(plan), m_settings(settings), m_images(images), m_page(plan.pageRect), m_zone(plan.printZone)
{
    m_onePage = settings.fitOnOnePage || settings.imageExport;
    if (!plan.canCompose()) {
        m_whyNoPages = plan.whyNoPages;
        return;
    }
    if (!images.left || images.left->isEmpty()) {
        m_whyNoPages = DMLocalizedString("The outline has no rows to print.");
        return;
    }
    if (!images.top || images.top->isEmpty() || !images.content || images.content->isEmpty()) {
        m_whyNoPages = DMLocalizedString("The chart has nothing to print for these dates.");
        return;
    }
    m_lw = std::min(plan.leftSize.width(), images.left->size().width());
    m_lh = images.left->size().height();
    m_tw = images.top->size().width();
    m_th = images.top->size().height();
    m_cw = images.content->size().width();
    m_ch = images.content->size().height();
    m_lineHeight = images.lineHeight;
    if (images.leftTitles && !images.leftTitles->isEmpty())
        m_titlesHeight = images.leftTitles->size().height();

    if (settings.imageExport) {
        m_page = QRectF(0, 0, m_tw + m_lw + kImageExportExtra, headHeight(true, true) + m_lh + kImageExportExtra);
        m_zone = m_page.adjusted(kImageExportMargin, kImageExportMargin, -kImageExportMargin, -kImageExportMargin);
    }
    const DMViewCompositorTextAttributes attributes = headerAttributes();
    const QSizeF header = sizeOfString(settings.headerString, attributes);
    const QSizeF footer = sizeOfString(settings.footerString, attributes);
    m_headerRect = QRectF(m_zone.x() + (m_zone.width() - header.width()) / 2, m_zone.y() + m_zone.height() + kHeaderGap,
                          header.width(), header.height());
    m_footerRect = QRectF(m_zone.x() + (m_zone.width() - footer.width()) / 2, m_zone.y() - kHeaderGap - footer.height(),
                          footer.width(), footer.height());
    if (m_onePage)
        return;

    if (!(m_lineHeight > 0)) {
        m_whyNoPages = DMLocalizedString("The outline's rows have no height.");
        return;
    }
    m_rowBottoms = rowBottomsWithin(images.rowBottoms, m_lh, m_lineHeight);
    m_rows = m_rowBottoms.size();
    if (m_rows <= 0) {
        m_whyNoPages = DMLocalizedString("The outline has no rows to print.");
        return;
    }
    const double s = plan.scale;
    const double rowHeight = m_lineHeight * s;
    m_firstBandRows = atLeastOne((m_zone.height() - headHeight(true, true) * s) / rowHeight);
    m_rowsPerPage = settings.topImageOnEveryPage ? m_firstBandRows
                                                 : atLeastOne((m_zone.height() - headHeight(false, true) * s) / rowHeight);
    const double bands = std::floor(double(std::max<qint64>(0, m_rows - m_firstBandRows)) / double(m_rowsPerPage)) + 1;
    const double columns =
        std::floor(double(std::max<qint64>(0, plan.columns() - plan.daysBesideLeftImage)) / double(plan.daysPerPage)) + 1;
    m_progressStep = 1.0 / (2.0 * bands * columns);
}

void DMPageComposer::addHeaderAndFooter(DMComposedPage *page, bool always) const
{
    const DMViewCompositorTextAttributes attributes = headerAttributes();
    const auto add = [&](const QString &text, const QRectF &rect) {
        if (always || (rect.width() > 1 && rect.height() > 1)) {
            DMViewCompositorEntry entry;
            entry.kind = DMViewCompositorEntry::TextEntry;
            entry.rect = rect;
            entry.string = text;
            entry.stringAttributes = attributes;
            page->entries.append(entry);
        }
    };
    add(m_settings.headerString, m_headerRect);
    add(m_settings.footerString, m_footerRect);
}

void DMPageComposer::addImage(DMComposedPage *page, const std::shared_ptr<const DMPrintPicture> &picture,
                              const QRectF &destination, const QRectF &source, const Transform &t) const
{
    DMViewCompositorEntry entry;
    entry.kind = DMViewCompositorEntry::ImageEntry;
    entry.picture = picture;
    entry.rect = t.map(inset1(destination));
    entry.srcRect = source;
    entry.bordered = true;
    page->entries.append(entry);
}

qint64 DMPageComposer::rowsOfBandFrom(qint64 row, double height) const
{
    // A row that only just fits still fits: heights are sums of rounded numbers.
    constexpr double kTolerance = 1e-6;
    const double top = topOfRow(row);
    qint64 k = 1;
    while (row + k < m_rows && m_rowBottoms.at(row + k) - top <= height + kTolerance)
        ++k;
    return k;
}

bool DMPageComposer::nextPage(DMComposedPage *page)
{
    if (!m_whyNoPages.isEmpty() || m_done || !page)
        return false;
    page->size = m_page.size();
    page->entries.clear();
    if (m_onePage) {
        composeOnePage(page);
        m_done = true;
        return true;
    }
    while (m_r < m_rows) {
        // The header on the first band, or on every band; a band as high as its page leaves
        // room for it and for the outline's titles.
        const bool withTop = m_r == 0 || m_settings.topImageOnEveryPage;
        if (m_d == 0)
            m_k = rowsOfBandFrom(m_r, m_zone.height() / m_plan.scale - headHeight(withTop, true));
        const bool withLeft = m_d == 0 || (m_settings.leftImageOnEveryPage && m_d % m_plan.daysPerPage == 0);
        const qint64 days = withLeft ? m_plan.daysBesideLeftImage : m_plan.daysPerPage;
        const qint64 d = m_d;
        const qint64 m = std::min(days, m_plan.columns() - d); // the last page: the days left
        const double top = topOfRow(m_r);
        const double band = m_rowBottoms.at(m_r + m_k - 1) - top;
        m_d += m;
        if (m_d > m_plan.days) {
            m_d = 0;
            m_r += m_k;
        }
        // Days of these rows without a bar: no page.
        if (!withLeft && !showsABar(contentPart(top, band, d, m)))
            continue;
        composeBandPage(page, top, band, withTop, d, m, withLeft);
        return true;
    }
    return false;
}

QRectF DMPageComposer::contentPart(double top, double band, qint64 d, qint64 m) const
{
    const double ppd = m_plan.pixelsPerDay;
    return QRectF(std::round(double(d) * ppd) - 0.5, top, std::round(double(m) * ppd), band);
}

bool DMPageComposer::showsABar(const QRectF &part) const
{
    if (!m_images.barFrames)
        return true;
    return std::any_of(m_images.barFrames->cbegin(), m_images.barFrames->cend(),
                       [&part](const QRectF &frame) { return frame.intersects(part); });
}

void DMPageComposer::composeBandPage(DMComposedPage *page, double top, double band, bool withTop, qint64 d, qint64 m,
                                     bool withLeft) const
{
    addHeaderAndFooter(page, false);
    // The band hangs from the top of the zone, as a page is read: a band shorter than the zone
    // (the last one, or a small plan) leaves its room below, not above. Its foot stays on a whole
    // point, as the zone's edges are, so that the frames' hairlines print sharp, and never below
    // the zone: a band that fills it stands on its bottom edge.
    const double height = band + 2 + headHeight(withTop, withLeft);
    const double foot = std::max(m_zone.y(), std::floor(m_zone.y() + m_zone.height() - m_plan.scale * height));
    const Transform t{m_zone.x(), foot, m_plan.scale};
    double x0 = 0;
    if (withLeft) {
        addImage(page, m_images.left, QRectF(0, 0, m_lw + 2, band + 2), QRectF(0, m_lh - top - band, m_lw, band), t);
        x0 = m_lw + 1;
    }
    const double w = double(m) * m_plan.pixelsPerDay;
    const QRectF part = contentPart(top, band, d, m);
    if (withTop)
        addImage(page, m_images.top, QRectF(x0, band, w + 2, m_th + 2), QRectF(part.x(), 0, part.width(), m_th), t);
    addImage(page, m_images.content, QRectF(x0, 0, w + 2, band + 2),
             QRectF(part.x(), m_ch - top - band, part.width(), band), t);
    // The outline's titles right above its rows: beside the header's last band, or alone.
    if (withLeft && m_titlesHeight > 0)
        addImage(page, m_images.leftTitles, QRectF(0, band, m_lw + 2, m_titlesHeight + 2),
                 QRectF(0, 0, m_lw, m_titlesHeight), t);
}

void DMPageComposer::composeOnePage(DMComposedPage *page) const
{
    addHeaderAndFooter(page, true);
    const double totalWidth = m_lw + 3 + m_cw;
    const double totalHeight = headHeight(true, true) + 3 + m_ch;
    double f = 1.0;
    if (totalWidth > m_zone.width())
        f = std::min(1.0, m_zone.width() / totalWidth);
    if (totalHeight > m_zone.height())
        f = std::min(f, m_zone.height() / totalHeight);
    const double s = f * m_settings.zoomLevel;
    const Transform t{m_zone.x(), m_zone.y() - s * totalHeight + m_zone.height(), s};

    const QRectF topDestination(m_lw + 1, m_ch + 1, m_tw + 2, m_th + 2);
    const QRectF leftDestination(0, 0, m_lw + 2, m_lh + 2);
    const QRectF titlesDestination(0, m_lh + 1, m_lw + 2, m_titlesHeight + 2);
    addImage(page, m_images.top, topDestination, QRectF(0, 0, m_tw, m_th), t);
    addImage(page, m_images.left, leftDestination, QRectF(0, 0, m_lw, m_lh), t);
    addImage(page, m_images.content, QRectF(m_lw + 1, 0, m_cw + 2, m_ch + 2), QRectF(0, 0, m_cw, m_ch), t);
    if (m_titlesHeight > 0)
        addImage(page, m_images.leftTitles, titlesDestination, QRectF(0, 0, m_lw, m_titlesHeight), t);

    if (m_images.logo.isNull())
        return;
    // The corner above the outline's titles and beside the header; the logo shrinks to it,
    // never grows.
    const QRectF leftBox = t.map(inset1(m_titlesHeight > 0 ? titlesDestination : leftDestination));
    const QRectF topBox = t.map(inset1(topDestination));
    const double bottom = m_titlesHeight > 0 ? leftBox.bottom() + t.scale : topBox.y();
    const QRectF box(leftBox.x(), bottom, leftBox.width(), topBox.bottom() - bottom);
    if (!(box.height() > 0))
        return;
    QSizeF size = DMViewCompositor::imageSizeInPoints(m_images.logo);
    if (size.width() > box.width() && size.width() > 0)
        size = QSizeF(box.width(), size.height() * box.width() / size.width());
    if (size.height() > box.height() && size.height() > 0)
        size = QSizeF(size.width() * box.height() / size.height(), box.height());
    DMViewCompositorEntry logo;
    logo.kind = DMViewCompositorEntry::ImageEntry;
    logo.obj = m_images.logo;
    logo.rect = QRectF(box.x() + (box.width() - size.width()) / 2, box.y() + (box.height() - size.height()) / 2,
                       size.width(), size.height());
    page->entries.append(logo);
}
