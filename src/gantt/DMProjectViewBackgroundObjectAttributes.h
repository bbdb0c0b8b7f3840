#pragma once

#include <QColor>
#include <QtGlobal>

#include <memory>
#include <vector>

// The table the Gantt background draws from: a count of equally wide columns with a fill colour
// each, and a count of rows with a height and a fill colour each. The document rebuilds it at
// every relayout and writes the entries; the background does no layout of its own.
//
// All arrays hold exactly the count given at creation, zero-filled (colour entries invalid,
// which means no fill). A count below 1 is stored as 0. Indices out of range are ignored by the
// setters and answer the empty value from the getters.
class DMProjectViewBackgroundObjectAttributes
{
public:
    DMProjectViewBackgroundObjectAttributes(qint32 columns, qint32 rows);

    static std::shared_ptr<DMProjectViewBackgroundObjectAttributes> attributesWithColumnsAndRows(qint32 columns,
                                                                                                qint32 rows);
    // A table of that many columns (their entries empty) with the rows of `rows`, heights and
    // colours: the canvas widened to more days keeps its rows.
    static std::shared_ptr<DMProjectViewBackgroundObjectAttributes>
    attributesWithColumnsAndRowsOf(qint32 columns, const DMProjectViewBackgroundObjectAttributes &rows);

    qint32 columns() const { return m_columns; }
    // Width of every column in canvas points; 0 until set. A width that is not above 0 draws
    // no columns.
    float columnWidth() const { return m_columnWidth; }
    void setColumnWidth(float width) { m_columnWidth = width; }
    QColor columnBgColor(qint32 column) const;
    void setColumnBgColor(qint32 column, const QColor &color);

    qint32 rows() const { return m_rows; }
    float rowHeight(qint32 row) const;
    // A negative or not-a-number height is stored as 0, so that row tops never go back up.
    void setRowHeight(qint32 row, float height);
    QColor rowBgColor(qint32 row) const;
    void setRowBgColor(qint32 row, const QColor &color);

    // Top of the row measured from the first row's top: the sum of the heights above it, summed
    // in single precision in row order. rowTop(rows()) is the total height.
    float rowTop(qint32 row) const;
    float totalHeight() const { return rowTop(m_rows); }
    // The rows whose span [top, bottom] meets [y0, y1] (ends included), as first and last index;
    // first > last when none does. A binary search over the row tops.
    void rowsMeeting(float y0, float y1, qint32 *first, qint32 *last) const;

private:
    const std::vector<float> &tops() const;

    qint32 m_columns = 0;
    float m_columnWidth = 0.0f;
    std::vector<QColor> m_columnsBgColors;
    qint32 m_rows = 0;
    std::vector<float> m_rowsHeight;
    std::vector<QColor> m_rowsBgColors;
    // Running sums of the heights, rebuilt on the first query after a height changed, so that
    // writing every height in turn costs one pass, not one pass per row.
    mutable std::vector<float> m_tops;
    mutable bool m_topsValid = false;
};
