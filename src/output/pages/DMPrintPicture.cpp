#include "DMPrintPicture.h"

#include <QHash>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QFontMetricsF>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

namespace {

// What a command needs while it is played.
struct Playback
{
    QPainter *painter = nullptr;
    QTransform base; // the painter's transform when the playback began
    QRectF part;     // the part played, in picture coordinates
    QRectF bound;    // the part within the tile: what the tile's drawings are clipped to
    double fontScale = 1.0;
    QPainter::RenderHints baseHints; // kept whatever the recording sets (lossless images)

    // Only the part of the tile: what a recorded "no clip" or a replaced clip starts from.
    void resetClip() const
    {
        painter->setTransform(base);
        painter->setClipRect(bound, Qt::ReplaceClip);
    }
};

using Command = std::function<void(Playback &)>;

// A text drawn at a point, with what it takes to cut it to the part played. A part's clip hides
// the characters beyond it on paper, but a PDF keeps them: whoever reads its text would find a
// title running past the page's edge, or the rows of the next page. Only the characters wholly
// inside the part are played. (Every tile a text meets plays it, clipped to the tile, at the same
// place: a reader of the PDF takes the copies for one.)
struct RecordedText
{
    QPointF position;
    QString text;
    QFont font;
    QTransform transform; // the painter's when the text was drawn
    QRectF box;           // in picture coordinates
    bool rightToLeft = false;

    // False when no character lies inside the part; else the characters that do, and where they
    // begin.
    bool cutToPart(const QRectF &part, QPointF *at, QString *shown) const
    {
        // Lines of text lie within the rows a page takes, give or take their descent.
        const double slack = box.height() / 4;
        if (box.top() < part.top() - slack || box.bottom() > part.bottom() + slack || box.right() <= part.left()
            || box.left() >= part.right())
            return false;
        if (box.left() >= part.left() && box.right() <= part.right())
            return true;
        // Cut along lines of left-to-right text drawn without rotation or mirroring; any other
        // text is left to the clip.
        if (rightToLeft || transform.type() > QTransform::TxScale || transform.m11() <= 0)
            return true;
        constexpr double kTolerance = 0.01;
        const double left = (part.left() - transform.dx()) / transform.m11() - kTolerance;
        const double right = (part.right() - transform.dx()) / transform.m11() + kTolerance;
        const QFontMetricsF metrics(font, &recordingMetricsDevice());
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
        qsizetype first = -1, last = -1;
        double firstX = 0;
        for (qsizetype b = 0; b >= 0; b = graphemes.toNextBoundary()) {
            const double x = position.x() + (b == 0 ? 0.0 : metrics.horizontalAdvance(text.left(b)));
            if (first < 0 && x >= left) {
                first = b;
                firstX = x;
            }
            if (x > right)
                break;
            last = b;
        }
        if (first < 0 || last <= first)
            return false;
        *at = QPointF(firstX, position.y());
        *shown = text.mid(first, last - first);
        return true;
    }

    // Measures as the recording device does: 96 dots an inch.
    static const QPaintDevice &recordingMetricsDevice()
    {
        static const QImage device = [] {
            QImage image(1, 1, QImage::Format_RGB32);
            constexpr double kMetersPerInch = 0.0254;
            const int dotsPerMeter = int(std::lround(DMPrintPicture::kRecordingDpi / kMetersPerInch));
            image.setDotsPerMeterX(dotsPerMeter);
            image.setDotsPerMeterY(dotsPerMeter);
            return image;
        }();
        return device;
    }
};

// A font resolved at the recording resolution, as the device played on must size it: point sizes
// scale with the resolution, pixel sizes are in picture units already.
QFont fontForPlayback(QFont font, double scale)
{
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * scale);
    return font;
}

qreal transformScale(const QTransform &transform)
{
    return std::sqrt(std::abs(transform.determinant()));
}

// Records the commands of one tile. State changes are always kept (later commands depend on
// them); drawing commands only when their bounds, on the device, meet the tile.
class RecordingEngine : public QPaintEngine
{
public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    std::vector<Command> *commands = nullptr;
    QRectF tile;

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return Type(QPaintEngine::User + 7); }

    // A tile's playback starts from these (DMPrintPicture::drawPart).
    void beginTile(const QRectF &tileRect)
    {
        tile = tileRect;
        m_emitted = Emitted();
        m_emitted.pen = QPen();
        m_emitted.brush = QBrush(Qt::NoBrush);
        m_emitted.font = QFont();
        m_emitted.transform = QTransform();
        m_clip = Clip();
        m_clipBeforeDisabling = Clip();
    }

    void updateState(const QPaintEngineState &state) override
    {
        const DirtyFlags dirty = state.state();
        if (dirty & DirtyTransform)
            m_transform = state.transform();
        if (dirty & (DirtyPen | DirtyTransform)) {
            if (dirty & DirtyPen)
                m_pen = state.pen();
            updatePenMargin();
        }
        // A painter's restore sends back everything it saved: only what differs from what the
        // playback has at that point is kept.
        if (dirty & DirtyPen && changes(m_emitted.pen, state.pen()))
            add([pen = state.pen()](Playback &p) { p.painter->setPen(pen); });
        if (dirty & DirtyBrush && changes(m_emitted.brush, state.brush()))
            add([brush = state.brush()](Playback &p) { p.painter->setBrush(brush); });
        if (dirty & DirtyBrushOrigin && changes(m_emitted.brushOrigin, state.brushOrigin()))
            add([origin = state.brushOrigin()](Playback &p) { p.painter->setBrushOrigin(origin); });
        if (dirty & DirtyFont && changes(m_emitted.font, state.font()))
            add([font = state.font()](Playback &p) { p.painter->setFont(fontForPlayback(font, p.fontScale)); });
        if (dirty & DirtyBackground && changes(m_emitted.background, state.backgroundBrush()))
            add([brush = state.backgroundBrush()](Playback &p) { p.painter->setBackground(brush); });
        if (dirty & DirtyBackgroundMode && changes(m_emitted.backgroundMode, state.backgroundMode()))
            add([mode = state.backgroundMode()](Playback &p) { p.painter->setBackgroundMode(mode); });
        if (dirty & DirtyTransform && changes(m_emitted.transform, state.transform()))
            add([transform = state.transform()](Playback &p) { p.painter->setTransform(transform * p.base); });
        if (dirty & DirtyClipRegion) {
            const QRegion region = state.clipRegion();
            updateClip(state.transform(), state.clipOperation(),
                       region.rectCount() <= 1 ? std::optional<QRectF>(QRectF(region.boundingRect())) : std::nullopt,
                       [region](QPainter *painter) { painter->setClipRegion(region, Qt::IntersectClip); });
        }
        if (dirty & DirtyClipPath) {
            const QPainterPath path = state.clipPath();
            QPainterPath rectangle;
            rectangle.addRect(path.boundingRect());
            updateClip(state.transform(), state.clipOperation(),
                       rectangle == path ? std::optional<QRectF>(path.boundingRect()) : std::nullopt,
                       [path](QPainter *painter) { painter->setClipPath(path, Qt::IntersectClip); });
        }
        if (dirty & DirtyClipEnabled) {
            if (!state.isClipEnabled()) {
                m_clipBeforeDisabling = m_clip;
                setDeviceClip(Clip());
            } else if (m_clipBeforeDisabling.kind == Clip::Rect) {
                setDeviceClip(m_clipBeforeDisabling);
            } else if (m_clipBeforeDisabling.kind == Clip::Complex && m_lastComplexClip) {
                add(m_lastComplexClip);
                m_clip = m_clipBeforeDisabling;
            }
        }
        if (dirty & DirtyHints && changes(m_emitted.hints, state.renderHints()))
            add([hints = state.renderHints()](Playback &p) {
                p.painter->setRenderHints(p.painter->renderHints(), false);
                p.painter->setRenderHints(hints | p.baseHints, true);
            });
        if (dirty & DirtyCompositionMode && changes(m_emitted.compositionMode, state.compositionMode()))
            add([mode = state.compositionMode()](Playback &p) { p.painter->setCompositionMode(mode); });
        if (dirty & DirtyOpacity && changes(m_emitted.opacity, state.opacity()))
            add([opacity = state.opacity()](Playback &p) { p.painter->setOpacity(opacity); });
    }

    void drawPath(const QPainterPath &path) override
    {
        if (meets(path.controlPointRect(), true))
            add([path](Playback &p) { p.painter->drawPath(path); });
    }
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override
    {
        QPolygonF polygon(count);
        std::copy(points, points + count, polygon.begin());
        if (!meets(polygon.boundingRect(), true))
            return;
        add([polygon, mode](Playback &p) {
            switch (mode) {
            case PolylineMode:
                p.painter->drawPolyline(polygon);
                break;
            case ConvexMode:
                p.painter->drawConvexPolygon(polygon);
                break;
            case WindingMode:
                p.painter->drawPolygon(polygon, Qt::WindingFill);
                break;
            default:
                p.painter->drawPolygon(polygon, Qt::OddEvenFill);
                break;
            }
        });
    }
    void drawRects(const QRectF *rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            if (meets(rects[i], true))
                add([rect = rects[i]](Playback &p) { p.painter->drawRect(rect); });
    }
    void drawLines(const QLineF *lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            if (meets(QRectF(lines[i].p1(), lines[i].p2()).normalized(), true))
                add([line = lines[i]](Playback &p) { p.painter->drawLine(line); });
    }
    void drawEllipse(const QRectF &rect) override
    {
        if (meets(rect, true))
            add([rect](Playback &p) { p.painter->drawEllipse(rect); });
    }
    void drawPoints(const QPointF *points, int count) override
    {
        for (int i = 0; i < count; ++i)
            if (meets(QRectF(points[i], QSizeF(0, 0)), true))
                add([point = points[i]](Playback &p) { p.painter->drawPoint(point); });
    }
    void drawPixmap(const QRectF &rect, const QPixmap &pixmap, const QRectF &source) override
    {
        if (meets(rect, false))
            drawImage(rect, pixmap.toImage(), source, Qt::AutoColor);
    }
    void drawImage(const QRectF &rect, const QImage &image, const QRectF &source, Qt::ImageConversionFlags flags) override
    {
        if (!meets(rect, false))
            return;
        // A part of an image (the slices of a stretched one) is cut once and drawn whole, so that
        // a PDF stores each part once however often it is drawn.
        const QImage piece = source.toRect() == image.rect() ? image : pieceOf(image, source.toRect());
        add([rect, piece, flags](Playback &p) { p.painter->drawImage(rect, piece, QRectF(piece.rect()), flags); });
    }
    void drawTiledPixmap(const QRectF &rect, const QPixmap &pixmap, const QPointF &offset) override
    {
        if (meets(rect, false))
            add([rect, pixmap, offset](Playback &p) { p.painter->drawTiledPixmap(rect, pixmap, offset); });
    }
    void drawTextItem(const QPointF &position, const QTextItem &item) override
    {
        const QRectF bounds(position.x(), position.y() - item.ascent(), item.width(), item.ascent() + item.descent());
        if (!meets(bounds, false))
            return;
        // The text is laid out again when played, with the same font and pen: it stays text.
        const RecordedText recorded{position, item.text(), item.font(), m_transform, m_transform.mapRect(bounds),
                                    bool(item.renderFlags() & QTextItem::RightToLeft)};
        add([recorded](Playback &p) {
            QPointF position = recorded.position;
            QString text = recorded.text;
            if (!recorded.cutToPart(p.part, &position, &text))
                return;
            const QFont current = p.painter->font();
            p.painter->setFont(fontForPlayback(recorded.font, p.fontScale));
            p.painter->drawText(position, text);
            p.painter->setFont(current);
        });
    }

    // Cut parts of images, shared by every tile of one recording.
    QHash<QPair<qint64, QRect>, QImage> pieces;

private:
    void add(Command command) { commands->push_back(std::move(command)); }

    QImage pieceOf(const QImage &image, const QRect &part)
    {
        const QPair<qint64, QRect> key(image.cacheKey(), part);
        auto found = pieces.constFind(key);
        if (found != pieces.constEnd())
            return *found;
        const QImage piece = image.copy(part);
        pieces.insert(key, piece);
        return piece;
    }

    // The clip in picture (device) coordinates: none, a rectangle, or a shape kept as given.
    struct Clip
    {
        enum Kind { None, Rect, Complex } kind = None;
        QRectF rect;
        bool operator==(const Clip &o) const { return kind == o.kind && (kind != Rect || rect == o.rect); }
    };

    // Rectangles, the usual clips, are followed in picture coordinates, so that the many clips a
    // painter sets and restores become one command each time the clip really changes. Other
    // shapes are kept as given, in the coordinates of the transform current when they were set.
    void updateClip(const QTransform &transform, Qt::ClipOperation operation, const std::optional<QRectF> &rect,
                    std::function<void(QPainter *)> set)
    {
        if (operation == Qt::NoClip) {
            setDeviceClip(Clip());
            return;
        }
        const bool axisAligned = transform.type() <= QTransform::TxScale;
        if (rect && axisAligned && (operation == Qt::ReplaceClip || m_clip.kind != Clip::Complex)) {
            Clip clip{Clip::Rect, transform.mapRect(*rect)};
            if (operation == Qt::IntersectClip && m_clip.kind == Clip::Rect)
                clip.rect = clip.rect.intersected(m_clip.rect);
            setDeviceClip(clip);
            return;
        }
        Command command = [transform, operation, set = std::move(set)](Playback &p) {
            const QTransform current = p.painter->transform();
            if (operation == Qt::ReplaceClip)
                p.resetClip();
            p.painter->setTransform(transform * p.base);
            set(p.painter);
            p.painter->setTransform(current);
        };
        if (operation == Qt::ReplaceClip)
            m_lastComplexClip = command;
        m_clip = Clip{Clip::Complex, QRectF()};
        add(std::move(command));
    }

    void setDeviceClip(const Clip &clip)
    {
        if (clip == m_clip)
            return;
        m_clip = clip;
        // The clip and the part played make one rectangle, given in the coordinates of the
        // transform the painter has then: one clip for the playback's device, and no change of
        // transform (a PDF writer writes out its whole state at each).
        const QTransform transform = m_emitted.transform.value_or(QTransform());
        add([clip, transform](Playback &p) {
            const QRectF rect = clip.kind == Clip::Rect ? clip.rect.intersected(p.bound) : p.bound;
            bool invertible = false;
            const QTransform inverse = transform.inverted(&invertible);
            if (invertible && transform.type() <= QTransform::TxScale) {
                p.painter->setClipRect(inverse.mapRect(rect), Qt::ReplaceClip);
                return;
            }
            const QTransform current = p.painter->transform();
            p.painter->setTransform(p.base);
            p.painter->setClipRect(rect, Qt::ReplaceClip);
            p.painter->setTransform(current);
        });
    }

    template <typename T>
    static bool changes(std::optional<T> &emitted, const T &value)
    {
        if (emitted && *emitted == value)
            return false;
        emitted = value;
        return true;
    }

    void updatePenMargin()
    {
        if (m_pen.style() == Qt::NoPen) {
            m_penMargin = 1;
            return;
        }
        const qreal width = std::max<qreal>(1, m_pen.widthF());
        // Miter joins reach further out than half the width.
        m_penMargin = 1 + (m_pen.isCosmetic() ? width : width * transformScale(m_transform)) * 2;
    }

    bool meets(const QRectF &logical, bool stroked) const
    {
        QRectF bounds = m_transform.mapRect(logical);
        const qreal margin = stroked ? m_penMargin : 1;
        bounds.adjust(-margin, -margin, margin, margin);
        return bounds.intersects(tile);
    }

    // What the playback's painter holds at this point of the tile's commands.
    struct Emitted
    {
        std::optional<QPen> pen;
        std::optional<QBrush> brush;
        std::optional<QPointF> brushOrigin;
        std::optional<QFont> font;
        std::optional<QBrush> background;
        std::optional<Qt::BGMode> backgroundMode;
        std::optional<QTransform> transform;
        std::optional<QPainter::RenderHints> hints;
        std::optional<QPainter::CompositionMode> compositionMode;
        std::optional<qreal> opacity;
    };

    QTransform m_transform;
    QPen m_pen;
    qreal m_penMargin = 1;
    Emitted m_emitted;
    Clip m_clip;
    Clip m_clipBeforeDisabling;
    Command m_lastComplexClip;
};

class RecordingDevice : public QPaintDevice
{
public:
    explicit RecordingDevice(const QSize &size) : m_size(size) {}
    ~RecordingDevice() override = default;

    QPaintEngine *paintEngine() const override { return &m_engine; }
    RecordingEngine &engine() { return m_engine; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        constexpr double kMillimetersPerInch = 25.4;
        switch (metric) {
        case PdmWidth:
            return m_size.width();
        case PdmHeight:
            return m_size.height();
        case PdmWidthMM:
            return int(std::lround(m_size.width() * kMillimetersPerInch / DMPrintPicture::kRecordingDpi));
        case PdmHeightMM:
            return int(std::lround(m_size.height() * kMillimetersPerInch / DMPrintPicture::kRecordingDpi));
        case PdmNumColors:
            return INT_MAX;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return int(DMPrintPicture::kRecordingDpi);
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        default:
            return QPaintDevice::metric(metric);
        }
    }

private:
    QSize m_size;
    mutable RecordingEngine m_engine;
};

} // namespace

struct DMPrintPicture::Tile
{
    QRectF rect;
    std::vector<Command> commands;
};

DMPrintPicture::DMPrintPicture() = default;
DMPrintPicture::~DMPrintPicture() = default;

std::shared_ptr<const DMPrintPicture> DMPrintPicture::record(const QSizeF &size, const Drawing &drawing, int tileSize)
{
    std::shared_ptr<DMPrintPicture> picture(new DMPrintPicture);
    picture->m_size = size;
    if (size.isEmpty() || !drawing)
        return picture;
    tileSize = std::max(16, tileSize);
    const int width = int(std::min<double>(INT_MAX, std::ceil(size.width())));
    const int height = int(std::min<double>(INT_MAX, std::ceil(size.height())));
    RecordingDevice device(QSize(width, height));
    for (int y = 0; y < height; y += tileSize) {
        for (int x = 0; x < width; x += tileSize) {
            const QRect tileRect(x, y, std::min(tileSize, width - x), std::min(tileSize, height - y));
            Tile tile;
            tile.rect = tileRect;
            device.engine().commands = &tile.commands;
            device.engine().beginTile(tileRect);
            // No clip on the painter: a widget drawn with it replays the clips it finds in its own
            // coordinates. The tile's drawings are clipped to the tile when played.
            QPainter painter(&device);
            drawing(&painter, tileRect);
            painter.end();
            if (!tile.commands.empty())
                picture->m_tiles.push_back(std::move(tile));
        }
    }
    return picture;
}

qsizetype DMPrintPicture::commandCount() const
{
    qsizetype count = 0;
    for (const Tile &tile : m_tiles)
        count += qsizetype(tile.commands.size());
    return count;
}

void DMPrintPicture::drawPart(QPainter *painter, const QRectF &part) const
{
    const QRectF shown = part.intersected(QRectF(QPointF(0, 0), m_size));
    if (shown.isEmpty() || !painter || !painter->isActive())
        return;
    const int deviceDpi = painter->device() ? painter->device()->logicalDpiY() : 0;
    Playback playback;
    playback.painter = painter;
    playback.base = painter->transform();
    playback.part = shown;
    playback.fontScale = deviceDpi > 0 ? kRecordingDpi / deviceDpi : 1.0;
    playback.baseHints = painter->renderHints() & QPainter::LosslessImageRendering;
    for (const Tile &tile : m_tiles) {
        if (!tile.rect.intersects(shown))
            continue;
        playback.bound = shown.intersected(tile.rect);
        // Each tile was recorded from a fresh painter: it starts again from the default state.
        painter->save();
        painter->setClipRect(playback.bound, Qt::IntersectClip);
        painter->setPen(QPen());
        painter->setBrush(Qt::NoBrush);
        painter->setFont(fontForPlayback(QFont(), playback.fontScale));
        for (const Command &command : tile.commands)
            command(playback);
        painter->restore();
    }
}
