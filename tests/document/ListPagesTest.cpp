// The task, resource and event lists on their pages of a shown document window: adding, editing
// in place and deleting as single undo steps, drops that the Gantt page follows, regrouping
// resources, deleting an assigned resource, and the resource file.
#include "DocumentTestSupport.h"
#include "../gantt/FakeInspector.h"

#include "DMDatePickerCellEditor.h"
#include "DMGanttUIObjectFactory.h"
#include "DMMainMenu.h"
#include "DMOutlineView.h"
#include "DMOutlineViewModel.h"
#include "DMPreferenceKeys.h"
#include "DMProjectEventsOutlineViewDS.h"
#include "DMProjectItemsOutlineViewDS.h"
#include "DMProjectOutlineDragPayload.h"
#include "DMProjectResourceFile.h"
#include "DMProjectResourcesOutlineViewDS.h"
#include "DMPropertyList.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItemGroup.h"
#include "DMProjectMilestone.h"
#include "DMProjectProcess.h"
#include "DMProjectTask.h"
#include "DMUIProjectItem.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMimeData>
#include <QSpinBox>
#include <QTest>

using namespace halcyra::test;

namespace {

class ListPagesTest : public DocumentTestBase
{
protected:
    void SetUp() override
    {
        DocumentTestBase::SetUp();
        DMGanttUIObjectFactory::registerWithModel();
        DMPreferenceKeys_writeDefaultValues();
    }

    // A new document, shown on the page, with the tasks (a "P:" prefix makes a process).
    std::shared_ptr<DMProjectDocument> openWith(const QStringList &titles, int page = 17)
    {
        auto document = shownDocumentWith(titles, QSize(1200, 600));
        document->showPageWithTag(page);
        return document;
    }
    static QVariant value(DMOutlineView *outline, int row, const QString &column)
    {
        const DMOutlineViewModel *model = outline->outlineModel();
        return model->data(model->indexForRow(row, model->logicalColumnWithIdentifier(column)));
    }
    static QPoint cellCentre(DMOutlineView *outline, const QString &column, int row)
    {
        return outline->frameOfCellAtColumnRow(outline->columnWithIdentifier(column), row).center() - outline->contentOffset();
    }
    static void doubleClick(DMOutlineView *outline, const QString &column, int row)
    {
        const QPoint point = cellCentre(outline, column, row);
        QTest::mouseClick(outline->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(outline->viewport(), Qt::LeftButton, {}, point);
    }
    // Types the text into the in-place editor that is open and ends with Return.
    static void typeIntoEditor(const QString &text)
    {
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        ASSERT_TRUE(editor) << "no line editor has the focus";
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        finishEventLoopTurn(); // the editor commits in a later turn
    }
    template <typename List>
    static std::unique_ptr<QMimeData> dragOf(List *list, const DMProjectObject *object)
    {
        auto data = std::make_unique<QMimeData>();
        EXPECT_TRUE(list->outlineViewWriteItemsToPasteboard(list->outlineView(), {object}, data.get()));
        return data;
    }
    static std::shared_ptr<DMProjectResource> resource(const std::shared_ptr<DMProject> &project, const QString &name,
                                                       bool group = false)
    {
        auto made = std::make_shared<DMProjectResource>(group ? DMProjectResource::Group : DMProjectResource::Resource);
        made->setProject(project);
        made->setName(name);
        return made;
    }
};

TEST_F(ListPagesTest, TasksMilestonesAndProcessesAreAddedRenamedRedatedAndDeletedEachAsOneUndoStep)
{
    auto document = openWith({"Survey"});
    gantttest::FakeInspector taskInspector(QStringLiteral("DMUIProjectTaskInspectorController"));
    auto *list = document->projectItemsOutlineViewDS();
    DMOutlineView *outline = list->outlineView();
    ASSERT_TRUE(list->containerView()->isVisible()) << "page 17 shows the task list";

    const struct
    {
        int menuTag;
        QString title;
        std::uint32_t kind;
    } kinds[] = {{DMMainMenu::NewTaskTag, QStringLiteral("New Task"), kDMProjectItem_Kind_Task},
                 {DMMainMenu::NewMilestoneTag, QStringLiteral("New Milestone"), kDMProjectItem_Kind_Milestone},
                 {DMMainMenu::NewProcessTag, QStringLiteral("New Process"), kDMProjectItem_Kind_Process}};
    for (const auto &kind : kinds) {
        SCOPED_TRACE(kind.title.toStdString());
        settle(document);
        outline->selectRowIndexesByExtendingSelection({0}, false);
        // With a row selected the new item comes after it and its title is edited in place.
        document->fileNewMenuCallback(kind.menuTag);
        EXPECT_EQ(rowsOf(outline), (QStringList{"Survey", kind.title}));
        auto item = document->project()->tasks().at(1);
        EXPECT_EQ(item->kind(), kind.kind);
        EXPECT_EQ(steps(document), 1);
        typeIntoEditor(QStringLiteral("Renamed"));
        EXPECT_EQ(item->title(), QStringLiteral("Renamed"));
        EXPECT_EQ(steps(document), 2);

        doubleClick(outline, QStringLiteral("beginDate"), 1);
        DMDatePickerCellEditor *editor = list->dateEditor();
        ASSERT_TRUE(editor);
        editor->setDateTime(QDateTime(QDate(2024, 1, 15), QTime(8, 0)));
        QTest::keyClick(editor, Qt::Key_Return);
        EXPECT_EQ(item->beginDate(), at(2024, 1, 15, 8));
        EXPECT_EQ(steps(document), 3);

        outline->selectRowIndexesByExtendingSelection({1}, false);
        list->deleteSelectedItems();
        EXPECT_EQ(rowsOf(outline), QStringList{"Survey"});
        EXPECT_EQ(steps(document), 4);

        // Each step undone on its own, back to where the list began.
        document->undoManager()->undo();
        EXPECT_EQ(rowsOf(outline), (QStringList{"Survey", "Renamed"}));
        document->undoManager()->undo();
        EXPECT_NE(item->beginDate(), at(2024, 1, 15, 8));
        document->undoManager()->undo();
        EXPECT_EQ(rowsOf(outline), (QStringList{"Survey", kind.title}));
        document->undoManager()->undo();
        EXPECT_EQ(rowsOf(outline), QStringList{"Survey"});
        EXPECT_FALSE(document->isDocumentEdited());
    }

    // With nothing selected the item goes to the end and its inspector opens instead, taking
    // the keyboard for the title.
    outline->deselectAll();
    list->addTask();
    EXPECT_EQ(taskInspector.shown, 1);
    EXPECT_EQ(taskInspector.shownForNewObject, 1);
    EXPECT_EQ(list->selectedItem(), document->project()->tasks().last());
    EXPECT_EQ(QApplication::focusWidget()->metaObject()->className(), outline->metaObject()->className());
}

TEST_F(ListPagesTest, NewItemsTakeTheirPlaceDatesAndDurationsFromTheSelectionAndTheSettings)
{
    auto document = openWith({"P:Phase", "Other"});
    auto project = document->project();
    project->setAttribute(kDMProject_Settings_DefaultTaskDuration_Days, 1);
    project->setAttribute(kDMProject_Settings_DefaultTaskDuration_Hours, 2);
    project->setAttribute(kDMProject_Settings_DefaultTaskDuration_Minutes, 0);
    // A working day of 8 hours.
    project->setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 8 * 60}, {kDMTimeSpanEnd, 16 * 60}});
    auto *list = document->projectItemsOutlineViewDS();
    auto phase = project->tasks().at(0);

    list->outlineView()->selectRowIndexesByExtendingSelection({0}, false);
    list->addTask();
    ASSERT_EQ(phase->subitems().size(), 1);
    const auto task = phase->subitems().at(0);
    EXPECT_EQ(task->beginDate(), phase->beginDate());
    EXPECT_EQ(task->duration(), 36000) << "1 day of 8 hours and 2 hours";
    EXPECT_EQ(rowsOf(list->outlineView()), (QStringList{"Phase", ".New Task", "Other"}));

    list->outlineView()->deselectAll();
    list->addProcess();
    EXPECT_EQ(project->tasks().last()->duration(), 86400) << "whatever the settings say";

    auto *events = document->projectEventsOutlineViewDS();
    document->showPageWithTag(6);
    events->add();
    ASSERT_EQ(project->eventContainer()->events().size(), 1);
    EXPECT_EQ(project->eventContainer()->events().at(0)->duration(), 93600) << "events count 24-hour days";
    EXPECT_EQ(project->eventContainer()->events().at(0)->beginDate(), project->beginDate());
}

TEST_F(ListPagesTest, NewItemsBeginWhenWorkCanBegin)
{
    // A project that begins at midnight on a Saturday, as an older file may: the calendar works
    // Monday to Friday from 08:00 to 18:00.
    auto document = openWith({"Other"});
    gantttest::FakeInspector taskInspector(QStringLiteral("DMUIProjectTaskInspectorController"));
    gantttest::FakeInspector milestoneInspector(QStringLiteral("DMUIProjectMilestoneInspectorController"));
    auto project = document->project();
    project->setAttribute(kDMProject_Settings_NonWorkingWeekDays, QVariantList{0, 6});
    project->setBeginDate(at(2024, 3, 2));
    const DMDate monday = at(2024, 3, 4, 8);
    auto *list = document->projectItemsOutlineViewDS();
    list->outlineView()->deselectAll();
    list->addTask();
    list->outlineView()->deselectAll();
    list->addMilestone();
    document->showPageWithTag(6);
    document->projectEventsOutlineViewDS()->add();
    document->showPageWithTag(2);
    document->itemsView()->itemsViewNew();
    const auto &tasks = project->tasks();
    ASSERT_EQ(tasks.size(), 4);
    EXPECT_EQ(tasks.at(1)->beginDate(), monday) << "task";
    EXPECT_EQ(tasks.at(2)->beginDate(), monday) << "milestone";
    EXPECT_EQ(tasks.at(2)->endDate(), monday);
    EXPECT_EQ(tasks.at(3)->beginDate(), monday) << "card";
    ASSERT_EQ(project->eventContainer()->events().size(), 1);
    EXPECT_EQ(project->eventContainer()->events().at(0)->beginDate(), monday);
    // A working day's begin is kept, to the second.
    project->setBeginDate(at(2024, 3, 5, 10, 15));
    document->showPageWithTag(17);
    list->outlineView()->deselectAll();
    list->addTask();
    EXPECT_EQ(project->tasks().last()->beginDate(), at(2024, 3, 5, 10, 15));
}

TEST_F(ListPagesTest, CellsShowWhatEachKindHasAndRefuseWhatItLacks)
{
    auto document = openWith({"Task"});
    auto project = document->project();
    auto task = project->tasks().at(0);
    auto milestone = makeItem<DMProjectMilestone>(project, QStringLiteral("Gate"), at(2024, 1, 10, 8), at(2024, 1, 10, 8));
    project->tasks().append(milestone);
    task->setUseWorkingSchedule(false);
    task->setDuration(86400);
    document->reloadViews();
    DMOutlineView *outline = document->projectItemsOutlineViewDS()->outlineView();

    EXPECT_EQ(value(outline, 0, QStringLiteral("duration")).toString(), QStringLiteral("1 days "));
    EXPECT_EQ(value(outline, 0, QStringLiteral("baseCost")).toDouble(), 0.0) << "no stored cost shows 0";
    EXPECT_EQ(value(outline, 0, QStringLiteral("id")).toULongLong(), task->objectID() - (quint64(1) << 32));
    for (const char *column : {"endDate", "duration", "effort", "cost", "useWorkingSchedule"})
        EXPECT_EQ(value(outline, 1, QLatin1String(column)).toString(), QString()) << column;

    // A milestone's end date opens nothing; an edit sent anyway changes nothing.
    const DMDate end = milestone->endDate();
    doubleClick(outline, QStringLiteral("endDate"), 1);
    EXPECT_FALSE(document->projectItemsOutlineViewDS()->dateEditor());
    outline->outlineModel()->setData(outline->outlineModel()->indexForRow(1, outline->outlineModel()->logicalColumnWithIdentifier(QStringLiteral("endDate"))),
                                     QDateTime(QDate(2024, 2, 1), QTime(8, 0)));
    EXPECT_EQ(milestone->endDate(), end);

    // A cost from the resources has no base cost to edit.
    task->setAttribute(kDMProjectItem_CostKind, 2);
    const QModelIndex baseCost = outline->outlineModel()->indexForRow(0, outline->outlineModel()->logicalColumnWithIdentifier(QStringLiteral("baseCost")));
    EXPECT_EQ(baseCost.data().toString(), QString());
    outline->outlineModel()->setData(baseCost, 250.0);
    EXPECT_FALSE(task->attributes().contains(kDMProjectItem_Cost));
    task->setAttribute(kDMProjectItem_CostKind, 0);
    outline->outlineModel()->setData(baseCost, 250.0);
    EXPECT_EQ(task->attribute(kDMProjectItem_Cost).toDouble(), 250.0);
}

TEST_F(ListPagesTest, TheTaskListShowsCostsCompletionDocumentsAndEffortAndItsColumnLayout)
{
    auto document = openWith({"P:Phase", "Pour"});
    auto project = document->project();
    auto phase = project->tasks().at(0);
    auto pour = project->tasks().at(1);
    for (int day : {10, 11}) // two subtasks of one working day each (8:00 to 18:00)
        phase->subitems().append(makeItem<DMProjectTask>(project, QStringLiteral("Part"), at(2024, 1, day, 8), at(2024, 1, day, 18)));
    auto gate = makeItem<DMProjectMilestone>(project, QStringLiteral("Gate"), at(2024, 1, 12, 8), at(2024, 1, 12, 8));
    project->tasks().append(gate);
    pour->setAttribute(kDMProjectItem_CostKind, 1);
    pour->setProgress(0.4f);
    pour->setUseWorkingSchedule(false);
    pour->setAttribute(kDMProjectItem_AttachedDocuments, QVariantList{QStringLiteral("k1")});
    document->reloadViews();
    auto *list = document->projectItemsOutlineViewDS();
    DMOutlineView *outline = list->outlineView();
    ASSERT_EQ(rowsOf(outline), (QStringList{"Phase", "Pour", "Gate"}));

    EXPECT_EQ(value(outline, 1, QStringLiteral("costKind")).toInt(), 1);
    EXPECT_EQ(value(outline, 1, QStringLiteral("useWorkingSchedule")), QVariant(false));
    EXPECT_EQ(value(outline, 1, QStringLiteral("completion")).toFloat(), 0.4f);
    EXPECT_EQ(value(outline, 1, QStringLiteral("documents")).value<QImage>(), DMUIProjectItem::attachedImage());
    EXPECT_FALSE(value(outline, 0, QStringLiteral("documents")).isValid()) << "nothing attached";
    EXPECT_EQ(value(outline, 0, QStringLiteral("effort")).toString(), QStringLiteral("2 days ")) << "the process's subitems";
    EXPECT_EQ(value(outline, 0, QStringLiteral("costKind")).toString(), QString()) << "processes have no cost kind";

    // A milestone's duration and cost open its inspector, though the cells show nothing; its
    // completion has no value and is edited in the column's own cell.
    gantttest::FakeInspector milestoneInspector(QStringLiteral("DMUIProjectMilestoneInspectorController"));
    for (const char *column : {"duration", "cost"})
        EXPECT_FALSE(list->outlineViewShouldEditTableColumnItem(outline, QLatin1String(column), gate.get())) << column;
    EXPECT_EQ(milestoneInspector.shown, 2);
    EXPECT_FALSE(value(outline, 2, QStringLiteral("completion")).isValid());
    EXPECT_NE(list->outlineViewDataCellForTableColumnItem(outline, QStringLiteral("completion"), gate.get()),
              list->outlineViewDataCellForTableColumnItem(outline, QStringLiteral("endDate"), gate.get()));
    const DMOutlineViewModel *model = outline->outlineModel();
    static_cast<QAbstractItemView *>(outline)->edit(model->indexForRow(2, model->logicalColumnWithIdentifier(QStringLiteral("completion"))));
    auto *spin = qobject_cast<QSpinBox *>(QApplication::focusWidget());
    ASSERT_TRUE(spin) << "the completion cell edits in place";
    spin->setValue(50);
    QTest::keyClick(spin, Qt::Key_Return);
    finishEventLoopTurn();
    EXPECT_EQ(gate->progress(), 0.5f);

    // The column layout: one entry per column, named after it, where it stands and how it shows.
    outline->setTableColumnHidden(QStringLiteral("effort"), false);
    outline->setTableColumnHidden(QStringLiteral("id"), true);
    outline->moveColumnToColumn(outline->columnWithIdentifier(QStringLiteral("cost")), 1);
    const QVariantMap status = list->columnStatusDictionary();
    EXPECT_EQ(status.size(), outline->numberOfColumns());
    const QVariantMap cost = status.value(QStringLiteral("cost")).toMap();
    EXPECT_EQ(cost.value(QStringLiteral("position")).toInt(), 1);
    EXPECT_EQ(cost.value(QStringLiteral("identifier")).toString(), QStringLiteral("cost"));
    EXPECT_EQ(cost.value(QStringLiteral("width")).toDouble(), 90.0);
    EXPECT_FALSE(status.value(QStringLiteral("effort")).toMap().value(QStringLiteral("hidden")).toBool());
    EXPECT_TRUE(status.value(QStringLiteral("id")).toMap().value(QStringLiteral("hidden")).toBool());
}

TEST_F(ListPagesTest, ATaskDraggedIntoAProcessMovesOnTheGanttPageToo)
{
    auto document = openWith({"A", "B", "P:Phase"});
    auto project = document->project();
    auto *list = document->projectItemsOutlineViewDS();
    DMOutlineView *outline = list->outlineView();
    const auto a = project->tasks().at(0);
    const auto phase = project->tasks().at(2);
    DMOutlineView *projectOutline = document->outlets().projectOutlineView;
    projectOutline->expandItem(phase.get());
    settle(document);

    EXPECT_EQ(dropOn(outline->viewport(), *dragOf(list, a.get()), cellCentre(outline, QStringLiteral("title"), 2), Qt::MoveAction), Qt::MoveAction);
    EXPECT_EQ(a->parentItem(), phase);
    EXPECT_EQ(rowsOf(outline), (QStringList{"B", "Phase", ".A"}));
    EXPECT_EQ(steps(document), 1);
    EXPECT_EQ(document->undoManager()->undoActionName(), QStringLiteral("Move"));

    // The project outline and the bar followed at once.
    const int row = document->projectOutlineRowForObject(a.get());
    EXPECT_EQ(projectOutline->levelForRow(row), 1);
    EXPECT_EQ(dynamic_cast<DMUIProjectItem *>(a->ganttUIObject().get())->frame().top(),
              projectOutline->outlineModel()->topOfRow(row));

    document->undoManager()->undo();
    EXPECT_EQ(rowsOf(outline), (QStringList{"A", "B", "Phase"}));
    EXPECT_FALSE(document->isDocumentEdited());
}

TEST_F(ListPagesTest, DropsThatWouldNotMoveOrCannotBeTrustedAreRefused)
{
    auto document = openWith({"A", "B", "P:Phase"});
    auto other = openWith({"X"});
    auto project = document->project();
    auto *list = document->projectItemsOutlineViewDS();
    DMOutlineView *outline = list->outlineView();
    const auto a = project->tasks().at(0);
    const auto phase = project->tasks().at(2);
    auto group = makeItem<DMProjectItemGroup>(project, QStringLiteral("Group"), at(2024, 1, 8, 8), at(2024, 1, 9, 18));
    project->tasks().append(group);
    group->subitems().append(makeItem<DMProjectTask>(project, QStringLiteral("Inner"), at(2024, 1, 8, 8), at(2024, 1, 9, 18)));
    phase->subitems().append(makeItem<DMProjectProcess>(project, QStringLiteral("Sub"), at(2024, 1, 8, 8), at(2024, 1, 9, 18)));
    document->reloadViews();
    settle(document);
    const auto validate = [&](const QMimeData &data, const DMProjectObject *parent, int index) {
        return list->outlineViewValidateDropProposedItemProposedChildIndex(outline, {&data}, parent, index);
    };

    const auto dragA = dragOf(list, a.get());
    EXPECT_EQ(validate(*dragA, nullptr, 0), Qt::IgnoreAction) << "its own place";
    EXPECT_EQ(validate(*dragA, nullptr, 1), Qt::IgnoreAction) << "just below itself";
    EXPECT_EQ(validate(*dragA, nullptr, 2), Qt::MoveAction);
    EXPECT_EQ(validate(*dragA, group.get(), 0), Qt::IgnoreAction) << "an item group takes no drops";
    EXPECT_EQ(validate(*dragA, project->tasks().at(1).get(), -1), Qt::IgnoreAction) << "onto a task";
    const auto dragPhase = dragOf(list, phase.get());
    EXPECT_EQ(validate(*dragPhase, phase->subitems().at(0).get(), -1), Qt::IgnoreAction) << "into its own subprocess";

    // Another document's payload, a payload of no document, and one whose item went.
    EXPECT_EQ(validate(*dragOf(other->projectItemsOutlineViewDS(), other->project()->tasks().at(0).get()), nullptr, 0),
              Qt::IgnoreAction);
    QMimeData forged;
    DMProjectOutlineDragPayload{QStringLiteral("0000"), a->objectID(), a->className()}.writeToPasteboard(&forged);
    EXPECT_EQ(validate(forged, nullptr, 3), Qt::IgnoreAction);
    const auto dragB = dragOf(list, project->tasks().at(1).get());
    project->tasks().removeAt(1);
    document->reloadViews();
    EXPECT_FALSE(list->outlineViewAcceptDropItemChildIndex(outline, {dragB.get()}, nullptr, 0));

    // Two rows start no drag; the top of the list takes a row.
    QMimeData two;
    EXPECT_FALSE(list->outlineViewWriteItemsToPasteboard(outline, {a.get(), phase.get()}, &two));
    EXPECT_TRUE(list->outlineViewAcceptDropItemChildIndex(outline, {dragOf(list, phase.get()).get()}, nullptr, 0));
    EXPECT_EQ(project->tasks().at(0), phase);
}

TEST_F(ListPagesTest, ResourcesAreRegroupedByDragAndAddedIntoTheSelectedGroup)
{
    auto document = openWith({}, 18);
    auto project = document->project();
    auto team = resource(project, QStringLiteral("Team"), true);
    auto ann = resource(project, QStringLiteral("Ann"));
    auto bob = resource(project, QStringLiteral("Bob"));
    project->resources().append(team);
    project->resources().append(ann);
    project->resources().append(bob);
    document->reloadViews();
    settle(document);
    auto *list = document->projectResourcesOutlineViewDS();
    DMOutlineView *outline = list->outlineView();
    const auto name = QStringLiteral("name");
    const auto drop = [&](const std::shared_ptr<DMProjectResource> &dragged, const DMProjectObject *parent, int index) {
        return list->outlineViewAcceptDropItemChildIndex(outline, {dragOf(list, dragged.get()).get()}, parent, index);
    };

    EXPECT_TRUE(drop(bob, team.get(), -1)) << "onto the group";
    EXPECT_EQ(rowsOf(outline, name), (QStringList{"Team", ".Bob", "Ann"}));
    EXPECT_EQ(steps(document), 1);
    EXPECT_TRUE(drop(ann, bob.get(), -1)) << "onto a resource: just before it, in its group";
    EXPECT_EQ(rowsOf(outline, name), (QStringList{"Team", ".Ann", ".Bob"}));
    EXPECT_EQ(steps(document), 2);
    EXPECT_TRUE(drop(ann, team.get(), 0)) << "back on its own place";
    EXPECT_EQ(rowsOf(outline, name), (QStringList{"Team", ".Ann", ".Bob"}));
    EXPECT_EQ(list->outlineViewValidateDropProposedItemProposedChildIndex(outline, {dragOf(list, team.get()).get()},
                                                                          team.get(), -1),
              Qt::IgnoreAction);
    EXPECT_EQ(steps(document), 3);
    EXPECT_TRUE(document->isDocumentEdited());

    outline->selectRowIndexesByExtendingSelection({0}, false);
    document->fileNewMenuCallback(DMMainMenu::NewResourceTag);
    ASSERT_EQ(team->subitems().size(), 3);
    EXPECT_EQ(team->subitems().last()->name(), QStringLiteral("New Resource"));
    typeIntoEditor(QStringLiteral("Cy"));
    EXPECT_EQ(rowsOf(outline, name), (QStringList{"Team", ".Ann", ".Bob", ".Cy"}));
}

TEST_F(ListPagesTest, HeaderClicksSortTheItemsAsOneEditAndTheResourcesAsAnArrangement)
{
    const auto clickHeader = [](DMOutlineView *outline, const QString &column) {
        QHeaderView *header = outline->header();
        const int logical = outline->outlineModel()->logicalColumnWithIdentifier(column);
        const QPoint point(header->sectionViewportPosition(logical) + header->sectionSize(logical) / 2, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, point);
        finishEventLoopTurn();
    };
    auto document = openWith({QStringLiteral("Cut"), QStringLiteral("Assemble"), QStringLiteral("P:Build")});
    auto process = document->project()->tasks().at(2);
    for (const QString &title : {QStringLiteral("Paint"), QStringLiteral("Frame")}) {
        auto task = makeItem<DMProjectTask>(document->project(), title, at(2024, 1, 8, 8), at(2024, 1, 9, 18));
        process->subitems().append(task);
    }
    document->reloadViews();
    settle(document);
    DMOutlineView *outline = document->projectItemsOutlineViewDS()->outlineView();
    const auto expandAll = [outline] { outline->expandItemExpandChildren(nullptr, true); };
    expandAll();
    const QStringList before = rowsOf(outline);

    clickHeader(outline, QStringLiteral("title"));
    expandAll();
    EXPECT_EQ(rowsOf(outline), (QStringList{"Assemble", "Build", ".Frame", ".Paint", "Cut"}));
    EXPECT_EQ(steps(document), 1);
    EXPECT_TRUE(document->isDocumentEdited());
    clickHeader(outline, QStringLiteral("title")); // the same header again: descending
    expandAll();
    EXPECT_EQ(rowsOf(outline), (QStringList{"Cut", "Build", ".Paint", ".Frame", "Assemble"}));
    EXPECT_EQ(outline->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    clickHeader(outline, QStringLiteral("preview")); // a column without a sort key changes nothing
    EXPECT_EQ(steps(document), 2);
    document->undoManager()->undo();
    document->undoManager()->undo();
    document->projectItemsOutlineViewDS()->reload();
    expandAll();
    EXPECT_EQ(rowsOf(outline), before);
    EXPECT_FALSE(document->isDocumentEdited());

    // Resources: sorted by name, no edit of the project.
    auto resources = openWith({}, 18);
    for (const QString &name : {QStringLiteral("Zoe"), QStringLiteral("Ann"), QStringLiteral("Max")}) {
        auto made = resource(resources->project(), name);
        resources->project()->resources().append(made);
    }
    resources->reloadViews();
    settle(resources);
    DMOutlineView *list = resources->projectResourcesOutlineViewDS()->outlineView();
    clickHeader(list, QStringLiteral("name"));
    EXPECT_EQ(rowsOf(list, QStringLiteral("name")), (QStringList{"Ann", "Max", "Zoe"}));
    EXPECT_EQ(steps(resources), 0);
    EXPECT_FALSE(resources->isDocumentEdited());
}

TEST_F(ListPagesTest, DeletingAnAssignedResourceTakesItsAssignmentsInTheSameUndoStep)
{
    auto document = openWith({"Build", "Test"}, 18);
    auto project = document->project();
    auto ann = resource(project, QStringLiteral("Ann"));
    project->resources().append(ann);
    auto build = std::static_pointer_cast<DMProjectTask>(project->tasks().at(0));
    auto test = std::static_pointer_cast<DMProjectTask>(project->tasks().at(1));
    build->addResource(ann);
    test->addResource(ann);
    document->reloadViews();
    settle(document);
    auto *list = document->projectResourcesOutlineViewDS();

    list->outlineView()->selectRowIndexesByExtendingSelection({0}, false);
    list->deleteSelected();
    EXPECT_TRUE(project->resources().isEmpty());
    EXPECT_TRUE(build->concernedResources().isEmpty());
    EXPECT_TRUE(test->concernedResources().isEmpty());
    EXPECT_EQ(steps(document), 1);

    document->undoManager()->undo();
    ASSERT_EQ(project->resources().size(), 1);
    EXPECT_EQ(project->resources().at(0), ann);
    EXPECT_EQ(build->concernedResources().size(), 1);
    EXPECT_EQ(test->concernedResources().size(), 1);
    EXPECT_EQ(ann->assignedTasks().size(), 2);
    EXPECT_EQ(rowsOf(list->outlineView(), QStringLiteral("name")), QStringList{"Ann"});
    EXPECT_FALSE(document->isDocumentEdited());
}

// Delete Resource and a change right after it in the same pass of the event loop are two steps:
// undoing the change leaves the resource deleted.
TEST_F(ListPagesTest, AChangeRightAfterDeletingAResourceIsUndoneAloneAndTheResourceStaysDeleted)
{
    auto document = openWith({"Build"}, 18);
    auto project = document->project();
    auto ann = resource(project, QStringLiteral("Ann"));
    project->resources().append(ann);
    auto build = std::static_pointer_cast<DMProjectTask>(project->tasks().at(0));
    build->addResource(ann);
    document->reloadViews();
    settle(document);
    auto *list = document->projectResourcesOutlineViewDS();

    list->outlineView()->selectRowIndexesByExtendingSelection({0}, false);
    list->deleteSelected();
    build->setTitle(QStringLiteral("Erect"));
    finishEventLoopTurn();
    EXPECT_EQ(steps(document), 2);

    document->undoManager()->undo();
    EXPECT_EQ(build->title(), QStringLiteral("Build"));
    EXPECT_TRUE(project->resources().isEmpty());
    EXPECT_TRUE(build->concernedResources().isEmpty());
    document->undoManager()->undo();
    EXPECT_EQ(project->resources().size(), 1);
    EXPECT_EQ(build->concernedResources().size(), 1);
}

TEST_F(ListPagesTest, TheResourceFileRoundTripsAndADamagedFileChangesNothing)
{
    auto source = openWith({}, 18);
    auto team = resource(source->project(), QStringLiteral("Team"), true);
    auto ann = resource(source->project(), QStringLiteral("Ann"));
    ann->setAttribute(kDMProjectResource_HourlyCost, 42.5);
    ann->setAttribute(kDMProjectResource_Email, QStringLiteral("ann@example.org"));
    team->subitems().append(ann);
    source->project()->resources().append(team);
    source->project()->resources().append(resource(source->project(), QStringLiteral("Van")));
    ui.savePanelPath = path(QStringLiteral("team.xml"));
    source->projectResourcesOutlineViewDS()->itemsViewResourcesExport();
    ASSERT_TRUE(QFile::exists(ui.savePanelPath));

    auto target = openWith({}, 18);
    auto *list = target->projectResourcesOutlineViewDS();
    ui.openPanelPaths = {ui.savePanelPath};
    list->itemsViewResourcesImport();
    EXPECT_EQ(steps(target), 1);
    list->itemsViewResourcesImport();
    EXPECT_EQ(steps(target), 2);
    EXPECT_TRUE(ui.alerts.isEmpty());
    const auto &imported = target->project()->resources();
    ASSERT_EQ(imported.size(), 4) << "importing twice adds twice";
    EXPECT_EQ(imported.at(0)->name(), QStringLiteral("Team"));
    ASSERT_EQ(imported.at(0)->subitems().size(), 1);
    const auto copy = imported.at(0)->subitems().at(0);
    EXPECT_EQ(copy->attribute(kDMProjectResource_HourlyCost).toDouble(), 42.5);
    EXPECT_EQ(copy->attribute(kDMProjectResource_Email).toString(), QStringLiteral("ann@example.org"));
    EXPECT_NE(imported.at(0)->objectID(), imported.at(2)->objectID()) << "fresh identities";
    EXPECT_NE(imported.at(0)->subitems().at(0)->objectID(), imported.at(2)->subitems().at(0)->objectID());
    EXPECT_EQ(target->project()->objectWithIDAndClass<DMProjectResource>(copy->objectID()), copy);

    // A file without resources adds nothing; a damaged file is refused and changes nothing.
    const QVariantMap before = target->project()->dictionaryRepresentation();
    writeFile(path(QStringLiteral("empty.xml")), DMPropertyList::dataWithPropertyList(QVariantMap{
                                                     {QStringLiteral("halcyra version"), QStringLiteral("1")},
                                                     {QStringLiteral("resources"), QVariantList()}}));
    writeFile(path(QStringLiteral("damaged.xml")), DMPropertyList::dataWithPropertyList(QVariantMap{
                                                       {QStringLiteral("resources"), QVariantList()}}));
    ui.openPanelPaths = {path(QStringLiteral("empty.xml"))};
    list->itemsViewResourcesImport();
    ui.openPanelPaths = {path(QStringLiteral("damaged.xml"))};
    list->itemsViewResourcesImport();
    EXPECT_EQ(target->project()->dictionaryRepresentation(), before);
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(ui.alerts.at(0).messageText, QStringLiteral("Not a Halcyra 2 resource file."));
    EXPECT_EQ(steps(target), 2);
}

TEST_F(ListPagesTest, EventsAreListedAddedAndAnnotated)
{
    auto document = openWith({}, 6);
    auto project = document->project();
    auto launch = makeItem<DMProjectEvent>(project, QStringLiteral("Launch"), at(2024, 1, 10, 9), at(2024, 1, 10, 17));
    project->eventContainer()->events().append(launch);
    document->reloadViews();
    settle(document);
    gantttest::FakeInspector eventInspector(launch->ganttUIObject() ? std::dynamic_pointer_cast<DMProjectViewObject>(launch->ganttUIObject())->objectEditorControllerClass()
                                                                    : QString());
    auto *list = document->projectEventsOutlineViewDS();
    DMOutlineView *outline = list->outlineView();
    EXPECT_EQ(rowsOf(outline), QStringList{"Launch"});

    doubleClick(outline, QStringLiteral("notes"), 0);
    typeIntoEditor(QStringLiteral("Press at ten"));
    EXPECT_EQ(launch->attribute(kDMProjectItem_Notes).toString(), QStringLiteral("Press at ten"));
    // The duration opens the inspector and edits nothing in place.
    doubleClick(outline, QStringLiteral("duration"), 0);
    EXPECT_EQ(eventInspector.shown, 1);
    EXPECT_FALSE(qobject_cast<QLineEdit *>(QApplication::focusWidget()));

    list->add();
    EXPECT_EQ(rowsOf(outline), (QStringList{"Launch", "New Event"}));
    EXPECT_EQ(steps(document), 2);

    // With no row selected too, the new event's title is edited in place: what is typed next
    // names it.
    outline->deselectAll();
    list->add();
    typeIntoEditor(QStringLiteral("Site visit"));
    EXPECT_EQ(rowsOf(outline), (QStringList{"Launch", "New Event", "Site visit"}));
    EXPECT_EQ(eventInspector.shown, 1) << "the inspector does not take the typing";
}

TEST_F(ListPagesTest, RenamingInPlaceInTheEventAndTaskListsIsANamedUndoStep)
{
    auto document = openWith({"Survey"}, DMPage::EventsPage);
    auto project = document->project();
    auto launch = makeItem<DMProjectEvent>(project, QStringLiteral("Launch"), at(2024, 1, 10, 9), at(2024, 1, 10, 17));
    project->eventContainer()->events().append(launch);
    document->reloadViews();
    settle(document);
    QMainWindow *window = document->mainWindow();
    QMenu *edit = menuAction(window, {QStringLiteral("Edit")})->menu();
    ASSERT_TRUE(edit);
    // The Edit menu's first entry as it reads when opened.
    const auto undoText = [edit] {
        emit edit->aboutToShow();
        const QString text = shownMenuTitle(edit->actions().at(0));
        emit edit->aboutToHide();
        return text;
    };

    DMOutlineView *events = document->projectEventsOutlineViewDS()->outlineView();
    doubleClick(events, QStringLiteral("title"), 0);
    typeIntoEditor(QStringLiteral("Product launch"));
    EXPECT_EQ(launch->title(), QStringLiteral("Product launch"));
    EXPECT_EQ(steps(document), 1);
    EXPECT_EQ(undoText(), QStringLiteral("Undo Set Title"));
    // The same title typed again changes nothing and leaves no empty step behind.
    doubleClick(events, QStringLiteral("title"), 0);
    typeIntoEditor(QStringLiteral("Product launch"));
    EXPECT_EQ(steps(document), 1);
    edit->actions().at(0)->trigger();
    EXPECT_EQ(launch->title(), QStringLiteral("Launch"));
    EXPECT_EQ(rowsOf(events), QStringList{"Launch"});
    EXPECT_FALSE(document->isDocumentEdited());

    // The task list names its rename the same way.
    document->showPageWithTag(DMPage::TasksPage);
    DMOutlineView *tasks = document->projectItemsOutlineViewDS()->outlineView();
    doubleClick(tasks, QStringLiteral("title"), 0);
    typeIntoEditor(QStringLiteral("Site survey"));
    EXPECT_EQ(undoText(), QStringLiteral("Undo Set Title"));
    edit->actions().at(0)->trigger();
    EXPECT_EQ(rowsOf(tasks), QStringList{"Survey"});
}

} // namespace

TEST_F(ListPagesTest, TheEditMenuActsOnTheShownPageNeverOnTheChartBehindIt)
{
    // A bar left selected on the chart, then the task list with another row selected.
    auto document = openWith({"Survey", "Build", "Test"}, DMPage::GanttPage);
    auto project = document->project();
    const auto survey = project->tasks().at(0);
    const auto test = project->tasks().at(2);
    document->outlets().projectView->selectObjectInLayerExtendSelection(std::dynamic_pointer_cast<DMBaseObject>(survey->ganttUIObject()), 1, false);
    ASSERT_EQ(document->selectedObjects().size(), 1);
    QMainWindow *window = document->mainWindow();
    const auto edit = [window](const char *title) { return menuAction(window, {QStringLiteral("Edit"), QLatin1String(title)}); };

    document->showPageWithTag(DMPage::TasksPage);
    auto *list = document->projectItemsOutlineViewDS();
    list->outlineView()->selectRowIndexesByExtendingSelection({2}, false);
    // Cut, Copy and Select All leave the chart's selection and the project alone.
    edit("Select All")->trigger();
    edit("Cut")->trigger();
    EXPECT_EQ(project->tasks().size(), 3);
    EXPECT_EQ(document->selectedObjects().size(), 1);
    edit("Delete")->trigger();
    EXPECT_EQ(rowsOf(list->outlineView()), (QStringList{"Survey", "Build"}));
    EXPECT_FALSE(project->tasks().contains(test));
    EXPECT_EQ(steps(document), 1);
    document->undoManager()->undo();
    EXPECT_EQ(project->tasks().size(), 3);

    // The resource list deletes its own selected row.
    auto ann = resource(project, QStringLiteral("Ann"));
    project->resources().append(ann);
    document->showPageWithTag(DMPage::ResourcesPage);
    auto *resources = document->projectResourcesOutlineViewDS();
    resources->outlineView()->selectRowIndexesByExtendingSelection({0}, false);
    edit("Delete")->trigger();
    EXPECT_TRUE(project->resources().isEmpty());
    EXPECT_EQ(project->tasks().size(), 3);

    // Back on the chart, Delete takes the selected bar.
    document->showPageWithTag(DMPage::GanttPage);
    document->outlets().projectView->selectObjectInLayerExtendSelection(std::dynamic_pointer_cast<DMBaseObject>(survey->ganttUIObject()), 1, false);
    edit("Delete")->trigger();
    EXPECT_FALSE(project->tasks().contains(survey));
}

TEST_F(ListPagesTest, TheDeleteKeyInTheListsAndTheOutlineDeletesTheirSelectedRowsOncePerPress)
{
    auto document = openWith({"Survey", "Build", "Test", "Ship"});
    auto project = document->project();
    QMainWindow *window = document->mainWindow();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    const auto press = [](QWidget *widget, Qt::Key key, bool autoRepeat = false) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(widget, &down);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(widget, &up);
        finishEventLoopTurn();
    };

    // The task list: the selected row goes, as one undo step; a held key deletes no more.
    DMOutlineView *tasks = document->projectItemsOutlineViewDS()->outlineView();
    settle(document);
    tasks->setFocus();
    tasks->selectRowIndexesByExtendingSelection({1}, false);
    QTest::keyClick(tasks, Qt::Key_Delete);
    finishEventLoopTurn();
    EXPECT_EQ(rowsOf(tasks), (QStringList{"Survey", "Test", "Ship"}));
    EXPECT_EQ(steps(document), 1);
    tasks->selectRowIndexesByExtendingSelection({0}, false);
    press(tasks, Qt::Key_Delete, true);
    EXPECT_EQ(project->tasks().size(), 3);

    // An editor open in a cell keeps its own Delete.
    doubleClick(tasks, QStringLiteral("title"), 0);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    ASSERT_TRUE(editor);
    editor->setCursorPosition(0);
    QTest::keyClick(editor, Qt::Key_Delete);
    QTest::keyClick(editor, Qt::Key_Return);
    finishEventLoopTurn();
    EXPECT_EQ(rowsOf(tasks), (QStringList{"urvey", "Test", "Ship"}));

    // The event list, and the project outline beside the chart with Backspace.
    auto event = std::make_shared<DMProjectEvent>();
    event->setProject(project);
    event->setTitle(QStringLiteral("Fair"));
    project->eventContainer()->events().append(event);
    document->showPageWithTag(DMPage::EventsPage);
    DMOutlineView *events = document->projectEventsOutlineViewDS()->outlineView();
    settle(document);
    events->setFocus();
    events->selectRowIndexesByExtendingSelection({0}, false);
    QTest::keyClick(events, Qt::Key_Delete);
    finishEventLoopTurn();
    EXPECT_TRUE(project->eventContainer()->events().isEmpty());

    document->showPageWithTag(DMPage::GanttPage);
    DMOutlineView *outline = document->outlets().projectOutlineView;
    settle(document);
    outline->setFocus();
    const int ship = rowsOf(outline).indexOf(QStringLiteral("Ship"));
    ASSERT_GE(ship, 0);
    outline->selectRowIndexesByExtendingSelection({ship}, false);
    finishEventLoopTurn();
    QTest::keyClick(outline, Qt::Key_Backspace);
    finishEventLoopTurn();
    EXPECT_EQ(project->tasks().size(), 2);
    EXPECT_EQ(project->tasks().last()->title(), QStringLiteral("Test"));
}

TEST_F(ListPagesTest, ReturnOrF2InEachListEditsTheSelectedRowsTitleOrName)
{
    auto document = openWith({"Survey", "Build"});
    auto project = document->project();
    project->resources().append(resource(project, QStringLiteral("Ann")));
    auto fair = std::make_shared<DMProjectEvent>();
    fair->setProject(project);
    fair->setTitle(QStringLiteral("Fair"));
    project->eventContainer()->events().append(fair);
    document->reloadViews();
    QMainWindow *window = document->mainWindow();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));

    // On each page the current cell is another column's; the key still edits the title (the
    // name), and the Return that commits it opens no second editor.
    const auto renameWithKey = [&](int page, DMOutlineView *outline, const QString &otherColumn, Qt::Key key,
                                   const QString &text) {
        document->showPageWithTag(page);
        settle(document);
        outline->setFocus();
        outline->selectRowIndexesByExtendingSelection({0}, false);
        outline->selectionModel()->setCurrentIndex(
            outline->outlineModel()->indexForRow(0, outline->outlineModel()->logicalColumnWithIdentifier(otherColumn)),
            QItemSelectionModel::NoUpdate);
        QTest::keyClick(outline, key);
        typeIntoEditor(text);
        finishEventLoopTurn();
        EXPECT_FALSE(qobject_cast<QLineEdit *>(QApplication::focusWidget())) << text.toStdString();
    };
    renameWithKey(DMPage::TasksPage, document->projectItemsOutlineViewDS()->outlineView(), QStringLiteral("id"),
                  Qt::Key_Return, QStringLiteral("Site survey"));
    EXPECT_EQ(project->tasks().at(0)->title(), QStringLiteral("Site survey"));
    renameWithKey(DMPage::ResourcesPage, document->projectResourcesOutlineViewDS()->outlineView(),
                  QStringLiteral("phone"), Qt::Key_F2, QStringLiteral("Ann Lee"));
    EXPECT_EQ(project->resources().at(0)->name(), QStringLiteral("Ann Lee"));
    renameWithKey(DMPage::EventsPage, document->projectEventsOutlineViewDS()->outlineView(), QStringLiteral("notes"),
                  Qt::Key_Enter, QStringLiteral("Trade fair"));
    EXPECT_EQ(fair->title(), QStringLiteral("Trade fair"));
}

TEST_F(ListPagesTest, TheUndoAndRedoKeysWorkWhateverTheEditMenuShowedLastTime)
{
    auto document = openWith({"Survey", "Build", "Test"});
    auto project = document->project();
    QMainWindow *window = document->mainWindow();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    DMOutlineView *tasks = document->projectItemsOutlineViewDS()->outlineView();
    tasks->selectRowIndexesByExtendingSelection({1}, false);
    menuAction(window, {QStringLiteral("Edit"), QStringLiteral("Delete")})->trigger();
    ASSERT_EQ(project->tasks().size(), 2);
    tasks->setFocus();

    // The menu, looked at while there is nothing to redo, dims Redo; once it is closed, the keys
    // undo and redo as the state of the document allows, not as the menu last showed it.
    QMenu *edit = menuAction(window, {QStringLiteral("Edit")})->menu();
    ASSERT_TRUE(edit);
    emit edit->aboutToShow();
    EXPECT_FALSE(menuAction(window, {QStringLiteral("Edit"), QStringLiteral("Redo")})->isEnabled());
    emit edit->aboutToHide();
    QTest::keyClick(tasks, Qt::Key_Z, Qt::ControlModifier);
    finishEventLoopTurn();
    EXPECT_EQ(project->tasks().size(), 3);
    QTest::keySequence(tasks, QKeySequence(QKeySequence::Redo)); // the platform's key
    finishEventLoopTurn();
    EXPECT_EQ(project->tasks().size(), 2);

    // Shown again with nothing left to redo and closed: Undo's key still undoes.
    emit edit->aboutToShow();
    emit edit->aboutToHide();
    QTest::keyClick(tasks, Qt::Key_Z, Qt::ControlModifier);
    finishEventLoopTurn();
    EXPECT_EQ(project->tasks().size(), 3);
}
