// The project's begin and end as the report headers, the print panel and the MS Project file show
// them: they enclose the plan, however long ago the stored dates were set.
#include "DocumentTestSupport.h"

#include "DMDateFormatter.h"
#include "DMGanttUIObjectFactory.h"
#include "DMMSProjectXMLConverter.h"
#include "DMPrintPanelController.h"
#include "DMProjectDocumentPrint.h"
#include "DMProjectDocumentReport.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectProcess.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"

using namespace halcyra::test;

namespace {

class ProjectDatesTest : public DocumentTestBase
{
protected:
    void SetUp() override
    {
        DocumentTestBase::SetUp();
        DMGanttUIObjectFactory::registerWithModel();
    }
};

// The XML element's text in the file's header (before the first task).
QString headerElement(const QString &xml, const QString &name)
{
    const QString open = QStringLiteral("<%1>").arg(name);
    const qsizetype from = xml.indexOf(open);
    const qsizetype tasks = xml.indexOf(QStringLiteral("<Tasks>"));
    if (from < 0 || (tasks >= 0 && from > tasks))
        return QString();
    const qsizetype begin = from + open.size();
    return xml.mid(begin, xml.indexOf(QStringLiteral("</%1>").arg(name), begin) - begin);
}

} // namespace

TEST_F(ProjectDatesTest, ReportsPrintPanelAndMSProjectFileShowDatesThatEncloseThePlan)
{
    // Stored a month after the project was made and never moved since: the plan reaches past
    // its end, and an event before its begin.
    auto project = DMProject::create();
    project->beginLoading();
    project->setTitle(QStringLiteral("Renovation"));
    project->setBeginDate(at(2026, 12, 7, 8));
    project->setEndDate(at(2027, 1, 5, 0));
    project->endLoading();
    auto process = makeItem<DMProjectProcess>(project, QStringLiteral("Works"), at(2026, 12, 7, 8), at(2027, 1, 27, 17));
    project->tasks().append(process);
    auto tiling = makeItem<DMProjectTask>(project, QStringLiteral("Tiling"), at(2027, 1, 20, 8), at(2027, 1, 27, 17));
    process->subitems().append(tiling);
    auto anna = std::make_shared<DMProjectResource>();
    anna->setProject(project);
    anna->setName(QStringLiteral("Anna"));
    project->resources().append(anna);
    tiling->addResource(anna);
    project->eventContainer()->events().append(
        makeItem<DMProjectEvent>(project, QStringLiteral("Survey"), at(2026, 12, 2, 9), at(2026, 12, 2, 12)));
    ASSERT_EQ(project->effectiveBeginDate(), at(2026, 12, 2, 9));
    ASSERT_EQ(project->effectiveEndDate(), at(2027, 1, 27, 17));

    auto document = documentWithProject(project);
    showWindow(document);
    const DMDateFormatter days(DMDateFormatter::YearMonthDay);
    const QString begins = days.stringFromDate(at(2026, 12, 2));
    const QString ends = days.stringFromDate(at(2027, 1, 27));
    const QString storedEnd = days.stringFromDate(at(2027, 1, 5));
    DMProjectDocumentReport *report = document->report();
    for (const QString &html : {report->reportGenerateHTML(), report->reportGenerateHTMLForResource(*anna),
                                report->reportGenerateHTMLForProcess(*process)}) {
        EXPECT_TRUE(html.contains(begins)) << "Begins:";
        EXPECT_TRUE(html.contains(ends)) << "Ends:";
        EXPECT_FALSE(html.contains(storedEnd));
    }

    DMPrintPanelController *panel = document->print()->printPanelController().get();
    document->print()->beginProjectViewPrintSheet();
    EXPECT_EQ(panel->beginDate().julianDay(), at(2026, 12, 2).julianDay());
    EXPECT_EQ(panel->endDate().julianDay(), at(2027, 1, 27).julianDay());
    panel->close();

    const QString xml = QString::fromUtf8(DMMSProjectXMLConverter::MSProjectXMLDataForProject(*project));
    EXPECT_EQ(headerElement(xml, QStringLiteral("StartDate")), QStringLiteral("2026-12-02T09:00:00"));
    EXPECT_EQ(headerElement(xml, QStringLiteral("FinishDate")), QStringLiteral("2027-01-27T17:00:00"));

    // What was stored stays as it was: the dates shown are worked out, not written back.
    EXPECT_EQ(project->beginDate(), at(2026, 12, 7, 8));
    EXPECT_EQ(project->endDate(), at(2027, 1, 5, 0));
    EXPECT_FALSE(document->isDocumentEdited());
}
