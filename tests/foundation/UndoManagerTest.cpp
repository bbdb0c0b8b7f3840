#include "DMUndoManager.h"
#include "DMUndoRegistrationPause.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <stdexcept>

using halcyra::test::ManualClock;

// Ends the event loop's turn, which closes the turn's undo step.
const auto endTurn = halcyra::test::finishEventLoopTurn;

namespace {

// A value whose setter registers its own inverse, as the model's setters do.
struct Value
{
    explicit Value(DMUndoManager *manager, int initial = 0) : undo(manager), value(initial) {}

    DMUndoManager *undo;
    int value;
    QString fenceOffKey;

    void set(int newValue)
    {
        const int old = value;
        undo->registerUndo([this, old] { set(old); }, fenceOffKey);
        value = newValue;
    }
};

} // namespace

TEST(UndoManager, GroupsOneEventLoopTurnIntoOneStepAndNewChangesClearRedo)
{
    DMUndoManager undo;
    QSignalSpy closed(&undo, &DMUndoManager::didCloseUndoGroup);
    Value v{&undo};
    v.set(1);
    v.set(2);
    EXPECT_EQ(undo.groupingLevel(), 1);
    endTurn();
    EXPECT_EQ(undo.groupingLevel(), 0);
    v.set(3);
    endTurn();
    EXPECT_EQ(undo.undoStepCount(), 2);
    EXPECT_EQ(closed.count(), 2);

    undo.undo();
    undo.undo();
    EXPECT_EQ(v.value, 0);
    undo.redo();
    EXPECT_EQ(v.value, 2);
    endTurn(); // nothing registered in this turn: no empty step appears
    EXPECT_EQ(undo.undoStepCount(), 1);

    v.set(5); // a new change clears redo; undo closes the open turn first
    EXPECT_FALSE(undo.canRedo());
    undo.undo();
    EXPECT_EQ(v.value, 2);
    EXPECT_EQ(undo.groupingLevel(), 0);
    EXPECT_EQ(undo.redoStepCount(), 1);
}

TEST(UndoManager, ExplicitGroupsNestAndOutliveTheTurn)
{
    DMUndoManager undo;
    Value v{&undo};
    undo.beginUndoGrouping();
    v.set(1);
    undo.beginUndoGrouping();
    v.set(2);
    undo.endUndoGrouping();
    endTurn(); // the outer explicit group stays open across turns
    EXPECT_EQ(undo.undoStepCount(), 0);
    v.set(3);
    undo.endUndoGrouping();
    endTurn();
    ASSERT_EQ(undo.undoStepCount(), 1);
    undo.undo();
    EXPECT_EQ(v.value, 0);
    undo.endUndoGrouping(); // unbalanced: ignored
    EXPECT_EQ(undo.groupingLevel(), 0);

    undo.setGroupsByEvent(false); // now each registration outside a group is a step
    v.set(1);
    v.set(2);
    undo.beginUndoGrouping();
    v.set(3);
    v.set(4);
    undo.endUndoGrouping();
    EXPECT_EQ(undo.undoStepCount(), 3);
}

// Commands issued in one turn (fast keys, a script) are steps of their own, whatever the turn
// recorded before or after them; inside a drag's group a command joins the drag's step.
TEST(UndoManager, ACommandsStepNeverTakesInTheRestOfItsTurn)
{
    DMUndoManager undo;
    Value v{&undo};
    v.set(1);
    undo.beginUndoStep();
    v.set(2);
    undo.beginUndoStep(); // nested: part of the command
    v.set(3);
    undo.endUndoStep();
    undo.setActionName(QStringLiteral("Delete"));
    undo.endUndoStep();
    v.set(4);
    undo.beginUndoStep();
    undo.endUndoStep(); // empty: no step
    endTurn();
    ASSERT_EQ(undo.undoStepCount(), 3);
    undo.undo();
    EXPECT_EQ(v.value, 3);
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Delete"));
    undo.undo();
    EXPECT_EQ(v.value, 1);

    undo.beginUndoGrouping(); // a drag, from press to release
    v.set(5);
    undo.beginUndoStep();
    v.set(6);
    undo.endUndoStep();
    v.set(7);
    undo.endUndoGrouping();
    endTurn();
    EXPECT_EQ(undo.undoStepCount(), 2);
    undo.undo();
    EXPECT_EQ(v.value, 1);
}

TEST(UndoManager, ActionNamesFollowTheStep)
{
    DMUndoManager undo;
    Value v{&undo};
    v.set(1);
    undo.setActionName(QStringLiteral("Move"));
    endTurn();
    v.set(2);
    endTurn();
    undo.setActionName(QStringLiteral("Resize")); // names the last closed step
    undo.undo();
    EXPECT_EQ(undo.undoActionName(), "Move");
    EXPECT_EQ(undo.redoActionName(), "Resize");
    undo.redo();
    EXPECT_EQ(undo.undoActionName(), "Resize");
}

TEST(UndoManager, UndoSurvivesThrowingAndSilentActions)
{
    DMUndoManager undo;
    Value v{&undo};
    v.set(7);
    undo.registerUndo([] { throw std::runtime_error("broken proxy"); });
    undo.registerUndo([] {}); // registers nothing
    endTurn();
    undo.undo();
    EXPECT_EQ(v.value, 0); // the earlier action still ran
    ASSERT_TRUE(undo.canRedo());
    undo.redo();
    EXPECT_EQ(v.value, 7);

    undo.removeAllActions();
    undo.registerUndo([] {});
    endTurn();
    undo.undo();
    EXPECT_FALSE(undo.canRedo()); // an empty redo step is not kept
    EXPECT_FALSE(undo.canUndo());
}

TEST(UndoManager, DisablingRegistrationIsCounted)
{
    DMUndoManager undo;
    Value v{&undo};
    undo.disableUndoRegistration();
    undo.disableUndoRegistration();
    undo.enableUndoRegistration();
    v.set(1);
    undo.enableUndoRegistration();
    endTurn();
    EXPECT_FALSE(undo.canUndo());
    undo.enableUndoRegistration(); // unbalanced: stays enabled
    v.set(2);
    endTurn();
    EXPECT_EQ(undo.undoStepCount(), 1);
}

TEST(UndoManager, APauseResumesRegistrationOnEveryPathOut)
{
    DMUndoManager undo;
    Value v{&undo};
    // Nested pauses; the inner one left by an exception.
    {
        const DMUndoRegistrationPause outer(&undo);
        try {
            const DMUndoRegistrationPause inner(&undo);
            v.set(1);
            throw std::runtime_error("refused");
        } catch (const std::runtime_error &) {
        }
        EXPECT_FALSE(undo.isUndoRegistrationEnabled());
        v.set(2);
    }
    EXPECT_TRUE(undo.isUndoRegistrationEnabled());
    endTurn();
    EXPECT_FALSE(undo.canUndo());
    v.set(3);
    endTurn();
    EXPECT_EQ(undo.undoStepCount(), 1);

    // No manager pauses nothing; a manager gone before the pause ends is not touched.
    { const DMUndoRegistrationPause none(nullptr); }
    auto gone = std::make_unique<DMUndoManager>();
    {
        const DMUndoRegistrationPause pause(gone.get());
        gone.reset();
    }
}

TEST(UndoManager, FenceOffKeyCoalescesADragIntoOneStep)
{
    ManualClock clock; // fences last while the test runs, however slowly
    DMUndoManager undo;
    Value v{&undo, 100};
    v.fenceOffKey = DMUndoManager::fenceOffKeyForObject(&v, "dates");
    // One change per turn of a continuous edit; it outlasts the 0.2 s fence, which each dropped
    // registration extends.
    for (int step = 1; step <= 20; ++step) {
        const DMUndoManager::ContinuousEdit edit(&undo, 7);
        v.set(100 + step);
        clock.advance(15);
        endTurn();
    }
    EXPECT_EQ(undo.undoStepCount(), 1);
    undo.undo();
    EXPECT_EQ(v.value, 100);

    // Once the fence has lifted, the next drag is a step of its own. Keys are "%x %s".
    clock.advance(200);
    ASSERT_FALSE(undo.isFenced(v.fenceOffKey));
    const DMUndoManager::ContinuousEdit edit(&undo, 7);
    v.set(200);
    endTurn();
    EXPECT_EQ(undo.undoStepCount(), 1);
    undo.undo();
    EXPECT_EQ(v.value, 100);

    const void *object = reinterpret_cast<const void *>(quintptr(0x7f12abcd5678ULL));
    EXPECT_EQ(DMUndoManager::fenceOffKeyForObject(object, "dates"), "abcd5678 dates");
    EXPECT_EQ(DMUndoManager::fenceOffKeyForObject(nullptr, "x"), "0 x");
}

TEST(UndoManager, DisableRegistrationWithFenceOffKeyDropsUntilExpiry)
{
    ManualClock clock; // fences last while the test runs, however slowly
    DMUndoManager undo;
    Value v{&undo};
    v.fenceOffKey = QStringLiteral("1234 dates");
    undo.disableRegistrationWithFenceOffKey(v.fenceOffKey);
    v.set(1);
    endTurn();
    EXPECT_FALSE(undo.canUndo());

    clock.advance(200);
    EXPECT_FALSE(undo.isFenced(v.fenceOffKey));
    v.set(2);
    endTurn();
    EXPECT_EQ(undo.undoStepCount(), 1);

    // Other keys and unkeyed registrations are unaffected.
    undo.disableRegistrationWithFenceOffKey(QStringLiteral("other"));
    v.fenceOffKey.clear();
    v.set(3);
    endTurn();
    EXPECT_EQ(undo.undoStepCount(), 2);
}

TEST(UndoManager, KeysAreIgnoredWhileUndoing)
{
    ManualClock clock; // fences last while the test runs, however slowly
    DMUndoManager undo;
    const QString key = QStringLiteral("k");
    int runs = 0;
    undo.registerUndo([&] {
        ++runs;
        undo.disableRegistrationWithFenceOffKey(key);
        undo.registerUndo([&] { ++runs; }, key);
        undo.registerUndo([&] { ++runs; }, key);
    });
    endTurn();
    undo.undo();
    EXPECT_FALSE(undo.isFenced(key));
    undo.redo();
    EXPECT_EQ(runs, 3); // both keyed registrations were kept as the redo step
}

TEST(UndoManager, PlainManagerRecordsEveryRegistration)
{
    DMUndoManager undo(false);
    Value v{&undo};
    v.fenceOffKey = QStringLiteral("key");
    undo.disableRegistrationWithFenceOffKey(v.fenceOffKey);
    EXPECT_FALSE(undo.isFenced(v.fenceOffKey));
    for (int step = 1; step <= 5; ++step) {
        v.set(step);
        endTurn();
    }
    EXPECT_EQ(undo.undoStepCount(), 5);
}

// A fence never outlives the step holding its recorded action: a change made after that step
// was undone (or cleared away) is recorded, though the 0.2 s have not passed.
TEST(UndoManager, AFenceLiftsWhenItsStepLeavesTheUndoStack)
{
    ManualClock clock; // fences last while the test runs, however slowly
    DMUndoManager undo;
    Value v{&undo};
    v.fenceOffKey = QStringLiteral("k");
    v.set(1);
    endTurn();
    undo.undo();
    EXPECT_FALSE(undo.isFenced(v.fenceOffKey));
    v.set(2);
    endTurn();
    ASSERT_TRUE(undo.canUndo());
    undo.undo();
    EXPECT_EQ(v.value, 0);

    v.set(3);
    undo.removeAllActions();
    v.set(4);
    endTurn();
    undo.undo();
    EXPECT_EQ(v.value, 3);
}

// An extensible registration is never dropped, and its context is offered only while it is
// the last action recorded: extending it then changes nothing that a later action restores.
TEST(UndoManager, AnExtensibleRegistrationOffersItsContextWhileLast)
{
    ManualClock clock; // fences last while the test runs, however slowly
    DMUndoManager undo;
    const QString key = QStringLiteral("snapshot");
    auto first = std::make_shared<int>(1);
    const DMUndoManager::ContinuousEdit edit(&undo, 7);
    undo.registerExtensibleUndo([] {}, key, first);
    EXPECT_EQ(undo.fencedContext(key), first);
    endTurn();
    EXPECT_EQ(undo.fencedContext(key), first); // the next turn of a nudge series may still extend it
    undo.registerUndo([] {});
    EXPECT_FALSE(undo.fencedContext(key));
    EXPECT_TRUE(undo.isFenced(key));
    auto second = std::make_shared<int>(2);
    undo.registerExtensibleUndo([] {}, key, second); // recorded although the key is fenced
    EXPECT_EQ(undo.fencedContext(key), second);
    endTurn();
    EXPECT_EQ(undo.undoStepCount(), 2);
    undo.undo();
    EXPECT_FALSE(undo.fencedContext(key));

    DMUndoManager plain(false);
    plain.registerExtensibleUndo([] {}, key, first);
    EXPECT_FALSE(plain.fencedContext(key));
}

// Commands a moment apart are steps of their own even when they set the same value again; a
// continuous edit folds its repeated sets only while nothing else was recorded after them.
TEST(UndoManager, AFenceFoldsOnlyOneEditWhileItsStepIsTheLastRecorded)
{
    ManualClock clock; // fences last while the test runs, however slowly
    DMUndoManager undo;
    Value a{&undo, 0};
    Value b{&undo, 0};
    a.fenceOffKey = QStringLiteral("a");
    b.fenceOffKey = QStringLiteral("b");
    const auto turn = [](auto &&change) {
        change();
        endTurn();
    };
    turn([&] { a.set(1); });
    turn([&] { b.set(1); });
    turn([&] { a.set(2); });
    turn([&] { a.set(3); });
    EXPECT_EQ(undo.undoStepCount(), 4);
    undo.undo();
    EXPECT_EQ(a.value, 2);
    undo.undo();
    EXPECT_EQ(std::make_pair(a.value, b.value), std::make_pair(1, 1));
    undo.undo();
    EXPECT_EQ(std::make_pair(a.value, b.value), std::make_pair(1, 0));

    // One command setting a value twice, in one step.
    turn([&] { a.set(4); a.set(5); });
    EXPECT_EQ(undo.undoStepCount(), 2);

    // A continuous edit folds; another step between, or another edit, ends the folding.
    turn([&] { const DMUndoManager::ContinuousEdit edit(&undo, 1); b.set(10); });
    turn([&] { const DMUndoManager::ContinuousEdit edit(&undo, 1); b.set(11); });
    EXPECT_EQ(undo.undoStepCount(), 3);
    turn([&] { a.set(6); });
    turn([&] { const DMUndoManager::ContinuousEdit edit(&undo, 1); b.set(12); });
    turn([&] { const DMUndoManager::ContinuousEdit edit(&undo, 2); b.set(13); });
    EXPECT_EQ(undo.undoStepCount(), 6);
    undo.undo();
    EXPECT_EQ(b.value, 12);
    undo.undo();
    EXPECT_EQ(b.value, 11);
    undo.undo();
    EXPECT_EQ(a.value, 5);
    undo.undo();
    EXPECT_EQ(b.value, 0);
}
