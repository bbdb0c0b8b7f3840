// Commands issued to an open document with no pause between them, as fast typing and scripts
// do: each goes through the document's undo manager as a step of its own, and each undo and
// redo takes back or brings back exactly that step.
#include "CanvasSelectionTestSupport.h"
#include "DocumentTestSupport.h"

#include "../model/RandomProjectEditor.h"

#include "DMGanttUIObjectFactory.h"
#include "DMProjectDocumentProjectOutlineDS.h"
#include "DMProjectView.h"
#include "DMProjectViewConstants.h"
#include "DMUIProjectDependency.h"
#include "DMUIProjectItem.h"
#include "DMValidation.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

using namespace halcyra::test;

namespace {

class DocumentUndoTest : public DocumentTestBase
{
};

// The first item of the project's trees that reaches one outside them (a parent or link end
// that left), or empty.
std::string strayReference(const DMProject &project)
{
    std::string problem;
    DMProjectItem_forEachItem(project.tasks().list(), [&](const DMProjectItem &item) {
        if (problem.empty() && (!item.isAttached() || (item.parentItem() && !item.parentItem()->isAttached())))
            problem = item.title().toStdString() + " is in the trees but out of the project";
        for (const auto *links : {&item.inboundDependencies(), &item.outboundDependencies()})
            for (const auto &link : *links)
                if (problem.empty() && (!link->isAttached() || !link->fromItem() || !link->toItem()
                                        || !link->fromItem()->isAttached() || !link->toItem()->isAttached()))
                    problem = item.title().toStdString() + " lists a link to an item out of the project";
    });
    return problem;
}

// The first ancestor of the item that does not enclose it, or empty. One that could not (a lock
// or a link in its way) refuses to enclose it now too.
std::string unenclosingParent(const DMProjectItem &item)
{
    for (auto parent = item.parentItem(); parent; parent = parent->parentItem())
        if ((item.beginDate() < parent->beginDate() || item.endDate() > parent->endDate())
            && parent->enforceLinkedItemsConstrainedDates() == kDMValidation_OK)
            return parent->title().toStdString() + " does not enclose " + item.title().toStdString();
    return {};
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

// What a user does around removals: deleting items that have links or sit in processes (and
// links), then changing the items they were linked to or sat beside, pasting copies next to
// items or into processes, and dropping rows onto processes or between their rows in the
// outline, mixed with every other kind of edit. Every process encloses what was put into it.
// After every step, undo and redo the project is the copy kept for that point, nothing in it
// reaches an item that left it, and the chart's selection holds only what the project holds.
TEST_F(DocumentUndoTest, DeletionsNeighboursPastesAndDropsAreUndoneAndRedoneOneByOne)
{
    DMGanttUIObjectFactory::registerWithModel();
    for (unsigned seed = 1; seed <= 30; ++seed) {
        SCOPED_TRACE(seed);
        FullProject f = makeFullProject();
        f.project->setAttribute(kDMProject_ViewMode, 0);
        const auto document = documentWithProject(f.project);
        showWindow(document);
        finishEventLoopTurn();
        document->undoManager()->removeAllActions();
        std::mt19937 random{seed * 40503u};
        RandomEditor editor(f, random);
        const auto pick = [&](const auto &list) { return list.at(qsizetype(random() % unsigned(list.size()))); };
        const auto processes = [&] {
            QList<std::shared_ptr<DMProjectItem>> found;
            for (const auto &item : itemsOf(*f.project))
                if (item->kind() == kDMProjectItem_Kind_Process)
                    found.append(item);
            return found;
        };
        // The items beside the ones deleted last: the ends of their links, their parents and siblings.
        QList<std::weak_ptr<DMProjectItem>> neighbours;
        const auto deleteSome = [&] {
            const auto all = itemsOf(*f.project);
            QList<std::shared_ptr<DMProjectObject>> doomed;
            QList<std::shared_ptr<DMProjectItem>> related;
            for (const auto &item : all)
                if (!item->inboundDependencies().isEmpty() || !item->outboundDependencies().isEmpty() || item->parentItem())
                    related.append(item);
            const auto &from = related.isEmpty() || random() % 5 == 0 ? all : related;
            if (from.size() < 3)
                return;
            for (int n = 1 + int(random() % 2); n > 0; --n) {
                const auto item = pick(from);
                if (random() % 4 == 0 && !item->outboundDependencies().isEmpty())
                    doomed.append(pick(item->outboundDependencies().list()));
                else
                    doomed.append(item);
            }
            neighbours.clear();
            for (const auto &object : doomed) {
                auto item = std::dynamic_pointer_cast<DMProjectItem>(object);
                if (!item) {
                    auto link = std::static_pointer_cast<DMProjectDependency>(object);
                    neighbours.append(link->fromItem());
                    neighbours.append(link->toItem());
                    continue;
                }
                for (const auto &link : item->inboundDependencies())
                    neighbours.append(link->fromItem());
                for (const auto &link : item->outboundDependencies())
                    neighbours.append(link->toItem());
                if (const auto parent = item->parentItem()) {
                    neighbours.append(parent);
                    for (const auto &sibling : parent->subitems())
                        neighbours.append(sibling);
                }
            }
            if (random() % 2) {
                editor.note("delete");
                document->deleteItems(doomed);
                return;
            }
            // Edit > Delete with the objects selected on the chart.
            DMProjectView *canvas = document->outlets().projectView;
            canvas->deselectAll();
            for (const auto &object : doomed) {
                if (const auto item = std::dynamic_pointer_cast<DMProjectItem>(object))
                    canvas->selectObjectInLayerExtendSelection(
                        std::dynamic_pointer_cast<DMBaseObject>(item->ganttUIObject()), kDMProjectViewLayer_Items, true);
                else if (const auto link = std::dynamic_pointer_cast<DMProjectDependency>(object))
                    canvas->selectObjectInLayerExtendSelection(
                        std::dynamic_pointer_cast<DMBaseObject>(link->ganttUIObject()), kDMProjectViewLayer_Links, true);
            }
            editor.note("delete selected");
            document->deleteSelectedItem();
        };
        const auto changeNeighbour = [&] {
            QList<std::shared_ptr<DMProjectItem>> candidates;
            for (const auto &weak : neighbours)
                if (const auto item = weak.lock(); item && item->isAttached())
                    candidates.append(item);
            if (candidates.isEmpty())
                candidates = itemsOf(*f.project);
            if (candidates.isEmpty())
                return;
            const auto item = pick(candidates);
            const qint64 shift = (qint64(random() % 97) - 24) * 3600;
            const DMDate begin = item->beginDate().dateByAddingSeconds(shift);
            const DMDate end = item->hasEqualDates() ? begin : item->endDate().dateByAddingSeconds(shift);
            editor.note("neighbour");
            switch (random() % 4) {
            case 0: item->validateAndSetBeginDateAndEndDate(begin, end); break;
            case 1: item->validateTimeShiftAndSetBeginDateAndEndDate(begin, end); break;
            case 2: item->setValidatedEndDate(end.dateByAddingSeconds(7200)); break;
            default: item->enforceLinkedItemsConstrainedDates(); break;
            }
        };
        const auto paste = [&] {
            const auto all = itemsOf(*f.project);
            if (all.isEmpty())
                return;
            QList<std::shared_ptr<DMProjectItem>> copied{pick(all)};
            if (random() % 3 == 0)
                copied.append(pick(all));
            const auto targets = processes();
            const auto parent = targets.isEmpty() || random() % 3 == 0 ? nullptr : pick(targets);
            const auto &siblings = parent ? parent->subitems().list() : f.project->tasks().list();
            const auto sibling = siblings.isEmpty() || random() % 2 ? nullptr : pick(siblings);
            editor.note("paste");
            document->copyItemsToClipboard(copied);
            for (const auto &item : document->pasteFromClipboard(parent, sibling))
                ASSERT_EQ(unenclosingParent(*item), "") << editor.log();
        };
        // A row dragged in the outline and dropped onto a process or between a process's rows.
        const auto drop = [&] {
            const auto all = itemsOf(*f.project);
            const auto targets = processes();
            if (all.isEmpty() || targets.isEmpty())
                return;
            DMProjectDocumentProjectOutlineDS *outline = document->projectOutlineDS();
            const auto dragged = pick(all);
            const auto target = pick(targets);
            QMimeData pasteboard;
            if (!outline->outlineViewWriteItemsToPasteboard(nullptr, {dragged.get()}, &pasteboard))
                return;
            const int childIndex = random() % 2 ? -1 : int(random() % unsigned(target->subitems().size() + 1));
            editor.note("drop");
            if (outline->outlineViewAcceptDropItemChildIndex(nullptr, DMDraggingInfo{&pasteboard}, target.get(), childIndex)) {
                ASSERT_EQ(unenclosingParent(*dragged), "") << editor.log();
            }
        };
        // Bars and links selected on the chart, as a user leaves them before the next command.
        const auto select = [&] {
            DMProjectView *canvas = document->outlets().projectView;
            const auto all = itemsOf(*f.project);
            if (all.isEmpty())
                return;
            editor.note("select");
            canvas->deselectAll();
            for (int n = 1 + int(random() % 3); n > 0; --n) {
                const auto item = pick(all);
                if (random() % 3 == 0 && !item->outboundDependencies().isEmpty()) {
                    canvas->selectObjectInLayerExtendSelection(
                        std::dynamic_pointer_cast<DMBaseObject>(pick(item->outboundDependencies().list())->ganttUIObject()),
                        kDMProjectViewLayer_Links, true);
                } else {
                    canvas->selectObjectInLayerExtendSelection(std::dynamic_pointer_cast<DMBaseObject>(item->ganttUIObject()),
                                                               kDMProjectViewLayer_Items, true);
                }
            }
        };
        const auto afterEachMove = [&] {
            ASSERT_EQ(strayReference(*f.project), "") << editor.log();
            ASSERT_TRUE(halcyra::test::everySelectedCanvasObjectIsInProject(*document)) << editor.log();
        };
        undoAndRedoAtRandom(*f.project, *document->undoManager(), editor, random, 50, [&] {
            switch (random() % 9) {
            case 0: case 1: deleteSome(); break;
            case 2: case 3: changeNeighbour(); break;
            case 4: paste(); break;
            case 5: drop(); break;
            case 6: select(); break;
            default: editor.edit(); break;
            }
            finishEventLoopTurn();
        }, afterEachMove);
        ASSERT_FALSE(HasFatalFailure());
    }
}
