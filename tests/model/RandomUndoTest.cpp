// Random edit sequences, undone and redone: every step must come back exactly.
#include "DMLinkOrder.h"
#include "DMProjectItemGraph.h"
#include "DMProjectItemTree.h"
#include "DMScheduler.h"
#include "RandomProjectEditor.h"

#include <QCoreApplication>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

using namespace halcyra::test;

namespace {

constexpr int kSequences = 200;
constexpr int kSteps = 24;

} // namespace

// Each step (one to four edits) is undone to exactly the state before it, and redone to
// exactly the state after it, on a manager that records every registration.
TEST(RandomUndo, EveryStepOfRandomSequencesIsUndoneAndRedoneExactly)
{
    for (int seed = 1; seed <= kSequences; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random{unsigned(seed)};
        FullProject f = makeFullProject();
        StepUndo undo(f.project);
        RandomEditor editor(f, random);
        std::vector<QVariantMap> states{state(*f.project)};
        for (int step = 0; step < kSteps; ++step) {
            undo.step([&] {
                for (int edits = 1 + int(random() % 4); edits > 0; --edits)
                    editor.edit();
            });
            editor.endStep();
            ASSERT_EQ(staleDuration(*f.project), "") << editor.log();
            if (undo.manager.undoStepCount() == int(states.size()))
                states.push_back(state(*f.project));
            else
                ASSERT_EQ(firstDifference(state(*f.project), states.back()), "") << "a change registered nothing at step " << step << ": " << editor.log();
        }
        for (int step = int(states.size()) - 2; step >= 0; --step) {
            undo.manager.undo();
            ASSERT_EQ(firstDifference(state(*f.project), states[size_t(step)]), "") << "undoing step " << step << ": " << editor.log();
        }
        for (size_t step = 1; step < states.size(); ++step) {
            undo.manager.redo();
            ASSERT_EQ(firstDifference(state(*f.project), states[step]), "") << "redoing step " << step << ": " << editor.log();
        }
    }
}

// Steps, undos and redos interleaved at random, each undo and redo checked against the copies
// kept before and after its step.
TEST(RandomUndo, InterleavedUndoAndRedoRestoreExactlyOneStepEach)
{
    for (int seed = 1; seed <= kSequences; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random{unsigned(seed) * 31337u};
        FullProject f = makeFullProject();
        StepUndo undo(f.project);
        RandomEditor editor(f, random);
        undoAndRedoAtRandom(*f.project, undo.manager, editor, random, 3 * kSteps, [&] {
            undo.step([&] {
                for (int edits = 1 + int(random() % 3); edits > 0; --edits)
                    editor.edit();
            });
        });
        ASSERT_FALSE(HasFatalFailure());
    }
}

namespace {

// The kept item graph against the trees and links as they stand: the same items with their
// parents, subitems and links (sources and kinds), and a propagation order, when there is one,
// in which every step follows the steps it reads.
std::string keptGraphProblem(DMProject &project)
{
    DMProjectItemGraph &g = project.itemGraph();
    std::vector<const DMProjectItem *> tree;
    DMProjectItem_forEachItem(project.tasks().list(), [&tree](const DMProjectItem &item) { tree.push_back(&item); });
    if (tree.size() != g.items.size())
        return "the graph holds " + std::to_string(g.items.size()) + " items, the trees " + std::to_string(tree.size());
    for (const DMProjectItem *item : tree) {
        const int i = g.indexOf(item);
        const std::string name = item->title().toStdString();
        if (i < 0)
            return name + " is missing";
        const DMProjectItem *parent = item->parentItemPointer();
        if ((parent ? g.indexOf(parent) : -1) != g.parents[size_t(i)])
            return "the parent of " + name;
        std::vector<std::pair<int, int>> links;
        for (const auto &link : item->inboundDependencies())
            links.emplace_back(g.indexOf(link->fromItemPointer()), link->kind());
        std::vector<std::pair<int, int>> edges;
        for (int e = g.inStart[size_t(i)]; e < g.inStart[size_t(i) + 1]; ++e)
            edges.emplace_back(g.inEdges[size_t(e)].node, g.inEdges[size_t(e)].kind);
        if (links != edges)
            return "the links into " + name;
        std::vector<int> subitems;
        for (const auto &child : item->subitems())
            subitems.push_back(g.indexOf(child.get()));
        if (subitems != std::vector<int>(g.children.begin() + g.childStart[size_t(i)], g.children.begin() + g.childStart[size_t(i) + 1]))
            return "the subitems of " + name;
    }
    if (!g.hasPropagationOrder())
        return {};
    const int count = g.size();
    const auto finalStep = [&](int i) { return g.childStart[size_t(i) + 1] > g.childStart[size_t(i)] ? count + i : i; };
    for (int i = 0; i < count; ++i) {
        const std::string name = g.items[size_t(i)]->title().toStdString();
        for (int e = g.inStart[size_t(i)]; e < g.inStart[size_t(i) + 1]; ++e)
            if (g.rankOfStep(finalStep(g.inEdges[size_t(e)].node)) >= g.rankOfStep(i))
                return name + " comes before a source of its links";
        if (const int parent = g.parents[size_t(i)]; parent >= 0
            && (g.rankOfStep(parent) >= g.rankOfStep(i) || g.rankOfStep(finalStep(i)) >= g.rankOfStep(count + parent)))
            return name + " is out of order with its parent";
    }
    return {};
}

} // namespace

// The critical path kept between changes (its item graph reused while the trees and links
// stay, with the propagation's order) against a computation from scratch, the items' time span
// kept as dates change against a walk of every item, and the bounded cycle check of new links against a
// full search, after every random step, undo and redo.
TEST(RandomUndo, KeptCriticalPathAndLinkOrderMatchAFullRecomputation)
{
    const auto results = [](DMProject &project) {
        QVariantMap floats;
        DMProjectItem_forEachItem(project.tasks().list(), [&floats](const DMProjectItem &item) {
            floats.insert(QString::number(item.objectID()), item.floatDuration());
        });
        QVariantList critical;
        for (const quint64 id : project.criticalPathObjectIDs())
            critical.append(id);
        std::sort(critical.begin(), critical.end(), [](const QVariant &a, const QVariant &b) { return a.toULongLong() < b.toULongLong(); });
        return QVariantMap{{QStringLiteral("floats"), floats}, {QStringLiteral("critical"), critical}};
    };
    for (int seed = 1; seed <= kSequences / 2; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random{unsigned(seed) * 104729u};
        FullProject f = makeFullProject();
        StepUndo undo(f.project);
        RandomEditor editor(f, random);
        const auto check = [&](const char *when) {
            const QVariantMap kept = results(*f.project);
            ASSERT_EQ(keptGraphProblem(*f.project), "") << when << ": " << editor.log();
            DMDate first, last;
            DMProjectItem_forEachItem(f.project->tasks().list(), [&](const DMProjectItem &item) {
                first = first.isNull() ? item.beginDate() : std::min(first, item.beginDate());
                last = std::max(last, item.endDate());
            });
            for (const auto &event : f.project->eventContainer()->events()) {
                first = first.isNull() ? event->beginDate() : std::min(first, event->beginDate());
                last = std::max(last, event->endDate());
            }
            ASSERT_EQ(f.project->itemsBeginDate(), first) << when << ": " << editor.log();
            ASSERT_EQ(f.project->itemsEndDate(), last) << when << ": " << editor.log();
            f.project->setNeedsCriticalPathUpdate(); // drops the kept graph
            ASSERT_EQ(firstDifference(kept, results(*f.project)), "") << when << ": " << editor.log();
            const QList<std::shared_ptr<DMProjectItem>> items = itemsOf(*f.project);
            for (int probe = 0; probe < 6 && items.size() > 1; ++probe) {
                DMProjectItem &from = *items.at(qsizetype(random() % unsigned(items.size())));
                DMProjectItem &to = *items.at(qsizetype(random() % unsigned(items.size())));
                if (&from == &to)
                    continue;
                ASSERT_EQ(DMLinkOrder::linkWouldCloseCycle(from, to), to.reachesItemThroughDependencies(&from))
                    << when << ": " << editor.log();
            }
        };
        int steps = 0;
        for (int step = 0; step < kSteps; ++step) {
            undo.step([&] {
                for (int edits = 1 + int(random() % 4); edits > 0; --edits)
                    editor.edit();
            });
            editor.endStep();
            check("after a step");
            steps = undo.manager.undoStepCount();
        }
        for (int i = 0; i < steps; ++i) {
            undo.manager.undo();
            check("after an undo");
        }
        for (int i = 0; i < steps; ++i) {
            undo.manager.redo();
            check("after a redo");
        }
        f.project->setUndoManager(nullptr);
    }
}

// The document's manager: one step per event-loop turn, fence-off keys, every step issued at
// once after the one before, as fast typing and scripts do. Each undo and redo comes back to
// exactly one step, however often a value is set again.
TEST(RandomUndo, StepsWithoutPausesThroughTheDocumentsFencedManagerUndoOneByOne)
{
    for (int seed = 1; seed <= kSequences / 2; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random{unsigned(seed) * 7919u};
        FullProject f = makeFullProject();
        DMUndoManager manager;
        f.project->setUndoManager(&manager);
        RandomEditor editor(f, random);
        undoAndRedoAtRandom(*f.project, manager, editor, random, 3 * kSteps, [&] {
            for (int edits = 1 + int(random() % 4); edits > 0; --edits)
                editor.edit();
            QCoreApplication::processEvents(); // ends the turn's step
        });
        f.project->setUndoManager(nullptr);
        ASSERT_FALSE(HasFatalFailure());
    }
}
