#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

// The markup of the HTML reports: plain functions shared by the global report and the
// tasks-by-resource and tasks-by-process reports. Every text argument is inserted through
// stringWithHTMLEntities, and every label is localized with the label as its key.
//
// The markup keeps to what QTextDocument (the report view, and the PDF of the mail) lays out:
// tables with cell widths and colours, no widths of divs and no custom elements, so what the
// page shows is what prints, and any browser shows the same.

// The header colour: "#RRGGBB" of the stored user default (a serialized colour), each channel
// the component x 255 truncated; "#E1E6EC" when the stored value is not a colour, "#000000"
// when there is none.
QString DMReport_headerColorText(const QVariant &storedColor);

// Completion percent: progress x 100 truncated, 0 for a progress that is not a number.
int DMReport_percent(double progress);

// The completion bars. w = round(p x 0.85 + 15) picks the form: the bare percent at w <= 15,
// yellow below 45, lime below 75, then the full colour (the template's own in the global bar).
enum class DMReportBar {
    Global,        // the task rows of the global report
    Striped,       // the resource rows
    StripedTaskRow // the task rows of the grouped reports: the label on the right in every form
};
QString DMReport_progressBar(int percent, DMReportBar style);
// The form of a bar: its width in percent, its colours (none: the template's), its alignment,
// and whether it is the bare percent and whether an empty cell fills the rest of the line.
struct DMReportBarLook
{
    double width = 0.0;
    bool bare = false;
    QString colour;
    QString border;
    QString align;
    bool filled = false; // the bar takes the whole line: no empty cell after it
};
DMReportBarLook DMReport_progressBarLook(int percent, DMReportBar style);

// Which of the two optional columns a report shows. A hidden column keeps a sliver of width
// and the title column takes the rest.
struct DMReportColumns
{
    bool showCost = true;
    bool showCompletion = true;
};

// The two blocks of a report (tasks, resources) are "mainTable" divisions holding one small
// table per row: the report view lays out many small tables far faster than one large one.
QString DMReport_mainTableOpening();
QString DMReport_mainTableClosing();
// A thin rule across the page.
QString DMReport_separatorRow();

// The bold column-header row between two separator rows, on the header colour; six labels
// (already localized) for the columns taskName, dates (begin and end), days, cost, completion
// and margin. Every row gives its columns the same widths, so that the columns line up.
QString DMReport_columnHeaderRow(const QString &colorText, const QStringList &labels, const DMReportColumns &columns);

// What the header tables show.
struct DMReportHeader
{
    QString title;
    QString beginText;
    QString endText;
    QString budgetText;     // global report
    QString costText;
    QString leftText;       // global report
    QString completionText; // grouped reports
    DMReportColumns columns;
    QString colorText;
    QString logoPath; // empty: no logo
};
// The header of the global report (budget, cost and what is left, when costs are shown), then
// the task column-header row.
QString DMReport_headerTable(const DMReportHeader &header);
// The header of a grouped report: the cost (when shown) and the completion.
QString DMReport_headerTableForTasksByResource(const DMReportHeader &header);

// One row: the title, dates, duration, cost, completion bar and float, and a second line. A
// resource row shows its name, its contact across both date columns, its base rate in the days
// column and its cost, completion and assignments.
enum class DMReportRowForm {
    GlobalTask,  // DMReport_row
    GroupedTask, // DMReport_rowForTasksByResource
    Resource     // DMReport_resourceRow: title, beginText (the contact), durationText (the base rate)
};
struct DMReportTaskRow
{
    DMReportRowForm form = DMReportRowForm::GlobalTask;
    int row = 0;
    QString title;
    QString beginText;
    QString endText;
    QString durationText;
    QString costText;
    int percent = 0;
    QString floatText;
    QString lineText; // the assigned resources (global report) or the notes (grouped reports)
};
QString DMReport_row(const DMReportTaskRow &row, const DMReportColumns &columns);
QString DMReport_rowForTasksByResource(const DMReportTaskRow &row, const DMReportColumns &columns);
QString DMReport_resourceRow(int row, const QString &name, const QString &contactText, const QString &baseRateText,
                             const QString &costText, int percent, const QString &assignmentText,
                             const DMReportColumns &columns);
// The markup of a row in its form.
QString DMReport_rowMarkup(const DMReportTaskRow &row, const DMReportColumns &columns);

// The report template resource (read once).
QString DMReport_templateText();
// A copy of the template with the body in place of its marker. A hidden column swaps its style
// rules for the narrow ones in this copy's style sheet only: neither the stored template nor
// the inserted texts change.
QString DMReport_pageWithBody(const QString &templateText, const QString &body, const DMReportColumns &columns);
