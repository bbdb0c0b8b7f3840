// Commands that cannot act are shown disabled: the lists' Delete and Inspect buttons without a
// selected row, the Edit menu's Cut, Copy, Paste and Delete without a selection or without
// items on the clipboard, and the File menu's page exports and Share on the pages they cannot
// export. A disabled command does nothing when triggered.
#include "DocumentTestSupport.h"

#include "DMGanttUIObjectFactory.h"
#include "DMPreferenceKeys.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectEventsOutlineViewDS.h"
#include "DMProjectItemsOutlineViewDS.h"
#include "DMProjectResourcesOutlineViewDS.h"
#include "DMProjectView.h"
#include "DMUIProjectItem.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>

using namespace halcyra::test;

namespace {

class EditCommandStateTest : public DocumentTestBase
{
protected:
    void SetUp() override
    {
        DocumentTestBase::SetUp();
        DMGanttUIObjectFactory::registerWithModel();
        DMPreferenceKeys_writeDefaultValues();
        QGuiApplication::clipboard()->clear();
    }

    // Tasks "Survey" and "Build", the event "Fair" and the resource "Ann", shown in a window.
    std::shared_ptr<DMProjectDocument> openDocument()
    {
        auto document = shownDocumentWith({QStringLiteral("Survey"), QStringLiteral("Build")}, QSize(1200, 600));
        const auto project = document->project();
        auto fair = std::make_shared<DMProjectEvent>();
        fair->setProject(project);
        fair->setTitle(QStringLiteral("Fair"));
        project->eventContainer()->events().append(fair);
        auto ann = std::make_shared<DMProjectResource>(DMProjectResource::Resource);
        ann->setProject(project);
        ann->setName(QStringLiteral("Ann"));
        project->resources().append(ann);
        document->reloadViews();
        settle(document);
        return document;
    }
    static QPushButton *button(DMProjectListController *list, const QString &title)
    {
        for (QPushButton *found : list->containerView()->findChildren<QPushButton *>())
            if (found->text() == title)
                return found;
        return nullptr;
    }
};

TEST_F(EditCommandStateTest, TheListsDeleteAndInspectButtonsAreEnabledOnlyWhileARowIsSelected)
{
    auto document = openDocument();
    const std::pair<int, DMProjectListController *> lists[] = {
        {DMPage::EventsPage, document->projectEventsOutlineViewDS()},
        {DMPage::TasksPage, document->projectItemsOutlineViewDS()},
        {DMPage::ResourcesPage, document->projectResourcesOutlineViewDS()}};
    for (const auto &[page, list] : lists) {
        SCOPED_TRACE(page);
        document->showPageWithTag(page);
        settle(document);
        DMOutlineView *outline = list->outlineView();
        QPushButton *remove = button(list, QStringLiteral("Delete"));
        QPushButton *inspect = button(list, QStringLiteral("Inspect"));
        ASSERT_TRUE(remove && inspect);
        const int rows = outline->numberOfRows();
        ASSERT_GE(rows, 1);

        outline->deselectAll();
        EXPECT_FALSE(remove->isEnabled());
        EXPECT_FALSE(inspect->isEnabled());
        QTest::mouseClick(remove, Qt::LeftButton);
        EXPECT_EQ(outline->numberOfRows(), rows);
        EXPECT_EQ(steps(document), 0);

        outline->selectRowIndexesByExtendingSelection({rows - 1}, false);
        EXPECT_TRUE(remove->isEnabled());
        EXPECT_TRUE(inspect->isEnabled());

        // Deleting takes the selected row, and with it the selection.
        QTest::mouseClick(remove, Qt::LeftButton);
        EXPECT_EQ(outline->numberOfRows(), rows - 1);
        EXPECT_FALSE(remove->isEnabled());
        EXPECT_FALSE(inspect->isEnabled());
    }
}

TEST_F(EditCommandStateTest, TheEditMenuDisablesWhatCannotActOnTheShownPage)
{
    auto document = openDocument();
    const auto project = document->project();
    QMainWindow *window = document->mainWindow();
    QMenu *edit = menuAction(window, {QStringLiteral("Edit")})->menu();
    ASSERT_TRUE(edit);
    const auto command = [window](const char *title) {
        return menuAction(window, {QStringLiteral("Edit"), QLatin1String(title)});
    };

    // The event list with no row selected: Delete is dimmed and does nothing; a selected row
    // enables it.
    document->showPageWithTag(DMPage::EventsPage);
    DMOutlineView *events = document->projectEventsOutlineViewDS()->outlineView();
    events->deselectAll();
    emit edit->aboutToShow();
    EXPECT_FALSE(command("Delete")->isEnabled());
    command("Delete")->trigger();
    EXPECT_EQ(project->eventContainer()->events().size(), 1);
    emit edit->aboutToHide();
    events->selectRowIndexesByExtendingSelection({0}, false);
    emit edit->aboutToShow();
    EXPECT_TRUE(command("Delete")->isEnabled());
    emit edit->aboutToHide();

    // The chart with nothing selected and nothing on the clipboard.
    document->showPageWithTag(DMPage::GanttPage);
    DMProjectView *canvas = document->outlets().projectView;
    canvas->deselectAll();
    emit edit->aboutToShow();
    for (const char *title : {"Cut", "Copy", "Paste", "Delete"}) {
        EXPECT_FALSE(command(title)->isEnabled()) << title;
        command(title)->trigger();
    }
    EXPECT_TRUE(command("Select All")->isEnabled());
    EXPECT_EQ(project->tasks().size(), 2);
    EXPECT_EQ(steps(document), 0);
    emit edit->aboutToHide();

    // A selected bar enables Cut, Copy and Delete; Paste waits for something to paste.
    const auto survey = project->tasks().first();
    canvas->selectObjectInLayerExtendSelection(std::dynamic_pointer_cast<DMBaseObject>(survey->ganttUIObject()), 1, false);
    emit edit->aboutToShow();
    for (const char *title : {"Cut", "Copy", "Delete"})
        EXPECT_TRUE(command(title)->isEnabled()) << title;
    EXPECT_FALSE(command("Paste")->isEnabled());
    command("Copy")->trigger();
    emit edit->aboutToHide();

    // With the copy on the clipboard Paste stays enabled, with or without a selection.
    canvas->deselectAll();
    emit edit->aboutToShow();
    EXPECT_TRUE(command("Paste")->isEnabled());
    EXPECT_FALSE(command("Cut")->isEnabled());
    command("Paste")->trigger();
    EXPECT_EQ(project->tasks().size(), 3);
    emit edit->aboutToHide();
}

TEST_F(EditCommandStateTest, ThePageExportsAreDimmedOnThePagesTheyCannotExport)
{
    auto document = openDocument();
    QMainWindow *window = document->mainWindow();
    QMenu *file = menuAction(window, {QStringLiteral("File")})->menu();
    QMenu *exports = menuAction(window, {QStringLiteral("File"), QStringLiteral("Export")})->menu();
    ASSERT_TRUE(file && exports);
    const auto commands = [window] {
        QList<QAction *> found;
        for (const char *title : {"PDF...", "JPEG...", "Web Export..."})
            found.append(menuAction(window, {QStringLiteral("File"), QStringLiteral("Export"), QLatin1String(title)}));
        found.append(menuAction(window, {QStringLiteral("File"), QStringLiteral("Share...")}));
        return found;
    };
    const auto enabledOn = [&](int page) {
        document->showPageWithTag(page);
        emit file->aboutToShow();
        emit exports->aboutToShow();
        QStringList enabled;
        for (QAction *command : commands())
            if (command->isEnabled())
                enabled.append(shownMenuTitle(command));
        return enabled;
    };
    const QStringList all{QStringLiteral("PDF..."), QStringLiteral("JPEG..."), QStringLiteral("Web Export..."),
                          QStringLiteral("Share...")};
    EXPECT_EQ(enabledOn(DMPage::GanttPage), all);
    EXPECT_EQ(enabledOn(DMPage::GlobalReportPage), all);
    // The tasks-by-processes report prints but is not exported; the lists print only.
    for (const int page : {int(DMPage::TasksByProcessesPage), int(DMPage::TasksPage), int(DMPage::ProjectSettingsPage)}) {
        EXPECT_EQ(enabledOn(page), QStringList()) << page;
        for (QAction *command : commands())
            command->trigger();
        EXPECT_TRUE(ui.savePanels.isEmpty()) << page;
        EXPECT_TRUE(ui.alerts.isEmpty()) << page;
    }
}

} // namespace
