// What the document window says: exports of a saved document are proposed under its name, every
// alert is titled with what it is about, and a failed share says where the sharing account is set.
#include "DocumentTestSupport.h"

#include "DMGanttUIObjectFactory.h"
#include "DMPreferenceKeys.h"
#include "DMProjectResourcesOutlineViewDS.h"
#include "FarseeManager.h"

#include <QPushButton>

using namespace halcyra::test;

namespace {

class ExportNamesAndAlertsTest : public DocumentTestBase
{
protected:
    void SetUp() override
    {
        DocumentTestBase::SetUp();
        DMGanttUIObjectFactory::registerWithModel();
        DMPreferenceKeys_writeDefaultValues();
        document = shownDocumentWith({QStringLiteral("Pack"), QStringLiteral("Move")}, QSize(1200, 600));
        document->project()->resources().append(makeResource(document->project(), QStringLiteral("Ann")));
        settle(document);
    }
    QAction *command(const QStringList &titles) const { return menuAction(document->mainWindow(), titles); }
    QString proposedName() const { return ui.savePanels.isEmpty() ? QString() : ui.savePanels.last().proposedName; }
    // The resource list's Export button, pressed; the save panel is cancelled.
    void exportResources()
    {
        document->showPageWithTag(DMPage::ResourcesPage);
        for (QPushButton *button : document->projectResourcesOutlineViewDS()->containerView()->findChildren<QPushButton *>())
            if (button->text().startsWith(QStringLiteral("Export")))
                return button->click();
        ADD_FAILURE() << "no Export button";
    }

    std::shared_ptr<DMProjectDocument> document;
};

} // namespace

TEST_F(ExportNamesAndAlertsTest, ExportsOfASavedDocumentAreProposedUnderItsName)
{
    // Unsaved: the project's title.
    ui.savePanelPath.clear();
    exportResources();
    EXPECT_EQ(proposedName(), QStringLiteral("Untitled-Resources.xml"));

    ui.savePanelPath = path(QStringLiteral("OfficeMove.hy2"));
    ASSERT_TRUE(document->saveAs());
    ui.savePanelPath.clear();
    exportResources();
    EXPECT_EQ(proposedName(), QStringLiteral("OfficeMove-Resources.xml"));
    command({QStringLiteral("File"), QStringLiteral("Export"), QStringLiteral("CSV...")})->trigger();
    EXPECT_EQ(proposedName(), QStringLiteral("OfficeMove.csv"));
    command({QStringLiteral("File"), QStringLiteral("Export"), QStringLiteral("MS Project XML...")})->trigger();
    EXPECT_EQ(proposedName(), QStringLiteral("OfficeMove.xml"));
    // A title of its own that is no file name still gives one.
    document->project()->setTitle(QStringLiteral("Q1/Q2 move"));
    document->setFileURL(QString());
    exportResources();
    EXPECT_EQ(proposedName(), QStringLiteral("Q1_Q2 move-Resources.xml"));
}

TEST_F(ExportNamesAndAlertsTest, AlertsAreTitledWithWhatTheyAreAbout)
{
    command({QStringLiteral("Help"), QStringLiteral("About Halcyra")})->trigger();
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(ui.alerts.last().title, QStringLiteral("About Halcyra"));

    // Closing with changes asks; cancelled, the window stays.
    document->markDocumentAsEdited();
    ui.alertAnswer = DMModalUI::AlternateReturn;
    document->mainWindow()->close();
    ASSERT_FALSE(document->isClosed());
    EXPECT_EQ(ui.alerts.last().title, QStringLiteral("Save Changes"));

    // An export that cannot be written.
    ui.savePanelPath = path(QStringLiteral("missing/plan.csv"));
    command({QStringLiteral("File"), QStringLiteral("Export"), QStringLiteral("CSV...")})->trigger();
    EXPECT_TRUE(ui.alerts.last().messageText.contains(QStringLiteral("plan.csv")));
    EXPECT_EQ(ui.alerts.last().title, QStringLiteral("Export"));

    // A share without an account says where the account is set, and nothing of preferences.
    document->showPageWithTag(DMPage::GlobalReportPage);
    const qsizetype before = ui.alerts.size();
    command({QStringLiteral("File"), QStringLiteral("Share...")})->trigger();
    ASSERT_TRUE(waitFor([&] { return ui.alerts.size() > before; }, 10000));
    const DMModalUI::Alert shared = ui.alerts.last();
    EXPECT_EQ(shared.title, QStringLiteral("Share"));
    EXPECT_EQ(shared.messageText, QStringLiteral("The file could not be shared."));
    const QString settingsFile = DMUserDefaults::standardUserDefaults().storageFileName();
    EXPECT_TRUE(settingsFile.endsWith(QStringLiteral("defaults.ini")));
    for (const QString &where : {settingsFile, kFarseeAccountEmailKey, kFarseeAccountPasswordKey})
        EXPECT_TRUE(shared.informativeText.contains(where)) << shared.informativeText.toStdString();
    EXPECT_FALSE(shared.informativeText.contains(QStringLiteral("preferences"), Qt::CaseInsensitive));

    for (const DMModalUI::Alert &alert : ui.alerts)
        EXPECT_FALSE(alert.title.isEmpty()) << alert.messageText.toStdString();
}
