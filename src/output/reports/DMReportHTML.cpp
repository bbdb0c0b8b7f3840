#include "DMReportHTML.h"

#include "DMColorAdditions.h"
#include "DMLocalizedString.h"
#include "DMObjectSerialization.h"
#include "DMStringAdditions.h"

#include <QColor>
#include <QFile>
#include <QImageReader>
#include <QUrl>

#include <cmath>

namespace {

const QString kBodyMarker = QStringLiteral("<!-- ### INSERT BODY HERE ### -->");

QString html(const QString &text)
{
    return stringWithHTMLEntities(text);
}

// Text of several lines (notes) keeps its line breaks.
QString htmlLines(const QString &text)
{
    QString markup = html(text);
    markup.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return markup.replace(QLatin1Char('\n'), QLatin1String("<br/>"));
}

QString label(const char *key)
{
    return stringWithHTMLEntities(DMLocalizedString(key));
}

QString cell(const char *cssClass, const QString &markup)
{
    return QStringLiteral("<td class=\"%1\">%2</td>").arg(QLatin1String(cssClass), markup);
}

// The columns of every row, with their classes and widths in percent. The dates take two
// columns (begin and end); the column header and the resource rows span both.
enum Column { TaskName, BeginDate, EndDate, Days, Cost, Completion, Margin };
constexpr const char *kColumnClasses[] = {"taskName", "dates", "dates", "days", "cost", "completion", "margin"};

int columnWidth(Column column, const DMReportColumns &columns)
{
    const int cost = columns.showCost ? 12 : 1;
    const int completion = columns.showCompletion ? 13 : 1;
    switch (column) {
    case TaskName:
        return 100 - 2 * 16 - 10 - cost - completion - 8;
    case BeginDate:
    case EndDate:
        return 16;
    case Days:
        return 10;
    case Cost:
        return cost;
    case Completion:
        return completion;
    case Margin:
        break;
    }
    return 8;
}

QString columnCell(Column column, const QString &markup, const DMReportColumns &columns)
{
    return QStringLiteral("<td class=\"%1\" width=\"%2%\">%3</td>")
        .arg(QLatin1String(kColumnClasses[column]), QString::number(columnWidth(column, columns)), markup);
}

// Both date columns as one cell.
QString datesCell(const QString &markup, const DMReportColumns &columns)
{
    return QStringLiteral("<td class=\"dates\" colspan=\"2\" width=\"%1%\">%2</td>")
        .arg(QString::number(columnWidth(BeginDate, columns) + columnWidth(EndDate, columns)), markup);
}

// The <img> of the logo, scaled down to fit 512 x 128 points with its proportions; empty when
// the file is not a readable image.
QString logoMarkup(const QString &path)
{
    if (path.isEmpty())
        return QString();
    QImageReader reader(path);
    QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return QString();
    if (size.width() > 512 || size.height() > 128)
        size = size.scaled(512, 128, Qt::KeepAspectRatio);
    return QStringLiteral("<img src=\"%1\" width=\"%2\" height=\"%3\" alt=\"\">")
        .arg(html(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)))
        .arg(qMax(1, size.width()))
        .arg(qMax(1, size.height()));
}

// Steps shared by both header tables: the opening, the title and the dates.
QString headerTableOpening(const DMReportHeader &header)
{
    QString text = QStringLiteral("<table width=\"100%\" border=\"0\"><tr><td width=\"800\">"
                                  "<table class=\"headerTable\" width=\"800\" border=\"0\" bordercolor=\"#FFFFFF\">");
    text += QStringLiteral("<tr><td class=\"headerTableProjectName\" colspan=\"6\">%1</td></tr>").arg(html(header.title));
    text += QStringLiteral("<tr><td class=\"headerTableProjectName\" colspan=\"6\"> </td></tr>");
    text += QStringLiteral("<tr>") + cell("headerTableFieldTitle", label("Begins:")) + cell("dates", html(header.beginText))
        + cell("headerTableFieldTitle", label("Ends:")) + cell("dates", html(header.endText)) + QStringLiteral("</tr>");
    return text;
}

// Steps shared by both header tables after their cost line: the logo and the task column header.
QString headerTableClosing(const DMReportHeader &header)
{
    QString text = QStringLiteral("</table></td><td align=\"right\"><div align=\"right\">");
    text += logoMarkup(header.logoPath);
    text += QStringLiteral("</div></td></tr></table><br/>");
    text += DMReport_columnHeaderRow(header.colorText,
                                     {DMLocalizedString("Tasks"), DMLocalizedString("Dates"), DMLocalizedString("Duration"),
                                      header.columns.showCost ? DMLocalizedString("Cost") : QString(),
                                      header.columns.showCompletion ? DMLocalizedString("Completion") : QString(),
                                      DMLocalizedString("Float")},
                                     header.columns);
    return text;
}

QString fieldPair(const char *title, const QString &value)
{
    return cell("headerTableFieldTitle", label(title)) + cell("headerTableCost", html(value));
}

// The frame of every row: a table of its own (the report view lays out many small tables far
// faster than one table of many rows), its parity class, the first line and the second line.
QString rowFrame(int row, const QString &firstLine, const char *lineLabel, const QString &lineMarkup)
{
    const QString parity = row % 2 ? QStringLiteral("<tr class=\"oddRow\">") : QStringLiteral("<tr class=\"evenRow\">");
    QString text = QStringLiteral("<table class=\"reportRow\" width=\"100%\" border=\"0\" cellspacing=\"0\">");
    text += parity + firstLine + QStringLiteral("</tr>");
    text += parity + QStringLiteral("<td class=\"assignedTo\">%1</td><td colspan=\"6\">%2</td></tr>").arg(label(lineLabel), lineMarkup);
    text += QStringLiteral("</table>\n");
    return text;
}

QString taskRowFirstLine(const DMReportTaskRow &row, const DMReportColumns &columns, DMReportBar bar)
{
    QString text = columnCell(TaskName, html(row.title), columns);
    text += columnCell(BeginDate, html(row.beginText), columns) + columnCell(EndDate, html(row.endText), columns);
    text += columnCell(Days, html(row.durationText), columns) + columnCell(Cost, html(row.costText), columns);
    text += columnCell(Completion, columns.showCompletion ? DMReport_progressBar(row.percent, bar) : QString(), columns);
    text += columnCell(Margin, html(row.floatText), columns);
    return text;
}

} // namespace

QString DMReport_headerColorText(const QVariant &storedColor)
{
    if (!storedColor.isValid())
        return QStringLiteral("#000000");
    const QVariant decoded = DMObjectSerialization::decode(storedColor);
    if (decoded.metaType() != QMetaType::fromType<QColor>() || !decoded.value<QColor>().isValid())
        return QStringLiteral("#E1E6EC");
    // Component x 255 truncated, worked on the 16-bit channels so that 225 / 255 stays 225.
    const QRgba64 rgba = decoded.value<QColor>().toRgb().rgba64();
    const auto channel = [](quint16 value) { return QStringLiteral("%1").arg(uint(value) * 255u / 65535u, 2, 16, QLatin1Char('0')).toUpper(); };
    return QLatin1Char('#') + channel(rgba.red()) + channel(rgba.green()) + channel(rgba.blue());
}

int DMReport_percent(double progress)
{
    if (!std::isfinite(progress))
        return 0;
    // Truncated, but a progress stored as a float (0.7f is 0.69999999) keeps its whole percent.
    const double percent = progress * 100.0;
    return int(qBound(-1.0e6, percent + (percent < 0 ? -1.0e-3 : 1.0e-3), 1.0e6));
}

DMReportBarLook DMReport_progressBarLook(int percent, DMReportBar style)
{
    DMReportBarLook look;
    look.width = std::round(double(percent) * 0.85 + 15.0);
    look.bare = look.width <= 15.0;
    look.filled = look.width >= 100.0;
    if (look.bare)
        return look;
    look.align = QStringLiteral("right");
    if (look.width < 45.0) {
        look.colour = QStringLiteral("#EFD242");
        look.border = QStringLiteral("#9d8929");
        if (style != DMReportBar::StripedTaskRow)
            look.align = QStringLiteral("center");
    } else if (look.width < 75.0 || style != DMReportBar::Global) {
        look.colour = QStringLiteral("#EDFF0C");
        look.border = QStringLiteral("#8a9329");
    }
    return look;
}

QString DMReport_progressBar(int percent, DMReportBar style)
{
    const DMReportBarLook bar = DMReport_progressBarLook(percent, style);
    const QString opening = QStringLiteral("<table class=\"ui-progress-bar ui-container\" width=\"100%\" border=\"0\" "
                                           "cellspacing=\"0\" cellpadding=\"1\"><tr>");
    if (bar.bare)
        return opening + QStringLiteral("<td align=\"left\">%1%</td></tr></table>").arg(percent);
    // The full bar of the global report takes the template's own colours (class ui-progress).
    const QString look = bar.colour.isEmpty()
        ? QStringLiteral(" style=\"white-space: nowrap;\"")
        : QStringLiteral(" bgcolor=\"%1\" style=\"white-space: nowrap; background-color: %1; border: 1px solid %2;\"").arg(bar.colour, bar.border);
    QString text = opening
        + QStringLiteral("<td class=\"ui-progress\" width=\"%1%\" align=\"%2\" nowrap%3>%4%</td>")
              .arg(QString::number(bar.width, 'f', 0), bar.align, look)
              .arg(percent);
    if (!bar.filled)
        text += QStringLiteral("<td></td>");
    return text + QStringLiteral("</tr></table>");
}

QString DMReport_mainTableOpening()
{
    return QStringLiteral("<div class=\"mainTable\">\n");
}

QString DMReport_mainTableClosing()
{
    return QStringLiteral("</div>\n");
}

QString DMReport_separatorRow()
{
    return QStringLiteral("<table class=\"separatorRow\" width=\"100%\" border=\"0\" cellspacing=\"0\" cellpadding=\"0\">"
                          "<tr class=\"separatorRow\"><td class=\"separatorRow\"></td></tr></table>\n");
}

QString DMReport_columnHeaderRow(const QString &colorText, const QStringList &labels, const DMReportColumns &columns)
{
    // The labels in black or white, whichever reads on the user's header colour.
    const QString textColor = DMBestTextColorForBackgroundColor(QColor(colorText), 1.0).name();
    const auto title = [&](int index) {
        const QString text = labels.value(index);
        return text.isEmpty() ? QString() : QStringLiteral("<span style=\"color: %1\">%2</span>").arg(textColor, html(text));
    };
    QString text = DMReport_separatorRow();
    text += QStringLiteral("<table class=\"columnHeader\" width=\"100%\" border=\"0\" cellspacing=\"0\" bgcolor=\"%1\" "
                           "style=\"background-color: %1; font-weight: bold\"><tr bgcolor=\"%1\">")
                .arg(colorText);
    text += columnCell(TaskName, title(0), columns) + datesCell(title(1), columns);
    for (int column = Days; column <= Margin; ++column)
        text += columnCell(Column(column), title(column - 1), columns);
    text += QStringLiteral("</tr></table>\n") + DMReport_separatorRow();
    return text;
}

QString DMReport_headerTable(const DMReportHeader &header)
{
    QString text = headerTableOpening(header);
    if (header.columns.showCost)
        text += QStringLiteral("<tr>") + fieldPair("Budget:", header.budgetText) + fieldPair("Cost:", header.costText)
            + fieldPair("Left:", header.leftText) + QStringLiteral("</tr>");
    return text + headerTableClosing(header);
}

QString DMReport_headerTableForTasksByResource(const DMReportHeader &header)
{
    QString text = headerTableOpening(header) + QStringLiteral("<tr>");
    if (header.columns.showCost)
        text += fieldPair("Cost:", header.costText);
    text += fieldPair("Completion:", header.completionText) + cell("headerTableFieldTitle", QString())
        + cell("headerTableCost", QString()) + QStringLiteral("</tr>");
    return text + headerTableClosing(header);
}

QString DMReport_row(const DMReportTaskRow &row, const DMReportColumns &columns)
{
    return rowFrame(row.row, taskRowFirstLine(row, columns, DMReportBar::Global), "Assigned to:", html(row.lineText));
}

QString DMReport_rowForTasksByResource(const DMReportTaskRow &row, const DMReportColumns &columns)
{
    return rowFrame(row.row, taskRowFirstLine(row, columns, DMReportBar::StripedTaskRow), "Notes:", htmlLines(row.lineText));
}

QString DMReport_resourceRow(int row, const QString &name, const QString &contactText, const QString &baseRateText,
                             const QString &costText, int percent, const QString &assignmentText,
                             const DMReportColumns &columns)
{
    QString firstLine = columnCell(TaskName, html(name), columns) + datesCell(html(contactText), columns)
        + columnCell(Days, html(baseRateText), columns) + columnCell(Cost, html(costText), columns);
    firstLine += columnCell(Completion, columns.showCompletion ? DMReport_progressBar(percent, DMReportBar::Striped) : QString(),
                            columns);
    firstLine += columnCell(Margin, QString(), columns);
    return rowFrame(row, firstLine, "Assigned:", html(assignmentText));
}

QString DMReport_rowMarkup(const DMReportTaskRow &row, const DMReportColumns &columns)
{
    switch (row.form) {
    case DMReportRowForm::GroupedTask:
        return DMReport_rowForTasksByResource(row, columns);
    case DMReportRowForm::Resource:
        return DMReport_resourceRow(row.row, row.title, row.beginText, row.durationText, row.costText, row.percent,
                                    row.lineText, columns);
    case DMReportRowForm::GlobalTask:
        break;
    }
    return DMReport_row(row, columns);
}

QString DMReport_templateText()
{
    static const QString text = [] {
        Q_INIT_RESOURCE(DMReportResources);
        QFile file(QStringLiteral(":/output/ReportTemplate.html"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }();
    return text;
}

QString DMReport_pageWithBody(const QString &templateText, const QString &body, const DMReportColumns &columns)
{
    QString page = templateText;
    if (!columns.showCost) {
        page.replace(QStringLiteral(".cost "), QStringLiteral(".cost100PxWide "), Qt::CaseInsensitive);
        page.replace(QStringLiteral(".cost1PxWide "), QStringLiteral(".cost "), Qt::CaseInsensitive);
    }
    if (!columns.showCompletion) {
        page.replace(QStringLiteral(".completion "), QStringLiteral(".completionWide "), Qt::CaseInsensitive);
        page.replace(QStringLiteral(".completion1PxWide "), QStringLiteral(".completion "), Qt::CaseInsensitive);
    }
    page.replace(kBodyMarker, body);
    return page;
}
