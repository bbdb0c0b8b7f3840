#pragma once

#include <QString>
#include <QStringList>

// A report page read back with libxml2's HTML parser: its parse errors, and the texts and
// classes found by XPath expressions.
class ReportHTMLParser
{
public:
    explicit ReportHTMLParser(const QString &html);
    ~ReportHTMLParser();
    ReportHTMLParser(const ReportHTMLParser &) = delete;
    ReportHTMLParser &operator=(const ReportHTMLParser &) = delete;

    QStringList errors() const { return m_errors; }
    // The text content (whitespace simplified) of every node the expression selects.
    QStringList texts(const QString &xpath) const;
    int count(const QString &xpath) const { return int(texts(xpath).size()); }

    // The row classes ("evenRow", "oddRow") of the task table and of the resource table.
    QStringList taskRowClasses() const { return rowClasses(1); }
    QStringList resourceRowClasses() const { return rowClasses(2); }
    QStringList rowClasses(int block) const
    {
        return texts(QStringLiteral("//div[@class='mainTable'][%1]/table[@class='reportRow']/tr[1]/@class").arg(block));
    }
    // The first cell of each row of a block (1 tasks, 2 resources): the titles and names.
    QStringList rowTitles(int block) const
    {
        return texts(QStringLiteral("//div[@class='mainTable'][%1]/table[@class='reportRow']/tr[1]/td[@class='taskName']").arg(block));
    }

private:
    void *m_document = nullptr;
    QStringList m_errors;
};
