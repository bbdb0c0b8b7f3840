// The output in the document window: the View menu's report tags show the report area with
// its report; the File menu's export and import items reach their commands.
#include "DocumentTestSupport.h"

#include "DMProjectDocumentReport.h"
#include "DMProjectDocumentUICallbacks.h"
#include "DMProjectDocumentSourceListOutlineDS.h"
#include "DMProjectResource.h"
#include "DMReportPage.h"

#include <QAbstractTextDocumentLayout>
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
#include <QProgressBar>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTextBrowser>
#include <QWheelEvent>

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

// The global report of an office move, short enough to be written at once and long enough to be
// written in parts on the event loop: the wheel, Page Down and the thumb dragged to the bottom
// each reach its last row, and the thumb is as long as the view is of the report.
TEST_F(OutputPagesAndMenusTest, TheGlobalReportScrollsOverItsWholeContent)
{
    QStringList titles;
    for (int n = 1; n <= 12; ++n)
        titles.append(QStringLiteral("Move step %1").arg(n));
    auto document = shownDocumentWith(titles, QSize(1000, 600));
    const auto project = document->project();
    auto staff = makeResource(project, QStringLiteral("Staff"), DMProjectResource::Group);
    project->resources().append(staff);
    for (const char *name : {"Ada", "Ben", "Cleo", "Dan", "Eve", "Frank", "Gina", "Hugo"})
        staff->subitems().append(makeResource(project, QString::fromLatin1(name)));
    auto *page = qobject_cast<DMReportPage *>(document->outlets().reportContainerView.data());
    QTextBrowser *view = page->reportWebView();
    QScrollBar *bar = view->verticalScrollBar();
    const auto chooseGlobal = [&] {
        choose(document, DMPage::GlobalReportPage);
        ASSERT_TRUE(waitFor([page] { return page->reportProgressIndicator()->isHidden(); }, 20000));
    };
    // How far the view shows: the place in the report at its bottom line.
    const auto shownTo = [view] { return view->cursorForPosition(QPoint(40, view->viewport()->height() - 8)).position(); };
    const auto scrollsToTheEnd = [&](const char *what) {
        SCOPED_TRACE(what);
        const int height = qCeil(view->document()->documentLayout()->documentSize().height());
        ASSERT_TRUE(waitFor([&] { return bar->maximum() + bar->pageStep() == height; }))
            << bar->maximum() << " + " << bar->pageStep() << " for " << height;
        // The wheel, until it moves the view no more.
        bar->setValue(0);
        for (int last = -1; last != bar->value();) {
            last = bar->value();
            const QPointF at = view->viewport()->rect().center();
            QWheelEvent wheel(at, view->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view->viewport(), &wheel);
        }
        EXPECT_EQ(bar->value(), bar->maximum());
        EXPECT_GT(shownTo(), view->document()->find(QStringLiteral("Hugo")).position()) << "the last resource's row";
        const int end = shownTo();
        // Page Down from the top.
        bar->setValue(0);
        view->setFocus();
        for (int n = 0; n * bar->pageStep() < height; ++n)
            QTest::keyClick(view, Qt::Key_PageDown);
        EXPECT_EQ(bar->value(), bar->maximum());
        // The thumb dragged to the bottom of its track.
        bar->setValue(0);
        QStyleOptionSlider option;
        option.initFrom(bar);
        option.orientation = Qt::Vertical;
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.sliderPosition = bar->value();
        option.sliderValue = bar->value();
        option.pageStep = bar->pageStep();
        option.singleStep = bar->singleStep();
        const QRect thumb = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
        const QRect track = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarGroove, bar);
        EXPECT_NEAR(double(thumb.height()) / track.height(), double(bar->pageStep()) / height, 0.05);
        QTest::mousePress(bar, Qt::LeftButton, {}, thumb.center());
        QTest::mouseMove(bar, QPoint(thumb.center().x(), bar->height() + 50));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(thumb.center().x(), bar->height() + 50));
        EXPECT_EQ(bar->value(), bar->maximum());
        EXPECT_EQ(shownTo(), end);
    };

    chooseGlobal();
    scrollsToTheEnd("written at once");
    for (int n = 1; n <= 300; ++n)
        project->tasks().append(makeItem<DMProjectTask>(project, QStringLiteral("Box %1").arg(n), at(2024, 1, 10, 8), at(2024, 1, 10, 18)));
    document->showPageWithTag(DMPage::GanttPage);
    chooseGlobal();
    scrollsToTheEnd("written in parts");
}

// The global report of a small move, whole in its view: a page first shown at its real size,
// and the window then resized (shorter, so that the report scrolls, and back, wider and taller),
// leave the scroll bars to the report as laid out at the view's width, with no room beyond it
// and thumbs as long as the view is of the report.
TEST_F(OutputPagesAndMenusTest, TheGlobalReportScrollsOverItsContentAtEveryWidthOfTheView)
{
    auto document = shownDocumentWith({QStringLiteral("Pack boxes"), QStringLiteral("Move desks")}, QSize(900, 1000));
    const auto project = document->project();
    for (const char *name : {"Ada", "Ben", "Cleo"})
        project->resources().append(makeResource(project, QString::fromLatin1(name)));
    auto *page = qobject_cast<DMReportPage *>(document->outlets().reportContainerView.data());
    QTextBrowser *view = page->reportWebView();
    choose(document, DMPage::GlobalReportPage);
    ASSERT_TRUE(page->isVisible());
    const auto scrollsOverTheReport = [view](const char *what) {
        SCOPED_TRACE(what);
        finishEventLoopTurn();
        const QSize report = view->document()->documentLayout()->documentSize().toSize();
        const QSize shown = view->viewport()->size();
        for (const auto &[bar, length, room] : {std::tuple{view->verticalScrollBar(), report.height(), shown.height()},
                                                std::tuple{view->horizontalScrollBar(), report.width(), shown.width()}}) {
            EXPECT_TRUE(waitFor([&] { return bar->maximum() == std::max(0, length - room) && bar->pageStep() == room; }))
                << (bar->orientation() == Qt::Vertical ? "vertical " : "horizontal ") << bar->maximum() << " + "
                << bar->pageStep() << " for " << length << " in " << room;
        }
    };
    scrollsOverTheReport("first shown");
    ASSERT_LT(view->document()->size().height(), view->viewport()->height()) << "the report is whole in its view";
    document->mainWindow()->resize(900, 500);
    scrollsOverTheReport("shorter");
    document->mainWindow()->resize(960, 1000);
    scrollsOverTheReport("wider and taller");
    document->mainWindow()->resize(860, 1000);
    scrollsOverTheReport("narrower");
}
