// The task inspector: what it shows, how each control writes back (validated dates, typed values
// after the idle delay, refusals), its resources and documents, and that it never writes into an
// object it no longer shows.
#include "InspectorTestSupport.h"
#include "OpenedFiles.h"

#include "DMDurationSplit.h"
#include "DMInspectorDocumentsTable.h"
#include "DMInspectorResourcesOutline.h"
#include "DMProjectPackage.h"
#include "DMTextField.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDesktopServices>
#include <QDir>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScreen>
#include <QUrl>

using namespace gantttest;

namespace {

class TaskInspectorTest : public InspectorTest
{
protected:
    void SetUp() override
    {
        InspectorTest::SetUp();
        // Two working days: Tuesday 8:00 to Wednesday 18:00.
        task = addTask("Task", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    }
    DMUIProjectTaskInspectorController *inspectTask() { return inspect<DMUIProjectTaskInspectorController>(task); }
    static void pick(QDateTimeEdit *picker, const DMDate &date) { picker->setDateTime(date.NSDate()); }

    std::shared_ptr<DMProjectTask> task;
};

} // namespace

TEST(InspectorDuration, SplitsAndJoinsWithTheDayLength)
{
    // Two working days of 10 hours, and the same seconds in whole days.
    EXPECT_EQ(DMDurationSplit::split(72000, 36000).days, 2);
    const DMDurationSplit plain = DMDurationSplit::split(72000, 86400);
    EXPECT_EQ(std::make_tuple(plain.days, plain.hours, plain.minutes), std::make_tuple(0, 20, 0));
    const DMDurationSplit negative = DMDurationSplit::split(-(36000 + 3 * 3600 + 25 * 60 + 59), 36000);
    EXPECT_EQ(std::make_tuple(negative.days, negative.hours, negative.minutes), std::make_tuple(-1, -3, -25));
    // A day window of no length is the whole day, never a division by zero.
    EXPECT_EQ(DMDurationSplit::split(86400 * 3, 0).days, 3);
    EXPECT_EQ(DMDurationSplit::split(86400, -600).days, 1);
    EXPECT_EQ(DMDurationSplit::join(1, 2, 3, 0), 86400 + 7200 + 180);
    EXPECT_EQ(DMDurationSplit::join(0, 4, 0, 36000), 14400);
    // Beyond what an item's duration holds, and parts that would overflow.
    EXPECT_EQ(DMDurationSplit::join(30000, 0, 0, 86400), std::nullopt);
    EXPECT_EQ(DMDurationSplit::join(std::numeric_limits<qint64>::max(), 0, 0, 86400), std::nullopt);
}

TEST_F(TaskInspectorTest, DurationFollowsTheDayLengthAndZeroWindowsCountAsWholeDays)
{
    DMUIProjectTaskInspectorController *inspector = inspectTask();
    ASSERT_TRUE(inspector);
    EXPECT_EQ(durationShown(inspector), (QStringList{"2", "0", "0"}));
    EXPECT_TRUE(inspector->useWorkingScheduleCheckBox()->isChecked());
    // The same seconds without the working schedule: whole days of 24 hours. The inspector
    // follows changes made behind its back.
    task->setUseWorkingSchedule(false);
    task->setDuration(72000);
    EXPECT_EQ(durationShown(inspector), (QStringList{"0", "20", "0"}));
    task->setUseWorkingSchedule(true);
    project->setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 600}, {kDMTimeSpanEnd, 600}});
    task->setDuration(72000);
    EXPECT_EQ(durationShown(inspector), (QStringList{"0", "20", "0"}));
}

TEST_F(TaskInspectorTest, ATitleChangedInTheInspectorShowsOnScreenInTheOutlineAtOnce)
{
    DMUIProjectTaskInspectorController *inspector = inspectTask();
    DMOutlineView *view = outline();
    const DMOutlineViewModel *model = view->outlineModel();
    const QRect cell = view->visualRect(
        model->indexForRow(document->projectOutlineRowForObject(task.get()), model->logicalColumnWithIdentifier(QStringLiteral("title"))));
    ASSERT_FALSE(cell.isEmpty());
    // What the screen shows of the cell, and what the outline would draw there now.
    const auto shown = [&] {
        const QPoint origin = view->viewport()->mapTo(document->mainWindow(), cell.topLeft());
        return document->mainWindow()->screen()->grabWindow(document->mainWindow()->winId(), origin.x(), origin.y(),
                                                            cell.width(), cell.height()).toImage().convertToFormat(QImage::Format_RGB32);
    };
    const auto drawn = [&] { return view->viewport()->grab(cell).toImage().convertToFormat(QImage::Format_RGB32); };
    for (int turn = 0; turn < 3; ++turn)
        halcyra::test::finishEventLoopTurn();
    const QImage before = shown();
    ASSERT_EQ(before, drawn()) << "the screen can be read back";

    type(inspector->titleField(), "Survey of the site");
    QTest::keyClick(inspector->titleField(), Qt::Key_Return);
    for (int turn = 0; turn < 3; ++turn)
        halcyra::test::finishEventLoopTurn();
    ASSERT_EQ(task->title(), QStringLiteral("Survey of the site"));
    EXPECT_NE(shown(), before);
    EXPECT_EQ(shown(), drawn());
}

TEST_F(TaskInspectorTest, PickedBeginMovesTheTaskAndTypedDurationWaitsForThePause)
{
    // Another task of two working days, for the typed duration: changes of one item's dates
    // closer together than the undo manager's fence would be recorded as one step.
    auto other = addTask("Other", at(2024, 1, 2, 8), at(2024, 1, 3, 18));
    DMUIProjectTaskInspectorController *inspector = inspectTask();
    const qint32 duration = task->duration();
    pick(inspector->beginDatePicker(), at(2024, 1, 8, 8));
    EXPECT_EQ(task->beginDate(), at(2024, 1, 8, 8));
    EXPECT_EQ(task->endDate(), at(2024, 1, 9, 18));
    EXPECT_EQ(task->duration(), duration);
    EXPECT_EQ(inspector->endDatePicker()->dateTime(), at(2024, 1, 9, 18).NSDate());
    // The document learns of the edit from its undo manager when the turn's step closes.
    halcyra::test::finishEventLoopTurn();
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_EQ(undoSteps(), 1);

    // 0 d 4 h: nothing until the user pauses, then one change that keeps the begin.
    canvas()->selectObjectInLayerExtendSelection(barOf(other), kDMProjectViewLayer_Items, false);
    type(inspector->durationDaysField(), "0");
    type(inspector->durationHoursField(), "4");
    clock.advance(400);
    EXPECT_EQ(other->endDate(), at(2024, 1, 3, 18));
    clock.advance(200);
    EXPECT_EQ(other->beginDate(), at(2024, 1, 2, 8));
    EXPECT_EQ(other->endDate(), at(2024, 1, 2, 12));
    halcyra::test::finishEventLoopTurn();
    EXPECT_EQ(undoSteps(), 2);
    EXPECT_EQ(beeps.count(), 0);
    // Return applies at once; text that is no number is refused and shown back.
    type(inspector->durationMinutesField(), "x");
    QTest::keyClick(inspector->durationMinutesField(), Qt::Key_Return);
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_EQ(durationShown(inspector), (QStringList{"0", "4", "0"}));
    document->undoManager()->undo();
    EXPECT_EQ(other->endDate(), at(2024, 1, 3, 18));
    EXPECT_EQ(durationShown(inspector), (QStringList{"2", "0", "0"}));

    // Tabbing from the days to the hours is still typing the one duration: 0 d alone is not
    // applied (nor refused) on the way.
    QWidget *window = DMInspectorWindow::sharedWindow();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    inspector->durationDaysField()->setFocus();
    type(inspector->durationDaysField(), "0");
    QTest::keyClick(inspector->durationDaysField(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), inspector->durationHoursField());
    type(inspector->durationHoursField(), "3");
    EXPECT_EQ(other->endDate(), at(2024, 1, 3, 18));
    EXPECT_EQ(durationShown(inspector), (QStringList{"0", "3", "0"}));
    // Leaving the duration for another control applies it at once.
    QTest::keyClick(inspector->durationHoursField(), Qt::Key_Tab);
    QTest::keyClick(inspector->durationMinutesField(), Qt::Key_Tab);
    EXPECT_EQ(other->endDate(), at(2024, 1, 2, 11));
    EXPECT_EQ(beeps.count(), 1);
}

TEST_F(TaskInspectorTest, RefusedDatesBeepOnceSnapBackAndLeaveTheDocumentUnedited)
{
    auto successor = addTask("Locked successor", at(2024, 1, 4, 8), at(2024, 1, 4, 18));
    ASSERT_TRUE(task->addOutboundDependencyToItem(successor));
    successor->setLocked(true);
    DMUIProjectTaskInspectorController *inspector = inspectTask();
    const QDateTime shown = inspector->beginDatePicker()->dateTime();

    pick(inspector->beginDatePicker(), at(1969, 12, 31, 8)); // before 1970: the model is not asked
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_EQ(inspector->beginDatePicker()->dateTime(), shown);
    pick(inspector->beginDatePicker(), at(2024, 1, 3, 8)); // would push the locked successor
    EXPECT_EQ(beeps.count(), 2);
    EXPECT_EQ(inspector->beginDatePicker()->dateTime(), shown);
    pick(inspector->endDatePicker(), at(2024, 1, 2, 8)); // not after the begin
    EXPECT_EQ(beeps.count(), 3);
    EXPECT_EQ(task->endDate(), at(2024, 1, 3, 18));
    EXPECT_EQ(inspector->endDatePicker()->dateTime(), at(2024, 1, 3, 18).NSDate());
    type(inspector->durationDaysField(), "40000"); // beyond an item's duration
    QTest::keyClick(inspector->durationDaysField(), Qt::Key_Return);
    EXPECT_EQ(beeps.count(), 4);
    EXPECT_EQ(task->beginDate(), at(2024, 1, 2, 8));
    halcyra::test::finishEventLoopTurn();
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_EQ(undoSteps(), 0);
}

TEST_F(TaskInspectorTest, CostLockedAndProgressWriteBackAndTheResourcesRateHidesTheCost)
{
    project->setAttribute(kDMProject_Settings_CurrencyUnit, QStringLiteral("EUR"));
    DMUIProjectTaskInspectorController *inspector = inspectTask();
    EXPECT_TRUE(inspector->costField()->isVisibleTo(inspector->containerView()));
    type(inspector->costField(), "1,250.50");
    QTest::keyClick(inspector->costField(), Qt::Key_Return);
    EXPECT_DOUBLE_EQ(task->attribute(kDMProjectItem_Cost).toDouble(), 1250.5);
    EXPECT_EQ(inspector->costField()->text(), QStringLiteral("EUR 1,250.50"));

    inspector->costKind()->setCurrentIndex(2);
    emit inspector->costKind()->activated(2);
    EXPECT_EQ(task->attribute(kDMProjectItem_CostKind).toInt(), 2);
    EXPECT_FALSE(inspector->costField()->isVisibleTo(inspector->containerView()));

    inspector->lockedCheckbox()->click();
    EXPECT_TRUE(task->locked());
    type(inspector->progressField(), "250");
    QTest::keyClick(inspector->progressField(), Qt::Key_Return);
    EXPECT_FLOAT_EQ(task->progress(), 1.0f);
    EXPECT_EQ(inspector->progressField()->text(), QStringLiteral("100"));
    EXPECT_EQ(beeps.count(), 0);
}

TEST_F(TaskInspectorTest, TheInspectorsUnhandledKeysRunTheDocumentWindowsUndoAndRedo)
{
    DMUIProjectTaskInspectorController *inspector = inspectTask();
    inspector->lockedCheckbox()->click();
    halcyra::test::finishEventLoopTurn();
    ASSERT_TRUE(task->locked());

    QTest::keySequence(inspector->lockedCheckbox(), QKeySequence(QKeySequence::Undo));
    EXPECT_FALSE(task->locked());
    QTest::keySequence(inspector->lockedCheckbox(), QKeySequence(QKeySequence::Redo));
    EXPECT_TRUE(task->locked());

    // A text field keeps its own undo of what is being typed.
    inspector->titleField()->setFocus();
    QTest::keyClicks(inspector->titleField(), "x");
    QTest::keySequence(inspector->titleField(), QKeySequence(QKeySequence::Undo));
    EXPECT_TRUE(task->locked());
    EXPECT_EQ(inspector->titleField()->text(), task->title());
}

TEST_F(TaskInspectorTest, ATypedValueGoesToTheObjectItWasTypedFor)
{
    auto other = addTask("Other", at(2024, 1, 8, 8), at(2024, 1, 8, 18));
    DMUIProjectTaskInspectorController *inspector = inspectTask();
    type(inspector->titleField(), "Renamed");
    // The selection moves on before the pause: the typed title is the first task's.
    canvas()->selectObjectInLayerExtendSelection(barOf(other), kDMProjectViewLayer_Items, false);
    EXPECT_EQ(task->title(), QStringLiteral("Renamed"));
    EXPECT_EQ(other->title(), QStringLiteral("Other"));
    EXPECT_EQ(inspector->titleField()->text(), QStringLiteral("Other"));
    clock.advance(1000);
    EXPECT_EQ(other->title(), QStringLiteral("Other"));

    // Typed, then the task deleted: the value is dropped and the inspector empties.
    type(inspector->titleField(), "Lost");
    document->deleteItems({other});
    halcyra::test::finishEventLoopTurn();
    EXPECT_EQ(inspector->editedObject(), nullptr);
    EXPECT_EQ(DMInspectorWindow::sharedWindow()->displayedView(), nullptr);
    clock.advance(1000);
    EXPECT_EQ(other->title(), QStringLiteral("Other"));
    // Undoing the deletion does not bring the inspector back to a stale state.
    document->undoManager()->undo();
    EXPECT_TRUE(other->isAttached());
    EXPECT_EQ(inspector->editedObject(), nullptr);
}

TEST_F(TaskInspectorTest, ResourcesAreAssignedAndTheResourceViewBarLetsGoWhenItsRowIsUnchecked)
{
    auto group = addResource(QStringLiteral("Team"), DMProjectResource::Group);
    auto alice = std::make_shared<DMProjectResource>();
    alice->setProject(project);
    alice->setName(QStringLiteral("Alice"));
    group->subitems().append(alice);
    auto bob = addResource(QStringLiteral("Bob"));
    task->addResource(alice);
    DMUIProjectTaskInspectorController *inspector = inspectTask();
    DMInspectorResourcesOutline *outline = inspector->resourcesOutlineView();
    QTreeWidgetItem *teamRow = outline->itemForResource(group.get());
    ASSERT_TRUE(teamRow);
    EXPECT_FALSE(teamRow->flags() & Qt::ItemIsUserCheckable);
    EXPECT_EQ(outline->itemForResource(alice.get())->checkState(0), Qt::Checked);
    outline->itemForResource(bob.get())->setCheckState(0, Qt::Checked);
    EXPECT_TRUE(task->isAssignedToResource(bob.get()));

    // In the resource view, the bar inspected sits in Alice's row.
    project->setAttribute(kDMProject_ViewMode, 1);
    auto bar = std::dynamic_pointer_cast<DMProjectViewObject>(task->resourceUIObject(alice.get()));
    ASSERT_TRUE(bar);
    bar->editInView(canvas());
    ASSERT_EQ(inspector->editedObject(), bar);
    outline->itemForResource(alice.get())->setCheckState(0, Qt::Unchecked);
    EXPECT_FALSE(task->isAssignedToResource(alice.get()));
    EXPECT_EQ(inspector->editedObject(), nullptr);
    EXPECT_EQ(DMInspectorWindow::sharedWindow()->displayedView(), nullptr);
}

TEST_F(TaskInspectorTest, DocumentsAreAttachedOnceAndOpenOnlyFromInsideThePackage)
{
    QTemporaryDir files;
    const QString report = files.filePath(QStringLiteral("report.txt"));
    QFile(report).open(QIODevice::WriteOnly);
    DMUIProjectTaskInspectorController *inspector = inspectTask();
    QWidget *viewport = inspector->documentsTableView()->viewport();
    const auto drop = [viewport](const QString &path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &dropped);
        return dropped.isAccepted();
    };
    ASSERT_TRUE(drop(report));
    ASSERT_TRUE(drop(report));
    const QVariantList keys = task->attribute(kDMProjectItem_AttachedDocuments).toList();
    ASSERT_EQ(keys.size(), 1);
    const QString key = keys.first().toString();
    const QVariantMap entry =
        project->attribute(kDMProject_AttachedDocumentsTable).toMap().value(key).toMap();
    EXPECT_EQ(entry.value(QStringLiteral("kDMProject_AttachedDocument_ReferenceCount")).toInt(), 1);
    EXPECT_EQ(inspector->documentsTableView()->rowCount(), 1);
    EXPECT_EQ(inspector->documentsTableView()->item(0, 1)->text(), QStringLiteral("report.txt"));

    // A pending document opens from where it was chosen, half a second after the try to edit.
    halcyra::test::OpenedFiles opened;
    inspector->openAttachedDocumentLater(key);
    clock.advance(400);
    EXPECT_TRUE(opened.paths.isEmpty());
    clock.advance(100);
    EXPECT_EQ(opened.paths, QStringList{QFileInfo(report).absoluteFilePath()});

    // A stored entry that leaves the Documents folder is refused with a message, never opened.
    QVariantMap table = project->attribute(kDMProject_AttachedDocumentsTable).toMap();
    table.insert(QStringLiteral("outside"), QVariantMap{{kDMProject_AttachedDocument_Path, QStringLiteral("../secret")}});
    project->setAttribute(kDMProject_AttachedDocumentsTable, table);
    task->setAttribute(kDMProjectItem_AttachedDocuments, QVariantList{key, QStringLiteral("outside")});
    inspector->openAttachedDocumentLater(QStringLiteral("outside"));
    clock.advance(500);
    EXPECT_EQ(opened.paths.size(), 1);
    ASSERT_EQ(modalUI.alerts.size(), 1);
    EXPECT_TRUE(modalUI.alerts.first().informativeText.contains(QStringLiteral("Documents")));

    // The add button's panel chooses files and folders, several at a time; a folder is attached
    // as a document of its own.
    modalUI.openPaths = {files.path()};
    inspector->documentsAddButton()->click();
    ASSERT_EQ(modalUI.openPanels.size(), 1);
    EXPECT_TRUE(modalUI.openPanels.first().canChooseDirectories);
    EXPECT_TRUE(modalUI.openPanels.first().allowsMultipleSelection);
    EXPECT_EQ(inspector->documentsTableView()->rowCount(), 3);

    // Removing the selected rows takes their keys off the task.
    inspector->documentsTableView()->selectAll();
    ASSERT_TRUE(inspector->documentsRemoveButton()->isEnabled());
    inspector->documentsRemoveButton()->click();
    EXPECT_FALSE(task->attribute(kDMProjectItem_AttachedDocuments).isValid());
    EXPECT_EQ(inspector->documentsTableView()->rowCount(), 0);
}

// Attaching and removing a document, undone and redone with saves between: the table's
// reference counts agree with the tasks' lists at every step, a save writes only the documents
// something refers to, and a document left out by a save comes back with the undo that refers
// to it again.
TEST_F(TaskInspectorTest, AttachedDocumentsFollowUndoAndRedoAcrossSaves)
{
    QTemporaryDir files;
    for (const char *name : {"a.txt", "b.txt"}) {
        QFile file(files.filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(name);
    }
    auto other = addTask("Other", at(2024, 1, 4, 8), at(2024, 1, 5, 18));
    DMUIProjectTaskInspectorController *inspector = inspectTask();
    DMUndoManager *undo = document->undoManager();
    const auto attach = [&](const std::shared_ptr<DMProjectTask> &item, const char *name) {
        barOf(item)->editInView(canvas());
        modalUI.openPaths = {files.filePath(QLatin1String(name))};
        inspector->documentsAddButton()->click();
        halcyra::test::finishEventLoopTurn();
    };
    // Reference counts of the table and references of the tasks, as "key count" lines.
    const auto counted = [&] {
        QStringList lines;
        const QVariantMap table = project->attribute(kDMProject_AttachedDocumentsTable).toMap();
        for (auto it = table.cbegin(); it != table.cend(); ++it)
            if (const int count = it.value().toMap().value(QStringLiteral("kDMProject_AttachedDocument_ReferenceCount")).toInt())
                lines << QStringLiteral("%1 %2").arg(it.key()).arg(count);
        return lines;
    };
    const auto referred = [&] {
        QMap<QString, int> counts;
        for (const auto &item : {task, other})
            for (const QVariant &key : item->attribute(kDMProjectItem_AttachedDocuments).toList())
                ++counts[key.toString()];
        QStringList lines;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            lines << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
        return lines;
    };
    const QString package = folder.filePath(QStringLiteral("Plan.hy2"));
    const auto save = [&](DMProjectDocument::SaveOperationType operation) {
        QString error;
        EXPECT_TRUE(document->saveToPath(package, operation, &error)) << error.toStdString();
        QStringList stored = QDir(DMProjectPackage::documentsFolderPath(package)).entryList(QDir::Files);
        for (const QString &name : stored) {
            QFile file(QDir(DMProjectPackage::documentsFolderPath(package)).filePath(name));
            EXPECT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), name.toUtf8()) << name.toStdString();
        }
        return stored;
    };
    const auto step = [&](const char *what) {
        SCOPED_TRACE(what);
        EXPECT_EQ(counted(), referred());
    };

    attach(task, "a.txt");
    EXPECT_EQ(save(DMProjectDocument::SaveAsOperation), QStringList{"a.txt"});
    undo->undo();
    step("undone");
    EXPECT_TRUE(save(DMProjectDocument::SaveOperation).isEmpty());
    undo->redo();
    step("redone");
    EXPECT_EQ(save(DMProjectDocument::SaveOperation), QStringList{"a.txt"});
    attach(other, "a.txt");
    step("attached twice");
    EXPECT_EQ(counted(), QStringList{"a.txt 2"});
    undo->undo();
    step("second undone");
    EXPECT_EQ(counted(), QStringList{"a.txt 1"});

    // A document attached and taken back is never copied in.
    attach(task, "b.txt");
    undo->undo();
    step("b undone");
    EXPECT_EQ(save(DMProjectDocument::SaveOperation), QStringList{"a.txt"});

    barOf(task)->editInView(canvas());
    inspector->documentsTableView()->selectAll();
    inspector->documentsRemoveButton()->click();
    halcyra::test::finishEventLoopTurn();
    step("removed");
    EXPECT_TRUE(save(DMProjectDocument::SaveOperation).isEmpty());
    undo->undo();
    step("removal undone");
    EXPECT_EQ(save(DMProjectDocument::SaveOperation), QStringList{"a.txt"});
    undo->redo();
    undo->undo();
    step("redone and undone again");
    EXPECT_EQ(task->attribute(kDMProjectItem_AttachedDocuments).toList(), QVariantList{QStringLiteral("a.txt")});
    QString error;
    EXPECT_FALSE(document->attachedDocumentPathForTableKey(QStringLiteral("a.txt"), &error).isEmpty()) << error.toStdString();
}

TEST_F(TaskInspectorTest, RandomEditsUndoToTheStartAndRedoToTheEnd)
{
    auto successor = addTask("Successor", at(2024, 1, 4, 8), at(2024, 1, 5, 18));
    ASSERT_TRUE(task->addOutboundDependencyToItem(successor));
    DMUIProjectTaskInspectorController *inspector = inspectTask();
    const QVariantMap start = project->dictionaryRepresentation();
    QRandomGenerator random(16);
    for (int step = 0; step < 40; ++step) {
        switch (random.bounded(6)) {
        case 0:
            pick(inspector->beginDatePicker(), at(2024, 1, 1 + random.bounded(20), 8 + random.bounded(10)));
            break;
        case 1:
            pick(inspector->endDatePicker(), at(2024, 1, 5 + random.bounded(20), 8 + random.bounded(10)));
            break;
        case 2:
            type(inspector->durationHoursField(), QString::number(random.bounded(30)));
            QTest::keyClick(inspector->durationHoursField(), Qt::Key_Return);
            break;
        case 3:
            type(inspector->titleField(), QStringLiteral("Title %1").arg(step));
            QTest::keyClick(inspector->titleField(), Qt::Key_Return);
            break;
        case 4:
            inspector->progressSlider()->setValue(random.bounded(101));
            break;
        default:
            inspector->useWorkingScheduleCheckBox()->click();
            break;
        }
        // Changes of one key less than 0.2 s apart would be recorded as one.
        clock.advance(300);
        halcyra::test::finishEventLoopTurn();
    }
    const QVariantMap end = project->dictionaryRepresentation();
    DMUndoManager *undo = document->undoManager();
    while (undo->canUndo())
        undo->undo();
    EXPECT_EQ(project->dictionaryRepresentation(), start);
    while (undo->canRedo())
        undo->redo();
    EXPECT_EQ(project->dictionaryRepresentation(), end);
    EXPECT_EQ(inspector->titleField()->text(), task->title());
}

// Typing into the notes and moving the progress slider, a keystroke or a move per event-loop
// turn, are one undo step each; the title typed between them is a step of its own.
TEST_F(TaskInspectorTest, TypingTheNotesAndMovingTheSliderAreOneUndoStepEach)
{
    DMUIProjectTaskInspectorController *inspector = inspectTask();
    DMUndoManager *undo = document->undoManager();
    const int steps = undo->undoStepCount();
    const QString notes = task->attribute(kDMProjectItem_Notes).toString();
    const float progress = task->progress();
    for (const QChar c : QStringLiteral("pour")) {
        QTest::keyClicks(inspector->notesTextView(), QString(c));
        halcyra::test::finishEventLoopTurn();
    }
    type(inspector->titleField(), QStringLiteral("Concrete"));
    QTest::keyClick(inspector->titleField(), Qt::Key_Return);
    halcyra::test::finishEventLoopTurn();
    for (const int value : {10, 20, 35}) {
        inspector->progressSlider()->setValue(value);
        halcyra::test::finishEventLoopTurn();
    }
    EXPECT_EQ(task->attribute(kDMProjectItem_Notes).toString(), notes + QStringLiteral("pour"));
    ASSERT_EQ(undo->undoStepCount(), steps + 3);
    undo->undo();
    EXPECT_EQ(task->progress(), progress);
    undo->undo();
    EXPECT_NE(task->title(), QStringLiteral("Concrete"));
    EXPECT_EQ(task->attribute(kDMProjectItem_Notes).toString(), notes + QStringLiteral("pour"));
    undo->undo();
    EXPECT_EQ(task->attribute(kDMProjectItem_Notes).toString(), notes);
}

TEST_F(TaskInspectorTest, UndoKeysInAFieldWithNothingOfItsOwnToUndoUndoTheDocumentsLastChange)
{
    DMUIProjectTaskInspectorController *inspector = inspectTask();
    QWidget *window = DMInspectorWindow::sharedWindow();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    // Three hours more, applied with Return; the field shows the model's value again.
    QLineEdit *hours = inspector->durationHoursField();
    hours->setFocus();
    type(hours, "3");
    QTest::keyClick(hours, Qt::Key_Return);
    halcyra::test::finishEventLoopTurn();
    ASSERT_EQ(QApplication::focusWidget(), hours);
    ASSERT_EQ(task->endDate(), at(2024, 1, 4, 11));

    // Nothing typed is left to undo in the field: Control+Z undoes the change, the Redo key
    // redoes it.
    QTest::keyClick(hours, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(task->endDate(), at(2024, 1, 3, 18));
    EXPECT_EQ(durationShown(inspector), (QStringList{"2", "0", "0"}));
    const QKeyCombination redo = QKeySequence(QKeySequence::Redo)[0]; // the menu's key on this platform
    QTest::keyClick(hours, redo.key(), redo.keyboardModifiers());
    EXPECT_EQ(task->endDate(), at(2024, 1, 4, 11));

    // Typing not yet applied is the field's own to undo; the document is left alone.
    inspector->titleField()->setFocus();
    QTest::keyClicks(inspector->titleField(), QStringLiteral("s"));
    QTest::keyClick(inspector->titleField(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(inspector->titleField()->text(), QStringLiteral("Task"));
    EXPECT_EQ(task->endDate(), at(2024, 1, 4, 11));
}
