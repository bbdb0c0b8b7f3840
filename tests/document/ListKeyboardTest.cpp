// The task, resource and event lists driven from the keyboard alone: after F2, Tab and Shift+Tab
// carry the editor along the row to the cells edited in place (dates included) and past those
// that only an inspector edits; the buttons below a list are reached with Tab; a new row made
// from the File menu takes the keyboard.
#include "DocumentTestSupport.h"
#include "../gantt/FakeInspector.h"

#include "DMDatePickerCellEditor.h"
#include "DMGanttUIObjectFactory.h"
#include "DMMainMenu.h"
#include "DMPreferenceKeys.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectEventsOutlineViewDS.h"
#include "DMProjectItemsOutlineViewDS.h"
#include "DMProjectKeys.h"
#include "DMProjectResourceEditorController.h"
#include "DMProjectResourcesOutlineViewDS.h"

#include <QApplication>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace halcyra::test;

namespace {

class ListKeyboardTest : public DocumentTestBase
{
protected:
    void SetUp() override
    {
        DocumentTestBase::SetUp();
        DMGanttUIObjectFactory::registerWithModel();
        DMPreferenceKeys_writeDefaultValues();
    }
    void TearDown() override
    {
        DMProjectResourceEditorController::sharedInstance()->close();
        DocumentTestBase::TearDown();
    }

    std::shared_ptr<DMProjectDocument> openOn(int page, const QStringList &tasks = {})
    {
        auto document = shownDocumentWith(tasks, QSize(1300, 600));
        document->showPageWithTag(page);
        QMainWindow *window = document->mainWindow();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        settle(document);
        return document;
    }
    // Selects the row with a click on its first cell and opens its title (name) with F2.
    static void pressF2OnRow(DMOutlineView *outline, int row)
    {
        const QRect cell = outline->frameOfCellAtColumnRow(0, row).translated(-outline->contentOffset());
        QTest::mouseClick(outline->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::keyClick(outline, Qt::Key_F2);
    }
    static QWidget *keyboard() { return QApplication::focusWidget(); }
    // The column whose cell the editor that has the keyboard lies over; empty when none does.
    static QString editedColumn(DMOutlineView *outline)
    {
        QWidget *editor = keyboard();
        if (!editor || editor == outline || !outline->viewport()->isAncestorOf(editor))
            return QString();
        const QPoint centre = editor->mapTo(outline->viewport(), editor->rect().center()) + outline->contentOffset();
        const int row = outline->rowAtPoint(centre);
        for (int column = 0; column < outline->numberOfColumns(); ++column)
            if (outline->frameOfCellAtColumnRow(column, row).contains(centre))
                return outline->tableColumnIdentifiers().at(column);
        return QString();
    }
    // Replaces the text of the field (a line or a number) that has the keyboard.
    static void type(const QString &text)
    {
        if (auto *field = qobject_cast<QLineEdit *>(keyboard()))
            field->selectAll();
        else if (auto *number = qobject_cast<QAbstractSpinBox *>(keyboard()))
            number->selectAll();
        else
            FAIL() << "no field has the keyboard";
        QTest::keyClicks(keyboard(), text);
    }
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        ASSERT_TRUE(keyboard());
        QTest::keyClick(keyboard(), key, modifiers);
        finishEventLoopTurn(); // editors commit and move in a later turn
    }
};

} // namespace

TEST_F(ListKeyboardTest, TabCarriesTheResourceEditorFromTheNameToTheRateKindAndEmail)
{
    auto document = openOn(DMPage::ResourcesPage);
    auto project = document->project();
    auto frank = std::make_shared<DMProjectResource>();
    frank->setProject(project);
    frank->setName(QStringLiteral("New Resource"));
    project->resources().append(frank);
    auto movers = std::make_shared<DMProjectResource>(DMProjectResource::Group);
    movers->setProject(project);
    movers->setName(QStringLiteral("Movers"));
    project->resources().append(movers);
    document->reloadViews();
    DMOutlineView *outline = document->projectResourcesOutlineViewDS()->outlineView();

    pressF2OnRow(outline, 0);
    ASSERT_EQ(editedColumn(outline), QStringLiteral("name"));
    type(QStringLiteral("Frank Green"));
    press(Qt::Key_Tab);
    EXPECT_EQ(frank->name(), QStringLiteral("Frank Green"));
    ASSERT_EQ(editedColumn(outline), QStringLiteral("cost")) << "the rate is typed next, not over the name";
    type(QStringLiteral("45"));
    press(Qt::Key_Tab);
    EXPECT_DOUBLE_EQ(frank->attribute(kDMProjectResource_HourlyCost).toDouble(), 45.0);
    EXPECT_EQ(frank->name(), QStringLiteral("Frank Green"));
    EXPECT_EQ(editedColumn(outline), QStringLiteral("costKind"));
    EXPECT_TRUE(qobject_cast<QComboBox *>(keyboard()));
    press(Qt::Key_Tab);
    ASSERT_EQ(editedColumn(outline), QStringLiteral("email"));
    type(QStringLiteral("frank@example.org"));
    // Shift+Tab goes back one cell, keeping what was typed.
    press(Qt::Key_Backtab, Qt::ShiftModifier); // Shift+Tab
    EXPECT_EQ(editedColumn(outline), QStringLiteral("costKind"));
    EXPECT_EQ(frank->attribute(kDMProjectResource_Email).toString(), QStringLiteral("frank@example.org"));
    press(Qt::Key_Escape);
    EXPECT_EQ(keyboard(), outline);

    // Before the name there is only the icon, which the inspector edits: Shift+Tab ends the
    // edit in the list. A group's row has nothing after its name.
    pressF2OnRow(outline, 0);
    press(Qt::Key_Backtab, Qt::ShiftModifier); // Shift+Tab
    EXPECT_EQ(keyboard(), outline);
    pressF2OnRow(outline, 1);
    ASSERT_EQ(editedColumn(outline), QStringLiteral("name"));
    press(Qt::Key_Tab);
    EXPECT_EQ(keyboard(), outline);
    EXPECT_FALSE(DMProjectResourceEditorController::sharedInstance()->isShown()) << "no cell opened the inspector";
    EXPECT_EQ(frank->name(), QStringLiteral("Frank Green"));
}

TEST_F(ListKeyboardTest, TabCarriesTheTaskAndEventEditorsThroughTheirDatesAndPastTheInspectorsCells)
{
    auto document = openOn(DMPage::TasksPage, {"Pack boxes"});
    auto project = document->project();
    auto task = project->tasks().first();
    gantttest::FakeInspector taskInspector(QStringLiteral("DMUIProjectTaskInspectorController"));
    DMOutlineView *tasks = document->projectItemsOutlineViewDS()->outlineView();

    // Title, begin, end (the date editors), then past the duration, effort and cost, which open
    // the inspector or edit nothing, to the base cost.
    pressF2OnRow(tasks, 0);
    type(QStringLiteral("Pack the boxes"));
    press(Qt::Key_Tab);
    EXPECT_EQ(task->title(), QStringLiteral("Pack the boxes"));
    EXPECT_EQ(editedColumn(tasks), QStringLiteral("beginDate"));
    EXPECT_TRUE(qobject_cast<DMDatePickerCellEditor *>(keyboard()));
    press(Qt::Key_Tab);
    EXPECT_EQ(editedColumn(tasks), QStringLiteral("endDate"));
    EXPECT_TRUE(qobject_cast<DMDatePickerCellEditor *>(keyboard()));
    press(Qt::Key_Tab);
    ASSERT_EQ(editedColumn(tasks), QStringLiteral("baseCost"));
    type(QStringLiteral("250"));
    press(Qt::Key_Tab);
    EXPECT_DOUBLE_EQ(task->attribute(kDMProjectItem_Cost).toDouble(), 250.0);
    EXPECT_EQ(editedColumn(tasks), QStringLiteral("costKind"));
    // The completion, then past the working schedule's check box, which a click edits, to the
    // row's end, where the list has the keyboard again.
    press(Qt::Key_Tab);
    EXPECT_EQ(editedColumn(tasks), QStringLiteral("completion"));
    press(Qt::Key_Tab);
    EXPECT_EQ(keyboard(), tasks);
    pressF2OnRow(tasks, 0);
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    EXPECT_EQ(editedColumn(tasks), QStringLiteral("baseCost"));
    press(Qt::Key_Tab);
    press(Qt::Key_Backtab, Qt::ShiftModifier); // Shift+Tab
    EXPECT_EQ(editedColumn(tasks), QStringLiteral("baseCost"));
    press(Qt::Key_Backtab, Qt::ShiftModifier); // Shift+Tab
    EXPECT_EQ(editedColumn(tasks), QStringLiteral("endDate"));
    press(Qt::Key_Backtab, Qt::ShiftModifier); // Shift+Tab
    EXPECT_EQ(editedColumn(tasks), QStringLiteral("beginDate"));
    press(Qt::Key_Backtab, Qt::ShiftModifier); // Shift+Tab
    EXPECT_EQ(editedColumn(tasks), QStringLiteral("title"));
    press(Qt::Key_Escape);
    EXPECT_EQ(taskInspector.shown, 0) << "tabbing opened the inspector";
    EXPECT_EQ(task->title(), QStringLiteral("Pack the boxes"));

    // The event list: the notes after the dates, and the row's end gives the keyboard back.
    auto fair = makeItem<DMProjectEvent>(project, QStringLiteral("Fair"), at(2024, 1, 10, 9), at(2024, 1, 10, 17));
    project->eventContainer()->events().append(fair);
    document->showPageWithTag(DMPage::EventsPage);
    document->reloadViews();
    DMOutlineView *events = document->projectEventsOutlineViewDS()->outlineView();
    pressF2OnRow(events, 0);
    press(Qt::Key_Tab);
    EXPECT_EQ(editedColumn(events), QStringLiteral("beginDate"));
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    ASSERT_EQ(editedColumn(events), QStringLiteral("notes"));
    type(QStringLiteral("Hall B"));
    press(Qt::Key_Tab);
    EXPECT_EQ(keyboard(), events);
    EXPECT_EQ(fair->attribute(kDMProjectItem_Notes).toString(), QStringLiteral("Hall B"));
    EXPECT_EQ(fair->title(), QStringLiteral("Fair"));

    // The outline beside the chart moves the same way.
    document->showPageWithTag(DMPage::GanttPage);
    DMOutlineView *outline = document->outlets().projectOutlineView;
    const int row = rowsOf(outline).indexOf(QStringLiteral("Pack the boxes"));
    ASSERT_GE(row, 0);
    pressF2OnRow(outline, row);
    ASSERT_EQ(editedColumn(outline), QStringLiteral("title"));
    press(Qt::Key_Tab);
    EXPECT_EQ(editedColumn(outline), QStringLiteral("beginDate"));
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    EXPECT_EQ(editedColumn(outline), QStringLiteral("progress")) << "past the duration and the cost";
    press(Qt::Key_Backtab, Qt::ShiftModifier); // Shift+Tab
    EXPECT_EQ(editedColumn(outline), QStringLiteral("endDate"));
    press(Qt::Key_Escape);
    EXPECT_EQ(taskInspector.shown, 0);
}

TEST_F(ListKeyboardTest, TabReachesTheButtonsBelowAListAndSpacePressesThem)
{
    auto document = openOn(DMPage::EventsPage);
    auto project = document->project();
    DMOutlineView *events = document->projectEventsOutlineViewDS()->outlineView();
    QTest::mouseClick(events->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    ASSERT_EQ(keyboard(), events);
    QPushButton *reached = nullptr;
    for (int presses = 0; presses < 10 && !reached; ++presses) {
        press(Qt::Key_Tab);
        auto *button = qobject_cast<QPushButton *>(keyboard());
        if (button && button->text() == QStringLiteral("New Event"))
            reached = button;
    }
    ASSERT_TRUE(reached) << "Tab never reaches the New Event button";
    press(Qt::Key_Space);
    EXPECT_EQ(project->eventContainer()->events().size(), 1);
}

TEST_F(ListKeyboardTest, ANewResourceOrGroupChosenInTheFileMenuTakesTheKeyboardForItsName)
{
    auto document = openOn(DMPage::ResourcesPage);
    auto project = document->project();
    QMainWindow *window = document->mainWindow();
    DMOutlineView *sourceList = document->outlets().sourceListOutlineView;
    sourceList->setFocus();
    // Opens File, then New, then the entry, as the arrow keys and Return do.
    const auto choose = [window](const QString &entry) {
        QMenuBar *bar = window->menuBar();
        QAction *file = menuAction(window, {QStringLiteral("File")});
        bar->setActiveAction(file);
        QMenu *menu = file->menu();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        QAction *newItem = menuAction(window, {QStringLiteral("File"), QStringLiteral("New")});
        menu->setActiveAction(newItem);
        QTest::keyClick(menu, Qt::Key_Right);
        QMenu *submenu = newItem->menu();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(submenu));
        // As a window manager does, the closing menu hands the keyboard back to the window
        // before the command has run.
        QObject context;
        QObject::connect(submenu, &QMenu::aboutToHide, &context, [window] { window->activateWindow(); });
        submenu->setActiveAction(menuAction(window, {QStringLiteral("File"), QStringLiteral("New"), entry}));
        QTest::keyClick(submenu, Qt::Key_Return);
        finishEventLoopTurns(5);
    };

    // Nothing selected: the new group's inspector opens with its name selected for typing.
    choose(QStringLiteral("Resource Group"));
    ASSERT_EQ(project->resources().size(), 1);
    auto group = project->resources().first();
    EXPECT_TRUE(DMProjectResourceEditorController::sharedInstance()->isShown());
    ASSERT_TRUE(qobject_cast<QLineEdit *>(keyboard())) << "the keyboard stays in "
                                                       << (keyboard() ? keyboard()->metaObject()->className() : "nothing");
    QTest::keyClicks(keyboard(), QStringLiteral("Movers"));
    press(Qt::Key_Return);
    EXPECT_EQ(group->name(), QStringLiteral("Movers"));

    // The group selected: the new resource's name is edited in its row.
    DMProjectResourceEditorController::sharedInstance()->close();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    DMOutlineView *outline = document->projectResourcesOutlineViewDS()->outlineView();
    outline->selectRowIndexesByExtendingSelection({0}, false);
    sourceList->setFocus();
    choose(QStringLiteral("Resource"));
    ASSERT_EQ(group->subitems().size(), 1);
    EXPECT_EQ(editedColumn(outline), QStringLiteral("name"));
}
