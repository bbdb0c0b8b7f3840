// The report pages in the document window: the View menu's report tags show the report area
// with its report, and leaving the area takes the report's file away.
#include "DocumentTestSupport.h"

#include "DMProjectDocumentReport.h"
#include "DMReportPage.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QFileInfo>
#include <QStackedWidget>
#include <QTextBrowser>

using namespace halcyra::test;

namespace {

class ReportPagesTest : public DocumentTestBase
{
};

TEST_F(ReportPagesTest, ViewMenuTagsShowTheReportArea)
{
    FullProject full = makeFullProject();
    auto document = documentWithProject(full.project);
    document->makeWindowControllers();
    auto *content = qobject_cast<QStackedWidget *>(document->outlets().topLevelContentSplitSubview.data());
    ASSERT_NE(content, nullptr);
    auto *page = qobject_cast<DMReportPage *>(document->outlets().reportContainerView.data());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(document->outlets().reportWebView, page->reportWebView());

    document->viewMenuCallback(3002003); // global report
    EXPECT_EQ(content->currentWidget(), page);
    EXPECT_EQ(document->currentPageTag(), 11);
    EXPECT_TRUE(page->reportWebView()->toPlainText().contains(QStringLiteral("Bridge renovation")));
    const QString shown = document->report()->shownReportPath();
    EXPECT_TRUE(QFileInfo::exists(shown));
    EXPECT_FALSE(shown.startsWith(document->temporaryFolderPath()));

    document->viewMenuCallback(3002004); // tasks by resource: the pickers take the effective span
    const QVariantMap span = document->effectiveProjectTimeSpan();
    EXPECT_EQ(DMDate::dateWithNSDate(page->tasksByResourceReportBeginDatePicker()->dateTime()),
              span.value(kDMTimeSpanBegin).value<DMDate>());
    EXPECT_EQ(DMDate::dateWithNSDate(page->tasksByResourceReportEndDatePicker()->dateTime()),
              span.value(kDMTimeSpanEnd).value<DMDate>());
    EXPECT_GT(page->tasksByResourceReportPopUpButton()->count(), 0);
    EXPECT_EQ(document->report()->tasksByResourceReportMode(), 1);

    const QString grouped = document->report()->shownReportPath();
    document->viewMenuCallback(3002002); // the Gantt chart
    EXPECT_EQ(content->currentWidget(), document->outlets().projectContainer);
    EXPECT_FALSE(QFileInfo::exists(grouped));
    EXPECT_EQ(document->report()->shownPageTag(), 0);
}

} // namespace
