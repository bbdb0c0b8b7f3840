#pragma once

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <memory>

class QPainter;
class DMPrintPicture;

struct DMViewCompositorTextAttributes
{
    QFont font;
    QColor color = Qt::black;
};

// One part of a composed page: a part of an image scaled into a rectangle, or a text.
struct DMViewCompositorEntry
{
    enum Kind { ImageEntry, TextEntry };

    Kind kind = ImageEntry;
    QImage obj;     // the image of an image entry (shared, never copied)
    // Or, instead of obj, a recorded drawing, whose units count as points here.
    std::shared_ptr<const DMPrintPicture> picture;
    QRectF rect;    // destination, in the compositor's coordinates
    QRectF srcRect; // part of the image in its own coordinates; the zero rectangle is all of it
    bool bordered = false;
    QString string;
    DMViewCompositorTextAttributes stringAttributes;
};

// Where an entry lands when drawn with y down: its natural size (the transform maps
// (0, 0, natural) onto target), the target rectangle and the part of the image in pixels.
struct DMViewCompositorPlacement
{
    QSizeF natural;
    QRectF target;
    QRectF sourcePixels;
};

// One page composed from parts of larger images, each scaled into a destination rectangle and
// optionally framed, and text strings; later entries cover earlier ones. The compositor's
// coordinates are points with the origin at the bottom left and y up, as page composition
// states its geometry; so are the source rectangles within their images. Both are turned to
// Qt's top-left coordinates in one place (placementOfEntry) when drawing.
class DMViewCompositor : public QWidget
{
public:
    // The frame's size in points; the bounds are (0, 0) and that size.
    explicit DMViewCompositor(const QRectF &frame = QRectF(), QWidget *parent = nullptr);

    QRectF bounds() const { return m_bounds; }
    void setFrameSize(const QSizeF &size);

    void addImageWithRectFromRectBordered(const QImage &image, const QRectF &rect, const QRectF &fromRect, bool bordered);
    void addPictureWithRectFromRectBordered(const std::shared_ptr<const DMPrintPicture> &picture, const QRectF &rect,
                                            const QRectF &fromRect, bool bordered);
    void addNSStringWithRectAndAttributes(const QString &string, const QRectF &rect,
                                          const DMViewCompositorTextAttributes &attributes);
    void removeAllViews() { m_compositedViews.clear(); }
    const QList<DMViewCompositorEntry> &compositedViews() const { return m_compositedViews; }
    void setCompositedViews(const QList<DMViewCompositorEntry> &entries) { m_compositedViews = entries; }

    // Draws the area (compositor coordinates) with the painter's units taken as points, y down,
    // its origin at the compositor's top left: white ground, then every entry in order.
    void drawRect(QPainter *painter, const QRectF &rect) const;
    // The area as a one-page PDF of its size; empty, with the reason, for an empty area.
    QByteArray dataWithPDFInsideRect(const QRectF &rect, QString *error = nullptr) const;

    DMViewCompositorPlacement placementOfEntry(const DMViewCompositorEntry &entry) const;

    // An image's size in points, from its resolution: a screen picture at 96 dots per inch is
    // three quarters of its pixel count, so that it keeps its size on paper.
    static QSizeF imageSizeInPoints(const QImage &image);
    // The size of an entry's image or picture in points.
    static QSizeF sourceSizeInPoints(const DMViewCompositorEntry &entry);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRectF m_bounds;
    QList<DMViewCompositorEntry> m_compositedViews;
};
