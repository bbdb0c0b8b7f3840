#pragma once

#include "DMProjectEnums.h"
#include "DMTextAttributes.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QWidget>

class DMTimelineView_DataSource;

// The time header above the Gantt canvas: three bands of 19 points, from the bottom the
// columns (quarter hours in the day scale, days otherwise), the week groups and the month
// groups, drawn from stretchable band images. Its x coordinates are the canvas's, so a column
// sits exactly above the matching column of the grid.
//
// Geometry is worked out with y growing upwards from the bottom of the bounds, as the drawing
// rules state it, into a DMTimelineView::Layout; painting and mouse handling convert it to Qt's
// y-down coordinates in one place (toQtRect, fromQtPoint).
class DMTimelineView : public QWidget
{
    Q_OBJECT

public:
    static constexpr qreal kBandHeight = 19.0;
    enum Band { NoBand = -1, ColumnBand = 0, WeekBand = 1, MonthBand = 2 };

    struct Cell
    {
        int column = 0;
        QRectF rect;       // y up
        bool selected = false;
        QString label;     // empty when no label is drawn
        QRectF labelRect;  // y up: origin and size of the text
    };
    struct Group
    {
        Band band = WeekBand;
        int beginColumn = 0;
        int endColumn = 0;
        QRectF rect; // y up, the band image
        bool selected = false;
        bool bold = false;
        QString title;     // the title or a shorter form that fits; empty when none is drawn
        QRectF titleRect;  // y up, centred in the part of the group in view
    };
    struct Layout
    {
        int mode = kDMTimelineViewMode_Day;
        int totalColumns = 0;
        int selectedColumn = -1;
        double columnWidth = 0.0;
        QList<Cell> cells;
        QList<Group> groups;
    };
    struct CursorRect
    {
        QRectF rect; // y up
        Qt::CursorShape shape = Qt::ArrowCursor;
    };

    explicit DMTimelineView(QWidget *parent = nullptr);
    ~DMTimelineView() override;

    // Not owned: whoever sets it clears it before the data source goes.
    DMTimelineView_DataSource *dataSource() const { return m_dataSource; }
    void setDataSource(DMTimelineView_DataSource *dataSource);

    // Set while the header is rendered for print: every column is drawn, not just those in view.
    bool printing() const { return m_printing; }
    void setPrinting(bool printing) { m_printing = printing; }

    // The bounds (origin at the bottom left, y up) and the part of them in view: all of them
    // when the view is not shown in a window.
    QRectF bounds() const;
    QRectF visibleRect() const;

    // Cursor rectangles, y up. resetCursorRects clears them and asks the data source again.
    void resetCursorRects();
    void addCursorRect(const QRectF &rect, Qt::CursorShape shape);
    const QList<CursorRect> &cursorRects() const { return m_cursorRects; }
    Qt::CursorShape cursorShapeAtPoint(const QPointF &point) const; // y up

    // What drawRect would draw now, asked of the data source.
    Layout layout() const;

    const DMTextAttributes &columnHeaderAttributes() const { return m_columnHeaderAttributes; }
    const DMTextAttributes &columnHeaderBoldAttributes() const { return m_columnHeaderBoldAttributes; }
    const DMTextAttributes &columnSuperHeaderAttributes() const { return m_columnSuperHeaderAttributes; }
    const DMTextAttributes &columnSuperHeaderBoldAttributes() const { return m_columnSuperHeaderBoldAttributes; }

    // ---- Pure geometry (y up from the bottom of the bounds) ----
    // A band: columns y 0 to 19, week groups 19 to 38, month groups 38 to 57 above bounds.y.
    static QRectF bandRect(Band band, const QRectF &bounds);
    static Band bandAtPoint(const QPointF &point, const QRectF &bounds);
    // A column cell: from nearest(x) to nearest(x + width), the whole column band.
    static QRectF cellRect(double x, double width, const QRectF &bounds);
    // A group's image: nearest(left) to nearest(right), the month band reaching 0.33 further.
    static QRectF groupRect(Band band, double left, double right, const QRectF &bounds);
    // Where a text of that size goes when centred across [left, left + width] in the band:
    // x = trunc(left + (width - text width) / 2), y = trunc(band y + (19 - text height) / 2).
    static QRectF centredTextRect(Band band, double left, double width, const QSizeF &textSize, const QRectF &bounds);
    // The day scale labels quarter hours that are multiples of this step (0: no labels).
    static int hourLabelStep(double columnWidth);
    // The hour label of column i, or an empty text when the column gets none.
    static QString hourLabelForColumn(int column, int totalColumns, int beginMinute, double columnWidth);
    // y up to Qt's y down within a widget of that height, and back.
    static QRectF toQtRect(const QRectF &rect, qreal height);
    static QPointF fromQtPoint(const QPointF &point, qreal height);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutColumns(Layout &layout, int first, int last, double firstX, const QRectF &bounds) const;
    void layoutGroups(Layout &layout, Band band, int first, int last, double firstX, const QRectF &bounds) const;
    void updateCursor(const QPointF &qtPoint);

    DMTimelineView_DataSource *m_dataSource = nullptr;
    bool m_printing = false;
    QList<CursorRect> m_cursorRects;
    DMTextAttributes m_columnHeaderAttributes;
    DMTextAttributes m_columnSuperHeaderAttributes;
    DMTextAttributes m_columnHeaderBoldAttributes;
    DMTextAttributes m_columnSuperHeaderBoldAttributes;
};

// The reduced hour format of a short time pattern (Unicode date pattern letters): hours and
// the AM/PM marker only, quoted text dropped; "H" when no hour is left.
QString DMTimelineView_hourFormatFromTimePattern(const QString &pattern);
// The same for a Qt time format (h, H, AP, ap, A, a); the result uses the Unicode letters.
QString DMTimelineView_hourFormatFromQtTimeFormat(const QString &format);
// The label of an hour (0 to 24) in a reduced format; the morning shows no marker.
QString DMTimelineView_formatHour(const QString &reducedFormat, int hour, const QLocale &locale);
// Fills the process-wide hour labels (25, for hours 0 to 24) from the default locale's short
// time format. The first header builds them; later locale changes are not followed.
void rebuildHourNames();
const QStringList &DMTimelineView_hourNames();
