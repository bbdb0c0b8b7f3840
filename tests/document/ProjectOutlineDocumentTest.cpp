// The project outline in the document window: drops between documents, moves that the canvas
// follows at once and that the document learns of through its undo manager, the expansion state
// in the saved package, the column arrangement of every open document, and the inspectors.
#include "DocumentTestSupport.h"
#include "../gantt/FakeInspector.h"

#include "DMApplicationDelegate.h"
#include "DMGanttUIObjectFactory.h"
#include "DMOutlineView.h"
#include "DMOutlineViewModel.h"
#include "DMPreferenceKeys.h"
#include "DMProjectDocumentProjectOutlineDS.h"
#include "DMProjectOutlineDragPayload.h"
#include "DMProjectViewObject.h"
#include "DMUIProjectItem.h"

#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QSplitter>
#include <QTest>

using namespace halcyra::test;

namespace {

class ProjectOutlineDocumentTest : public DocumentTestBase
{
protected:
    void SetUp() override
    {
        DocumentTestBase::SetUp();
        DMGanttUIObjectFactory::registerWithModel();
        DMPreferenceKeys_writeDefaultValues();
    }

    static DMOutlineView *outlineOf(const std::shared_ptr<DMProjectDocument> &document)
    {
        return document->outlets().projectOutlineView;
    }
    // The rows below the events row.
    static QStringList titles(const std::shared_ptr<DMProjectDocument> &document)
    {
        return rowsOf(outlineOf(document), QStringLiteral("title"), 1);
    }
    static std::unique_ptr<QMimeData> dragOf(const std::shared_ptr<DMProjectDocument> &document, const DMProjectItem *item)
    {
        auto data = std::make_unique<QMimeData>();
        EXPECT_TRUE(document->projectOutlineDS()->outlineViewWriteItemsToPasteboard(outlineOf(document), {item}, data.get()));
        return data;
    }
    static Qt::DropAction dropAt(const std::shared_ptr<DMProjectDocument> &document, const QMimeData &data, QPoint point)
    {
        return dropOn(outlineOf(document)->viewport(), data, point, Qt::CopyAction | Qt::MoveAction);
    }
    static QPoint middleOfRow(const std::shared_ptr<DMProjectDocument> &document, int row)
    {
        DMOutlineView *outline = outlineOf(document);
        return outline->frameOfCellAtColumnRow(outline->columnWithIdentifier(QStringLiteral("title")), row).center()
             - outline->contentOffset();
    }
};

} // namespace

TEST_F(ProjectOutlineDocumentTest, ATaskDraggedFromAnotherDocumentIsCopiedAndTheSourceIsUntouched)
{
    auto source = shownDocumentWith({"Survey", "Report"});
    auto target = shownDocumentWith({"P:Phase", "Build"});
    auto survey = source->project()->tasks().at(0);
    survey->addOutboundDependencyToItem(source->project()->tasks().at(1));
    settle(source);
    const QVariantMap before = source->project()->dictionaryRepresentation();

    const auto data = dragOf(source, survey.get());
    // Onto the process: the copy becomes its child.
    EXPECT_EQ(dropAt(target, *data, middleOfRow(target, 1)), Qt::CopyAction);
    // Onto a task: refused.
    EXPECT_EQ(dropAt(target, *data, middleOfRow(target, 2)), Qt::IgnoreAction);
    finishEventLoopTurn();
    const auto phase = target->project()->tasks().at(0);
    ASSERT_EQ(phase->subitems().size(), 1);
    const auto copy = phase->subitems().at(0);
    EXPECT_EQ(copy->title(), QStringLiteral("Survey"));
    EXPECT_NE(copy, survey);
    EXPECT_EQ(copy->project(), target->project());
    EXPECT_TRUE(target->isDocumentEdited());

    EXPECT_EQ(source->project()->dictionaryRepresentation(), before);
    EXPECT_FALSE(source->isDocumentEdited());
    EXPECT_EQ(survey->parentItem(), nullptr);

    target->undoManager()->undo();
    EXPECT_TRUE(phase->subitems().isEmpty());
    EXPECT_FALSE(target->isDocumentEdited()) << "the copy was the one change";
}

TEST_F(ProjectOutlineDocumentTest, AMovedRowsBarFollowsAtOnceAndTheMoveIsTheOneUndoStepThatMarksTheDocument)
{
    auto document = shownDocumentWith({"A", "B", "C", "P:P"});
    auto project = document->project();
    const auto b = project->tasks().at(1);
    const auto process = project->tasks().at(3);
    DMOutlineView *outline = outlineOf(document);
    const auto barTop = [&](const std::shared_ptr<DMProjectItem> &item) {
        return dynamic_cast<DMUIProjectItem *>(item->ganttUIObject().get())->frame().top();
    };
    EXPECT_EQ(barTop(b), outline->outlineModel()->topOfRow(2));

    // B after C, dropped on the line below C's row.
    const QRect cRow = outline->rectOfRow(3);
    const QPoint belowC(middleOfRow(document, 3).x(), cRow.bottom() - 1 - outline->contentOffset().y());
    EXPECT_EQ(dropAt(document, *dragOf(document, b.get()), belowC), Qt::MoveAction);
    EXPECT_EQ(titles(document), (QStringList{"A", "C", "B", "P"}));
    EXPECT_EQ(barTop(b), outline->outlineModel()->topOfRow(3)) << "the bar is on its new row at once";
    EXPECT_EQ(barTop(project->tasks().at(1)), outline->outlineModel()->topOfRow(2));

    finishEventLoopTurn();
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_EQ(document->undoManager()->undoStepCount(), 1);
    EXPECT_EQ(document->undoManager()->undoActionName(), QStringLiteral("Move"));

    // Into the process, then both moves undone: the document is as it was.
    EXPECT_EQ(dropAt(document, *dragOf(document, b.get()), middleOfRow(document, 4)), Qt::MoveAction);
    finishEventLoopTurn();
    EXPECT_EQ(b->parentItem(), process);
    document->undoManager()->undo();
    document->undoManager()->undo();
    finishEventLoopTurn();
    EXPECT_EQ(titles(document), (QStringList{"A", "B", "C", "P"}));
    EXPECT_EQ(barTop(b), outline->outlineModel()->topOfRow(2));
    EXPECT_FALSE(document->isDocumentEdited());
}

// A task that ends after a process, dropped onto it in the outline or pasted into it: the
// process (its bracket on the chart too) grows to enclose it, in the step of the drop or paste.
TEST_F(ProjectOutlineDocumentTest, AProcessEnclosesATaskDroppedOrPastedIntoIt)
{
    auto document = shownDocumentWith({"P:Phase", "Build", "P:Later"});
    auto project = document->project();
    const auto phase = project->tasks().at(0);
    const auto build = project->tasks().at(1);
    const auto later = project->tasks().at(2);
    phase->setBeginDateAndEndDate(at(2024, 1, 3, 8), at(2024, 1, 6, 12));
    build->setBeginDateAndEndDate(at(2024, 1, 5, 8), at(2024, 1, 7, 18));
    later->setBeginDateAndEndDate(at(2024, 1, 15, 8), at(2024, 1, 16, 18));
    settle(document);
    document->reloadViews();
    const auto bracketEnd = [](const std::shared_ptr<DMProjectItem> &item) {
        return dynamic_cast<DMProjectViewObject *>(item->ganttUIObject().get())->frame().right();
    };

    EXPECT_EQ(dropAt(document, *dragOf(document, build.get()), middleOfRow(document, 1)), Qt::MoveAction);
    EXPECT_EQ(build->parentItem(), phase);
    expectDates(*phase, at(2024, 1, 3, 8), at(2024, 1, 7, 18));
    EXPECT_GE(bracketEnd(phase), bracketEnd(build));
    EXPECT_EQ(steps(document), 1);
    document->undoManager()->undo();
    expectDates(*phase, at(2024, 1, 3, 8), at(2024, 1, 6, 12));
    EXPECT_EQ(build->parentItem(), nullptr);
    document->undoManager()->redo();
    expectDates(*phase, at(2024, 1, 3, 8), at(2024, 1, 7, 18));

    document->copyItemsToClipboard({build});
    const auto pasted = document->pasteFromClipboard(later, nullptr);
    ASSERT_EQ(pasted.size(), 1);
    expectDates(*later, at(2024, 1, 5, 8), at(2024, 1, 16, 18));
    document->undoManager()->undo();
    expectDates(*later, at(2024, 1, 15, 8), at(2024, 1, 16, 18));
}

TEST_F(ProjectOutlineDocumentTest, TheExpansionStateSurvivesSaveAndReopen)
{
    auto document = shownDocumentWith({"P:Phase", "P:Other"});
    for (const auto &process : document->project()->tasks())
        process->subitems().append(makeItem<DMProjectTask>(document->project(), QStringLiteral("Inner"), at(2024, 1, 8, 8),
                                                           at(2024, 1, 9, 18)));
    document->reloadViews();
    outlineOf(document)->expandItem(document->project()->tasks().at(0).get());
    EXPECT_EQ(titles(document), (QStringList{"Phase", ".Inner", "Other"}));
    EXPECT_TRUE(document->isDocumentEdited()) << "expanding marks the document";
    const QString package = path(QStringLiteral("Expanded.hy2"));
    ASSERT_TRUE(document->saveToPath(package, DMProjectDocument::SaveAsOperation));
    document->close();
    finishEventLoopTurn();

    auto reopened = DMDocumentController::sharedDocumentController().openDocumentWithContentsOfURL(package, false);
    ASSERT_TRUE(reopened);
    showWindow(reopened);
    EXPECT_EQ(titles(reopened), (QStringList{"Phase", ".Inner", "Other"}));
    EXPECT_FALSE(reopened->isDocumentEdited()) << "restoring the state is no edit";
}

TEST_F(ProjectOutlineDocumentTest, TheColumnArrangementIsAppliedToEveryOpenDocument)
{
    auto first = shownDocumentWith({"Task"});
    auto second = shownDocumentWith({"Task"});
    QMenu *menu = first->outlets().projectOutlineViewMenu;
    ASSERT_TRUE(menu);
    QStringList items;
    for (QAction *action : menu->actions())
        items.append(action->text() + (action->isChecked() ? QStringLiteral("*") : QString()));
    EXPECT_EQ(items, (QStringList{"Title*", "Begin*", "End*", "Duration*", "Cost*", "Progress*", "ID"}))
        << "no item for the icon column; ID unchecked by default";
    EXPECT_EQ(outlineOf(first)->headerMenu(), menu);
    EXPECT_TRUE(outlineOf(first)->isTableColumnHidden(QStringLiteral("id")));

    // The user unchecks Duration in the first window: hidden in both, and remembered.
    QAction *duration = menu->actions().at(3);
    duration->trigger();
    finishEventLoopTurn();
    for (const auto &document : {first, second})
        EXPECT_TRUE(outlineOf(document)->isTableColumnHidden(QStringLiteral("duration")));
    EXPECT_FALSE(DMUserDefaults::standardUserDefaults()
                     .objectForKey(kDMHalcyra_taskListArrangedColumnIdentifiers)
                     .toStringList()
                     .contains(QStringLiteral("duration")));
    EXPECT_FALSE(second->outlets().projectOutlineViewMenu->actions().at(3)->isChecked());

    // A new order moves the columns.
    QVariantList arrangement = DMApplicationDelegate::taskListArrangedColumnDictionaries();
    arrangement.move(1, 3); // title after the two dates
    second->applyingTaskListColumns(arrangement);
    EXPECT_EQ(outlineOf(second)->tableColumnIdentifiers().mid(0, 4),
              (QStringList{"icon", "beginDate", "endDate", "title"}));

    // The resource view shows the columns resources have values for; back in the task view the
    // arrangement returns.
    second->showPageWithTag(9);
    for (const char *column : {"beginDate", "endDate", "id", "duration"})
        EXPECT_TRUE(outlineOf(second)->isTableColumnHidden(QString::fromLatin1(column))) << column;
    for (const char *column : {"icon", "title", "cost", "progress"})
        EXPECT_FALSE(outlineOf(second)->isTableColumnHidden(QString::fromLatin1(column))) << column;
    EXPECT_TRUE(second->outlets().projectOutlineViewMenu->actions().isEmpty());
    second->showPageWithTag(10);
    EXPECT_FALSE(outlineOf(second)->isTableColumnHidden(QStringLiteral("beginDate")));
    EXPECT_TRUE(outlineOf(second)->isTableColumnHidden(QStringLiteral("duration")));
}

TEST_F(ProjectOutlineDocumentTest, ColumnsWithoutInPlaceEditingOpenTheItemsInspector)
{
    gantttest::FakeInspector inspector(QStringLiteral("DMUIProjectTaskInspectorController"));
    auto document = shownDocumentWith({"Survey"});
    const auto survey = document->project()->tasks().at(0);
    DMOutlineView *outline = outlineOf(document);
    // Wide enough to show the duration column.
    qobject_cast<QSplitter *>(document->outlets().projectContainer.data())->setSizes({800, 300});
    finishEventLoopTurn();
    const QPoint cell = outline->frameOfCellAtColumnRow(outline->columnWithIdentifier(QStringLiteral("duration")), 1).center()
                      - outline->contentOffset();
    QTest::mouseClick(outline->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(outline->viewport(), Qt::LeftButton, {}, cell);
    EXPECT_EQ(inspector.edited, dynamic_cast<DMProjectViewObject *>(survey->ganttUIObject().get()));
    EXPECT_EQ(inspector.shown, 1);
    EXPECT_EQ(outline->viewport()->findChild<QLineEdit *>(), nullptr);
    // The selection reaches the canvas.
    ASSERT_EQ(document->outlets().projectView->selectedObjects().size(), 1);
    EXPECT_EQ(document->outlets().projectView->selectedObjects().first().get(),
              dynamic_cast<DMBaseObject *>(survey->ganttUIObject().get()));
}
