#include "DMViewCompositor.h"

#include "DMPDFData.h"
#include "DMPageLayoutAdditions.h"
#include "DMPrintPicture.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace {

constexpr double kMetersPerInch = 0.0254;
constexpr double kPointsPerInch = 72.0;

// Text sizes in points relative to a painter whose units are points: the device turns a point
// size into its own pixels before the painter's transform scales them again, so the size is
// taken back by the device's resolution.
QFont fontForPointsPainter(QFont font, const QPainter *painter)
{
    const int dpi = painter->device() ? painter->device()->logicalDpiY() : 0;
    if (font.pointSizeF() > 0 && dpi > 0)
        font.setPointSizeF(font.pointSizeF() * kPointsPerInch / dpi);
    return font;
}

} // namespace

DMViewCompositor::DMViewCompositor(const QRectF &frame, QWidget *parent) : QWidget(parent)
{
    setFrameSize(frame.size());
}

void DMViewCompositor::setFrameSize(const QSizeF &size)
{
    m_bounds = QRectF(QPointF(0, 0), size);
    resize(int(std::ceil(size.width())), int(std::ceil(size.height())));
}

void DMViewCompositor::addImageWithRectFromRectBordered(const QImage &image, const QRectF &rect, const QRectF &fromRect,
                                                        bool bordered)
{
    DMViewCompositorEntry entry;
    entry.kind = DMViewCompositorEntry::ImageEntry;
    entry.obj = image;
    entry.rect = rect;
    entry.srcRect = fromRect;
    entry.bordered = bordered;
    m_compositedViews.append(entry);
}

void DMViewCompositor::addPictureWithRectFromRectBordered(const std::shared_ptr<const DMPrintPicture> &picture,
                                                          const QRectF &rect, const QRectF &fromRect, bool bordered)
{
    DMViewCompositorEntry entry;
    entry.kind = DMViewCompositorEntry::ImageEntry;
    entry.picture = picture;
    entry.rect = rect;
    entry.srcRect = fromRect;
    entry.bordered = bordered;
    m_compositedViews.append(entry);
}

void DMViewCompositor::addNSStringWithRectAndAttributes(const QString &string, const QRectF &rect,
                                                        const DMViewCompositorTextAttributes &attributes)
{
    DMViewCompositorEntry entry;
    entry.kind = DMViewCompositorEntry::TextEntry;
    entry.rect = rect;
    entry.string = string;
    entry.stringAttributes = attributes;
    m_compositedViews.append(entry);
}

QSizeF DMViewCompositor::imageSizeInPoints(const QImage &image)
{
    // Dots per meter are whole numbers, so a whole number of dots per inch is stored rounded
    // (96 as 3780, read back as 96.012); the nominal resolution is the nearest whole one.
    const QSizeF size = image.deviceIndependentSize();
    const double dpiX = std::round(image.dotsPerMeterX() * kMetersPerInch);
    const double dpiY = std::round(image.dotsPerMeterY() * kMetersPerInch);
    return QSizeF(dpiX > 0 ? size.width() * kPointsPerInch / dpiX : size.width(),
                  dpiY > 0 ? size.height() * kPointsPerInch / dpiY : size.height());
}

QSizeF DMViewCompositor::sourceSizeInPoints(const DMViewCompositorEntry &entry)
{
    if (entry.picture)
        return entry.picture->size();
    return imageSizeInPoints(entry.obj);
}

DMViewCompositorPlacement DMViewCompositor::placementOfEntry(const DMViewCompositorEntry &entry) const
{
    DMViewCompositorPlacement placement;
    placement.target = DMPageRects_flipped(entry.rect, m_bounds.height());
    if (entry.kind == DMViewCompositorEntry::TextEntry) {
        placement.natural = entry.rect.size();
        return placement;
    }
    const QSizeF points = sourceSizeInPoints(entry);
    if (points.isEmpty())
        return placement;
    // A picture's units are its points; an image has its pixels.
    const double pixelsPerPointX = entry.picture ? 1.0 : entry.obj.width() / points.width();
    const double pixelsPerPointY = entry.picture ? 1.0 : entry.obj.height() / points.height();
    const QRectF source = entry.srcRect == QRectF() ? QRectF(QPointF(0, 0), points) : entry.srcRect;
    const QRectF sourceDown = DMPageRects_flipped(source, points.height());
    placement.natural = source.size();
    placement.sourcePixels = QRectF(sourceDown.x() * pixelsPerPointX, sourceDown.y() * pixelsPerPointY,
                                    sourceDown.width() * pixelsPerPointX, sourceDown.height() * pixelsPerPointY);
    return placement;
}

void DMViewCompositor::drawRect(QPainter *painter, const QRectF &rect) const
{
    painter->fillRect(DMPageRects_flipped(rect, m_bounds.height()), Qt::white);
    for (const DMViewCompositorEntry &entry : m_compositedViews) {
        const DMViewCompositorPlacement placement = placementOfEntry(entry);
        const QSizeF natural = placement.natural;
        if (natural.width() <= 0 || natural.height() <= 0 || placement.target.isEmpty())
            continue; // nothing to scale from: a zero-size image or part, or no room
        painter->save();
        painter->translate(placement.target.topLeft());
        painter->scale(placement.target.width() / natural.width(), placement.target.height() / natural.height());
        if (entry.bordered) {
            painter->fillRect(QRectF(QPointF(0, 0), natural).adjusted(-0.5, -0.5, 0.5, 0.5), Qt::black);
            painter->fillRect(QRectF(QPointF(0, 0), natural), Qt::white);
        }
        if (entry.kind == DMViewCompositorEntry::TextEntry) {
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setRenderHint(QPainter::TextAntialiasing);
            painter->setFont(fontForPointsPainter(entry.stringAttributes.font, painter));
            painter->setPen(entry.stringAttributes.color);
            painter->drawText(QRectF(QPointF(0, 0), natural), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                              entry.string);
        }
        painter->restore();
        if (entry.kind == DMViewCompositorEntry::ImageEntry && entry.picture) {
            const QRectF source = placement.sourcePixels;
            painter->save();
            painter->translate(placement.target.topLeft());
            painter->scale(placement.target.width() / source.width(), placement.target.height() / source.height());
            painter->translate(-source.topLeft());
            entry.picture->drawPart(painter, source);
            painter->restore();
        } else if (entry.kind == DMViewCompositorEntry::ImageEntry) {
            painter->save();
            painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
            painter->setOpacity(1.0);
            painter->setRenderHint(QPainter::SmoothPixmapTransform);
            painter->drawImage(placement.target, entry.obj, placement.sourcePixels);
            painter->restore();
        }
    }
}

QByteArray DMViewCompositor::dataWithPDFInsideRect(const QRectF &rect, QString *error) const
{
    if (rect.width() <= 0 || rect.height() <= 0) {
        if (error)
            *error = QStringLiteral("The page has no area.");
        return QByteArray();
    }
    return DMPDFData({rect.size()}, [&](QPainter &painter, int) {
        painter.translate(-DMPageRects_flipped(rect, m_bounds.height()).topLeft());
        drawRect(&painter, rect);
        return true;
    }, QString(), error);
}

void DMViewCompositor::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRectF area = DMPageRects_flipped(QRectF(event->rect()), m_bounds.height());
    drawRect(&painter, area);
}
