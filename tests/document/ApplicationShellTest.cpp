// The application shell: preferences, the document window, formatters, autosave, closing.
#include "DocumentTestSupport.h"

#include "DMApplication.h"
#include "DMApplicationDelegate.h"
#include "DMCurrencyFormatter.h"
#include "DMEncryptionContext.h"
#include "DMGanttUIObjectFactory.h"
#include "DMNotificationCenter.h"
#include "DMObjectView.h"
#include "DMOutlineView.h"
#include "DMPasswordPanel.h"
#include "DMTimelineView.h"
#include "DMPreferenceKeys.h"
#include "DMTextField.h"
#include "DMUIProjectItem.h"
#include "DMPropertyList.h"
#include "DMWelcomeWindowController.h"

#include <QCryptographicHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QUrl>

using namespace halcyra::test;

namespace {

using ApplicationShellTest = DocumentTestBase;

TEST_F(ApplicationShellTest, DefaultPreferencesAreWrittenOnceAndAutosaveIsTurnedOn)
{
    DMUserDefaults &defaults = DMUserDefaults::standardUserDefaults();
    defaults.setDoubleForKey(14.0, kDMHalcyra_ProjectViewFontSize);
    defaults.setBoolForKey(false, kDMHalcyra_Autosave);
    DMApplicationDelegate delegate;
    delegate.applicationWillFinishLaunching();
    const QVariantMap values = DMPreferenceKeys_defaultValues();
    for (auto it = values.begin(); it != values.end(); ++it)
        EXPECT_TRUE(defaults.hasStoredValueForKey(it.key())) << it.key().toStdString();
    EXPECT_DOUBLE_EQ(defaults.doubleForKey(kDMHalcyra_ProjectViewFontSize), 14.0); // the user's value stays
    EXPECT_TRUE(defaults.boolForKey(kDMHalcyra_Autosave));
    EXPECT_EQ(DMDocumentController::sharedDocumentController().autosavingDelay(), 15.0);
    EXPECT_TRUE(DMPreferenceKeys_colorForKey(kDMHalcyra_DefaultDateColor).isValid());

    defaults.setBoolForKey(false, kDMHalcyra_Autosave);
    EXPECT_EQ(DMDocumentController::sharedDocumentController().autosavingDelay(), 0.0);
    defaults.setObjectForKey(DMPreferenceKeys_archivedColor(Qt::magenta), kDMHalcyra_DefaultTaskColor);
    EXPECT_EQ(DMProjectItem::defaultFillColorForKind(kDMProjectItem_Kind_Task), QColor(Qt::magenta));
    defaults.setObjectForKey(values.value(kDMHalcyra_DefaultTaskColor), kDMHalcyra_DefaultTaskColor);
    DMWelcomeWindowController::sharedController().close();
}

TEST_F(ApplicationShellTest, ANewTitleFontSizeReachesTheBarsAlreadyDrawnInEveryDocument)
{
    DMGanttUIObjectFactory::registerWithModel();
    DMUserDefaults &defaults = DMUserDefaults::standardUserDefaults();
    DMApplicationDelegate delegate;
    delegate.applicationWillFinishLaunching();
    defaults.setDoubleForKey(11.0, kDMHalcyra_ProjectViewFontSize);
    // One bar of each kind that keeps title attributes of its own, in two open documents.
    QList<std::shared_ptr<DMUIProjectItem>> bars;
    for (int i = 0; i < 2; ++i) {
        auto document = DMDocumentController::sharedDocumentController().newDocument(true);
        const auto project = document->project();
        const DMDate day = project->beginDate();
        auto task = makeItem<DMProjectTask>(project, QStringLiteral("A long title beside a short bar"), day,
                                            day.dateByAddingSeconds(3600));
        auto milestone = makeItem<DMProjectMilestone>(project, QStringLiteral("Done"), day, day);
        auto event = makeItem<DMProjectEvent>(project, QStringLiteral("Fair"), day, day.dateByAddingSeconds(86400));
        project->tasks().append(task);
        project->tasks().append(milestone);
        project->eventContainer()->events().append(event);
        document->reloadViews();
        for (const std::shared_ptr<DMProjectItem> &item : QList<std::shared_ptr<DMProjectItem>>{task, milestone, event})
            bars.append(std::dynamic_pointer_cast<DMUIProjectItem>(item->ganttUIObject()));
    }
    const QRectF taskBox = bars.first()->boundingBox();

    defaults.setDoubleForKey(16.0, kDMHalcyra_ProjectViewFontSize);
    for (const auto &bar : bars) {
        EXPECT_EQ(bar->textAttributes().font.pointSizeF(), 16.0) << bar->description().toStdString();
        EXPECT_EQ(bar->defaultTextAttributes().font.pointSizeF(), 16.0) << bar->description().toStdString();
    }
    // The title beside the task's bar takes more room, and its handles follow.
    EXPECT_GT(bars.first()->boundingBox().width(), taskBox.width());

    defaults.setDoubleForKey(11.0, kDMHalcyra_ProjectViewFontSize);
    EXPECT_EQ(bars.last()->textAttributes().font.pointSizeF(), 11.0);
    DMDocumentController::sharedDocumentController().closeAllDocuments();
    DMWelcomeWindowController::sharedController().close();
}

TEST_F(ApplicationShellTest, TaskListColumnsKeepTheirOrderAndCheckedState)
{
    DMPreferenceKeys_writeDefaultValues();
    DMApplicationDelegate::setTaskListColumnHidden(QStringLiteral("cost"), true);
    DMApplicationDelegate::setTaskListColumnHidden(QStringLiteral("id"), false);
    const QStringList stored = DMUserDefaults::standardUserDefaults()
                                   .objectForKey(kDMHalcyra_taskListArrangedColumnIdentifiers)
                                   .toStringList();
    EXPECT_EQ(stored, (QStringList{"icon", "title", "beginDate", "endDate", "duration", "progress", "id"}));
    const QVariantList columns = DMApplicationDelegate::taskListArrangedColumnDictionaries();
    ASSERT_EQ(columns.size(), 8);
    EXPECT_EQ(columns.last().toMap().value(QStringLiteral("identifier")).toString(), QStringLiteral("cost"));
    EXPECT_FALSE(columns.last().toMap().value(QStringLiteral("checked")).toBool());
}

TEST_F(ApplicationShellTest, ANewCurrencyUnitRebuildsTheFormatterAndAnnouncesItOnce)
{
    auto document = documentWithProject(makeFullProject().project);
    const auto old = document->sharedCurrencyFormatter();
    EXPECT_EQ(old->unit(), QStringLiteral("EUR"));
    struct Announcement
    {
        const void *sender;
        QString newUnit;
        QString oldUnit;
    };
    QList<Announcement> announced;
    DMNotificationObserver observer = DMNotificationCenter::defaultCenter().addObserver(
        kDMTextField_UpdateFormatter_Notification, nullptr, [&](const DMNotification &n) {
            const auto unit = [&n](const char *key) {
                const auto formatter = std::dynamic_pointer_cast<DMCurrencyFormatter>(
                    n.userInfo.value(QLatin1String(key)).value<std::shared_ptr<DMFormatter>>());
                return formatter ? formatter->unit() : QString();
            };
            announced.append({n.object, unit("new formatter"), unit("old formatter")});
        });
    document->project()->setAttribute(kDMProject_Settings_CurrencyUnit, QStringLiteral("CHF"));
    ASSERT_EQ(announced.size(), 1);
    EXPECT_EQ(announced.first().sender, old.get());
    EXPECT_EQ(announced.first().newUnit, QStringLiteral("CHF"));
    EXPECT_EQ(announced.first().oldUnit, QStringLiteral("EUR"));
    EXPECT_EQ(document->sharedCurrencyFormatter()->unit(), QStringLiteral("CHF"));
}

TEST_F(ApplicationShellTest, TheWindowHasItsPagesCanvasAndMenus)
{
    auto document = DMDocumentController::sharedDocumentController().newDocument(true);
    QMainWindow *window = document->mainWindow();
    ASSERT_TRUE(window);
    const DMProjectDocumentOutlets &outlets = document->outlets();
    ASSERT_TRUE(outlets.projectView);
    // The canvas's controller, owned by the document, serves the canvas.
    DMProjectDocumentObjectViewDataSource *controller = document->objectViewDataSource();
    EXPECT_EQ(outlets.projectView->datasource(), controller);
    EXPECT_EQ(outlets.projectView->delegate(), controller);
    ASSERT_TRUE(outlets.timelineView);
    EXPECT_TRUE(outlets.timelineView->dataSource());
    EXPECT_EQ(outlets.projectOutlineView->numberOfRows(), 1); // the events row of an empty project
    EXPECT_EQ(document->project()->displayAttributes().projectView, outlets.projectView.data());
    QStringList menus;
    for (QAction *action : window->menuBar()->actions())
        menus.append(shownMenuTitle(action));
    EXPECT_EQ(menus, (QStringList{"File", "Edit", "View", "Window", "Help"}));

    document->project()->setAttribute(kDMProject_ViewMode, 1);
    EXPECT_EQ(document->project()->displayAttributes().viewMode, 1);
    document->viewMenuCallback(3002002);
    EXPECT_EQ(document->currentPageTag(), 10);
    EXPECT_EQ(document->project()->attribute(kDMProject_ViewMode).toInt(), 0);
    EXPECT_EQ(DMProjectDocument::pageTagForViewMenuTag(42), 0);
}

TEST_F(ApplicationShellTest, RevertNeedsASavedVersion)
{
    auto document = DMDocumentController::sharedDocumentController().newDocument(true);
    QMainWindow *window = document->mainWindow();
    ASSERT_TRUE(window);
    QAction *revert = menuAction(window, {"File", QStringLiteral("Revert to Saved")});
    ASSERT_TRUE(revert);
    EXPECT_FALSE(revert->isEnabled());
    revert->trigger(); // disabled: neither asks nor reverts
    EXPECT_TRUE(ui.alerts.isEmpty());

    ASSERT_TRUE(document->saveToPath(path(QStringLiteral("Saved.hy2")), DMProjectDocument::SaveAsOperation));
    EXPECT_TRUE(revert->isEnabled());
}

TEST_F(ApplicationShellTest, ClosingTheLastDocumentBringsTheWelcomeWindowBack)
{
    DMApplicationDelegate delegate;
    DMDocumentController &controller = DMDocumentController::sharedDocumentController();
    auto first = controller.newDocument(true);
    auto second = controller.newDocument(true);
    EXPECT_EQ(controller.documents().size(), 2);
    EXPECT_FALSE(DMWelcomeWindowController::sharedController().isVisible());
    int closeNotifications = 0;
    DMNotificationObserver observer = DMNotificationCenter::defaultCenter().addObserver(
        kDMProjectDocument_CloseNotification, nullptr, [&](const DMNotification &) { ++closeNotifications; });

    first->mainWindow()->close(); // unedited: closes without asking
    EXPECT_TRUE(first->isClosed());
    EXPECT_FALSE(first->project()->isValid());
    EXPECT_EQ(closeNotifications, 1);
    EXPECT_FALSE(DMWelcomeWindowController::sharedController().isVisible());

    second->markDocumentAsEdited(); // untitled and edited: the user is asked
    ui.alertAnswer = DMModalUI::AlternateReturn; // Cancel
    second->mainWindow()->close();
    EXPECT_FALSE(second->isClosed());
    ui.alertAnswer = DMModalUI::OtherReturn; // Don't Save
    second->mainWindow()->close();
    EXPECT_TRUE(second->isClosed());
    EXPECT_TRUE(DMWelcomeWindowController::sharedController().isVisible());
    EXPECT_TRUE(controller.documents().isEmpty());

    std::weak_ptr<DMProjectDocument> gone = first;
    const QString temporary = first->temporaryFolderPath();
    EXPECT_TRUE(QFileInfo(temporary).isDir());
    first.reset();
    runUntilIdle();
    EXPECT_TRUE(gone.expired());
    EXPECT_FALSE(QFileInfo::exists(temporary));
    DMWelcomeWindowController::sharedController().close();
}

TEST_F(ApplicationShellTest, WindowFrameAndStateFileAreWrittenForTheDocumentURL)
{
    const QString package = path(QStringLiteral("Framed.hy2"));
    auto document = documentWithProject(makeFullProject().project);
    ASSERT_TRUE(document->saveToPath(package, DMProjectDocument::SaveAsOperation));
    document->showWindows();
    document->mainWindow()->setGeometry(40, 50, 900, 640);
    document->saveMainWindowFrame();

    const QVariantMap frames = DMUserDefaults::standardUserDefaults().objectForKey(kDMRecentDocumentsFrames).toMap();
    EXPECT_EQ(frames.value(document->fileURL()).toString().split(' ').mid(2), (QStringList{"900", "640"}));
    const QByteArray digest = QCryptographicHash::hash(QUrl::fromLocalFile(document->fileURL()).toString().toUtf8(),
                                                       QCryptographicHash::Md5).toHex();
    const QString stateFile = DMApplication::applicationSupportPath() + QLatin1Char('/') + QString::fromLatin1(digest) + ".plist";
    EXPECT_EQ(DMProjectDocument::windowStateFilePath(document->fileURL()), stateFile);
    const QVariantMap state = DMPropertyList::propertyListWithContentsOfFile(stateFile).toMap();
    EXPECT_TRUE(state.contains(QStringLiteral("projectItemsOutlineViewDS.columnStatusDictionary")));
    EXPECT_TRUE(state.contains(QStringLiteral("projectEventsOutlineViewDS.columnStatusDictionary")));
    EXPECT_TRUE(state.contains(QStringLiteral("projectResourcesOutlineViewDS.columnStatusDictionary")));
}

TEST_F(ApplicationShellTest, TheOutlinesWidthBesideTheChartComesBackWithTheWindow)
{
    const QString package = path(QStringLiteral("Split.hy2"));
    auto document = documentWithProject(makeFullProject().project);
    ASSERT_TRUE(document->saveToPath(package, DMProjectDocument::SaveAsOperation));
    showWindow(document, QSize(1100, 600));
    auto *split = qobject_cast<QSplitter *>(document->outlets().projectContainer.data());
    ASSERT_TRUE(split);
    const int widened = split->sizes().at(0) + 170; // the End column shows in full
    split->setSizes({widened, split->width() - widened - split->handleWidth()});
    ASSERT_EQ(split->sizes().at(0), widened);
    document->closeWithoutShowingRecentItemsWindow();
    document.reset();
    DMDocumentController::sharedDocumentController().releaseClosedDocuments();

    auto reopened = open(package);
    ASSERT_TRUE(reopened);
    showWindow(reopened, QSize(1100, 600));
    split = qobject_cast<QSplitter *>(reopened->outlets().projectContainer.data());
    EXPECT_EQ(split->sizes().at(0), widened);
    // The chart takes what the window gains; the outline keeps its width.
    reopened->mainWindow()->resize(1300, 600);
    finishEventLoopTurn();
    EXPECT_EQ(split->sizes().at(0), widened);
}

TEST_F(ApplicationShellTest, AutosaveWritesInPlaceAfterAChange)
{
    const QString package = path(QStringLiteral("Auto.hy2"));
    FullProject full = makeFullProject();
    auto document = documentWithProject(full.project);
    ASSERT_TRUE(document->saveToPath(package, DMProjectDocument::SaveAsOperation));
    DMDocumentController::sharedDocumentController().setAutosavingDelay(0.05);
    full.project->setTitle(QStringLiteral("Autosaved"));
    document->markDocumentAsEdited();
    EXPECT_TRUE(document->hasPendingAutosave());
    EXPECT_TRUE(waitFor([&] { return !document->isDocumentEdited(); }));
    const QVariantMap metadata = DMPropertyList::propertyListWithContentsOfFile(package + "/metadata.xml").toMap();
    EXPECT_EQ(metadata.value(QStringLiteral("title")).toString(), QStringLiteral("Autosaved"));

    // No autosave with the delay at 0, nor for an untitled document.
    DMDocumentController::sharedDocumentController().setAutosavingDelay(0.0);
    document->markDocumentAsEdited();
    EXPECT_FALSE(document->hasPendingAutosave());
    DMDocumentController::sharedDocumentController().setAutosavingDelay(0.05);
    auto untitled = documentWithProject(makeFullProject().project);
    untitled->markDocumentAsEdited();
    EXPECT_FALSE(untitled->hasPendingAutosave());
}

TEST_F(ApplicationShellTest, SetPasswordThroughThePanelEncryptsTheNextSaveAndRemovesAfterConfirming)
{
    auto document = documentWithProject(makeFullProject().project);
    bool allowedEmpty = true;
    // The panel as the user fills it in: two entries, then the validate button.
    auto enter = [&](const QString &first, const QString &second) {
        ui.answerPanel = [&allowedEmpty, first, second](QDialog *dialog) {
            auto *panel = qobject_cast<DMPasswordPanel *>(dialog);
            ASSERT_NE(panel, nullptr);
            EXPECT_EQ(panel->informativeLabel()->text(), QStringLiteral("Please enter the new password."));
            allowedEmpty = panel->allowsEmptyPassword();
            panel->passwordField1()->setText(first);
            panel->passwordField2()->setText(second);
            panel->uiCallback(panel->validateButton());
        };
        document->setPassword();
    };

    document->setPassword(); // cancelled
    enter(QStringLiteral("one"), QStringLiteral("two"));
    enter(QString(), QString()); // nothing to remove yet
    EXPECT_FALSE(allowedEmpty);
    EXPECT_TRUE(document->password().isEmpty());
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_EQ(ui.panelsShown, 3);

    enter(QStringLiteral("same"), QStringLiteral("same"));
    EXPECT_EQ(document->password(), QStringLiteral("same"));
    EXPECT_TRUE(document->isDocumentEdited());
    const QString package = path(QStringLiteral("Locked.hy2"));
    ASSERT_TRUE(document->saveToPath(package, DMProjectDocument::SaveAsOperation));
    QFile projectFile(QDir(package).filePath(QStringLiteral("project.xml")));
    ASSERT_TRUE(projectFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(projectFile.readAll().startsWith(DMEncryptionContext::magic()));
    EXPECT_TRUE(QFileInfo::exists(QDir(package).filePath(QStringLiteral(".encryptedProject"))));

    // Two empty entries remove the password, once the user confirms it.
    ui.alertAnswer = DMModalUI::AlternateReturn;
    enter(QString(), QString());
    EXPECT_TRUE(allowedEmpty);
    EXPECT_EQ(document->password(), QStringLiteral("same"));
    EXPECT_EQ(ui.alerts.size(), 1);
    ui.alertAnswer = DMModalUI::DefaultReturn;
    enter(QString(), QString());
    EXPECT_TRUE(document->password().isEmpty());
    ASSERT_TRUE(document->saveToPath(package, DMProjectDocument::SaveOperation));
    EXPECT_FALSE(QFileInfo::exists(QDir(package).filePath(QStringLiteral(".encryptedProject"))));
}

} // namespace
