#include "DMReportBody.h"

DMReportBody &DMReportBody::operator+=(const QString &markup)
{
    if (markup.isEmpty())
        return *this;
    if (m_parts.isEmpty() || !m_parts.constLast().rows.isEmpty())
        m_parts.append(Part());
    m_parts.last().markup += markup;
    return *this;
}

DMReportBody &DMReportBody::operator+=(const DMReportTaskRow &row)
{
    if (m_parts.isEmpty())
        m_parts.append(Part());
    m_parts.last().rows.append(row);
    ++m_rowCount;
    return *this;
}

DMReportBody &DMReportBody::operator+=(const DMReportBody &other)
{
    for (const Part &part : other.m_parts) {
        *this += part.markup;
        for (const DMReportTaskRow &row : part.rows)
            *this += row;
    }
    return *this;
}

QString DMReportBody::html() const
{
    QString text;
    for (const Part &part : m_parts) {
        text += part.markup;
        for (const DMReportTaskRow &row : part.rows)
            text += DMReport_rowMarkup(row, m_columns);
    }
    return text;
}
