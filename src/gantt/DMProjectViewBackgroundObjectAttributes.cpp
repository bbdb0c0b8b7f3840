#include "DMProjectViewBackgroundObjectAttributes.h"

#include <algorithm>
#include <cmath>

DMProjectViewBackgroundObjectAttributes::DMProjectViewBackgroundObjectAttributes(qint32 columns, qint32 rows)
    : m_columns(std::max(columns, 0))
    , m_columnsBgColors(static_cast<size_t>(m_columns))
    , m_rows(std::max(rows, 0))
    , m_rowsHeight(static_cast<size_t>(m_rows), 0.0f)
    , m_rowsBgColors(static_cast<size_t>(m_rows))
{
}

std::shared_ptr<DMProjectViewBackgroundObjectAttributes>
DMProjectViewBackgroundObjectAttributes::attributesWithColumnsAndRows(qint32 columns, qint32 rows)
{
    return std::make_shared<DMProjectViewBackgroundObjectAttributes>(columns, rows);
}

std::shared_ptr<DMProjectViewBackgroundObjectAttributes>
DMProjectViewBackgroundObjectAttributes::attributesWithColumnsAndRowsOf(qint32 columns,
                                                                       const DMProjectViewBackgroundObjectAttributes &rows)
{
    auto table = std::make_shared<DMProjectViewBackgroundObjectAttributes>(columns, 0);
    table->m_rows = rows.m_rows;
    table->m_rowsHeight = rows.m_rowsHeight;
    table->m_rowsBgColors = rows.m_rowsBgColors;
    table->m_tops = rows.m_tops;
    table->m_topsValid = rows.m_topsValid;
    return table;
}

QColor DMProjectViewBackgroundObjectAttributes::columnBgColor(qint32 column) const
{
    return column >= 0 && column < m_columns ? m_columnsBgColors[static_cast<size_t>(column)] : QColor();
}

void DMProjectViewBackgroundObjectAttributes::setColumnBgColor(qint32 column, const QColor &color)
{
    if (column >= 0 && column < m_columns)
        m_columnsBgColors[static_cast<size_t>(column)] = color;
}

float DMProjectViewBackgroundObjectAttributes::rowHeight(qint32 row) const
{
    return row >= 0 && row < m_rows ? m_rowsHeight[static_cast<size_t>(row)] : 0.0f;
}

void DMProjectViewBackgroundObjectAttributes::setRowHeight(qint32 row, float height)
{
    if (row < 0 || row >= m_rows)
        return;
    m_rowsHeight[static_cast<size_t>(row)] = height > 0.0f ? height : 0.0f;
    m_topsValid = false;
}

QColor DMProjectViewBackgroundObjectAttributes::rowBgColor(qint32 row) const
{
    return row >= 0 && row < m_rows ? m_rowsBgColors[static_cast<size_t>(row)] : QColor();
}

void DMProjectViewBackgroundObjectAttributes::setRowBgColor(qint32 row, const QColor &color)
{
    if (row >= 0 && row < m_rows)
        m_rowsBgColors[static_cast<size_t>(row)] = color;
}

const std::vector<float> &DMProjectViewBackgroundObjectAttributes::tops() const
{
    if (!m_topsValid) {
        m_tops.resize(static_cast<size_t>(m_rows) + 1);
        float top = 0.0f;
        for (size_t row = 0; row < m_rowsHeight.size(); ++row) {
            m_tops[row] = top;
            top += m_rowsHeight[row];
        }
        m_tops[static_cast<size_t>(m_rows)] = top;
        m_topsValid = true;
    }
    return m_tops;
}

float DMProjectViewBackgroundObjectAttributes::rowTop(qint32 row) const
{
    return tops()[static_cast<size_t>(std::clamp(row, 0, m_rows))];
}

void DMProjectViewBackgroundObjectAttributes::rowsMeeting(float y0, float y1, qint32 *first, qint32 *last) const
{
    const std::vector<float> &t = tops();
    // Bottoms are t[1..rows], tops t[0..rows-1]; both never decrease.
    const auto firstBottom = std::lower_bound(t.begin() + 1, t.end(), y0);
    const auto pastLastTop = std::upper_bound(t.begin(), t.end() - 1, y1);
    if (first)
        *first = static_cast<qint32>(firstBottom - (t.begin() + 1));
    if (last)
        *last = static_cast<qint32>(pastLastTop - t.begin()) - 1;
}
