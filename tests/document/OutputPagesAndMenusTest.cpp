// The output in the document window: the View menu's report tags show the report area with
// its report; the File menu's export and import items reach their commands.
#include "DocumentTestSupport.h"

#include "DMProjectDocumentReport.h"
#include "DMProjectDocumentUICallbacks.h"
#include "DMReportPage.h"

#include <QAction>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QStandardPaths>
#include <QStackedWidget>
#include <QTextBrowser>

using namespace halcyra::test;

namespace {

using OutputPagesAndMenusTest = DocumentTestBase;

TEST_F(OutputPagesAndMenusTest, ViewMenuTagsShowTheReportArea)
{
    FullProject full = makeFullProject();
    auto document = documentWithProject(full.project);
    document->makeWindowControllers();
    auto *content = qobject_cast<QStackedWidget *>(document->outlets().topLevelContentSplitSubview.data());
    ASSERT_NE(content, nullptr);
    auto *page = qobject_cast<DMReportPage *>(document->outlets().reportContainerView.data());
    ASSERT_NE(page, nullptr);

    document->viewMenuCallback(3002003); // global report
    EXPECT_EQ(content->currentWidget(), page);
    EXPECT_TRUE(page->reportWebView()->toPlainText().contains(QStringLiteral("Bridge renovation")));

    document->viewMenuCallback(3002004); // tasks by resource: the pickers take the effective span
    const QVariantMap span = document->effectiveProjectTimeSpan();
    EXPECT_EQ(DMDate::dateWithNSDate(page->tasksByResourceReportBeginDatePicker()->dateTime()),
              span.value(kDMTimeSpanBegin).value<DMDate>());
    EXPECT_EQ(DMDate::dateWithNSDate(page->tasksByResourceReportEndDatePicker()->dateTime()),
              span.value(kDMTimeSpanEnd).value<DMDate>());
    EXPECT_GT(page->tasksByResourceReportPopUpButton()->count(), 0);
    EXPECT_EQ(document->report()->tasksByResourceReportMode(), 1);
}

TEST_F(OutputPagesAndMenusTest, FileMenuExportsAndImports)
{
    FullProject full = makeFullProject();
    auto document = documentWithProject(full.project);
    document->makeWindowControllers();
    QMainWindow *window = document->mainWindow();
    for (const char *title : {"CSV...", "iCalendar...", "Selected Items to Calendar", "MS Project XML...", "To-Do List..."}) {
        QAction *action = menuAction(window, {QStringLiteral("File"), QStringLiteral("Export"), QLatin1String(title)});
        ASSERT_NE(action, nullptr) << title;
        EXPECT_TRUE(action->isEnabled());
    }
    ui.savePanelPath = path(QStringLiteral("Bridge"));
    menuAction(window, {QStringLiteral("File"), QStringLiteral("Export"), QStringLiteral("CSV...")})->trigger();
    QFile csv(path(QStringLiteral("Bridge.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_TRUE(csv.readAll().contains("\"Survey\""));

    menuAction(window, {QStringLiteral("File"), QStringLiteral("Export"), QStringLiteral("To-Do List...")})->trigger();
    const qsizetype todos = full.project->todoContainer()->todos().size();
    ui.openPanelPaths = {path(QStringLiteral("Bridge.del"))};
    menuAction(window, {QStringLiteral("File"), QStringLiteral("Import To-Do List...")})->trigger();
    EXPECT_EQ(full.project->todoContainer()->todos().size(), 2 * todos);
    EXPECT_TRUE(ui.alerts.isEmpty());
}

// The CSV file as a spreadsheet reads it: rows end with CR LF and amounts are plain numbers
// after the unit, whatever the user's locale.
TEST_F(OutputPagesAndMenusTest, CSVAmountsAreNumbersASpreadsheetReads)
{
    FullProject full = makeFullProject();
    full.project->setAttribute(kDMProject_Settings_CurrencyUnit, QStringLiteral("EUR"));
    full.task1->setAttribute(kDMProjectItem_CostKind, 0);
    full.task1->setAttribute(kDMProjectItem_Cost, 4050.5);
    auto document = documentWithProject(full.project);
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QByteArray bytes = document->uiCallbacks()->csvText().toUtf8();
    QLocale::setDefault(before);
    const QString path = this->path(QStringLiteral("plan.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    QProcess python;
    python.start(QStandardPaths::findExecutable(QStringLiteral("python3")),
                 {QStringLiteral("-c"), QStringLiteral("import csv, sys\n"
                                                       "for row in csv.reader(open(sys.argv[1], newline='', encoding='utf-8')):\n"
                                                       "    if len(row) == 8 and row[4].startswith('EUR '):\n"
                                                       "        print(row[0] + '=' + repr(float(row[4][4:])))\n"),
                  path});
    ASSERT_TRUE(python.waitForFinished(30000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    const QStringList amounts = QString::fromUtf8(python.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // Its own 4050.50 and its resources' 4500.
    EXPECT_TRUE(amounts.contains(full.task1->title() + QStringLiteral("=8550.5"))) << amounts.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(bytes.endsWith("\r\n"));
}

} // namespace
