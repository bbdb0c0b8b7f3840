// Worked cases of the propagation rules, on a Monday-to-Friday calendar with the day window
// 08:00-18:00 (8 January 2024 is a Monday).
#include "DMProjectCoder.h"
#include "DMValidation.h"
#include "ModelTestSupport.h"

using namespace halcyra::test;

// A link into a process constrains each subitem as a link into it would: the subitem that
// would begin too early is pushed just enough, the other stays, and the process fits them.
TEST(Propagation, ALinkIntoAProcessPushesOnlyTheSubitemsItConstrains)
{
    struct Case
    {
        bool fitted; // kDMProjectItem_ExpandToFitSubitems
        int kind;
        DMDate aBegin, aEnd;
        DMDate c1Begin, c1End, pBegin, pEnd;
    };
    const Case cases[] = {
        // A moves to Mon 8 Jan: C1 begins at the next window after A's end, C2 stays.
        {false, DMProjectDependency::FinishToStart, at(2024, 1, 8, 8), at(2024, 1, 8, 18),
         at(2024, 1, 9, 8), at(2024, 1, 9, 18), at(2024, 1, 9, 8), at(2024, 1, 11, 18)},
        {true, DMProjectDependency::FinishToStart, at(2024, 1, 8, 8), at(2024, 1, 8, 18),
         at(2024, 1, 9, 8), at(2024, 1, 9, 18), at(2024, 1, 9, 8), at(2024, 1, 11, 18)},
        // Start to start from A moved to Tue 12:00: C1 begins then, keeping its 10 hours.
        {false, DMProjectDependency::StartToStart, at(2024, 1, 9, 12), at(2024, 1, 9, 14),
         at(2024, 1, 9, 12), at(2024, 1, 10, 12), at(2024, 1, 9, 12), at(2024, 1, 11, 18)},
        // Finish to finish from A ending Wed 12:00: each subitem ends no earlier; C2 already does.
        {false, DMProjectDependency::FinishToFinish, at(2024, 1, 10, 8), at(2024, 1, 10, 12),
         at(2024, 1, 9, 12), at(2024, 1, 10, 12), at(2024, 1, 8, 8), at(2024, 1, 11, 18)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.kind * 10 + c.fitted);
        auto project = workingWeekProject();
        auto a = addTask(project, "A", at(2024, 1, 5, 8), at(2024, 1, 5, 18));
        auto p = addTask<DMProjectProcess>(project, "P", at(2024, 1, 8, 8), at(2024, 1, 11, 18));
        p->setAttribute(kDMProjectItem_ExpandToFitSubitems, c.fitted);
        auto c1 = addTask(project, "C1", at(2024, 1, 8, 8), at(2024, 1, 8, 18), p);
        auto c2 = addTask(project, "C2", at(2024, 1, 11, 8), at(2024, 1, 11, 18), p);
        link(a, p, c.kind);
        StepUndo undo(project);
        const QVariantMap before = project->dictionaryRepresentation();
        ASSERT_EQ(a->validateAndSetBeginDateAndEndDate(c.aBegin, c.aEnd), kDMValidation_OK);
        expectDates(*c1, c.c1Begin, c.c1End);
        expectDates(*c2, at(2024, 1, 11, 8), at(2024, 1, 11, 18));
        expectDates(*p, c.pBegin, c.pEnd);
        EXPECT_EQ(c1->duration(), 36000);
        undo.manager.undo();
        EXPECT_EQ(firstDifference(project->dictionaryRepresentation(), before), "");
    }
}

// The explicit shift of a process moves its subitems by the same working time: a subitem in
// non-working time lands on working time and nothing ends earlier than before.
TEST(Propagation, ATimeShiftCountsWorkingTime)
{
    auto project = workingWeekProject();
    auto p = addTask<DMProjectProcess>(project, "P", at(2024, 1, 12, 8), at(2024, 1, 16, 2));
    auto c = addTask(project, "C", at(2024, 1, 12, 8), at(2024, 1, 12, 18), p);
    auto s = addTask(project, "S", at(2024, 1, 13, 10), at(2024, 1, 16, 2), p); // 10 working hours, on Monday
    ASSERT_EQ(s->duration(), 36000);
    // Three working hours later; the process keeps its 20 working hours.
    EXPECT_EQ(p->validateTimeShiftAndSetBeginDateAndEndDate(at(2024, 1, 12, 11), at(2024, 1, 16, 11)), kDMValidation_OK);
    expectDates(*c, at(2024, 1, 12, 11), at(2024, 1, 15, 11));
    expectDates(*s, at(2024, 1, 15, 11), at(2024, 1, 16, 11));
    expectDates(*p, at(2024, 1, 12, 11), at(2024, 1, 16, 11));
    EXPECT_EQ(s->duration(), 36000);
    EXPECT_EQ(p->duration(), 72000);
    // A shift that stays in the weekend moves nothing on the working schedule but the process.
    auto q = addTask<DMProjectProcess>(project, "Q", at(2024, 1, 13, 9), at(2024, 1, 15, 18));
    auto d = addTask(project, "D", at(2024, 1, 15, 8), at(2024, 1, 15, 18), q);
    EXPECT_EQ(q->validateTimeShiftAndSetBeginDateAndEndDate(at(2024, 1, 14, 9), at(2024, 1, 15, 18)), kDMValidation_OK);
    expectDates(*d, at(2024, 1, 15, 8), at(2024, 1, 15, 18));
}

// An item's stored duration is always the working time between its dates: a task wholly in
// non-working time keeps its calendar span when pushed, and its duration follows its dates.
TEST(Propagation, ATaskInNonWorkingTimeCountsTheWorkingTimeItIsPushedOnto)
{
    auto project = workingWeekProject();
    auto a = addTask(project, "A", at(2024, 1, 12, 8), at(2024, 1, 12, 18));
    auto t = addTask(project, "T", at(2024, 1, 13, 10), at(2024, 1, 13, 12));
    t->setAttribute(kDMProjectItem_CostKind, 1);
    t->setAttribute(kDMProjectItem_Cost, 100.0);
    link(a, t);
    ASSERT_EQ(t->duration(), 0);
    EXPECT_EQ(a->validateAndSetBeginDateAndEndDate(at(2024, 1, 15, 8), at(2024, 1, 15, 10)), kDMValidation_OK);
    expectDates(*t, at(2024, 1, 15, 10), at(2024, 1, 15, 12));
    EXPECT_EQ(t->duration(), 7200);
    EXPECT_FLOAT_EQ(t->cost(), 200.0f);
}

// A change of the calendar keeps every item's dates and recomputes its duration from them, in
// the settings change's undo step.
TEST(Propagation, DurationsFollowACalendarChange)
{
    auto project = DMProject::create(); // every day, all day
    auto a = addTask(project, "A", at(2024, 1, 8), at(2024, 1, 9));
    auto b = addTask(project, "B", at(2024, 1, 9), at(2024, 1, 10));
    auto m = addTask<DMProjectMilestone>(project, "M", at(2024, 1, 9), at(2024, 1, 9));
    link(a, b);
    ASSERT_EQ(a->duration(), 86400);
    StepUndo undo(project);
    undo.step([&] {
        project->setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 480}, {kDMTimeSpanEnd, 1080}});
    });
    EXPECT_EQ(undo.manager.undoStepCount(), 1);
    expectDates(*a, at(2024, 1, 8), at(2024, 1, 9));
    EXPECT_EQ(a->duration(), 36000);
    EXPECT_EQ(m->duration(), 0);
    // The next push keeps the ten working hours the dates now hold.
    EXPECT_EQ(a->validateAndSetBeginDateAndEndDate(at(2024, 1, 8), at(2024, 1, 9, 12)), kDMValidation_OK);
    expectDates(*b, at(2024, 1, 9, 12), at(2024, 1, 10, 12));
    undo.manager.undo();
    undo.manager.undo();
    EXPECT_EQ(a->duration(), 86400);
    EXPECT_EQ(b->duration(), 86400);
    EXPECT_FALSE(project->attributes().contains(kDMProject_Settings_DayTimeSpan));
    // A file's durations that do not match their dates are mended when it is loaded.
    QVariantMap d = project->dictionaryRepresentation();
    d.insert(QStringLiteral("attributes"), DMProjectCoder::encodeSettings(
                                              {{kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 480}, {kDMTimeSpanEnd, 1080}}}}));
    QStringList problems;
    auto loaded = DMProject::projectWithDictionaryRepresentation(d, &problems);
    EXPECT_EQ(loaded->tasks().first()->duration(), 36000);
    EXPECT_EQ(problems.size(), 1);
}

// Pushed begins that fall on the end of a working window start at the next window, whatever the
// link kind; inside a window they stay where the link puts them.
TEST(Propagation, APushedBeginNeverSitsAtTheEndOfAWindow)
{
    struct Case
    {
        int kind;
        DMDate aBegin, aEnd;     // A's begin (start to start) or end (finish to start) lands on Fri 18:00
        DMDate aBegin2, aEnd2;   // ... then on Mon 9:00
    };
    const Case cases[] = {
        {DMProjectDependency::FinishToStart, at(2024, 1, 12, 8), at(2024, 1, 12, 18), at(2024, 1, 15, 8), at(2024, 1, 15, 9)},
        {DMProjectDependency::StartToStart, at(2024, 1, 12, 18), at(2024, 1, 15, 10), at(2024, 1, 15, 9), at(2024, 1, 15, 10)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.kind);
        auto project = workingWeekProject();
        auto a = addTask(project, "A", at(2024, 1, 11, 8), at(2024, 1, 11, 10));
        auto b = addTask(project, "B", at(2024, 1, 11, 12), at(2024, 1, 12, 12));
        link(a, b, c.kind);
        EXPECT_EQ(a->validateAndSetBeginDateAndEndDate(c.aBegin, c.aEnd), kDMValidation_OK);
        expectDates(*b, at(2024, 1, 15, 8), at(2024, 1, 15, 18));
        EXPECT_EQ(a->validateAndSetBeginDateAndEndDate(c.aBegin2, c.aEnd2), kDMValidation_OK);
        expectDates(*b, at(2024, 1, 15, 9), at(2024, 1, 16, 9));
    }
}

// A milestone's date is a begin, placed by the same rule whatever the link kind that pushes it.
TEST(Propagation, AMilestonePushedByAnyLinkKindIsPlacedLikeABegin)
{
    auto project = workingWeekProject();
    auto a = addTask(project, "A", at(2024, 1, 12, 8), at(2024, 1, 12, 12));
    auto mf = addTask<DMProjectMilestone>(project, "MF", at(2024, 1, 12, 12), at(2024, 1, 12, 12));
    auto ms = addTask<DMProjectMilestone>(project, "MS", at(2024, 1, 12, 12), at(2024, 1, 12, 12));
    auto sf = addTask<DMProjectMilestone>(project, "SF", at(2024, 1, 12, 8), at(2024, 1, 12, 8));
    link(a, mf, DMProjectDependency::FinishToFinish);
    link(a, ms, DMProjectDependency::FinishToStart);
    link(a, sf, DMProjectDependency::StartToFinish);
    EXPECT_EQ(a->validateAndSetBeginDateAndEndDate(at(2024, 1, 12, 8), at(2024, 1, 12, 18)), kDMValidation_OK);
    expectDates(*ms, at(2024, 1, 15, 8), at(2024, 1, 15, 8));
    expectDates(*mf, at(2024, 1, 15, 8), at(2024, 1, 15, 8));
    // Pushed into the weekend by A's begin, a start-to-finish milestone waits for Monday too.
    a->setUseWorkingSchedule(false);
    EXPECT_EQ(a->validateAndSetBeginDateAndEndDate(at(2024, 1, 13, 9), at(2024, 1, 13, 10)), kDMValidation_OK);
    expectDates(*sf, at(2024, 1, 15, 8), at(2024, 1, 15, 8));
}

// A time shift of no working time (from one day off to another) leaves the subitems' dates
// exactly as they were, an end in the evening of a day off included.
TEST(Propagation, AShiftOfNoWorkingTimeLeavesTheSubitemsAlone)
{
    auto project = workingWeekProject();
    project->setAttribute(kDMProject_Settings_DaysOff,
                          QVariantList{QVariantMap{{kDMDayOffIndex, DMProject_NonWorkingDayIndexForYearMonthDay(2024, 3, 15)}}});
    auto p = addTask<DMProjectProcess>(project, "P", at(2024, 3, 9, 9), at(2024, 3, 18, 18));
    auto s = addTask(project, "S", at(2024, 3, 14, 10), at(2024, 3, 15, 18, 58), p); // Friday the 15th is off
    auto t = addTask(project, "T", at(2024, 3, 11, 8), at(2024, 3, 11, 18), p);
    t->setUseWorkingSchedule(false);
    const int duration = s->duration();
    // Saturday to Sunday: no working time passes, and neither moves; T off the schedule moves a day.
    EXPECT_EQ(p->validateTimeShiftAndSetBeginDateAndEndDate(at(2024, 3, 10, 9), at(2024, 3, 19, 18)), kDMValidation_OK);
    expectDates(*s, at(2024, 3, 14, 10), at(2024, 3, 15, 18, 58));
    EXPECT_EQ(s->duration(), duration);
    expectDates(*t, at(2024, 3, 12, 8), at(2024, 3, 12, 18));
}
