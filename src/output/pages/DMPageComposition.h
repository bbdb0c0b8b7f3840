#pragma once

#include "DMComposedPage.h"

#include <QImage>
#include <QList>
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <algorithm>
#include <memory>
#include <optional>

class DMPrintPicture;

// The choices of the print panel that shape the pages.
struct DMPageCompositionSettings
{
    bool fitOnOnePage = false;
    bool imageExport = false;
    bool topImageOnEveryPage = false;
    bool leftImageOnEveryPage = false;
    double zoomLevel = 1.0;
    double pixelsPerColumn = 24.0; // width of a day in the image export
    QString headerString;
    QString footerString;
};

// What the composition asks of the document before it has the images: the scale, the width of a
// day and how many days go on a page. Geometry is in points, y up from the bottom of the page;
// the images' units (screen pixels) are shrunk to paper by the scale.
struct DMPageCompositionPlan
{
    QRectF pageRect;
    QRectF printZone;
    double scale = 0.0;
    qint64 days = 0; // whole days from the begin to the end date
    qint64 columns() const { return days + 1; }
    double pixelsPerDay = 0.0;
    qint64 daysPerPage = 1;
    qint64 daysBesideLeftImage = 1; // on the first page of a band, beside the outline
    QSizeF leftSize;                // the outline as shown in the window
    QString whyNoPages;             // set when no page can be made

    bool canCompose() const { return whyNoPages.isEmpty(); }
};

// The orientation of a chart of that many days (whole days from the begin to the end) beside an
// outline of that size, when the user chose none: landscape when the chart, at its narrowest
// days, is wider than its rows are high.
QPageLayout::Orientation DMPageComposition_orientationForChart(qint64 days, const QSizeF &leftSize);

// The page's size and orientation as printed: a layout's landscape orientation turns the paper.
DMPageCompositionPlan DMPageComposition_plan(const QPageLayout &layout, const DMPageCompositionSettings &settings,
                                             qint64 days, const QSizeF &leftSize);

// The three images the document renders for the plan: the outline (left), the timeline header
// (top) and the Gantt canvas (content), with the height of one outline row; and the logo, if any.
struct DMPageCompositionImages
{
    std::shared_ptr<const DMPrintPicture> left;
    std::shared_ptr<const DMPrintPicture> top;
    std::shared_ptr<const DMPrintPicture> content;
    double lineHeight = 24.0;
    // The bottom of each outline row, from the top of the left image; empty when every row is
    // lineHeight high. Pages end between rows.
    QList<double> rowBottoms;
    // The outline's column titles, as wide as the left image: they head the outline on every
    // page that shows it. Null without titles.
    std::shared_ptr<const DMPrintPicture> leftTitles;
    // Where the content's bars lie (y down from its top). When known, a page that shows neither
    // a bar nor the outline is not made.
    std::optional<QList<QRectF>> barFrames;
    QImage logo;
};

// The pages of a plan, one at a time, so that the caller can show progress and stop between
// pages. Several pages: bands of whole outline rows from the top, each cut into pages of days
// from the left, the outline (headed by its titles) and the header on the pages the settings ask
// for; the last band holds the rows that are left and the last page of a band the days that are
// left, and a page with neither the outline nor a bar is left out, so that no page shows only
// empty frames. One page (fit on one page, image export): everything scaled to the print zone,
// hanging from its top.
class DMPageComposer
{
public:
    DMPageComposer(const DMPageCompositionPlan &plan, const DMPageCompositionSettings &settings,
                   const DMPageCompositionImages &images);

    QString whyNoPages() const { return m_whyNoPages; }
    bool isOnePage() const { return m_onePage; }
    // The page rectangle and print zone used, which the image export replaces.
    QRectF pageRect() const { return m_page; }
    QRectF printZone() const { return m_zone; }
    // Rows in a band: the first (under the header) and the others.
    qint64 rowsOnFirstBand() const { return m_firstBandRows; }
    qint64 rowsPerPage() const { return m_rowsPerPage; }
    // The share of the whole work (composing and joining) that one page stands for.
    double progressStep() const { return m_progressStep; }

    // The next page; false when every page is made.
    bool nextPage(DMComposedPage *page);

    static DMViewCompositorTextAttributes headerAttributes();
    // A text's size in points with these attributes.
    static QSizeF sizeOfString(const QString &text, const DMViewCompositorTextAttributes &attributes);

private:
    struct Transform
    {
        double tx = 0, ty = 0, scale = 1;
        QRectF map(const QRectF &r) const { return QRectF(tx + scale * r.x(), ty + scale * r.y(), scale * r.width(), scale * r.height()); }
    };

    void addHeaderAndFooter(DMComposedPage *page, bool always) const;
    void composeOnePage(DMComposedPage *page) const;
    // A band is the rows from its top (y down from the top of the images) band high.
    void composeBandPage(DMComposedPage *page, double top, double band, bool withTop, qint64 d, qint64 m,
                         bool withLeft) const;
    // What stands above a band's rows: the timeline header, the outline's titles, or both side
    // by side (the titles in the corner above the outline).
    double headHeight(bool withTop, bool withLeft) const { return std::max(withTop ? m_th : 0.0, withLeft ? m_titlesHeight : 0.0); }
    // The content's part shown by the page of a band from the day d, m days wide.
    QRectF contentPart(double top, double band, qint64 d, qint64 m) const;
    bool showsABar(const QRectF &part) const;
    // The rows of the band beginning at the row: as many whole rows as the height takes, at least one.
    qint64 rowsOfBandFrom(qint64 row, double height) const;
    double topOfRow(qint64 row) const { return row == 0 ? 0.0 : m_rowBottoms.at(row - 1); }
    void addImage(DMComposedPage *page, const std::shared_ptr<const DMPrintPicture> &picture, const QRectF &destination,
                  const QRectF &source, const Transform &t) const;

    DMPageCompositionPlan m_plan;
    DMPageCompositionSettings m_settings;
    DMPageCompositionImages m_images;
    QString m_whyNoPages;
    bool m_onePage = false;
    bool m_done = false;
    QRectF m_page;
    QRectF m_zone;
    double m_lw = 0, m_lh = 0, m_tw = 0, m_th = 0, m_cw = 0, m_ch = 0, m_lineHeight = 0, m_titlesHeight = 0;
    qint64 m_rows = 0;
    QList<double> m_rowBottoms;
    qint64 m_rowsPerPage = 1;
    qint64 m_firstBandRows = 1;
    double m_progressStep = 0.5;
    QRectF m_headerRect;
    QRectF m_footerRect;

    // Where the next page of several lies: its band (first row and row count) and its first day.
    qint64 m_r = 0;
    qint64 m_k = 0;
    qint64 m_d = 0;
};
