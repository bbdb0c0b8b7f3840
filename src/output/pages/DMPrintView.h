#pragma once

#include <QImage>
#include <QList>
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>
#include <QWidget>

#include <memory>

class DMPrintPicture;

class QPagedPaintDevice;
class QPainter;

// How one image is spread over pages: the scale it is printed at and the grid of pages.
// No pages (columns and rows 0) come with the reason.
struct DMPrintViewPagination
{
    double scale = 0;
    int columns = 0;
    int rows = 0;
    // Where each row of pages begins, as printed (the view's units times the scale), and where
    // the last one ends: rows + 1 values.
    QList<double> rowEdges;
    // The height of the titles printed again at the top of every row of pages after the first,
    // as printed; 0 for none.
    double repeatedTop = 0;
    QString whyNoPages;

    int pageCount() const { return columns * rows; }
};

// Prints one image over as many pages as it needs, left to right, then top to bottom,
// optionally scaled down (never up) so that its width or height fits the printable area.
// Coordinates are the view's own: origin at the top left, one unit a point; the image's size in
// points comes from its resolution (DMViewCompositor::imageSizeInPoints).
//
// The image may instead be a recorded drawing, printed as vectors: its units are screen pixels,
// three quarters of a point. Where the drawing has rows (an outline, a grid of cards), pages end
// between them: a page ends at the last break that fits, or cuts a row too high for a page. The
// rows may come with titles apart (an outline's columns), drawn above them on every page.
class DMPrintView : public QWidget
{
public:
    explicit DMPrintView(QWidget *parent = nullptr);

    // The view's frame becomes (0, 0) and the image's size in points (empty for a null image).
    void setImage(const QImage &image);
    QImage image() const { return m_image; }
    // The drawing in place of the image; the frame becomes its size in points.
    void setPicture(const std::shared_ptr<const DMPrintPicture> &picture);
    std::shared_ptr<const DMPrintPicture> picture() const { return m_picture; }
    // Where pages may end, in the units of the picture (y down from its top); none: anywhere.
    void setPageBreaks(const QList<double> &breaks) { m_pageBreaks = breaks; }
    // The titles of the picture's rows, in its units and as wide: they stand above the rows on
    // every page, the view's frame growing by their height; null for none. Titles taller than
    // half a page print on the first page only.
    void setTitles(const std::shared_ptr<const DMPrintPicture> &titles);
    void setAdjustToPageWidth(bool adjust) { m_adjustToPageWidth = adjust; }
    bool adjustToPageWidth() const { return m_adjustToPageWidth; }
    void setAdjustToPageHeight(bool adjust) { m_adjustToPageHeight = adjust; }
    bool adjustToPageHeight() const { return m_adjustToPageHeight; }

    // The print info of the coming print operation: paper, orientation and margins, and the
    // user's scale (1.0 for 100 %).
    void setPrintInfo(const QPageLayout &layout, double scalingFactor = 1.0);
    QPageLayout pageLayout() const { return m_pageLayout; }

    // The printable size as printed: the oriented paper less its margins.
    QSizeF calculatePrintZoneSize() const;
    static QSizeF printZoneSizeOfLayout(const QPageLayout &layout);
    double scalingFactor() const { return pagination().scale; }
    DMPrintViewPagination pagination() const;

    // First and last page; false (and no pages) when the image cannot be printed, see
    // pagination().whyNoPages.
    bool knowsPageRange(int *first, int *last) const;
    // The part of the view printed on page n (from 1).
    QRectF rectForPage(int page) const;
    void drawRect(QPainter *painter, const QRectF &rect) const;

    // Prints every page on the device with this view's page layout; false with the reason when
    // there is nothing to print or the device refuses a page.
    bool printOnDevice(QPagedPaintDevice *device, QString *error = nullptr) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSizeF boundsSize() const;
    double titlesHeight() const; // in the picture's units
    void setFrameToBounds();
    // The same with the pagination worked out once for all pages: each one walks every break.
    QRectF rectForPage(int page, const DMPrintViewPagination &p) const;
    void drawRect(QPainter *painter, const QRectF &rect, double scale) const;

    QImage m_image;
    std::shared_ptr<const DMPrintPicture> m_picture;
    std::shared_ptr<const DMPrintPicture> m_titles;
    QList<double> m_pageBreaks; // in the picture's units
    bool m_adjustToPageWidth = false;
    bool m_adjustToPageHeight = false;
    QPageLayout m_pageLayout;
    double m_printScale = 1.0;
};

// The pagination rule alone: bounds size and print zone in points, the print info's scale u,
// where pages may end (in points from the top; none: rows of pages a zone high) and the height
// of the titles at the top that every page repeats (in points).
DMPrintViewPagination DMPrintViewPaginate(const QSizeF &boundsSize, const QSizeF &printZone, double u,
                                          bool adjustToPageWidth, bool adjustToPageHeight,
                                          const QList<double> &pageBreaks = {}, double repeatedTop = 0);
