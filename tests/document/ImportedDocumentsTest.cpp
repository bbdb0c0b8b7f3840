// Foreign documents through the document: the Import command, opening the earlier planner's
// archives, saving as MS Project XML, and what the user is told.
#include "DocumentTestSupport.h"

#include "DMMSProjectXMLConverter.h"
#include "DMProjectImporters.h"
#include "DMProjectItemTree.h"

#include <QProcess>
#include <QStandardPaths>

using namespace halcyra::test;

namespace {

class ImportedDocumentsTest : public DocumentTestBase
{
protected:
    DMDocumentController &controller() { return DMDocumentController::sharedDocumentController(); }

    int itemCount(const DMProject &project)
    {
        int count = 0;
        DMProjectItem_forEachItem(project.tasks().list(), [&count](const DMProjectItem &) { ++count; });
        return count;
    }
};

TEST_F(ImportedDocumentsTest, ImportCommandMakesANewUnsavedDocument)
{
    const QString xml = path(QStringLiteral("sample.xml"));
    ASSERT_TRUE(QFile::copy(testDataPath(QStringLiteral("msproject/sample.xml")), xml));
    ui.openPanelPaths = {xml};
    controller().importDocument();
    ASSERT_EQ(controller().documents().size(), 1);
    const auto document = controller().documents().first();
    EXPECT_EQ(itemCount(*document->project()), 19);
    EXPECT_TRUE(document->fileURL().isEmpty());
    EXPECT_EQ(document->fileType(), DMProjectDocument::kDocumentType);
    EXPECT_FALSE(controller().recentDocumentURLs().contains(xml));
    EXPECT_FALSE(document->project()->attributes().contains(kDMProject_ClearFromRecentItems));
    EXPECT_FALSE(document->project()->attributes().contains(kDMProject_ClearFilename));
    // The user hears of each resource whose cost per use beside its rate is not kept, that the
    // day's two working times are one window and that the two links with a lag lost it.
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(ui.alerts.first().informativeText,
              QStringLiteral("Items repaired: 2. Items skipped: 0.\n"
                             "Resource \"First Resource\" (UID 1): its cost per use of 30.00 is not kept; it is paid 10.00 an hour.\n"
                             "Resource \"Second Resource\" (UID 2): its cost per use of 15.00 is not kept; it is paid 5.00 an hour.\n"
                             "The working times of a day (08:00-12:00, 13:00-17:00) are read as one working window of the same work, 08:00 to 16:00.\n"
                             "Links with a lag between their tasks, read without the lag: 2."));

    // Saving it as MS Project XML writes the exporter's file and leaves the document as it was.
    const QString exported = path(QStringLiteral("exported.xml"));
    QString error;
    ASSERT_TRUE(document->writeToURLOfTypeForSaveOperation(exported, DMProjectDocument::kMSProjectXMLType,
                                                           DMProjectDocument::SaveToOperation, &error))
        << error.toStdString();
    auto reimported = DMProject::create();
    ASSERT_TRUE(DMMSProjectXMLConverter::importMSProjectXMLDocumentAtPathInProject(exported, *reimported));
    EXPECT_EQ(itemCount(*reimported), 19);
    EXPECT_TRUE(document->fileURL().isEmpty());
}

TEST_F(ImportedDocumentsTest, RepairsAreToldOnceAndFailuresSayWhy)
{
    const QString xml = path(QStringLiteral("plan.xml"));
    writeFile(xml, R"(<Project><Calendars/><Resources/><Tasks>
<Task><UID>1</UID><OutlineNumber>1</OutlineNumber><Start>2024-03-04T08:00:00</Start><Finish>2024-03-04T08:00:00</Finish></Task>
<Task><UID>2</UID><OutlineNumber>2</OutlineNumber><Start>2024-03-06T08:00:00</Start><Finish>2024-03-05T08:00:00</Finish></Task>
<Task><UID>3</UID><OutlineNumber>3</OutlineNumber></Task></Tasks></Project>)");
    QString error;
    auto document = controller().openDocumentWithContentsOfURL(xml, false, &error, true);
    ASSERT_TRUE(document) << error.toStdString();
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(ui.alerts.first().style, DMModalUI::Informational);
    EXPECT_EQ(ui.alerts.first().informativeText, QStringLiteral("Items repaired: 2. Items skipped: 1.\n"
                                                                "Task UID 1 starts and finishes at once; it is made an hour long.\n"
                                                                "Task UID 2 finishes before it starts; its dates are swapped.\n"
                                                                "Task UID 3 has no usable dates and is skipped."));

    ui.alerts.clear();
    writeFile(xml, "<html/>");
    controller().closeAllDocuments();
    EXPECT_FALSE(controller().openDocumentWithContentsOfURL(xml, false, &error, true));
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_TRUE(ui.alerts.first().informativeText.startsWith(QStringLiteral("This MS Project document couldn't be imported.")));
    EXPECT_TRUE(ui.alerts.first().informativeText.contains(QStringLiteral("root element is \"html\"")));
    EXPECT_TRUE(controller().documents().isEmpty());
}

TEST_F(ImportedDocumentsTest, EarlierPlannerDocumentOpensUntitledAndOutOfTheRecentList)
{
    QProcess python;
    python.setProcessChannelMode(QProcess::MergedChannels);
    python.start(QStandardPaths::findExecutable(QStringLiteral("python3")),
                 {QStringLiteral(HALCYRA_SOURCE_DIR "/tests/formats/make_pendulo_archives.py"), folder.path()});
    ASSERT_TRUE(python.waitForFinished(60000));
    const QString archive = path(QStringLiteral("full-binary.pendulo"));
    ASSERT_TRUE(QFile::exists(archive)) << python.readAll().toStdString();

    // The Open command offers it beside packages.
    ui.openPanelPaths = {archive};
    controller().openDocument();
    ASSERT_TRUE(ui.openPanels.last().allowedExtensions.contains(QStringLiteral("pendulo")));
    ASSERT_EQ(controller().documents().size(), 1);
    auto document = controller().documents().first();
    EXPECT_EQ(document->project()->title(), QStringLiteral("Bridge ✓ renovation"));
    EXPECT_EQ(itemCount(*document->project()), 7);
    EXPECT_TRUE(document->fileURL().isEmpty());
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_FALSE(controller().recentDocumentURLs().contains(archive));
    ASSERT_EQ(ui.alerts.size(), 1); // the repaired and skipped items of that archive
    EXPECT_EQ(ui.alerts.first().style, DMModalUI::Informational);

    ui.alerts.clear();
    QString error;
    EXPECT_FALSE(controller().openDocumentWithContentsOfURL(path(QStringLiteral("damaged-cycle.pendulo")), false, &error, true));
    EXPECT_TRUE(error.startsWith(QStringLiteral("This PenduloProject document couldn't be imported."))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("reference cycle"))) << error.toStdString();
}

} // namespace
