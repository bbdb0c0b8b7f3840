// The project outline's cells: values by kind and column, the duration text, how cells show
// (currency, percent, date colour and elements), edits in place and the date editor.
#include "ProjectOutlineTestSupport.h"

#include "DMDateCellPreferences.h"
#include "DMDatePickerCell.h"
#include "DMDatePickerElements.h"
#include "DMDurationCell.h"
#include "DMDurationSplit.h"
#include "DMEmptyCell.h"
#include "DMItemDateEditor.h"
#include "DMObjectSerialization.h"
#include "DMOutlineViewItemDelegate.h"
#include "DMScheduler.h"
#include "DMValidation.h"
#include "FakeModalUI.h"

#include <QApplication>
#include <QLineEdit>
#include <QSpinBox>

using namespace outlinetest;

namespace {

QString text(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    return value.isValid() ? value.toString() : QStringLiteral("nil");
}

} // namespace

TEST_F(ProjectOutlineTest, EveryKindShowsTheValuesItHas)
{
    auto process = add<DMProjectProcess>("Phase", nullptr, at(2024, 1, 8, 8), at(2024, 1, 9, 18));
    auto task = add("Survey", process, at(2024, 1, 8, 8), at(2024, 1, 9, 18));
    task->setProgress(0.25f);
    task->setAttribute(kDMProjectItem_Cost, 120.5);
    auto milestone = add<DMProjectMilestone>("Sign-off", nullptr, at(2024, 1, 10, 12));
    auto group = add<DMProjectItemGroup>("Group");
    process->setAttribute(kDMProjectItem_GanttView_NodeIsExpanded, true);
    reload();
    ASSERT_EQ(rows(), (QStringList{"Events", "Phase", ".Survey", "Sign-off", "Group"}));

    const QStringList columns{"icon", "title", "beginDate", "endDate", "cost", "progress", "id"};
    // IDs count from 2^32; the project's two containers took the first two. A process costs the
    // tasks below it.
    const QMap<QString, QString> expected{
        {"Phase", "nil|Phase|2024-01-08 08:00|2024-01-09 18:00|120.5|0.25|3"},
        {"Survey", "nil|Survey|2024-01-08 08:00|2024-01-09 18:00|120.5|0.25|4"},
        {"Sign-off", "nil|Sign-off|2024-01-10 12:00|nil|||5"},
        {"Group", "nil|Group|2024-01-08 08:00|2024-01-09 18:00|||6"},
    };
    EXPECT_EQ(project->eventContainer()->objectID(), (quint64(1) << 32) + 1);
    for (int row = 1; row < outline.numberOfRows(); ++row) {
        const QString title = value(row, QStringLiteral("title")).toString();
        QStringList shown;
        for (const QString &column : columns)
            shown.append(text(value(row, column)));
        EXPECT_EQ(shown.join(QLatin1Char('|')).toStdString(), expected.value(title).toStdString());
    }
    EXPECT_EQ(value(3, QStringLiteral("duration")), QString()) << "a milestone has no duration";
    // Cells without a meaning are blank cells; the date columns draw as date pickers.
    auto *cells = static_cast<DMOutlineViewItemDelegate *>(outline.itemDelegate());
    const auto cellOf = [&](int row, const char *column) {
        return cells->dataCellForIndex(outline.outlineModel()->indexForRow(
            row, outline.outlineModel()->logicalColumnWithIdentifier(QString::fromLatin1(column))));
    };
    EXPECT_TRUE(qobject_cast<DMEmptyCell *>(cellOf(3, "endDate")));
    EXPECT_TRUE(qobject_cast<DMDatePickerCell *>(cellOf(3, "beginDate")));
    EXPECT_TRUE(qobject_cast<DMEmptyCell *>(cellOf(0, "beginDate")));
    EXPECT_EQ(cellOf(0, "title"), nullptr);
}

TEST(ProjectOutlineDurationText, DaysHoursAndMinutesButNeverMinutesBesideDays)
{
    struct Case
    {
        qint64 seconds;
        qint64 dayLength;
        const char *text;
    };
    for (const Case &c : {Case{90000, 86400, "1 days 1 hours "}, Case{5400, 86400, "1 hours 30 min "},
                          Case{86400 + 1800, 86400, "1 days "}, Case{0, 86400, ""}, Case{-5400, 86400, ""},
                          Case{-90000, 86400, ""}, Case{59, 86400, ""}, Case{2 * 36000 + 3600, 36000, "2 days 1 hours "},
                          Case{36000 + 60, 36000, "1 days "}, Case{90000, 0, "1 days 1 hours "}})
        EXPECT_EQ(DMDurationCell_text(c.seconds, c.dayLength), QString::fromLatin1(c.text))
            << c.seconds << " s on a day of " << c.dayLength << " s";
}

TEST_F(ProjectOutlineTest, TheDurationCountsDaysOfTheWorkingWindowWhenTheItemUsesIt)
{
    auto task = add("Task");
    task->setUseWorkingSchedule(false);
    task->setDuration(90000);
    reload();
    EXPECT_EQ(value(1, QStringLiteral("duration")), QStringLiteral("1 days 1 hours "));
    task->setUseWorkingSchedule(true);
    project->setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 8 * 60}, {kDMTimeSpanEnd, 18 * 60}});
    task->setDuration(2 * 36000 + 5400);
    EXPECT_EQ(value(1, QStringLiteral("duration")), QStringLiteral("2 days 1 hours "));
    // An empty day window counts whole days instead of dividing by zero.
    project->setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 8 * 60}, {kDMTimeSpanEnd, 8 * 60}});
    EXPECT_EQ(DMDurationSplit::dayLengthForItem(*task), 86400);
}

TEST_F(ProjectOutlineTest, DatesEditedInPlaceAreValidatedAndARefusalBeepsAndChangesNothing)
{
    auto task = add("Task", nullptr, at(2024, 1, 8, 8), at(2024, 1, 9, 18));
    reload();
    QAbstractItemModel *model = outline.outlineModel();
    const auto index = [&](const char *column) {
        return outline.outlineModel()->indexForRow(1, outline.outlineModel()->logicalColumnWithIdentifier(QString::fromLatin1(column)));
    };
    const int beeps = DMBeep_count();
    model->setData(index("endDate"), at(2024, 1, 8, 6).NSDate());
    EXPECT_EQ(DMBeep_count(), beeps + 1) << "an end before the begin";
    model->setData(index("endDate"), at(2024, 1, 8, 8).NSDate());
    EXPECT_EQ(DMBeep_count(), beeps + 2) << "an end at the begin";
    EXPECT_EQ(task->endDate(), at(2024, 1, 9, 18));

    model->setData(index("endDate"), at(2024, 1, 10, 18).NSDate());
    EXPECT_EQ(task->endDate(), at(2024, 1, 10, 18));
    // A new begin keeps the duration.
    const qint32 duration = task->duration();
    model->setData(index("beginDate"), at(2024, 1, 15, 8).NSDate());
    EXPECT_EQ(task->beginDate(), at(2024, 1, 15, 8));
    EXPECT_EQ(task->duration(), duration);
    task->setLocked(true);
    model->setData(index("beginDate"), at(2024, 1, 22, 8).NSDate());
    EXPECT_EQ(DMBeep_count(), beeps + 3) << "the model refuses a locked item";
    EXPECT_EQ(task->beginDate(), at(2024, 1, 15, 8));
    EXPECT_EQ(index("beginDate").data().toDateTime(), at(2024, 1, 15, 8).NSDate()) << "the cell shows the model";
}

// A process's begin set through the lists' date editor asks whether its subitems move with it.
TEST_F(ProjectOutlineTest, AProcesssNewBeginAsksWhetherItsSubitemsMove)
{
    halcyra::test::FakeModalUI ui;
    DMModalUI::setInstance(&ui);
    auto process = add<DMProjectProcess>("Phase", nullptr, at(2024, 1, 8, 8), at(2024, 1, 10, 18));
    auto child = add("Dig", process, at(2024, 1, 9, 8), at(2024, 1, 10, 18));
    ui.alertAnswer = DMModalUI::AlternateReturn; // "Set Begin Date"
    EXPECT_EQ(DMItemDateEditor::setValidatedBeginDate(*process, at(2024, 1, 8, 12)), kDMValidation_OK);
    EXPECT_EQ(child->beginDate(), at(2024, 1, 9, 8));
    ui.alertAnswer = DMModalUI::DefaultReturn; // "Reschedule"
    EXPECT_EQ(DMItemDateEditor::setValidatedBeginDate(*process, at(2024, 1, 9, 12)), kDMValidation_OK);
    EXPECT_EQ(child->beginDate(), at(2024, 1, 10, 8));
    ASSERT_EQ(ui.alerts.size(), 2);
    EXPECT_EQ(ui.alerts.first().messageText, QString::fromLatin1(DMScheduler::kRescheduleProcessMessage));
    EXPECT_EQ(DMItemDateEditor::setValidatedBeginDate(*child, at(2024, 1, 11, 8)), kDMValidation_OK);
    EXPECT_EQ(ui.alerts.size(), 2) << "a task's begin asks nothing";
    DMModalUI::setInstance(nullptr);
}

TEST_F(ProjectOutlineTest, ATitleEditedInPlaceCommitsWithReturnAndEscapeCancels)
{
    auto task = add("Survey");
    auto milestone = add<DMProjectMilestone>("Sign-off");
    reload();
    outline.selectRowIndexesByExtendingSelection({1}, false);
    doubleClick(QStringLiteral("title"), 1);
    auto *editor = outline.viewport()->findChild<QLineEdit *>();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->text(), QStringLiteral("Survey"));
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("Site survey"));
    QTest::keyClick(editor, Qt::Key_Return);
    finishEventLoopTurn();
    EXPECT_EQ(task->title(), QStringLiteral("Site survey"));
    EXPECT_EQ(undoManager.undoActionName(), QStringLiteral("Set Title"));

    doubleClick(QStringLiteral("title"), 1);
    editor = outline.viewport()->findChild<QLineEdit *>();
    ASSERT_TRUE(editor && editor->isVisible());
    QTest::keyClicks(editor, QStringLiteral(" (late)"));
    QTest::keyClick(editor, Qt::Key_Escape);
    finishEventLoopTurn();
    EXPECT_EQ(task->title(), QStringLiteral("Site survey"));

    // Progress is edited in percent, for tasks and processes only.
    doubleClick(QStringLiteral("progress"), 1);
    auto *percent = outline.viewport()->findChild<QSpinBox *>();
    ASSERT_TRUE(percent);
    percent->setValue(40);
    QTest::keyClick(percent, Qt::Key_Return);
    finishEventLoopTurn();
    EXPECT_FLOAT_EQ(task->progress(), 0.4f);
    outline.selectRowIndexesByExtendingSelection({2}, false);
    EXPECT_FALSE(controller->outlineViewShouldEditTableColumnItem(&outline, QStringLiteral("progress"), milestone.get()));
    finishEventLoopTurn();
    undoManager.undo();
    EXPECT_FLOAT_EQ(task->progress(), 0.0f);
}

TEST_F(ProjectOutlineTest, ReturnOrF2EditsTheSelectedRowsTitleWhicheverCellIsCurrent)
{
    auto task = add("Survey");
    auto milestone = add<DMProjectMilestone>("Sign-off");
    reload();
    outline.setFocus();
    const auto openEditor = [this] { return outline.viewport()->findChild<QLineEdit *>(); };

    // Nothing selected: nothing to edit.
    QTest::keyClick(&outline, Qt::Key_Return);
    EXPECT_FALSE(openEditor());

    // The current cell is the duration's; Return still edits the title, with the text selected,
    // and the Return that commits it does not open the editor again.
    outline.selectRowIndexesByExtendingSelection({2}, false);
    outline.selectionModel()->setCurrentIndex(
        outline.outlineModel()->indexForRow(2, outline.outlineModel()->logicalColumnWithIdentifier(QStringLiteral("duration"))),
        QItemSelectionModel::NoUpdate);
    QTest::keyClick(&outline, Qt::Key_Return);
    QLineEdit *editor = openEditor();
    ASSERT_TRUE(editor && editor->isVisible());
    EXPECT_EQ(editor->selectedText(), QStringLiteral("Sign-off"));
    QTest::keyClicks(editor, QStringLiteral("Approval"));
    QTest::keyClick(editor, Qt::Key_Return);
    finishEventLoopTurn();
    EXPECT_EQ(milestone->title(), QStringLiteral("Approval"));
    editor = openEditor();
    EXPECT_TRUE(!editor || !editor->isVisible());

    // F2 as well; Escape leaves the title as it was.
    outline.selectRowIndexesByExtendingSelection({1}, false);
    QTest::keyClick(&outline, Qt::Key_F2);
    editor = openEditor();
    ASSERT_TRUE(editor && editor->isVisible());
    QTest::keyClicks(editor, QStringLiteral("Lost"));
    QTest::keyClick(editor, Qt::Key_Escape);
    finishEventLoopTurn();
    EXPECT_EQ(task->title(), QStringLiteral("Survey"));
}

TEST_F(ProjectOutlineTest, TheDateEditorFollowsTheValidatedDateAndAppliesItsDateOnce)
{
    auto first = add("First", nullptr, at(2024, 1, 8, 8), at(2024, 1, 9, 18));
    auto second = add("Second", nullptr, at(2024, 1, 10, 8), at(2024, 1, 11, 18));
    auto milestone = add<DMProjectMilestone>("Sign-off", nullptr, at(2024, 1, 12, 12));
    first->addOutboundDependencyToItem(second);
    finishEventLoopTurn();
    reload();

    outline.selectRowIndexesByExtendingSelection({2}, false);
    doubleClick(QStringLiteral("beginDate"), 2);
    DMDatePickerCellEditor *editor = controller->dateEditor();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->dateTime(), at(2024, 1, 10, 8).NSDate());
    EXPECT_EQ(editor->parentWidget(), outline.viewport());
    EXPECT_EQ(editor->geometry(), outline.frameOfCellAtColumnRow(outline.columnWithIdentifier(QStringLiteral("beginDate")), 2)
                                      .translated(-outline.contentOffset()));
    // A push of the item while the editor is open shows in it.
    EXPECT_EQ(first->setValidatedEndDate(at(2024, 1, 10, 18)), kDMValidation_OK);
    EXPECT_EQ(editor->dateTime(), second->beginDate().NSDate());
    finishEventLoopTurn();
    undoManager.undo();
    EXPECT_EQ(editor->dateTime(), at(2024, 1, 10, 8).NSDate());

    editor->setDateTime(at(2024, 1, 15, 8).NSDate());
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(second->beginDate(), at(2024, 1, 15, 8));
    EXPECT_FALSE(controller->dateEditor());
    QApplication::processEvents();

    // A date the model refuses beeps and leaves the item as it was.
    const int beeps = DMBeep_count();
    doubleClick(QStringLiteral("endDate"), 2);
    editor = controller->dateEditor();
    ASSERT_TRUE(editor);
    editor->setDateTime(at(2024, 1, 14, 8).NSDate());
    QTest::keyClick(editor, Qt::Key_Escape); // keeps the date chosen
    EXPECT_EQ(DMBeep_count(), beeps + 1);
    EXPECT_EQ(second->beginDate(), at(2024, 1, 15, 8));
    QApplication::processEvents();

    // A milestone's end is never edited.
    outline.selectRowIndexesByExtendingSelection({3}, false);
    doubleClick(QStringLiteral("endDate"), 3);
    EXPECT_FALSE(controller->dateEditor());
}

TEST_F(ProjectOutlineTest, DateCellsTakeTheColourAndElementsOfThePreferences)
{
    add("Task", nullptr, at(2024, 1, 8, 8), at(2024, 1, 9, 18));
    reload();
    auto *cell = qobject_cast<DMDatePickerCell *>(outline.dataCellForTableColumn(QStringLiteral("beginDate")));
    ASSERT_TRUE(cell);
    const QRect dateCell = outline.frameOfCellAtColumnRow(outline.columnWithIdentifier(QStringLiteral("beginDate")), 1)
                               .translated(-outline.contentOffset());
    auto redPixels = [&] {
        const QImage image = outline.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int count = 0;
        for (int y = dateCell.top(); y <= dateCell.bottom(); ++y)
            for (int x = dateCell.left(); x <= dateCell.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += c.red() > 150 && c.green() < 90 && c.blue() < 90;
            }
        return count;
    };

    DMUserDefaults &defaults = DMUserDefaults::standardUserDefaults();
    defaults.setObjectForKey(DMObjectSerialization::encode(QVariant::fromValue(QColor(Qt::red))), kDMHalcyra_DefaultDateColor);
    defaults.setBoolForKey(false, kDMHalcyra_DisableHourDisplay);
    const int withTime = redPixels();
    EXPECT_GT(withTime, 20) << "the date is drawn in the preferred colour";
    EXPECT_EQ(cell->datePickerElements(), kDMDatePickerElement_YearMonthDay | kDMDatePickerElement_HourMinute);

    defaults.setBoolForKey(true, kDMHalcyra_DisableHourDisplay);
    const int withoutTime = redPixels();
    EXPECT_EQ(cell->datePickerElements(), kDMDatePickerElement_YearMonthDay);
    EXPECT_FALSE(cell->displayFormat().contains(QLatin1Char('H')) || cell->displayFormat().contains(QLatin1Char('h')));
    EXPECT_GT(withoutTime, 10);
    EXPECT_LT(withoutTime, withTime) << "no time of day is drawn";
}

TEST_F(ProjectOutlineTest, CostsShowInTheProjectCurrencyAndProgressInPercent)
{
    auto task = add("Task");
    task->setAttribute(kDMProjectItem_Cost, 1234.5);
    task->setProgress(0.75f);
    reload();
    DMOutlineCell cell;
    cell.objectValue = value(1, QStringLiteral("cost"));
    controller->outlineViewWillDisplayCellForTableColumnItem(&outline, cell, QStringLiteral("cost"), task.get());
    EXPECT_EQ(cell.text, QStringLiteral("EUR 1,234.50"));
    auto *percent = outline.dataCellForTableColumn(QStringLiteral("progress"));
    ASSERT_TRUE(percent);
    EXPECT_EQ(static_cast<QStyledItemDelegate *>(percent)->displayText(value(1, QStringLiteral("progress")), QLocale::c()),
              QStringLiteral("75%"));
}
