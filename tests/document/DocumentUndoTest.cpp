// Commands issued to an open document with no pause between them, as fast typing and scripts
// do: each goes through the document's undo manager as a step of its own, and each undo and
// redo takes back or brings back exactly that step.
#include "DocumentTestSupport.h"

#include "../model/RandomProjectEditor.h"

#include "DMGanttUIObjectFactory.h"
#include "DMProjectView.h"
#include "DMUIProjectItem.h"

#include <QKeyEvent>
#include <QMouseEvent>

using namespace halcyra::test;

namespace {

class DocumentUndoTest : public DocumentTestBase
{
};

QList<std::shared_ptr<DMProjectItem>> itemsOf(const DMProject &project)
{
    QList<std::shared_ptr<DMProjectItem>> all;
    DMProjectItem_forEachItem(project.tasks().list(), [&all](DMProjectItem &item) {
        all.append(std::static_pointer_cast<DMProjectItem>(item.shared_from_this()));
    });
    return all;
}

} // namespace

TEST_F(DocumentUndoTest, RandomCommandsWithoutPausesAreUndoneAndRedoneOneByOne)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        FullProject f = makeFullProject();
        // The Gantt view: the resource view would lay out its lanes (saved, but not undone) a
        // turn after each change.
        f.project->setAttribute(kDMProject_ViewMode, 0);
        const auto document = documentWithProject(f.project);
        std::mt19937 random{seed * 2654435761u};
        RandomEditor editor(f, random);
        const auto someItem = [&]() -> std::shared_ptr<DMProjectItem> {
            const auto all = itemsOf(*f.project);
            return all.isEmpty() ? nullptr : all.at(qsizetype(random() % unsigned(all.size())));
        };
        undoAndRedoAtRandom(*f.project, *document->undoManager(), editor, random, 60, [&] {
            switch (random() % 6) {
            case 0:
                if (const auto item = someItem()) {
                    editor.note("delete");
                    document->deleteItems({item});
                }
                break;
            case 1:
                if (const auto item = someItem()) {
                    editor.note("paste");
                    document->insertObjectFromDictionnariesInItemNextTo(document->dictionaryForObjects({item}), nullptr, nullptr);
                }
                break;
            default:
                editor.edit();
                break;
            }
            finishEventLoopTurn();
        });
        ASSERT_FALSE(HasFatalFailure());
    }
}

// Link A to milestone M in a process, delete M, and change A at once after (fast keys, a script):
// the deletion and the change are two steps. Undoing the change leaves M out, with its link;
// undoing the deletion too brings both back.
TEST_F(DocumentUndoTest, AChangeRightAfterADeletionIsUndoneAloneAndTheItemStaysDeleted)
{
    auto project = workingWeekProject();
    const auto a = addTask(project, QStringLiteral("A"), at(2024, 1, 8, 8), at(2024, 1, 9, 18));
    const auto process = addTask<DMProjectProcess>(project, QStringLiteral("P"), at(2024, 1, 10, 8), at(2024, 1, 12, 18));
    const auto m = addTask<DMProjectMilestone>(project, QStringLiteral("M"), at(2024, 1, 10, 8), at(2024, 1, 10, 8), process);
    addTask(project, QStringLiteral("T"), at(2024, 1, 10, 8), at(2024, 1, 12, 18), process);
    link(a, m);
    const auto document = documentWithProject(project);
    DMUndoManager *undo = document->undoManager();
    settle(document);
    const QVariantMap before = state(*project);

    a->setTitle(QStringLiteral("Survey")); // an edit of the same turn before the deletion
    const QVariantMap renamed = state(*project);
    document->deleteItems({m});
    const QVariantMap deleted = state(*project);
    ASSERT_EQ(a->validateAndSetBeginDateAndEndDate(at(2024, 1, 15, 8), at(2024, 1, 16, 18)), 0);
    const QVariantMap moved = state(*project);
    finishEventLoopTurn();
    EXPECT_EQ(undo->undoStepCount(), 3);

    undo->undo();
    EXPECT_EQ(firstDifference(state(*project), deleted), "");
    EXPECT_FALSE(m->isAttached());
    EXPECT_EQ(process->subitems().size(), 1);
    undo->redo();
    EXPECT_EQ(firstDifference(state(*project), moved), "");
    undo->undo();
    undo->undo();
    EXPECT_EQ(firstDifference(state(*project), renamed), "");
    EXPECT_TRUE(m->isAttached());
    EXPECT_TRUE(a->outboundDependencyToItem(m.get()));
    undo->undo();
    EXPECT_EQ(firstDifference(state(*project), before), "");
}

// The same in the window: Delete released on the chart and a press on A's bar that come in one
// pass of the event loop, then A dragged: Undo takes back the drag alone.
TEST_F(DocumentUndoTest, TheDeleteKeyAndADragThatFollowsAtOnceAreUndoneOneByOne)
{
    DMGanttUIObjectFactory::registerWithModel();
    auto project = workingWeekProject();
    const auto a = addTask(project, QStringLiteral("A"), at(2024, 1, 8, 8), at(2024, 1, 9, 18));
    const auto process = addTask<DMProjectProcess>(project, QStringLiteral("P"), at(2024, 1, 10, 8), at(2024, 1, 12, 18));
    const auto m = addTask<DMProjectMilestone>(project, QStringLiteral("M"), at(2024, 1, 10, 8), at(2024, 1, 10, 8), process);
    link(a, m);
    const auto document = documentWithProject(project);
    showWindow(document);
    settle(document);
    DMProjectView *canvas = document->outlets().projectView;
    const auto barOf = [](const std::shared_ptr<DMProjectItem> &item) {
        return std::dynamic_pointer_cast<DMUIProjectItem>(item->ganttUIObject());
    };
    const auto pointOf = [canvas](QPointF inCanvas) {
        return canvas->convertRectFromCanvasToView(QRectF(inCanvas, QSizeF())).topLeft();
    };
    canvas->selectObjectInLayerExtendSelection(barOf(m), 1, false);
    const QVariantMap before = state(*project);

    const QPointF press = pointOf(barOf(a)->frame().center());
    QCoreApplication::postEvent(canvas, new QKeyEvent(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier));
    QCoreApplication::postEvent(canvas, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier));
    QCoreApplication::postEvent(canvas, new QMouseEvent(QEvent::MouseButtonPress, press, canvas->mapToGlobal(press),
                                                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::sendPostedEvents();
    ASSERT_FALSE(m->isAttached());
    const QVariantMap deleted = state(*project);
    for (int step = 1; step <= 4; ++step) {
        const QPointF to = press + QPointF(15 * step, 0);
        QMouseEvent move(QEvent::MouseMove, to, canvas->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(canvas, &move);
        finishEventLoopTurn();
    }
    const QPointF release = press + QPointF(60, 0);
    QMouseEvent up(QEvent::MouseButtonRelease, release, canvas->mapToGlobal(release), Qt::LeftButton, Qt::NoButton,
                   Qt::NoModifier);
    QCoreApplication::sendEvent(canvas, &up);
    finishEventLoopTurn();
    ASSERT_GT(a->beginDate(), at(2024, 1, 8, 8));

    document->undoManager()->undo();
    EXPECT_EQ(firstDifference(state(*project), deleted), "");
    EXPECT_FALSE(m->isAttached());
    document->undoManager()->undo();
    EXPECT_EQ(firstDifference(state(*project), before), "");
}

