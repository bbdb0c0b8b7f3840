// One cost per task and per process wherever a shown document window shows it: the task list,
// the project outline (on screen and printed), the global report and the cards, on an office move
// costed from its people's rates with the cost kind new tasks get.
#include "PrintTestSupport.h"

#include "DMCollectionView.h"
#include "DMCurrencyFormatter.h"
#include "DMItemsViewProcessesItem.h"
#include "DMItemsViewTasksItem.h"
#include "DMPrintPanelController.h"
#include "DMProjectDocumentItemsView.h"
#include "DMProjectDocumentPrint.h"
#include "DMProjectItemsOutlineViewDS.h"
#include "DMProjectProcess.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMReportPage.h"
#include "PrintViewTestSupport.h"

#include <QLabel>
#include <QPageSize>
#include <QTextBrowser>

using namespace halcyra::test;

namespace {

class CostsAcrossViewsTest : public PrintTestBase
{
protected:
    void SetUp() override
    {
        PrintTestBase::SetUp();
        project = workingWeekProject();
        project->setTitle(QStringLiteral("Office move"));
        project->setBeginDate(at(2024, 1, 8, 8));
        project->setEndDate(at(2024, 1, 19, 18));
        project->setAttribute(kDMProject_Settings_CurrencyUnit, QStringLiteral("EUR"));
        project->setAttribute(kDMProject_ViewMode, 0);
        ann = person(QStringLiteral("Ann"), 45.0, kDMProjectResourceCostKind_Hourly);
        van = person(QStringLiteral("Van"), 640.0, kDMProjectResourceCostKind_Daily);
        bo = person(QStringLiteral("Bo"), 60.0, kDMProjectResourceCostKind_Hourly);
        // No task has a cost kind or a cost of its own but the network's fixed amount.
        pack = addTask(project, QStringLiteral("Pack"), at(2024, 1, 8, 8), at(2024, 1, 9, 18));
        move = addTask(project, QStringLiteral("Move"), at(2024, 1, 10, 8), at(2024, 1, 10, 18));
        settleIn = addTask<DMProjectProcess>(project, QStringLiteral("Settle in"), at(2024, 1, 11, 8), at(2024, 1, 12, 18));
        unpack = addTask(project, QStringLiteral("Unpack"), at(2024, 1, 11, 8), at(2024, 1, 11, 18), settleIn);
        network = addTask(project, QStringLiteral("Network"), at(2024, 1, 12, 8), at(2024, 1, 12, 18), settleIn);
        network->setAttribute(kDMProjectItem_Cost, 1200.0);
        pack->addResource(ann);
        move->addResource(ann);
        move->addResource(van);
        unpack->addResource(ann);
        network->addResource(bo);
        document = documentWithProject(project);
        showWindow(document, QSize(1300, 700));
        settle(document);
    }

    std::shared_ptr<DMProjectResource> person(const QString &name, double rate, DMProjectResourceCostKind kind)
    {
        auto resource = makeResource(project, name, kind, rate);
        project->resources().append(resource);
        return resource;
    }
    QString money(double value) const { return document->sharedCurrencyFormatter()->stringForNumber(value); }
    // The value of the column on the first row showing the title.
    static QVariant cell(DMOutlineView *outline, const QString &title, const QString &column)
    {
        const DMOutlineViewModel *model = outline->outlineModel();
        for (int row = 0; row < outline->numberOfRows(); ++row)
            if (model->data(model->indexForRow(row, model->logicalColumnWithIdentifier(QStringLiteral("title")))) == title)
                return model->data(model->indexForRow(row, model->logicalColumnWithIdentifier(column)));
        ADD_FAILURE() << "no row " << title.toStdString();
        return {};
    }

    std::shared_ptr<DMProject> project;
    std::shared_ptr<DMProjectResource> ann, van, bo;
    std::shared_ptr<DMProjectTask> pack, move, unpack, network;
    std::shared_ptr<DMProjectProcess> settleIn;
};

} // namespace

TEST_F(CostsAcrossViewsTest, TasksCostedFromTheirPeopleShowThatCostInTheListTheReportAndTheCards)
{
    // Ann 45 an hour, Van 640 a day, Bo 60 an hour, on ten-hour days.
    const double packCost = 45.0 * 20, moveCost = 45.0 * 10 + 640.0, unpackCost = 45.0 * 10, networkCost = 1200.0 + 60.0 * 10;
    const double total = packCost + moveCost + unpackCost + networkCost;

    document->showPageWithTag(DMPage::TasksPage);
    DMOutlineView *list = document->projectItemsOutlineViewDS()->outlineView();
    list->expandItemExpandChildren(nullptr, true);
    EXPECT_DOUBLE_EQ(cell(list, QStringLiteral("Pack"), QStringLiteral("cost")).toDouble(), packCost);
    EXPECT_DOUBLE_EQ(cell(list, QStringLiteral("Move"), QStringLiteral("cost")).toDouble(), moveCost);
    EXPECT_DOUBLE_EQ(cell(list, QStringLiteral("Unpack"), QStringLiteral("cost")).toDouble(), unpackCost);
    EXPECT_DOUBLE_EQ(cell(list, QStringLiteral("Network"), QStringLiteral("cost")).toDouble(), networkCost);

    // The global report: each task's row, and the header's cost their sum.
    document->showPageWithTag(DMPage::GlobalReportPage);
    auto *page = qobject_cast<DMReportPage *>(document->outlets().reportContainerView.data());
    ASSERT_NE(page, nullptr);
    const QString report = page->reportWebView()->toPlainText();
    for (double cost : {packCost, moveCost, unpackCost, networkCost, total})
        EXPECT_TRUE(report.contains(money(cost))) << money(cost).toStdString() << "\n" << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("Cost:\n") + money(total))) << report.toStdString();

    // The task and process cards.
    document->showPageWithTag(DMPage::ItemsTasksPage);
    auto *moveCard = cardOf<DMItemsViewTasksItem>(document, move);
    ASSERT_NE(moveCard, nullptr);
    EXPECT_EQ(moveCard->costField->text(), money(moveCost));
    // A person joining the task shows on its card at once.
    pack->addResource(bo);
    auto *packCard = cardOf<DMItemsViewTasksItem>(document, pack);
    ASSERT_NE(packCard, nullptr);
    EXPECT_EQ(packCard->costField->text(), money(packCost + 60.0 * 20));
    document->showPageWithTag(DMPage::ItemsProcessesPage);
    auto *processCard = cardOf<DMItemsViewProcessesItem>(document, settleIn);
    ASSERT_NE(processCard, nullptr);
    EXPECT_EQ(processCard->costField->text(), money(unpackCost + networkCost));
}

TEST_F(CostsAcrossViewsTest, AProcessShowsItsRollUpInTheOutlineOnScreenAndPrinted)
{
    const double rollUp = 45.0 * 10 + 1200.0 + 60.0 * 10;
    document->showPageWithTag(DMPage::GanttPage);
    DMOutlineView *outline = document->projectOutlineView();
    EXPECT_DOUBLE_EQ(cell(outline, QStringLiteral("Settle in"), QStringLiteral("cost")).toDouble(), rollUp);
    EXPECT_DOUBLE_EQ(cell(outline, QStringLiteral("Move"), QStringLiteral("cost")).toDouble(), 45.0 * 10 + 640.0);

    // Printed through the print panel, as the user prints the chart.
    DMPrintInfo::sharedPrintInfo().pageLayout =
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(36, 36, 36, 36), QPageLayout::Point);
    DMPrintPanelController *panel = document->print()->printPanelController().get();
    document->print()->printDocument();
    ASSERT_TRUE(panel->isOnScreen());
    ASSERT_TRUE(waitFor([&] { return !panel->isCompositionPending() && !panel->isComposing(); }, 60000));
    ASSERT_FALSE(panel->pageImages().isEmpty()) << panel->whyNoPages().toStdString();
    panel->print();
    ASSERT_TRUE(waitFor([&] { return !panel->isCompositionPending() && !panel->isComposing(); }, 60000));
    const QString printed = printtest::pdfText(panels.outputPath);
    EXPECT_TRUE(printed.contains(money(rollUp))) << printed.toStdString();
}
