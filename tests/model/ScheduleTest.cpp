#include "DMIdleTimeout.h"
#include "DMModalUI.h"
#include "DMProjectDocumentHooks.h"
#include "DMProjectItemUIObject.h"
#include "DMProjectUIObjectFactory.h"
#include "DMScheduler.h"
#include "DMValidation.h"
#include "ModelTestSupport.h"
#include "RandomProjectEditor.h"
#include "TestSupport.h"

#include <QCoreApplication>

using namespace halcyra::test;

TEST(Schedule, EachLinkKindPushesItsSuccessorJustEnoughInWorkingTime)
{
    struct Case
    {
        int kind;
        DMDate successorBegin, successorEnd; // after A moves to Tue 8:00 - Wed 18:00
    };
    // B is Mon 8:00 - Mon 18:00 (10 working hours) and satisfies every kind before the move.
    const Case cases[] = {
        // finish to start: B begins at A's end (Wed 18:00, placed at the next window's start)
        // and keeps 10 working hours: Thursday.
        {DMProjectDependency::FinishToStart, at(2024, 1, 11, 8), at(2024, 1, 11, 18)},
        // start to finish: B ends no earlier than A begins (Tue 8:00 = Mon 18:00 in working
        // time, so the end lands on Tue 8:00 and the begin 10 working hours before).
        {DMProjectDependency::StartToFinish, at(2024, 1, 8, 8), at(2024, 1, 9, 8)},
        // start to start: B begins with A.
        {DMProjectDependency::StartToStart, at(2024, 1, 9, 8), at(2024, 1, 9, 18)},
        // finish to finish: B ends with A, 10 working hours earlier it begins.
        {DMProjectDependency::FinishToFinish, at(2024, 1, 10, 8), at(2024, 1, 10, 18)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.kind);
        auto project = workingWeekProject();
        auto a = addTask(project, "A", at(2024, 1, 8, 8), at(2024, 1, 8, 18));
        auto b = addTask(project, "B", at(2024, 1, 8, 8), at(2024, 1, 8, 18));
        if (c.kind == DMProjectDependency::FinishToStart)
            b->setBeginDateAndEndDate(at(2024, 1, 8, 18), at(2024, 1, 9, 18));
        link(a, b, c.kind);
        EXPECT_EQ(a->validateAndSetBeginDateAndEndDate(at(2024, 1, 9, 8), at(2024, 1, 10, 18)), kDMValidation_OK);
        expectDates(*a, at(2024, 1, 9, 8), at(2024, 1, 10, 18));
        expectDates(*b, c.successorBegin, c.successorEnd);
        EXPECT_EQ(b->duration(), 10 * 3600);
        EXPECT_EQ(a->duration(), 20 * 3600);

        // Moving back never pulls the successor earlier.
        EXPECT_EQ(a->validateAndSetBeginDateAndEndDate(at(2024, 1, 8, 8), at(2024, 1, 8, 18)), kDMValidation_OK);
        expectDates(*b, c.successorBegin, c.successorEnd);
    }
}

TEST(Schedule, PushesRunDownChainsAcrossWeekendsKeepingWorkingDurations)
{
    auto project = workingWeekProject();
    auto a = addTask(project, "A", at(2024, 1, 8, 8), at(2024, 1, 8, 18));
    auto b = addTask(project, "B", at(2024, 1, 9, 8), at(2024, 1, 10, 18));        // 20 h
    auto c = addTask<DMProjectMilestone>(project, "C", at(2024, 1, 10, 18), at(2024, 1, 10, 18));
    auto d = addTask(project, "D", at(2024, 1, 22, 8), at(2024, 1, 22, 18));       // far enough
    link(a, b);
    link(b, c);
    link(c, d);
    // A moves to Thursday: B runs Fri 8:00 to Mon 18:00 (20 working hours over the weekend), C
    // begins where B ends, at the next window's start.
    EXPECT_EQ(a->validateAndSetBeginDateAndEndDate(at(2024, 1, 11, 8), at(2024, 1, 11, 18)), kDMValidation_OK);
    expectDates(*b, at(2024, 1, 12, 8), at(2024, 1, 15, 18));
    expectDates(*c, at(2024, 1, 16, 8), at(2024, 1, 16, 8));
    expectDates(*d, at(2024, 1, 22, 8), at(2024, 1, 22, 18)); // not pushed: the link holds
    EXPECT_EQ(b->duration(), 20 * 3600);
}

TEST(Schedule, RefusalsLeaveTheModelUnchanged)
{
    auto project = workingWeekProject();
    auto process = addTask<DMProjectProcess>(project, "P", at(2024, 1, 8, 8), at(2024, 1, 12, 18));
    auto a = addTask(project, "A", at(2024, 1, 8, 8), at(2024, 1, 8, 18), process);
    auto b = addTask(project, "B", at(2024, 1, 9, 8), at(2024, 1, 9, 18), process);
    auto c = addTask(project, "C", at(2024, 1, 10, 8), at(2024, 1, 10, 18), process);
    auto m = addTask<DMProjectMilestone>(project, "M", at(2024, 1, 12, 18), at(2024, 1, 12, 18), process);
    link(a, b);
    link(b, c);
    c->setLocked(true);
    StepUndo undo(project);
    const QVariantMap before = project->dictionaryRepresentation();

    // Before 1970, either date, or none.
    EXPECT_EQ(a->validateAndSetBeginDateAndEndDate(at(1969, 12, 31, 23), at(2024, 1, 8, 18)), kDMValidation_Before1970);
    EXPECT_EQ(a->validateAndSetBeginDateAndEndDate(DMDate(), at(2024, 1, 8, 18)), kDMValidation_Before1970);
    // Begin not before end; a milestone needs equal dates.
    EXPECT_EQ(a->validateAndSetBeginDateAndEndDate(at(2024, 1, 8, 18), at(2024, 1, 8, 18)), kDMValidation_BeginNotBeforeEnd);
    EXPECT_EQ(a->validateAndSetBeginDateAndEndDate(at(2024, 1, 8, 18), at(2024, 1, 8, 8)), kDMValidation_BeginNotBeforeEnd);
    EXPECT_EQ(m->validateAndSetBeginDateAndEndDate(at(2024, 1, 12, 8), at(2024, 1, 12, 18)), kDMValidation_BeginNotBeforeEnd);
    // Locked itself.
    EXPECT_EQ(c->validateAndSetBeginDateAndEndDate(at(2024, 1, 11, 8), at(2024, 1, 11, 18)), kDMValidation_Locked);
    // B may not begin before A ends.
    EXPECT_EQ(b->validateAndSetBeginDateAndEndDate(at(2024, 1, 8, 12), at(2024, 1, 9, 18)), kDMValidation_InboundDependencyBroken);
    // A push that reaches locked C stops the whole change, though A and B could move.
    EXPECT_EQ(a->validateAndSetBeginDateAndEndDate(at(2024, 1, 9, 8), at(2024, 1, 9, 18)), kDMValidation_Locked);
    // The process is locked: a subitem may not make it grow.
    process->setLocked(true);
    const QVariantMap lockedBefore = project->dictionaryRepresentation();
    EXPECT_EQ(m->validateAndSetBeginDateAndEndDate(at(2024, 1, 15, 18), at(2024, 1, 15, 18)), kDMValidation_Locked);
    EXPECT_EQ(project->dictionaryRepresentation(), lockedBefore);
    process->setLocked(false);

    EXPECT_EQ(project->dictionaryRepresentation(), before);
    // Only the two lock changes were registered; every refusal registered nothing.
    EXPECT_EQ(undo.manager.undoStepCount(), 2);

    // A milestone's equal dates are accepted, and a push short of C is fine.
    EXPECT_EQ(m->validateAndSetBeginDateAndEndDate(at(2024, 1, 11, 18), at(2024, 1, 11, 18)), kDMValidation_OK);
    EXPECT_EQ(a->validateAndSetBeginDateAndEndDate(at(2024, 1, 8, 9), at(2024, 1, 8, 18)), kDMValidation_OK);
}

TEST(Schedule, ParentsGrowToEncloseAndFittedParentsShrink)
{
    auto project = DMProject::create(); // all days, all day: calendar time
    auto process = addTask<DMProjectProcess>(project, "P", at(2024, 1, 8), at(2024, 1, 12));
    auto group = addTask<DMProjectItemGroup>(project, "G", at(2024, 1, 8), at(2024, 1, 10), process);
    group->setAttribute(kDMProjectItem_ExpandToFitSubitems, true);
    auto a = addTask(project, "A", at(2024, 1, 8), at(2024, 1, 9), group);
    auto b = addTask(project, "B", at(2024, 1, 9), at(2024, 1, 10), group);
    auto after = addTask(project, "After", at(2024, 1, 12), at(2024, 1, 13));
    link(process, after);

    // B moves past the process's end: group and process grow, the process pushes its successor.
    EXPECT_EQ(b->validateAndSetBeginDateAndEndDate(at(2024, 1, 12), at(2024, 1, 14)), kDMValidation_OK);
    expectDates(*group, at(2024, 1, 8), at(2024, 1, 14));
    expectDates(*process, at(2024, 1, 8), at(2024, 1, 14));
    expectDates(*after, at(2024, 1, 14), at(2024, 1, 15));
    EXPECT_EQ(process->duration(), 6 * 86400);

    // B moves back: the fitted group shrinks to its subitems, the process keeps its span.
    EXPECT_EQ(b->validateAndSetBeginDateAndEndDate(at(2024, 1, 9), at(2024, 1, 10)), kDMValidation_OK);
    expectDates(*group, at(2024, 1, 8), at(2024, 1, 10));
    expectDates(*process, at(2024, 1, 8), at(2024, 1, 14));
    expectDates(*after, at(2024, 1, 14), at(2024, 1, 15));

    // A moves earlier: both grow at the front.
    EXPECT_EQ(a->validateAndSetBeginDateAndEndDate(at(2024, 1, 6), at(2024, 1, 7)), kDMValidation_OK);
    expectDates(*group, at(2024, 1, 6), at(2024, 1, 10));
    expectDates(*process, at(2024, 1, 6), at(2024, 1, 14));

    // Removing a subitem refits the fitted group.
    group->subitems().removeOne(a);
    expectDates(*group, at(2024, 1, 9), at(2024, 1, 10));
}

// Items put into a parent (inserted, moved in from another parent) widen it and its ancestors
// as a validated change would, pushing the parents' successors, in the step of the insertion;
// undo and redo give back exactly each side. A locked parent keeps its dates. Setting a parent
// to fit its subitems fits it at once.
TEST(Schedule, ParentsEncloseWhatIsPutIntoThemAndFitItOnceSetTo)
{
    auto project = DMProject::create(); // all days, all day: calendar time
    StepUndo undo(project);
    auto outer = addTask<DMProjectProcess>(project, "Outer", at(2024, 1, 1), at(2024, 1, 6, 12));
    auto inner = addTask<DMProjectProcess>(project, "Inner", at(2024, 1, 2), at(2024, 1, 5), outer);
    auto other = addTask<DMProjectProcess>(project, "Other", at(2024, 1, 3), at(2024, 1, 8, 18));
    auto after = addTask(project, "After", at(2024, 1, 7), at(2024, 1, 8));
    link(outer, after);
    auto task = addTask(project, "Task", at(2024, 1, 6), at(2024, 1, 7, 18), other);
    const QVariantMap before = state(*project);

    undo.step([&] {
        other->subitems().removeOne(task);
        inner->subitems().insert(0, task);
    });
    expectDates(*inner, at(2024, 1, 2), at(2024, 1, 7, 18));
    expectDates(*outer, at(2024, 1, 1), at(2024, 1, 7, 18));
    expectDates(*after, at(2024, 1, 7, 18), at(2024, 1, 8, 18));
    expectDates(*other, at(2024, 1, 3), at(2024, 1, 8, 18)); // what leaves a parent does not shrink it
    EXPECT_EQ(outer->duration(), qint32(6 * 86400 + 18 * 3600));
    const QVariantMap moved = state(*project);
    undo.manager.undo();
    EXPECT_EQ(firstDifference(state(*project), before), "");
    undo.manager.redo();
    EXPECT_EQ(firstDifference(state(*project), moved), "");

    // A new item before the parent's begin widens it at the front.
    auto early = makeItem<DMProjectTask>(project, "Early", at(2023, 12, 30), at(2023, 12, 31));
    undo.step([&] { other->subitems().append(early); });
    expectDates(*other, at(2023, 12, 30), at(2024, 1, 8, 18));

    // Locked, the parent keeps its dates.
    auto late = makeItem<DMProjectTask>(project, "Late", at(2024, 1, 20), at(2024, 1, 21));
    undo.step([&] {
        other->setLocked(true);
        other->subitems().append(late);
    });
    expectDates(*other, at(2023, 12, 30), at(2024, 1, 8, 18));

    // Set to fit: it shrinks to its subitems at once, and undo widens it again.
    undo.step([&] { inner->setAttribute(kDMProjectItem_ExpandToFitSubitems, true); });
    expectDates(*inner, at(2024, 1, 6), at(2024, 1, 7, 18));
    undo.manager.undo();
    expectDates(*inner, at(2024, 1, 2), at(2024, 1, 7, 18));
}

TEST(Schedule, TimeShiftMovesAProcessWithItsSubitems)
{
    auto project = workingWeekProject();
    auto process = addTask<DMProjectProcess>(project, "P", at(2024, 1, 8, 8), at(2024, 1, 10, 18));
    auto a = addTask(project, "A", at(2024, 1, 8, 8), at(2024, 1, 8, 18), process);
    auto b = addTask(project, "B", at(2024, 1, 9, 8), at(2024, 1, 10, 18), process);
    auto outside = addTask(project, "Outside", at(2024, 1, 11, 8), at(2024, 1, 11, 18));
    link(a, b);
    link(b, outside);

    // Two working days later: A Wed, B Thu-Fri, and the outside successor is pushed to Monday.
    EXPECT_EQ(process->validateTimeShiftAndSetBeginDateAndEndDate(at(2024, 1, 10, 8), at(2024, 1, 12, 18)), kDMValidation_OK);
    expectDates(*process, at(2024, 1, 10, 8), at(2024, 1, 12, 18));
    expectDates(*a, at(2024, 1, 10, 8), at(2024, 1, 10, 18));
    expectDates(*b, at(2024, 1, 11, 8), at(2024, 1, 12, 18));
    expectDates(*outside, at(2024, 1, 15, 8), at(2024, 1, 15, 18));

    // A shift that would take a subitem before its predecessor is refused.
    auto early = addTask(project, "Early", at(2024, 1, 8, 8), at(2024, 1, 9, 18));
    link(early, a);
    const QVariantMap before = project->dictionaryRepresentation();
    EXPECT_EQ(process->validateTimeShiftAndSetBeginDateAndEndDate(at(2024, 1, 9, 8), at(2024, 1, 11, 18)),
              kDMValidation_InboundDependencyBroken);
    EXPECT_EQ(project->dictionaryRepresentation(), before);
}

namespace {

struct CountingModalUI : DMModalUI
{
    int alerts = 0;
    int runAlert(const Alert &, QWidget *) override { return ++alerts, DefaultReturn; }
};

} // namespace

// The model asks nothing: the caller passes the answer to the process question.
TEST(Schedule, AProcessesValidatedBeginDateMovesItsSubitemsOnlyWhenTheCallerSaysSo)
{
    CountingModalUI ui;
    DMModalUI::setInstance(&ui);
    auto project = DMProject::create();
    auto process = addTask<DMProjectProcess>(project, "P", at(2024, 1, 8), at(2024, 1, 10));
    auto a = addTask(project, "A", at(2024, 1, 8), at(2024, 1, 10), process);

    EXPECT_EQ(process->setValidatedBeginDate(at(2024, 1, 9), DMScheduler::RescheduleMode::RescheduleProcess), kDMValidation_OK);
    expectDates(*a, at(2024, 1, 9), at(2024, 1, 11));
    expectDates(*process, at(2024, 1, 9), at(2024, 1, 11));

    // "Set Begin Date": the subitems stay, and the process still encloses them.
    EXPECT_EQ(process->setValidatedBeginDate(at(2024, 1, 8), DMScheduler::RescheduleMode::SetBeginDate), kDMValidation_OK);
    expectDates(*a, at(2024, 1, 9), at(2024, 1, 11));
    expectDates(*process, at(2024, 1, 8), at(2024, 1, 11));
    // A task's end setter keeps its begin.
    EXPECT_EQ(a->setValidatedEndDate(at(2024, 1, 12)), kDMValidation_OK);
    expectDates(*a, at(2024, 1, 9), at(2024, 1, 12));
    EXPECT_EQ(a->setValidatedEndDate(at(2024, 1, 9)), kDMValidation_BeginNotBeforeEnd);
    EXPECT_EQ(ui.alerts, 0);
    EXPECT_STREQ(DMScheduler::kRescheduleProcessMessage, "Would you like to reschedule the entire process?");
    DMModalUI::setInstance(nullptr);
}

TEST(Schedule, AWholePushIsOneUndoStep)
{
    auto project = DMProject::create();
    auto a = addTask(project, "A", at(2024, 1, 8), at(2024, 1, 9));
    auto b = addTask(project, "B", at(2024, 1, 9), at(2024, 1, 10));
    auto c = addTask(project, "C", at(2024, 1, 10), at(2024, 1, 11));
    link(a, b);
    link(b, c);
    StepUndo undo(project);
    const QVariantMap before = project->dictionaryRepresentation();
    EXPECT_EQ(a->validateAndSetBeginDateAndEndDate(at(2024, 1, 8), at(2024, 1, 12)), kDMValidation_OK);
    expectDates(*c, at(2024, 1, 13), at(2024, 1, 14));
    const QVariantMap after = project->dictionaryRepresentation();
    EXPECT_EQ(undo.manager.undoStepCount(), 1);
    undo.manager.undo();
    EXPECT_EQ(project->dictionaryRepresentation(), before);
    undo.manager.redo();
    EXPECT_EQ(project->dictionaryRepresentation(), after);
    undo.manager.undo();
    EXPECT_EQ(project->dictionaryRepresentation(), before);
}

TEST(Schedule, ADragsChangesUnderOneFenceOffKeyMakeOneUndoStep)
{
    ManualClock clock; // the fence lasts through the drag however slowly it runs
    auto project = DMProject::create();
    auto a = addTask(project, "A", at(2024, 1, 8), at(2024, 1, 9));
    auto b = addTask(project, "B", at(2024, 1, 11), at(2024, 1, 12));
    auto c = addTask(project, "C", at(2024, 1, 14), at(2024, 1, 15));
    link(a, b);
    link(b, c);
    DMUndoManager manager; // fence-off keys, one step per event-loop turn
    project->setUndoManager(&manager);
    const QVariantMap before = project->dictionaryRepresentation();

    // Each step of the drag (a keyboard nudge series, one continuous edit) is its own turn. The
    // first moves only A; later ones push B, then C.
    for (int day = 9; day <= 14; ++day) {
        const DMUndoManager::ContinuousEdit edit(&manager, 1);
        EXPECT_EQ(a->validateAndSetBeginDateAndEndDate(at(2024, 1, day), at(2024, 1, day + 1)), kDMValidation_OK);
        QCoreApplication::processEvents();
    }
    expectDates(*b, at(2024, 1, 15), at(2024, 1, 16));
    expectDates(*c, at(2024, 1, 16), at(2024, 1, 17));
    QCoreApplication::processEvents();
    EXPECT_EQ(manager.undoStepCount(), 1);
    manager.undo();
    EXPECT_EQ(project->dictionaryRepresentation(), before);
    project->setUndoManager(nullptr);
}

namespace {

struct RecordingObject : DMProjectItemUIObject
{
    int timeSpanChanges = 0;
    void representedObject_timeSpanChanged() override { ++timeSpanChanges; }
};

struct RecordingFactory : DMProjectUIObjectFactory
{
    std::shared_ptr<DMProjectItemUIObject> newUIObjectForItem(DMProjectItem &, int) override
    {
        return std::make_shared<RecordingObject>();
    }
};

struct RecordingDocument : DMProjectDocumentHooks
{
    QList<QList<DMProjectItem *>> calls;
    void itemDatesDidChange(const QList<DMProjectItem *> &items) override { calls.append(items); }
};

} // namespace

TEST(Schedule, AppliedDatesReachTheCanvasNowAndTheDocumentWhenIdle)
{
    ManualClock clock; // the document hears of dates after a delay on this clock
    RecordingFactory factory;
    DMProjectUIObjectFactory::registerFactory(&factory);
    RecordingDocument document;
    auto project = DMProject::create();
    project->displayAttributes().projectDocument = &document;
    auto a = addTask(project, "A", at(2024, 1, 8), at(2024, 1, 9));
    auto b = addTask(project, "B", at(2024, 1, 9), at(2024, 1, 10));
    link(a, b);
    auto *barA = static_cast<RecordingObject *>(a->ganttUIObject().get());
    auto *barB = static_cast<RecordingObject *>(b->ganttUIObject().get());
    clock.advance(150);
    document.calls.clear();

    // Three moves in quick succession: the canvas hears each, the document once of both items.
    for (int hour = 1; hour <= 3; ++hour)
        a->validateAndSetBeginDateAndEndDate(at(2024, 1, 8, hour), at(2024, 1, 9, hour));
    EXPECT_EQ(barA->timeSpanChanges, 3);
    EXPECT_EQ(barB->timeSpanChanges, 3);
    EXPECT_TRUE(document.calls.isEmpty());
    EXPECT_EQ(project->itemsEndDate(), b->endDate()); // the span follows at once
    clock.advance(200);
    ASSERT_EQ(document.calls.size(), 1);
    EXPECT_EQ(document.calls.first().size(), 2);
    EXPECT_TRUE(document.calls.first().contains(a.get()) && document.calls.first().contains(b.get()));

    // An item gone before the delay is never reported.
    document.calls.clear();
    a->validateAndSetBeginDateAndEndDate(at(2024, 1, 8, 4), at(2024, 1, 9, 4));
    project->tasks().removeOne(b);
    b.reset();
    barB = nullptr;
    clock.advance(200);
    ASSERT_EQ(document.calls.size(), 1);
    EXPECT_EQ(document.calls.first(), QList<DMProjectItem *>{a.get()});

    // A drag's many pushes through a long chain before the delay: each item is reported once.
    document.calls.clear();
    QList<std::shared_ptr<DMProjectTask>> chain{a};
    for (int i = 0; i < 700; ++i) {
        chain.append(addTask(project, "T", a->beginDate(), a->endDate()));
        link(chain.at(chain.size() - 2), chain.last());
    }
    clock.advance(200);
    document.calls.clear();
    for (int hour = 5; hour <= 9; ++hour)
        a->validateAndSetBeginDateAndEndDate(at(2024, 1, 8, hour), at(2024, 1, 9, hour));
    clock.advance(200);
    ASSERT_EQ(document.calls.size(), 1);
    const QList<DMProjectItem *> reported = document.calls.first();
    EXPECT_EQ(QSet<DMProjectItem *>(reported.begin(), reported.end()).size(), chain.size());
    EXPECT_EQ(reported.size(), chain.size());
    project->displayAttributes().projectDocument = nullptr;
    DMProjectUIObjectFactory::registerFactory(nullptr);
}

TEST(Schedule, ALinkBetweenAnItemAndItsParentCannotPushForeverAndIsRefused)
{
    auto project = DMProject::create();
    auto process = addTask<DMProjectProcess>(project, "P", at(2024, 1, 8), at(2024, 1, 12));
    auto child = addTask(project, "C", at(2024, 1, 8), at(2024, 1, 9), process);
    auto other = addTask(project, "O", at(2024, 1, 8), at(2024, 1, 9));
    ASSERT_TRUE(link(child, process)); // the process would have to begin after its own subitem ends
    link(other, child);
    const QVariantMap before = project->dictionaryRepresentation();
    EXPECT_EQ(other->validateAndSetBeginDateAndEndDate(at(2024, 1, 9), at(2024, 1, 10)), kDMValidation_InboundDependencyBroken);
    EXPECT_EQ(project->dictionaryRepresentation(), before);
}

TEST(Schedule, EnforcingLinkedDatesPushesTheSuccessorsOfUncheckedChanges)
{
    auto project = DMProject::create();
    auto a = addTask(project, "A", at(2024, 1, 8), at(2024, 1, 9));
    auto b = addTask(project, "B", at(2024, 1, 9), at(2024, 1, 10));
    link(a, b);
    a->setBeginDateAndEndDate(at(2024, 1, 8), at(2024, 1, 11)); // unvalidated: B's link breaks
    EXPECT_EQ(a->enforceLinkedItemsConstrainedDates(), kDMValidation_OK);
    expectDates(*b, at(2024, 1, 11), at(2024, 1, 12));
}

TEST(Schedule, TheValidatedDateKeysAreAnnouncedWheneverTheDatesMoveByPushOrUndo)
{
    auto project = DMProject::create();
    auto a = addTask(project, "A", at(2024, 1, 8), at(2024, 1, 9));
    auto b = addTask(project, "B", at(2024, 1, 9), at(2024, 1, 10));
    link(a, b);
    StepUndo undo(project);
    QStringList seen;
    auto record = [&seen](const DMChange &change, DMObservable *) { seen << change.key; };
    auto begins = b->observe(DMProjectKey::validatedBeginDate, record);
    auto ends = b->observe(DMProjectKey::validatedEndDate, record);

    // A pushes B: an editor bound to B's dates sees both move.
    EXPECT_EQ(a->setValidatedEndDate(at(2024, 1, 11)), kDMValidation_OK);
    EXPECT_EQ(seen, (QStringList{"validatedEndDate", "validatedBeginDate"}));
    EXPECT_EQ(b->validatedBeginDate(), at(2024, 1, 11));
    seen.clear();
    undo.manager.undo();
    EXPECT_EQ(seen, (QStringList{"validatedEndDate", "validatedBeginDate"}));
    EXPECT_EQ(b->validatedBeginDate(), at(2024, 1, 9));
    seen.clear();
    b->setTitle(QStringLiteral("B2"));
    EXPECT_TRUE(seen.isEmpty());
}
