// Random edit sequences, undone and redone: every step must come back exactly.
#include "DMLinkOrder.h"
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

// The critical path kept between changes (its item graph reused while the trees and links
// stay) against a computation from scratch, and the bounded cycle check of new links against a
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
            f.project->setNeedsCriticalPathUpdate(); // drops the kept graph
            ASSERT_EQ(firstDifference(kept, results(*f.project)), "") << when << ": " << editor.log();
            QList<std::shared_ptr<DMProjectItem>> items;
            DMProjectItem_forEachItem(f.project->tasks().list(), [&items](DMProjectItem &item) {
                items.append(std::static_pointer_cast<DMProjectItem>(item.shared_from_this()));
            });
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
