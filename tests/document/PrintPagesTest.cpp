// Every page prints whole, as the user sees it, read back by poppler: the lists and the items
// view's cards with every row and card once, as text and vectors; the report with every value
// of its header and headings whole; the project's title as the PDF's and the export's name; the
// web export that cannot go anywhere says so before anything is made; every save and open panel of
// a document opens beside it; and a document closed in the middle of a composition leaves nothing
// behind.
#include "PrintTestSupport.h"

#include "DMPrintPanelController.h"
#include "DMPrintedOutline.h"
#include "DMProjectDocumentItemsView.h"
#include "DMProjectDocumentPrint.h"
#include "DMProjectDocumentUICallbacks.h"
#include "DMProjectEvent.h"
#include "DMProjectItemsOutlineViewDS.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMProjectResourceEditorController.h"
#include "DMProjectResourcesOutlineViewDS.h"
#include "DMProjectTask.h"
#include "DMReportPage.h"
#include "DMUIProjectItem.h"
#include "DMUIProjectTaskInspectorController.h"
#include "DMWebExport.h"
#include "PrintViewTestSupport.h"

#include <QCheckBox>
#include <QDir>
#include <QPageSize>
#include <QPointer>
#include <QTimer>

using namespace halcyra::test;
using namespace printtest;

namespace {

constexpr int kTasks = 300;
constexpr int kResources = 60;
constexpr int kEvents = 40;

QString taskTitle(int n)
{
    return QStringLiteral("Task %1").arg(n, 3, 10, QLatin1Char('0'));
}
QString resourceName(int n)
{
    return QStringLiteral("Person %1").arg(n, 2, 10, QLatin1Char('0'));
}
QString eventTitle(int n)
{
    return QStringLiteral("Event %1").arg(n, 2, 10, QLatin1Char('0'));
}

class PrintPagesTest : public PrintTestBase
{
protected:
    void SetUp() override
    {
        PrintTestBase::SetUp();
        DMPrintInfo::sharedPrintInfo().pageLayout =
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(36, 36, 36, 36), QPageLayout::Point);
    }

    // 300 tasks, a day each, at the top level; 60 resources; 40 events.
    static std::shared_ptr<DMProject> makeProject()
    {
        auto project = DMProject::create();
        project->beginLoading();
        project->setTitle(QStringLiteral("Harbour 2024"));
        project->setBeginDate(at(2024, 3, 4, 8));
        project->setEndDate(at(2024, 12, 31, 18));
        project->setAttribute(kDMProject_ViewMode, 0);
        project->setAttribute(kDMProject_Settings_Budget, 125000.5);
        for (int n = 1; n <= kTasks; ++n) {
            const DMDate day = at(2024, 3, 4, 8).dateByAddingSeconds(qint64(n % 200) * 86400);
            project->tasks().append(makeItem<DMProjectTask>(project, taskTitle(n), day, day.dateByAddingSeconds(10 * 3600)));
        }
        for (int n = 1; n <= kResources; ++n) {
            auto resource = std::make_shared<DMProjectResource>();
            resource->setProject(project);
            resource->setName(resourceName(n));
            project->resources().append(resource);
        }
        for (int n = 1; n <= kEvents; ++n) {
            const DMDate day = at(2024, 3, 4, 9).dateByAddingSeconds(qint64(n) * 86400);
            project->eventContainer()->events().append(
                makeItem<DMProjectEvent>(project, eventTitle(n), day, day.dateByAddingSeconds(3600)));
        }
        project->endLoading();
        return project;
    }

    // Prints the page shown; the PDF's path.
    QString printPage(int tag)
    {
        document->showPageWithTag(tag);
        runUntilIdle();
        QFile::remove(panels.outputPath);
        document->print()->printDocument();
        return panels.outputPath;
    }
    DMPrintPanelController *panel() { return document->print()->printPanelController().get(); }
    bool waitForPanel()
    {
        return waitFor([&] { return !panel()->isCompositionPending() && !panel()->isComposing(); }, 60000);
    }
};

// The rightmost point drawn on a page image, in points.
int rightmostInk(const QImage &page)
{
    for (int x = page.width() - 1; x >= 0; --x)
        for (int y = 0; y < page.height(); ++y)
            if (qGray(page.pixel(x, y)) < 240)
                return x;
    return -1;
}

TEST_F(PrintPagesTest, ListsAndCardsPrintEveryRowAndCardOnceAsVectorsWithoutTheWindowsScrollBar)
{
    document = documentWithProject(makeProject());
    showWindow(document, QSize(1100, 700));
    struct Page
    {
        const char *what;
        int tag;
        int count;
        std::function<QString(int)> name;
    };
    const Page pages[] = {{"task list", 17, kTasks, taskTitle},
                          {"resource list", 18, kResources, resourceName},
                          {"event list", 6, kEvents, eventTitle},
                          {"resource cards", 1, kResources, resourceName}};
    for (const Page &page : pages) {
        SCOPED_TRACE(page.what);
        const QString pdf = printPage(page.tag);
        ASSERT_GE(pdfPageCount(pdf), 1);
        const QString text = pdfText(pdf);
        for (int n = 1; n <= page.count; ++n)
            ASSERT_EQ(text.count(page.name(n)), 1) << qPrintable(page.name(n));
        EXPECT_TRUE(ui.alerts.isEmpty());
    }

    // The task list: several pages of text and lines, no picture of the window, and nothing
    // beside its columns (where the window's scroll bar stood).
    const QString pdf = printPage(17);
    const int pageCount = pdfPageCount(pdf);
    EXPECT_GE(pageCount, 3);
    EXPECT_EQ(pdfImageCount(pdf), 0);
    const double width = DMPrintedOutline(document->projectItemsOutlineViewDS()->outlineView(),
                                          DMPrintedOutline::WithTitles).size().width() * 0.75;
    const double printedRight = 36 + std::min(width, 595.0 - 72);
    for (int page = 1; page <= pageCount; ++page)
        EXPECT_LE(rightmostInk(pdfPageImage(pdf, page)), printedRight + 2) << page;
    // Pages end between rows: the last row is on the last page, each row whole once.
    EXPECT_TRUE(pdfText(pdf, pageCount).contains(taskTitle(kTasks)));
}

TEST_F(PrintPagesTest, ReportKeepsEveryHeaderValueAndBreaksHeadingsBetweenWordsOnly)
{
    document = documentWithProject(makeProject());
    showWindow(document, QSize(1100, 700));
    document->showPageWithTag(DMPage::GlobalReportPage);
    auto *reportPage = qobject_cast<DMReportPage *>(document->outlets().reportContainerView.data());
    ASSERT_NE(reportPage, nullptr);
    reportPage->reportShowCostCheckbox()->setChecked(true);
    reportPage->reportShowCompletionCheckbox()->setChecked(true);
    runUntilIdle();
    ui.savePanelPath = path(QStringLiteral("report.pdf"));
    document->print()->exportToImage(DMProjectDocumentPrint::PDFExportTag);
    const QString printed = printPage(DMPage::GlobalReportPage);
    for (const QString &pdf : {path(QStringLiteral("report.pdf")), printed}) {
        SCOPED_TRACE(pdf.toStdString());
        const auto words = pdfWords(pdf, 1);
        QStringList texts;
        for (const auto &word : words)
            texts.append(word.first);
        // The word just right of a label on its line.
        const auto valueBeside = [&](const QString &label) {
            const qsizetype at = texts.indexOf(label);
            QString value;
            double nearest = 1e9;
            for (qsizetype i = 0; at >= 0 && i < words.size(); ++i) {
                const QRectF &box = words.at(i).second;
                const QRectF &labelBox = words.at(at).second;
                const double gap = box.left() - labelBox.right();
                if (std::abs(box.center().y() - labelBox.center().y()) < 2 && gap > 0 && gap < nearest) {
                    nearest = gap;
                    value = words.at(i).first;
                }
            }
            return value;
        };
        // Nothing is spent: what is left is the whole budget, shown beside "Left:" as on screen.
        EXPECT_FALSE(valueBeside(QStringLiteral("Budget:")).isEmpty());
        EXPECT_EQ(valueBeside(QStringLiteral("Left:")), valueBeside(QStringLiteral("Budget:")));
        for (const QString &heading : {QStringLiteral("Duration"), QStringLiteral("Completion"), QStringLiteral("Tasks")})
            EXPECT_TRUE(texts.contains(heading)) << qPrintable(heading);
        // Every word within the page.
        for (const auto &word : words)
            EXPECT_LE(word.second.right(), 595.3) << qPrintable(word.first);
    }
}

TEST_F(PrintPagesTest, PdfTitleAndProposedFileNameAreTheProjectsTitleForAnUnsavedPlan)
{
    document = shownDocumentWith({QStringLiteral("Survey"), QStringLiteral("Resurface")});
    document->project()->setTitle(QStringLiteral("Quay works"));
    ASSERT_TRUE(document->fileURL().isEmpty());

    // The Gantt page exported as PDF, then printed.
    document->showPageWithTag(DMPage::GanttPage);
    ui.savePanelPath = path(QStringLiteral("export.pdf"));
    document->print()->exportToImage(DMProjectDocumentPrint::PDFExportTag);
    ASSERT_TRUE(waitForPanel());
    panel()->print();
    ASSERT_TRUE(waitForPanel());
    ASSERT_FALSE(ui.savePanels.isEmpty());
    EXPECT_EQ(ui.savePanels.last().proposedName, QStringLiteral("Quay works.pdf"));
    EXPECT_EQ(pdfTitle(path(QStringLiteral("export.pdf"))), QStringLiteral("Quay works"));

    panel()->setImageExport(false);
    QFile::remove(panels.outputPath);
    document->print()->printDocument();
    ASSERT_TRUE(waitForPanel());
    panel()->print();
    ASSERT_TRUE(waitForPanel());
    EXPECT_EQ(pdfTitle(panels.outputPath), QStringLiteral("Quay works"));
    panel()->close();

    // The report and a list.
    document->showPageWithTag(DMPage::GlobalReportPage);
    runUntilIdle();
    ui.savePanelPath = path(QStringLiteral("report.pdf"));
    document->print()->exportToImage(DMProjectDocumentPrint::PDFExportTag);
    EXPECT_EQ(ui.savePanels.last().proposedName, QStringLiteral("Quay works.pdf"));
    EXPECT_EQ(pdfTitle(path(QStringLiteral("report.pdf"))), QStringLiteral("Quay works"));
    EXPECT_EQ(pdfTitle(printPage(17)), QStringLiteral("Quay works"));
}

TEST_F(PrintPagesTest, EveryPanelOpensBesideTheDocument)
{
    document = shownDocumentWith({QStringLiteral("Survey")});
    const auto project = document->project();
    auto ann = std::make_shared<DMProjectResource>();
    ann->setProject(project);
    ann->setName(QStringLiteral("Ann"));
    project->resources().append(ann);
    const auto survey = std::dynamic_pointer_cast<DMProjectViewObject>(project->tasks().first()->ganttUIObject());
    ASSERT_TRUE(survey);

    // Every panel is cancelled: nothing is written or read.
    const auto runEveryPanel = [&] {
        ui.savePanels.clear();
        ui.openPanels.clear();
        DMProjectDocumentUICallbacks *commands = document->uiCallbacks();
        commands->exportToCSV();
        commands->exportToICalendar();
        commands->exportToMSProjectXML();
        commands->exportToFerrix();
        commands->importFromFerrix();
        // The chart's PDF and JPEG exports through the print panel, and the report's PDF.
        document->showPageWithTag(DMPage::GanttPage);
        for (const int tag : {DMProjectDocumentPrint::PDFExportTag, DMProjectDocumentPrint::JPEGExportTag}) {
            document->print()->exportToImage(tag);
            ASSERT_TRUE(waitForPanel());
            panel()->print();
            ASSERT_TRUE(waitForPanel());
            panel()->close();
        }
        document->showPageWithTag(DMPage::GlobalReportPage);
        runUntilIdle();
        document->print()->exportToImage(DMProjectDocumentPrint::PDFExportTag);
        document->outlets().daysOffSettingsController->daysOffExport();
        document->outlets().daysOffSettingsController->daysOffImport();
        document->projectResourcesOutlineViewDS()->itemsViewResourcesExport();
        document->projectResourcesOutlineViewDS()->itemsViewResourcesImport();
        // Files attached on the documents page and in the task inspector; a resource's icon and vCard.
        document->showPageWithTag(DMPage::DocumentsPage);
        document->itemsView()->itemsViewNew();
        document->showPageWithTag(DMPage::GanttPage);
        survey->editInView(document->projectView());
        DMUIProjectTaskInspectorController::sharedInstance()->documentsAddButton()->click();
        DMUIProjectTaskInspectorController::sharedInstance()->editObject(nullptr);
        DMProjectResourceEditorController *resourceEditor = DMProjectResourceEditorController::sharedInstance();
        resourceEditor->setEditedObject(ann);
        resourceEditor->chooseIcon();
        resourceEditor->chooseVCard();
        resourceEditor->setEditedObject(nullptr);
        QStringList titles;
        for (const DMModalUI::FilePanel &panel : ui.savePanels + ui.openPanels)
            titles.append(panel.title + QLatin1Char('/') + panel.allowedExtensions.join(QLatin1Char(',')));
        ASSERT_EQ(ui.savePanels.size(), 9) << titles.join(QStringLiteral("; ")).toStdString();
        ASSERT_EQ(ui.openPanels.size(), 7) << titles.join(QStringLiteral("; ")).toStdString();
    };
    const auto expectEveryPanelIn = [&](const QString &folder) {
        for (const DMModalUI::FilePanel &panel : ui.savePanels + ui.openPanels)
            EXPECT_EQ(panel.directory, folder) << (panel.title + QLatin1Char('/') + panel.allowedExtensions.join(QLatin1Char(','))).toStdString();
    };

    // Never saved: the home folder.
    runEveryPanel();
    expectEveryPanelIn(QDir::homePath());
    // Saved: its own folder.
    const QString plans = path(QStringLiteral("Plans"));
    QDir().mkpath(plans);
    document->setFileURL(plans + QStringLiteral("/Harbour.hy2"));
    runEveryPanel();
    expectEveryPanelIn(plans);
}

TEST_F(PrintPagesTest, WebExportWithNowhereToGoSaysSoBeforeAnyPageIsMade)
{
    document = shownDocumentWith({QStringLiteral("Survey")});
    document->showPageWithTag(DMPage::GanttPage);
    document->print()->exportToImage(DMProjectDocumentPrint::WebExportTag);
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(ui.alerts.first().informativeText,
              QStringLiteral("No online viewer address is set for the web export, and no FTP server either."));
    EXPECT_FALSE(panel()->isOnScreen());
    EXPECT_FALSE(panel()->isCompositionPending());

    // With a viewer set, the panel opens to send the page there.
    DMUserDefaults::standardUserDefaults().setObjectForKey(QStringLiteral("http://127.0.0.1:9/viewprojects"),
                                                           kDMHalcyra_WebExportViewerURL);
    document->print()->exportToImage(DMProjectDocumentPrint::WebExportTag);
    EXPECT_TRUE(panel()->isOnScreen());
    EXPECT_TRUE(panel()->internetExport());
    EXPECT_EQ(ui.alerts.size(), 1);
}

TEST_F(PrintPagesTest, ClosingTheDocumentDuringACompositionLeavesNothingBehind)
{
    std::weak_ptr<DMProjectDocument> weak;
    {
        auto shown = DMDocumentController::sharedDocumentController().newDocument(false);
        const auto project = shown->project();
        for (int n = 1; n <= kTasks; ++n)
            project->tasks().append(makeItem<DMProjectTask>(project, taskTitle(n), at(2024, 1, 8, 8), at(2024, 1, 9, 18)));
        settle(shown);
        showWindow(shown, QSize(1100, 700));
        shown->showPageWithTag(DMPage::GanttPage);
        weak = shown;
    }
    QPointer<DMPrintPanelController> composing = weak.lock()->print()->printPanelController().get();
    bool closed = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (!closed && composing && composing->isComposing() && composing->progress() > 0) {
            closed = true;
            weak.lock()->close();
        }
    });
    closer.start(0);
    weak.lock()->print()->printDocument();
    ASSERT_TRUE(waitFor([&] { return closed; }, 60000));
    EXPECT_TRUE(waitFor([&] { return weak.expired(); }));
    EXPECT_TRUE(composing.isNull());
    EXPECT_EQ(panels.printPanels, 0);
    EXPECT_TRUE(ui.alerts.isEmpty());
}

} // namespace
