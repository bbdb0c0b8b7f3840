#pragma once

#include <QString>

#include <functional>
#include <memory>

class DMReportBody;
class QTextBrowser;
class QTextDocument;

// The document the report view shows, built from a report's body: the markup around the rows
// is read as HTML (with the template's style sheet), and the rows are built straight into the
// document with the formats that their markup would give them. Reading the markup of every row
// (its tables, the style rules matched against every cell) took seconds for ten thousand rows.
//
// Shows the body's document in the view (which owns it); the view's previous document goes. The
// first rows are written at once, the others in steps on the event loop, so that a report of
// many thousand rows shows its first screen at once and the window stays responsive. While rows
// wait, progress hears of the rows written and of all rows, after each step and at the end.
void DMReportDocument_show(QTextBrowser *view, const DMReportBody &body,
                           const std::function<void(int written, int total)> &progress = {});

// Shows an empty document in the view; the previous one goes, with the rows it had still to write.
void DMReportDocument_clear(QTextBrowser *view);

// Writes the rows not yet written and shows the whole report in the view at once (before its
// document is printed or saved as PDF: take the view's document after this call).
void DMReportDocument_finish(QTextBrowser *view);

// The body's whole document, every row written, as the view shows it in the end; no view needed
// (a report is printed or saved as PDF from this).
std::unique_ptr<QTextDocument> DMReportDocument_make(const DMReportBody &body);
