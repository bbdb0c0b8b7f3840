// The items view's cards on a shown document: what each kind of card shows, that it follows its
// object whichever way the object is edited, and titles that fit their card.
#include "DocumentTestSupport.h"

#include "DMAttachedWindow.h"
#include "DMCollectionView.h"
#include "DMDateFormatter.h"
#include "DMGanttUIObjectFactory.h"
#include "DMInspectorWindow.h"
#include "DMItemsViewDependenciesItem.h"
#include "DMItemsViewDocumentsItem.h"
#include "DMItemsViewEventsItem.h"
#include "DMItemsViewMilestonesItem.h"
#include "DMItemsViewPreview.h"
#include "DMItemsViewResourcesItem.h"
#include "DMItemsViewTodoItem.h"
#include "DMMainMenu.h"
#include "DMProjectDependency.h"
#include "DMProjectDocumentItemsView.h"
#include "DMProjectDocumentProjectOutlineDS.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectMilestone.h"
#include "DMProjectOutlineIcons.h"
#include "DMProjectResource.h"
#include "DMProjectResourcesOutlineViewDS.h"
#include "DMProjectTask.h"
#include "DMProjectTodo.h"
#include "DMProjectTodoContainer.h"
#include "DMProjectTodoEditorController.h"
#include "DMProjectProcess.h"
#include "DMUIProjectDependency.h"
#include "DMUIProjectDependencyInspectorController.h"
#include "DMUIProjectItem.h"
#include "DMUIProjectMilestoneInspectorController.h"
#include "DMUIProjectProcessInspectorController.h"

#include <QLabel>
#include <QScreen>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

using namespace halcyra::test;

namespace {

class ItemsViewCardsTest : public DocumentTestBase
{
protected:
    void SetUp() override
    {
        DocumentTestBase::SetUp();
        DMGanttUIObjectFactory::registerWithModel();
        project->setBeginDate(at(2024, 3, 4, 8));
        project->setEndDate(at(2024, 6, 28, 18));
        survey = makeItem<DMProjectTask>(project, QStringLiteral("Survey"), at(2024, 3, 4, 8), at(2024, 3, 6, 18));
        permits = makeItem<DMProjectTask>(project, QStringLiteral("Permits"), at(2024, 3, 7, 8), at(2024, 3, 8, 18));
        handover = makeItem<DMProjectMilestone>(project, QStringLiteral("Handover"), at(2024, 3, 29, 18), at(2024, 3, 29, 18));
        for (const auto &item : {std::shared_ptr<DMProjectItem>(survey), std::shared_ptr<DMProjectItem>(permits),
                                 std::shared_ptr<DMProjectItem>(handover)})
            project->tasks().append(item);
        document = documentWithProject(project);
        document->makeWindowControllers();
        document->mainWindow()->resize(1100, 700);
        document->mainWindow()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(document->mainWindow()));
        settle(document);
    }
    void TearDown() override
    {
        DMProjectTodoEditorController::sharedInstance()->close();
        DMInspectorWindow::sharedWindow()->hide();
        DocumentTestBase::TearDown();
    }

    DMProjectDocumentItemsView &items() { return *document->itemsView(); }
    // Chooses the page in the View menu of the window, found by its command's tag.
    void chooseViewMenuPage(int tag)
    {
        QAction *action = viewMenuAction(document->mainWindow(), tag);
        ASSERT_NE(action, nullptr) << "no View command " << tag;
        action->trigger();
        finishEventLoopTurns();
    }
    void clickCard(int index, bool twice = false)
    {
        DMCollectionView *view = items().itemsCollectionView();
        const QPoint centre = view->frameForItemAtIndex(index).center();
        if (twice)
            QTest::mouseDClick(cardAt<DMItemsViewItem>(document, index)->view(), Qt::LeftButton, {}, QPoint(20, 20));
        else
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
        finishEventLoopTurns();
    }
    // The model object of the item or link that the inspector shows; null when it shows none.
    template <typename Inspector>
    std::shared_ptr<DMProjectObject> inspected()
    {
        const auto object = Inspector::sharedInstance()->editedObject();
        if (auto *bar = dynamic_cast<DMUIProjectItem *>(object.get()))
            return bar->representedObject();
        if (auto *line = dynamic_cast<DMUIProjectDependency *>(object.get()))
            return line->representedObject();
        return nullptr;
    }
    QString ymd(const DMDate &date) { return document->sharedYMDDateFormatter()->stringFromDate(date); }
    std::shared_ptr<DMProjectTodo> addTodo(const QString &text, std::uint32_t kind = kDMProjectTodo_Kind_Todo)
    {
        auto todo = std::make_shared<DMProjectTodo>(kind);
        todo->setProject(project);
        todo->setText(text);
        project->todoContainer()->todos().append(todo);
        return todo;
    }

    std::shared_ptr<DMProject> project = DMProject::create();
    std::shared_ptr<DMProjectTask> survey, permits;
    std::shared_ptr<DMProjectMilestone> handover;
    std::shared_ptr<DMProjectDocument> document;
};

TEST_F(ItemsViewCardsTest, AResourceCardFollowsItsResourceAndAMaterialIsNeverDrawnAsAPerson)
{
    auto ann = makeResource(project, QStringLiteral("Ann"));
    auto crane = makeResource(project, QStringLiteral("Crane"));
    crane->setAttribute(kDMProjectResource_Human, false);
    auto crew = makeResource(project, QStringLiteral("Crew"), DMProjectResource::Group);
    for (const auto &resource : {ann, crane, crew})
        project->resources().append(resource);
    ann->setAttribute(kDMProjectResource_HourlyCost, 40.0);
    ann->setAttribute(kDMProjectResource_CostKind, 1);
    survey->addResource(ann);
    document->showPageWithTag(1);

    auto *card = cardOf<DMItemsViewResourcesItem>(document, ann);
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->nameField->text(), QStringLiteral("Ann"));
    EXPECT_EQ(card->humanOrMaterialImageName(), QStringLiteral("28"));
    EXPECT_EQ(card->costKindField->text(), QStringLiteral("/per day"));
    EXPECT_EQ(card->chargeTextField->text(), QStringLiteral("1 tasks, 0 milestones (0%)"));
    ann->setName(QStringLiteral("Anna"));
    ann->setAttribute(kDMProjectResource_Email, QStringLiteral("anna@example.org"));
    EXPECT_EQ(card->nameField->text(), QStringLiteral("Anna"));
    EXPECT_EQ(card->emailField->text(), QStringLiteral("anna@example.org"));
    auto *group = cardOf<DMItemsViewResourcesItem>(document, crew);
    ASSERT_NE(group, nullptr);
    EXPECT_TRUE(group->groupView->isVisibleTo(group->view()));
    EXPECT_FALSE(group->resourceView->isVisibleTo(group->view()));

    // The material resource: its card, the resource list and the outline of the resource view
    // show the material's picture, not a person's.
    EXPECT_EQ(cardOf<DMItemsViewResourcesItem>(document, crane)->humanOrMaterialImageName(), QStringLiteral("47"));
    const QImage material = DMProjectOutlineIcons::imageNamed(QStringLiteral("47"));
    document->showPageWithTag(18);
    DMProjectResourcesOutlineViewDS *list = document->projectResourcesOutlineViewDS();
    EXPECT_EQ(list->outlineViewObjectValueForTableColumnByItem(list->outlineView(), QStringLiteral("icon"), crane.get())
                  .value<QImage>(),
              material);
    project->setAttribute(kDMProject_ViewMode, 1);
    DMProjectDocumentProjectOutlineDS *outline = document->projectOutlineDS();
    EXPECT_EQ(outline->outlineViewObjectValueForTableColumnByItem(nullptr, QStringLiteral("icon"), crane.get()).value<QImage>(),
              material);
    EXPECT_NE(outline->outlineViewObjectValueForTableColumnByItem(nullptr, QStringLiteral("icon"), ann.get()).value<QImage>(),
              material);
}

TEST_F(ItemsViewCardsTest, EditOnTheCardsOfItemsAndLinksOpensTheirInspector)
{
    QWidget *inspectorWindow = DMInspectorWindow::sharedWindow();
    document->mainWindow()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(document->mainWindow()));

    // On the milestones page a click selects the card and leaves the inspector closed; Control+I,
    // Edit and a double click each open it on the card's milestone.
    chooseViewMenuPage(DMMainMenu::ViewMilestonesTag);
    clickCard(0);
    EXPECT_FALSE(inspectorWindow->isVisible());
    QTest::keyClick(items().itemsCollectionView(), Qt::Key_I, Qt::ControlModifier);
    finishEventLoopTurns();
    EXPECT_TRUE(inspectorWindow->isVisible());
    EXPECT_EQ(inspected<DMUIProjectMilestoneInspectorController>(), handover);
    inspectorWindow->hide();
    QTest::mouseClick(items().itemsEditButton(), Qt::LeftButton);
    finishEventLoopTurns();
    EXPECT_TRUE(inspectorWindow->isVisible());
    EXPECT_EQ(inspected<DMUIProjectMilestoneInspectorController>(), handover);
    inspectorWindow->hide();
    clickCard(0, true);
    EXPECT_TRUE(inspectorWindow->isVisible());
    inspectorWindow->hide();

    // The links page: Edit opens the selected link's inspector.
    auto link = survey->addOutboundDependencyToItem(permits);
    finishEventLoopTurns();
    chooseViewMenuPage(DMMainMenu::ViewLinksTag);
    clickCard(0);
    QTest::mouseClick(items().itemsEditButton(), Qt::LeftButton);
    finishEventLoopTurns();
    EXPECT_TRUE(inspectorWindow->isVisible());
    EXPECT_EQ(inspected<DMUIProjectDependencyInspectorController>(), link);
    inspectorWindow->hide();

    // New on the processes page opens the new process's inspector with its title ready to be
    // typed over.
    chooseViewMenuPage(DMMainMenu::ViewProcessesTag);
    QTest::mouseClick(items().itemsAddButton(), Qt::LeftButton);
    finishEventLoopTurns();
    ASSERT_EQ(project->tasks().size(), 4);
    const auto process = std::dynamic_pointer_cast<DMProjectProcess>(project->tasks().last());
    ASSERT_TRUE(process);
    ASSERT_TRUE(inspectorWindow->isVisible());
    EXPECT_EQ(inspected<DMUIProjectProcessInspectorController>(), process);
    QLineEdit *title = DMUIProjectProcessInspectorController::sharedInstance()->titleField();
    EXPECT_EQ(inspectorWindow->focusWidget(), title);
    EXPECT_EQ(title->selectedText(), QStringLiteral("New Process"));
    QTest::keyClicks(title, QStringLiteral("Pack the archive"));
    QTest::keyClick(title, Qt::Key_Return);
    EXPECT_EQ(process->title(), QStringLiteral("Pack the archive"));
}

TEST_F(ItemsViewCardsTest, ToDoCardsFollowThePopoverAndACollapsedCategoryHidesItsToDos)
{
    auto call = addTodo(QStringLiteral("To do..."));
    call->setDate(at(2024, 3, 5, 9));
    auto later = addTodo(QStringLiteral("Later"), kDMProjectTodo_Kind_Separator);
    later->setDate(at(2024, 3, 10, 0));
    auto paint = addTodo(QStringLiteral("Buy paint"));
    paint->setDate(at(2024, 3, 12, 9));
    document->showPageWithTag(5);
    auto *card = cardOf<DMItemsViewTodoItem>(document, call);
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->textField->text(), QStringLiteral("To do..."));
    EXPECT_EQ(card->dateField->text(), ymd(at(2024, 3, 5, 9)));

    // A double click opens the editor; the text typed there shows on the card at once.
    QTest::mouseDClick(card->view(), Qt::LeftButton, {}, QPoint(20, 20));
    DMProjectTodoEditorController *editor = DMProjectTodoEditorController::sharedInstance();
    ASSERT_EQ(editor->editedObject(), call);
    editor->textField()->setText(QStringLiteral("Call the council"));
    emit editor->textField()->editingFinished();
    EXPECT_EQ(call->text(), QStringLiteral("Call the council"));
    EXPECT_EQ(card->textField->text(), QStringLiteral("Call the council"));
    editor->close();

    // The separator's disclosure button collapses its category: its arrow turns at once and the
    // to-dos after it leave the page; opening it brings them back.
    auto *separator = cardOf<DMItemsViewTodoItem>(document, later);
    ASSERT_NE(separator, nullptr);
    EXPECT_EQ(separator->separatorDisclosureButton->arrowType(), Qt::DownArrow);
    separator->separatorDisclosureButton->click();
    EXPECT_EQ(separator->separatorDisclosureButton->arrowType(), Qt::RightArrow);
    finishEventLoopTurns();
    EXPECT_EQ(items().itemsViewContentsArray(),
              (QList<DMItemsViewObject>{{call, nullptr}, {later, nullptr}}));
    cardOf<DMItemsViewTodoItem>(document, later)->separatorDisclosureButton->click();
    finishEventLoopTurns();
    EXPECT_EQ(items().itemsViewContentsArray().size(), 3);
}

TEST_F(ItemsViewCardsTest, AToDoCardShowsATimeOfDayOnlyWhenItHasOneAndShowsWhenItIsDone)
{
    auto call = addTodo(QStringLiteral("Call the movers"));
    call->setDate(at(2024, 3, 5, 9, 30));
    document->showPageWithTag(DMPage::ItemsToDoPage);
    auto *timed = cardOf<DMItemsViewTodoItem>(document, call);
    ASSERT_NE(timed, nullptr);
    EXPECT_EQ(timed->hourOfDayField->text(), document->sharedHMSDateFormatter()->stringFromDate(at(2024, 3, 5, 9, 30)));
    EXPECT_FALSE(timed->textField->font().strikeOut());
    EXPECT_FALSE(timed->doneField->isVisibleTo(timed->view()));

    // A new to-do given a day in its editor has a date alone: no time of day on its card.
    QTest::mouseClick(items().itemsAddButton(), Qt::LeftButton);
    finishEventLoopTurns();
    DMProjectTodoEditorController *editor = DMProjectTodoEditorController::sharedInstance();
    const auto boxes = editor->editedObject();
    ASSERT_TRUE(boxes);
    editor->datePicker()->setDate(QDate(2024, 3, 6));
    finishEventLoopTurns();
    ASSERT_EQ(boxes->date(), at(2024, 3, 6));
    auto *dateAlone = cardOf<DMItemsViewTodoItem>(document, boxes);
    ASSERT_NE(dateAlone, nullptr);
    EXPECT_EQ(dateAlone->dateField->text(), ymd(at(2024, 3, 6)));
    EXPECT_TRUE(dateAlone->hourOfDayField->text().isEmpty());

    // Ticked done in its editor, the to-do shows done on its card: its text struck through and
    // marked; unticked, it is open again.
    QTest::mouseClick(editor->doneCheckBox(), Qt::LeftButton, {}, QPoint(6, editor->doneCheckBox()->height() / 2));
    finishEventLoopTurns();
    ASSERT_TRUE(boxes->done());
    dateAlone = cardOf<DMItemsViewTodoItem>(document, boxes);
    EXPECT_TRUE(dateAlone->textField->font().strikeOut());
    EXPECT_TRUE(dateAlone->doneField->isVisibleTo(dateAlone->view()));
    QTest::mouseClick(editor->doneCheckBox(), Qt::LeftButton, {}, QPoint(6, editor->doneCheckBox()->height() / 2));
    finishEventLoopTurns();
    dateAlone = cardOf<DMItemsViewTodoItem>(document, boxes);
    EXPECT_FALSE(dateAlone->textField->font().strikeOut());
    EXPECT_FALSE(dateAlone->doneField->isVisibleTo(dateAlone->view()));
}

TEST_F(ItemsViewCardsTest, AToDoCardMerelySelectedLeavesTheKeyboardToTheCardsSoDeleteRemovesIt)
{
    auto paint = addTodo(QStringLiteral("Buy paint"));
    paint->setDate(at(2024, 3, 5, 9));
    auto call = addTodo(QStringLiteral("Call Ada"));
    call->setDate(at(2024, 3, 6, 9));
    document->showPageWithTag(DMPage::ItemsToDoPage);
    finishEventLoopTurns();
    auto *view = items().itemsCollectionView();
    DMProjectTodoEditorController *editor = DMProjectTodoEditorController::sharedInstance();
    QPushButton *remove = nullptr;
    for (QPushButton *button : document->mainWindow()->findChildren<QPushButton *>())
        if (button->text() == QLatin1String("Delete") && button->isVisibleTo(document->mainWindow()))
            remove = button;
    ASSERT_TRUE(remove);

    // A click selects the card and shows its editor beside it without giving it the keyboard
    // (the desktop leaves the popover inactive; here, where every window shown becomes active,
    // at least its text is not selected for the next key to replace).
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->frameForItemAtIndex(0).center());
    finishEventLoopTurns();
    ASSERT_EQ(editor->editedObject(), paint);
    EXPECT_TRUE(editor->isShown());
    EXPECT_FALSE(editor->textField()->hasSelectedText());

    // Deleting the card takes its editor with it; one undo brings the to-do back as it was.
    remove->click();
    finishEventLoopTurns();
    EXPECT_EQ(project->todoContainer()->todos().size(), 1);
    EXPECT_FALSE(editor->isShown());
    document->undoManager()->undo();
    finishEventLoopTurns();
    ASSERT_EQ(project->todoContainer()->todos().size(), 2);
    EXPECT_EQ(paint->text(), QStringLiteral("Buy paint"));

    // With the cards holding the keyboard, Delete removes the selected card, not its text.
    view->setSelectionIndexes({0});
    document->mainWindow()->activateWindow();
    view->setFocus();
    finishEventLoopTurns();
    QTest::keyClick(view, Qt::Key_Delete);
    finishEventLoopTurns();
    EXPECT_EQ(project->todoContainer()->todos().size(), 1);
    EXPECT_EQ(paint->text(), QStringLiteral("Buy paint"));

    // A double click asks for the editor: its text takes the keyboard, all of it selected.
    QTest::mouseDClick(cardOf<DMItemsViewTodoItem>(document, call)->view(), Qt::LeftButton, {}, QPoint(20, 20));
    finishEventLoopTurns();
    ASSERT_EQ(editor->editedObject(), call);
    EXPECT_EQ(QApplication::focusWidget(), editor->textField());
    EXPECT_EQ(editor->textField()->selectedText(), QStringLiteral("Call Ada"));
}

TEST_F(ItemsViewCardsTest, TheToDoEditorFollowsItsCardWhenADateChangeMovesIt)
{
    auto badges = addTodo(QStringLiteral("Order badges"));
    badges->setDate(at(2024, 3, 5, 9));
    auto hall = addTodo(QStringLiteral("Book the hall"));
    hall->setDate(at(2024, 3, 6, 9));
    auto programmes = addTodo(QStringLiteral("Print programmes"));
    programmes->setDate(at(2024, 3, 7, 9));
    document->showPageWithTag(DMPage::ItemsToDoPage);
    auto *card = cardOf<DMItemsViewTodoItem>(document, badges);
    ASSERT_NE(card, nullptr);
    QTest::mouseDClick(card->view(), Qt::LeftButton, {}, QPoint(20, 20));
    DMProjectTodoEditorController *editor = DMProjectTodoEditorController::sharedInstance();
    ASSERT_EQ(editor->editedObject(), badges);
    const auto frameOfShownEditor = [editor] { return editor->containerWindow()->frame(); };
    const QRect clicked = frameOfShownEditor();

    // A text change keeps the to-do's place: the arrow stays on the click.
    editor->textField()->setText(QStringLiteral("Order name badges"));
    emit editor->textField()->editingFinished();
    finishEventLoopTurns();
    EXPECT_EQ(frameOfShownEditor(), clicked);

    // A later date sorts it last: the arrow points at its card there, not at the card that now
    // holds its old place.
    editor->datePicker()->setDate(QDate(2024, 3, 20));
    finishEventLoopTurns();
    ASSERT_EQ(items().itemsViewContentsArray().indexOf(DMItemsViewObject{badges, nullptr}), 2);
    auto *moved = cardOf<DMItemsViewTodoItem>(document, badges);
    ASSERT_NE(moved, nullptr);
    const QRect followed = frameOfShownEditor();
    editor->showAtPointInView(QRectF(moved->view()->geometry()).center(), items().itemsCollectionView()->viewport());
    EXPECT_EQ(followed, frameOfShownEditor());
    EXPECT_NE(followed, clicked);
    EXPECT_EQ(editor->editedObject(), badges);
}

TEST_F(ItemsViewCardsTest, ADocumentCardNamesEveryItemHoldingItsFile)
{
    writeFile(path(QStringLiteral("site plan.pdf")), QByteArray(2048, 'p'));
    const QString key = document->addAttachedDocumentTableKey(path(QStringLiteral("site plan.pdf")));
    ASSERT_FALSE(key.isEmpty());
    document->addAttachedDocumentTableKey(path(QStringLiteral("site plan.pdf"))); // the second holder's reference
    survey->setAttribute(kDMProjectItem_AttachedDocuments, QVariantList{key});
    permits->setAttribute(kDMProjectItem_AttachedDocuments, QVariantList{key});
    document->showPageWithTag(7);

    ASSERT_EQ(items().itemsViewContentsArray().size(), 3) << "the file is listed once, after the two separators";
    auto *card = cardAt<DMItemsViewDocumentsItem>(document, 2);
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->nameField->text(), QStringLiteral("site plan.pdf"));
    EXPECT_EQ(card->sizeField->text(), QStringLiteral("2 KB"));
    EXPECT_EQ(card->infoField->text(), QStringLiteral("Survey, Permits"));
    auto *separator = cardAt<DMItemsViewDocumentsItem>(document, 1);
    ASSERT_NE(separator, nullptr);
    EXPECT_TRUE(separator->separatorView->isVisibleTo(separator->view()));
    EXPECT_EQ(separator->separatorNameField->text(), QStringLiteral("Tasks"));

    // Renaming a holder while the page is shown renames it on the card.
    document->undoManager()->beginUndoGrouping();
    permits->setTitle(QStringLiteral("Permits approved"));
    document->undoManager()->endUndoGrouping();
    finishEventLoopTurns();
    ASSERT_EQ(items().itemsViewContentsArray().size(), 3);
    card = cardAt<DMItemsViewDocumentsItem>(document, 2);
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->infoField->text(), QStringLiteral("Survey, Permits approved"));
}

TEST_F(ItemsViewCardsTest, EachSectionOfTheDocumentsPageBeginsOnItsOwnRowUnderItsHeading)
{
    for (const char *name : {"brief.pdf", "floor plan.pdf", "inventory.csv"})
        writeFile(path(QString::fromLatin1(name)), QByteArray(100, 'x'));
    ASSERT_TRUE(items().attachFilesToProject({path(QStringLiteral("brief.pdf")), path(QStringLiteral("floor plan.pdf"))}));
    const QString key = document->addAttachedDocumentTableKey(path(QStringLiteral("inventory.csv")));
    survey->setAttribute(kDMProjectItem_AttachedDocuments, QVariantList{key});
    chooseViewMenuPage(DMMainMenu::ViewDocumentsTag);
    // "Project", its two files, "Tasks", the survey's file; two cards fit across the page.
    ASSERT_EQ(items().itemsViewContentsArray().size(), 5);
    ASSERT_GE(items().itemsCollectionView()->columnCount(), 2);
    const auto frameOf = [this](int index) {
        auto *card = cardAt<DMItemsViewDocumentsItem>(document, index);
        return card ? card->view()->geometry() : QRect();
    };
    const QRect project = frameOf(0), brief = frameOf(1), plan = frameOf(2), tasks = frameOf(3), inventory = frameOf(4);
    // Each heading has its row to itself; its files begin at the left of the row below it.
    EXPECT_EQ(brief.topLeft(), QPoint(0, project.bottom() + 1));
    EXPECT_EQ(plan.top(), brief.top());
    EXPECT_EQ(tasks.topLeft(), QPoint(0, brief.bottom() + 1));
    EXPECT_EQ(inventory.topLeft(), QPoint(0, tasks.bottom() + 1));
    EXPECT_GE(tasks.width(), plan.right() + 1) << "the heading runs across the page";

    // A click right of a heading is on the heading; right of the last file, on nothing.
    DMCollectionView *view = items().itemsCollectionView();
    EXPECT_EQ(view->indexAtPoint(QPoint(plan.right() - 5, tasks.center().y())), 3);
    EXPECT_EQ(view->indexAtPoint(QPoint(plan.right() - 5, inventory.center().y())), -1);
}

TEST_F(ItemsViewCardsTest, ALinkCardShowsTheDatesTheLinkJoinsAndFollowsTheLinkAndItsItems)
{
    auto link = survey->addOutboundDependencyToItem(permits);
    link->setKind(DMProjectDependency::StartToStart);
    document->reloadViews(); // the Gantt view has its bars and its line
    finishEventLoopTurns();
    document->showPageWithTag(8);
    auto *card = cardOf<DMItemsViewDependenciesItem>(document, link);
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->fromNameField->text(), QStringLiteral("Survey"));
    EXPECT_EQ(card->toNameField->text(), QStringLiteral("Permits"));
    EXPECT_EQ(card->fromEndDateField->text(), ymd(survey->beginDate())) << "a start-to-start link starts at the begin";
    EXPECT_EQ(card->toBeginDateField->text(), ymd(permits->beginDate()));
    link->setKind(DMProjectDependency::FinishToFinish);
    EXPECT_EQ(card->fromEndDateField->text(), ymd(survey->endDate()));
    EXPECT_EQ(card->toBeginDateField->text(), ymd(permits->endDate())) << "a finish-to-finish link leads to the end";
    link->setKind(DMProjectDependency::FinishToStart);
    EXPECT_EQ(card->toBeginDateField->text(), ymd(permits->beginDate()));
    permits->setBeginDateAndEndDate(at(2024, 3, 14, 8), at(2024, 3, 15, 18));
    EXPECT_EQ(card->toBeginDateField->text(), ymd(at(2024, 3, 14, 8)));
    // The line is drawn across the card's middle canvas, also after the bars of the Gantt view
    // moved: the middle row of that canvas is dark from end to end.
    project->setAttribute(kDMProject_TimelineViewPixelsPerDay, 40.0f);
    document->reloadViews();
    finishEventLoopTurns();
    QWidget *window = document->mainWindow();
    const QPoint origin = card->linkPreview->mapTo(window, QPoint(0, 0));
    const QImage drawn = window->screen()->grabWindow(window->winId(), origin.x(), origin.y(), card->linkPreview->width(),
                                                      card->linkPreview->height()).toImage();
    int dark = 0;
    for (int x = 0; x < drawn.width(); ++x)
        if (qGray(drawn.pixel(x, drawn.height() / 2)) < 128 && qAlpha(drawn.pixel(x, drawn.height() / 2)) > 128)
            ++dark;
    EXPECT_GT(dark, drawn.width() / 2);
    survey->setTitle(QStringLiteral("Site survey"));
    EXPECT_EQ(card->fromNameField->text(), QStringLiteral("Site survey"));
}

TEST_F(ItemsViewCardsTest, MilestoneAndEventCardsFollowTheirItems)
{
    auto ann = makeResource(project, QStringLiteral("Ann"));
    project->resources().append(ann);
    handover->addResource(ann);
    document->showPageWithTag(3);
    auto *milestone = cardOf<DMItemsViewMilestonesItem>(document, handover);
    ASSERT_NE(milestone, nullptr);
    EXPECT_EQ(milestone->nameField->text(), QStringLiteral("Handover"));
    EXPECT_EQ(milestone->beginDateField->text(), ymd(at(2024, 3, 29, 18)));
    EXPECT_EQ(milestone->affectedResourcesField->text(), QStringLiteral("1 Resources"));
    handover->setBeginDateAndEndDate(at(2024, 4, 2, 12), at(2024, 4, 2, 12));
    EXPECT_EQ(milestone->beginDateField->text(), ymd(at(2024, 4, 2, 12)));

    // No page shows event cards (page 6 is the event list): the card is made as a page would.
    auto inspection = makeItem<DMProjectEvent>(project, QStringLiteral("Inspection"), at(2024, 3, 5, 9), at(2024, 3, 5, 12));
    inspection->setUseWorkingSchedule(false);
    project->eventContainer()->events().append(inspection);
    DMItemsViewEventsItem event(*document, nullptr);
    event.setRepresentedObject({inspection, nullptr});
    EXPECT_EQ(event.titleField->text(), QStringLiteral("Inspection"));
    EXPECT_EQ(event.beginHourOfDayField->text(), document->sharedHMSDateFormatter()->stringFromDate(at(2024, 3, 5, 9)));
    EXPECT_EQ(event.durationField->text(), QStringLiteral(" 3 hours"));
    inspection->setBeginDateAndEndDate(at(2024, 3, 6, 9), at(2024, 3, 7, 10));
    inspection->setTitle(QStringLiteral("Final inspection"));
    EXPECT_EQ(event.endDateField->text(), ymd(at(2024, 3, 7, 10)));
    EXPECT_EQ(event.durationField->text(), QStringLiteral(" 1 days 1 hours"));
    EXPECT_EQ(event.titleField->text(), QStringLiteral("Final inspection"));
    event.setRepresentedObject({});
    inspection->setTitle(QStringLiteral("Gone"));
    EXPECT_EQ(event.titleField->text(), QStringLiteral("Final inspection")) << "a card lets go of its old object";
}

TEST_F(ItemsViewCardsTest, TitlesWrapWhereTheCardHasRoomAndEndWithAnEllipsisWhereItHasNot)
{
    QFont font;
    font.setPointSize(12);
    const QFontMetrics metrics(font);
    const QString title = QStringLiteral("Permits approved by the building control office");
    const int width = metrics.horizontalAdvance(QStringLiteral("Permits approved"));
    EXPECT_EQ(DMItemsViewItem::fittedText(QStringLiteral("Survey"), font, QSize(width, metrics.height())), QStringLiteral("Survey"));
    const QString oneLine = DMItemsViewItem::fittedText(title, font, QSize(width, metrics.lineSpacing()));
    EXPECT_TRUE(oneLine.endsWith(QChar(0x2026))) << oneLine.toStdString();
    EXPECT_FALSE(oneLine.contains(QLatin1Char('\n')));
    EXPECT_LE(metrics.horizontalAdvance(oneLine), width);
    const QStringList twoLines = DMItemsViewItem::fittedText(title, font, QSize(width, 2 * metrics.lineSpacing())).split('\n');
    ASSERT_EQ(twoLines.size(), 2);
    EXPECT_EQ(twoLines.first(), QStringLiteral("Permits approved"));
    EXPECT_TRUE(twoLines.last().endsWith(QChar(0x2026)));

    // On the cards: the milestone's title takes two lines, the link's names one, cut; each keeps
    // the whole title as its tool tip.
    handover->setTitle(title);
    document->showPageWithTag(3);
    auto *milestone = cardOf<DMItemsViewMilestonesItem>(document, handover);
    ASSERT_NE(milestone, nullptr);
    EXPECT_EQ(milestone->nameField->text().count(QLatin1Char('\n')), 1);
    EXPECT_EQ(milestone->nameField->toolTip(), title);
    auto link = permits->addOutboundDependencyToItem(handover);
    finishEventLoopTurns();
    document->showPageWithTag(8);
    auto *card = cardOf<DMItemsViewDependenciesItem>(document, link);
    ASSERT_NE(card, nullptr);
    EXPECT_TRUE(card->toNameField->text().endsWith(QChar(0x2026)));
    EXPECT_LE(card->toNameField->fontMetrics().horizontalAdvance(card->toNameField->text()), card->toNameField->width());
}

} // namespace
