#pragma once

#include "DMReportHTML.h"

#include <QList>
#include <QString>

// The body of a report as it is built: markup as it stands, and the rows kept as data until
// they are written. The HTML of the report (the file, the export) writes every row as markup;
// the report view builds its rows straight into its document (DMReportDocument), which is many
// times faster than reading their markup back.
class DMReportBody
{
public:
    // Markup followed by a run of rows.
    struct Part
    {
        QString markup;
        QList<DMReportTaskRow> rows;
    };

    explicit DMReportBody(const DMReportColumns &columns = {}) : m_columns(columns) {}

    DMReportBody &operator+=(const QString &markup);
    DMReportBody &operator+=(const DMReportTaskRow &row);
    DMReportBody &operator+=(const DMReportBody &other);

    const DMReportColumns &columns() const { return m_columns; }
    const QList<Part> &parts() const { return m_parts; }
    int rowCount() const { return m_rowCount; }
    // The markup of the whole body, each row in the markup of its form.
    QString html() const;

private:
    DMReportColumns m_columns;
    QList<Part> m_parts;
    int m_rowCount = 0;
};
