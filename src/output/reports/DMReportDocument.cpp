#include "DMReportDocument.h"

#include "DMReportBody.h"

#include <QAbstractTextDocumentLayout>
#include <QHash>
#include <QPointer>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QTimer>

#include <limits>
#include <memory>

namespace {

// Stands for a run of rows in the markup that is read as HTML: private-use characters in a
// paragraph of its own (every text of the user's sits in a table cell).
const QString kRowsMarker = QStringLiteral("\uE000rows\uE000");

// A table as the HTML reader made it: its formats and its cells, each cell's first block, and a
// table nested in a cell with the block after it.
struct TablePattern;
struct CellPattern
{
    int row = 0;
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 1;
    QTextBlockFormat blockFormat;
    QTextCharFormat blockCharFormat;
    QTextCharFormat textFormat;
    QString text;
    std::shared_ptr<TablePattern> nested;
    QTextBlockFormat afterNestedBlockFormat;
    QTextCharFormat afterNestedCharFormat;
};
struct TablePattern
{
    QTextTableFormat format;
    int rows = 0;
    int columns = 0;
    QList<CellPattern> cells; // in reading order, row by row
};

std::shared_ptr<TablePattern> readTable(QTextTable *table)
{
    auto pattern = std::make_shared<TablePattern>();
    pattern->format = table->format();
    pattern->rows = table->rows();
    pattern->columns = table->columns();
    for (int r = 0; r < table->rows(); ++r) {
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.row() != r || cell.column() != c)
                continue; // covered by a spanning cell
            CellPattern read;
            read.row = r;
            read.column = c;
            read.rowSpan = cell.rowSpan();
            read.columnSpan = cell.columnSpan();
            bool first = true;
            for (auto it = cell.begin(); !it.atEnd(); ++it) {
                if (QTextFrame *frame = it.currentFrame()) {
                    if (auto *nested = qobject_cast<QTextTable *>(frame))
                        read.nested = readTable(nested);
                    continue;
                }
                const QTextBlock block = it.currentBlock();
                if (first) {
                    read.blockFormat = block.blockFormat();
                    read.blockCharFormat = block.charFormat();
                    read.text = block.text();
                    read.textFormat = block.begin().atEnd() ? block.charFormat() : block.begin().fragment().charFormat();
                    first = false;
                } else if (read.nested) {
                    read.afterNestedBlockFormat = block.blockFormat();
                    read.afterNestedCharFormat = block.charFormat();
                }
            }
            pattern->cells.append(read);
        }
    }
    return pattern;
}

// A text as the HTML reader shows it: white space at the start dropped, every other run of it
// one space.
QString shownText(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    bool dropSpace = true;
    for (const QChar c : text) {
        if (c.isSpace() && c != QChar::Nbsp && c != QChar::ParagraphSeparator) {
            if (dropSpace)
                continue;
            shown += QLatin1Char(' ');
            dropSpace = true;
        } else {
            shown += c;
            dropSpace = false;
        }
    }
    return shown;
}

DMReportBar barStyle(DMReportRowForm form)
{
    switch (form) {
    case DMReportRowForm::GroupedTask:
        return DMReportBar::StripedTaskRow;
    case DMReportRowForm::Resource:
        return DMReportBar::Striped;
    case DMReportRowForm::GlobalTask:
        break;
    }
    return DMReportBar::Global;
}

// Rows of one kind share their formats: the same form, parity and form of bar.
QString kindOf(const DMReportTaskRow &row, const DMReportColumns &columns)
{
    QString kind = QStringLiteral("%1/%2").arg(int(row.form)).arg(row.row % 2);
    if (columns.showCompletion) {
        const DMReportBarLook bar = DMReport_progressBarLook(row.percent, barStyle(row.form));
        kind += QStringLiteral("/%1/%2/%3/%4").arg(bar.bare).arg(bar.filled).arg(bar.colour, bar.align);
    }
    return kind;
}

// The texts of a row's cells in reading order (the completion cell, then its bar's cells); a null
// text keeps the text of the pattern (the labels).
QStringList cellTexts(const DMReportTaskRow &row, const DMReportColumns &columns)
{
    const auto value = [](const QString &text) { return text.isNull() ? QStringLiteral("") : shownText(text); };
    // Notes keep their line breaks, as "<br/>" keeps them in the markup: each line as the reader
    // shows it, the lines joined by line separators.
    const auto lines = [&value](QString text) {
        text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        if (!text.contains(QLatin1Char('\n')))
            return value(text);
        QStringList shown;
        for (const QString &line : text.split(QLatin1Char('\n')))
            shown.append(value(line));
        return shown.join(QChar::LineSeparator);
    };
    const QString lineText = row.form == DMReportRowForm::GroupedTask ? lines(row.lineText) : value(row.lineText);
    QStringList completion{QStringLiteral("")};
    if (columns.showCompletion) {
        const DMReportBarLook look = DMReport_progressBarLook(row.percent, barStyle(row.form));
        completion.append(QStringLiteral("%1%").arg(row.percent));
        if (!look.bare && !look.filled)
            completion.append(QStringLiteral(""));
    }
    if (row.form == DMReportRowForm::Resource)
        return QStringList{value(row.title), value(row.beginText), value(row.durationText), value(row.costText)} + completion
            + QStringList{QStringLiteral(""), QString(), lineText};
    return QStringList{value(row.title), value(row.beginText), value(row.endText), value(row.durationText), value(row.costText)}
        + completion + QStringList{value(row.floatText), QString(), lineText};
}

// Writes a table of the pattern at the cursor, its cells taking the texts in turn; the cursor
// ends in the block after the table. A table nested in a cell (the bar) is barWidth percent wide
// in its first column.
void writeTable(QTextCursor &cursor, const TablePattern &pattern, const QTextTableFormat &format, const QStringList &texts,
                int *next, double barWidth)
{
    QTextTable *table = cursor.insertTable(pattern.rows, pattern.columns, format);
    for (const CellPattern &cell : pattern.cells)
        if (cell.rowSpan > 1 || cell.columnSpan > 1)
            table->mergeCells(cell.row, cell.column, cell.rowSpan, cell.columnSpan);
    for (const CellPattern &cell : pattern.cells) {
        // The character format of a cell's first block is the cell's format (its padding and
        // background).
        QTextCursor at = table->cellAt(cell.row, cell.column).firstCursorPosition();
        at.setBlockFormat(cell.blockFormat);
        at.setBlockCharFormat(cell.blockCharFormat);
        const QString text = texts.value((*next)++);
        at.insertText(text.isNull() ? cell.text : text, cell.textFormat);
        if (cell.nested) {
            QTextTableFormat barFormat = cell.nested->format;
            QList<QTextLength> widths = barFormat.columnWidthConstraints();
            if (barWidth > 0.0 && !widths.isEmpty()
                && widths.first().type() == QTextLength::PercentageLength) {
                widths.first() = QTextLength(QTextLength::PercentageLength, barWidth);
                barFormat.setColumnWidthConstraints(widths);
            }
            writeTable(at, *cell.nested, barFormat, texts, next, 0.0);
            at.setBlockFormat(cell.afterNestedBlockFormat);
            at.setBlockCharFormat(cell.afterNestedCharFormat);
        }
    }
    cursor = table->lastCursorPosition();
    cursor.movePosition(QTextCursor::NextBlock);
}

// The patterns of the kinds of rows in the body, read from the markup of one row of each kind.
QHash<QString, std::shared_ptr<TablePattern>> readPatterns(const DMReportBody &body)
{
    QStringList kinds;
    QString markup = DMReport_mainTableOpening();
    for (const DMReportBody::Part &part : body.parts()) {
        for (const DMReportTaskRow &row : part.rows) {
            const QString kind = kindOf(row, body.columns());
            if (kinds.contains(kind))
                continue;
            kinds.append(kind);
            // Every cell with a text, so that every cell shows the format of its text.
            DMReportTaskRow sample = row;
            for (QString *text : {&sample.title, &sample.beginText, &sample.endText, &sample.durationText,
                                  &sample.costText, &sample.floatText, &sample.lineText})
                *text = QStringLiteral("x");
            markup += DMReport_rowMarkup(sample, body.columns());
        }
    }
    markup += DMReport_mainTableClosing();
    QTextDocument samples;
    samples.setHtml(DMReport_pageWithBody(DMReport_templateText(), markup, body.columns()));
    QHash<QString, std::shared_ptr<TablePattern>> patterns;
    int index = 0;
    for (auto it = samples.rootFrame()->begin(); !it.atEnd() && index < kinds.size(); ++it)
        if (auto *table = qobject_cast<QTextTable *>(it.currentFrame()))
            patterns.insert(kinds.at(index++), readTable(table));
    return patterns;
}

// Writes the rows of a body into its document, so many at a time, each run of rows where its
// marker stood. A child of the document: the rows not yet written go with it.
class RowWriter : public QObject
{
public:
    RowWriter(QTextDocument *document, const DMReportBody &body)
        : QObject(document), m_body(body), m_patterns(readPatterns(body))
    {
        for (auto it = document->rootFrame()->begin(); !it.atEnd(); ++it) {
            if (it.currentFrame() || it.currentBlock().text() != kRowsMarker)
                continue;
            // The marker's paragraph becomes the empty blocks between the rows' tables.
            QTextCursor cursor(it.currentBlock());
            cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            cursor.setBlockFormat(QTextBlockFormat());
            cursor.setBlockCharFormat(QTextCharFormat());
            m_cursors.append(cursor);
        }
    }

    std::function<void(int written, int total)> progress;

    // Writes up to count rows; true when every row is written.
    bool writeRows(int count)
    {
        const QList<DMReportBody::Part> &parts = m_body.parts();
        QTextCursor edit(static_cast<QTextDocument *>(parent()));
        edit.beginEditBlock();
        for (; count > 0 && m_part < parts.size(); ++m_part, m_row = 0) {
            const QList<DMReportTaskRow> &rows = parts.at(m_part).rows;
            if (rows.isEmpty())
                continue;
            if (m_run >= m_cursors.size())
                break;
            QTextCursor &cursor = m_cursors[m_run];
            for (; count > 0 && m_row < rows.size(); ++m_row, --count, ++m_written)
                writeRow(cursor, rows.at(m_row));
            if (m_row < rows.size())
                break;
            ++m_run;
        }
        edit.endEditBlock();
        const bool done = m_part >= parts.size() || m_run >= m_cursors.size();
        if (progress)
            progress(done ? m_body.rowCount() : m_written, m_body.rowCount());
        return done;
    }

private:
    void writeRow(QTextCursor &cursor, const DMReportTaskRow &row)
    {
        const auto pattern = m_patterns.value(kindOf(row, m_body.columns()));
        if (!pattern)
            return;
        int next = 0;
        const DMReportBarLook bar = DMReport_progressBarLook(row.percent, barStyle(row.form));
        writeTable(cursor, *pattern, pattern->format, cellTexts(row, m_body.columns()), &next, bar.bare ? 0.0 : bar.width);
    }

    const DMReportBody m_body;
    const QHash<QString, std::shared_ptr<TablePattern>> m_patterns;
    QList<QTextCursor> m_cursors; // one per run of rows, where its next row goes
    qsizetype m_part = 0;
    qsizetype m_row = 0;
    qsizetype m_run = 0;
    int m_written = 0;
};

// The document's child of the given class (null when none).
template <typename T>
T *childOf(QTextDocument *document)
{
    if (!document)
        return nullptr;
    for (QObject *child : document->children())
        if (auto *found = dynamic_cast<T *>(child))
            return found;
    return nullptr;
}

RowWriter *rowWriterOf(QTextDocument *document)
{
    return childOf<RowWriter>(document);
}

// The view takes the document; its previous one goes, with the rows it had still to write.
void replaceDocument(QTextBrowser *view, std::unique_ptr<QTextDocument> document)
{
    document->setParent(view);
    // The view deletes a previous document that is its child itself; one that is not stays.
    const QPointer<QTextDocument> previous = view->document();
    view->setDocument(document.release());
    if (previous && previous->parent() == view && previous != view->document())
        delete previous.data();
}

// Writes the rest of a long report into its whole document, and shows that in the view in place
// of the shown one, where the view was scrolled to. A child of the shown document: a report that
// replaces it before it is whole takes this with it.
class ReportCompleter : public QObject
{
public:
    ReportCompleter(QTextDocument *shown, QTextBrowser *view, std::unique_ptr<QTextDocument> whole)
        : QObject(shown), m_view(view), m_whole(std::move(whole))
    {
    }

    void setProgress(const std::function<void(int, int)> &progress)
    {
        if (RowWriter *writer = rowWriterOf(m_whole.get()))
            writer->progress = progress;
    }

    // Writes up to count more rows; the whole document is shown once every row is written.
    void writeRows(int count)
    {
        if (!m_whole)
            return;
        RowWriter *writer = rowWriterOf(m_whole.get());
        if (writer && !writer->writeRows(count))
            return;
        delete writer;
        showWhole();
    }

private:
    void showWhole()
    {
        auto *shown = static_cast<QTextDocument *>(parent());
        // The whole document begins as the shown one does: the same place has the same position.
        const int topPosition = m_view->cursorForPosition(QPoint(0, 0)).position();
        const int scrolled = m_view->verticalScrollBar()->value();
        // The shown document, and this with it, go once this call has returned.
        shown->setParent(nullptr);
        shown->deleteLater();
        QTextDocument *whole = m_whole.release();
        whole->setParent(m_view);
        m_view->setDocument(whole);
        if (scrolled > 0) {
            whole->documentLayout()->blockBoundingRect(whole->findBlock(topPosition));
            m_view->verticalScrollBar()->setValue(scrolled);
        }
    }

    QTextBrowser *m_view; // owns the shown document, and so this
    std::unique_ptr<QTextDocument> m_whole;
};

// The body's document with its first rows; a writer of the others stays its child.
std::unique_ptr<QTextDocument> makeDocument(const DMReportBody &body, int rowsNow)
{
    QString skeleton;
    for (const DMReportBody::Part &part : body.parts()) {
        skeleton += part.markup;
        if (!part.rows.isEmpty())
            skeleton += QStringLiteral("<p>%1</p>").arg(kRowsMarker);
    }
    auto document = std::make_unique<QTextDocument>();
    document->setUndoRedoEnabled(false);
    document->setHtml(DMReport_pageWithBody(DMReport_templateText(), skeleton, body.columns()));
    if (body.rowCount() == 0)
        return document;
    auto *writer = new RowWriter(document.get(), body);
    if (writer->writeRows(rowsNow))
        delete writer;
    return document;
}

} // namespace

void DMReportDocument_show(QTextBrowser *view, const DMReportBody &body, const std::function<void(int, int)> &progress)
{
    // The first screens at once; the whole report a part at a time while the window stays
    // responsive. The whole report is written into a document of its own that no view lays out
    // yet: rows written into the shown document would each be laid out as they come.
    constexpr int kRowsAtOnce = 200;
    constexpr int kRowsPerStep = 250;
    std::unique_ptr<QTextDocument> document = makeDocument(body, kRowsAtOnce);
    if (RowWriter *first = rowWriterOf(document.get())) {
        delete first;
        auto *completer = new ReportCompleter(document.get(), view, makeDocument(body, 0));
        completer->setProgress(progress);
        if (progress)
            progress(kRowsAtOnce, body.rowCount());
        auto *timer = new QTimer(completer);
        timer->setInterval(0);
        QObject::connect(timer, &QTimer::timeout, completer, [completer] { completer->writeRows(kRowsPerStep); });
        timer->start();
    }
    replaceDocument(view, std::move(document));
}

void DMReportDocument_clear(QTextBrowser *view)
{
    auto document = std::make_unique<QTextDocument>();
    document->setUndoRedoEnabled(false);
    replaceDocument(view, std::move(document));
}

void DMReportDocument_finish(QTextBrowser *view)
{
    if (ReportCompleter *completer = childOf<ReportCompleter>(view->document()))
        completer->writeRows(std::numeric_limits<int>::max());
}

std::unique_ptr<QTextDocument> DMReportDocument_make(const DMReportBody &body)
{
    return makeDocument(body, std::numeric_limits<int>::max());
}
