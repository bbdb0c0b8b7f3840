// The working-calendar pane as a person uses it: the boxes, pickers and table change the
// project's calendar, refused changes beep and spring back, every change is one undo step and
// the pane follows undo.
#include "DaysOffTestSupport.h"

#include "DMDaysOffFile.h"
#include "DMDaysOffTableCell.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QPushButton>
#include <QTimeEdit>

using namespace daysofftest;

namespace {

const DMDate kMonday(2024, 1, 1, 12 * 3600);
const DMDate kWednesday(2024, 1, 3, 12 * 3600);

QVariantMap span(int begin, int end)
{
    return QVariantMap{{kDMTimeSpanBegin, begin}, {kDMTimeSpanEnd, end}};
}

} // namespace

TEST_F(DaysOffPaneTest, WeekDayBoxesSetTheWorkingWeekAndTheLastWorkingDayStays)
{
    EXPECT_FALSE(pane.weekdayCheckbox(0)->isChecked());
    EXPECT_TRUE(pane.weekdayCheckbox(1)->isChecked());
    EXPECT_FALSE(pane.weekdayCheckbox(6)->isChecked());
    ASSERT_TRUE(m_project->isWorkingDay(kMonday));

    clickBox(pane.weekdayCheckbox(1));
    endUserAction();
    EXPECT_FALSE(m_project->isWorkingDay(kMonday));
    EXPECT_FALSE(pane.weekdayCheckbox(1)->isChecked());
    clickBox(pane.weekdayCheckbox(0)); // Sunday becomes a working day
    endUserAction();
    EXPECT_TRUE(m_project->isWorkingDay(DMDate(2024, 1, 7, 0)));
    EXPECT_EQ(undo.undoStepCount(), 2);

    // Undo takes back one box at a time, and the boxes follow.
    undo.undo();
    EXPECT_FALSE(m_project->isWorkingDay(DMDate(2024, 1, 7, 0)));
    EXPECT_FALSE(pane.weekdayCheckbox(0)->isChecked());
    EXPECT_FALSE(m_project->isWorkingDay(kMonday));
    undo.undo();
    EXPECT_TRUE(m_project->isWorkingDay(kMonday));
    EXPECT_TRUE(pane.weekdayCheckbox(1)->isChecked());

    // Unchecking the last working day beeps, and the box comes back.
    undo.disableUndoRegistration();
    m_project->setAttribute(kDMProject_Settings_NonWorkingWeekDays, QVariantList{0, 1, 2, 4, 5, 6});
    undo.enableUndoRegistration();
    const QVariant before = m_project->attribute(kDMProject_Settings_NonWorkingWeekDays);
    const int beeps = DMBeep_count();
    clickBox(pane.weekdayCheckbox(3));
    endUserAction();
    EXPECT_EQ(DMBeep_count(), beeps + 1);
    EXPECT_TRUE(pane.weekdayCheckbox(3)->isChecked());
    EXPECT_EQ(m_project->attribute(kDMProject_Settings_NonWorkingWeekDays), before);
    EXPECT_TRUE(m_project->isWorkingDay(kWednesday));
    EXPECT_EQ(undo.undoStepCount(), 0);
}

TEST_F(DaysOffPaneTest, TheDayWindowEndsAfterItBeginsAndMidnightEndsTheDay)
{
    EXPECT_EQ(pane.dayStartPicker()->time(), QTime(8, 0));
    EXPECT_EQ(pane.dayEndPicker()->time(), QTime(18, 0));

    pane.dayEndPicker()->setTime(QTime(0, 0));
    endUserAction();
    EXPECT_EQ(m_project->attribute(kDMProject_Settings_DayTimeSpan).toMap(), span(480, 1440));
    EXPECT_EQ(m_project->workingCalendar().dayEndMinute(), 1440);

    // A window of no or negative length is refused: a beep, and the pickers show the old one.
    pane.dayEndPicker()->setTime(QTime(17, 0));
    endUserAction();
    ASSERT_EQ(m_project->attribute(kDMProject_Settings_DayTimeSpan).toMap(), span(480, 1020));
    for (const QTime &begin : {QTime(17, 0), QTime(23, 59)}) {
        const int beeps = DMBeep_count();
        pane.dayStartPicker()->setTime(begin);
        endUserAction();
        EXPECT_EQ(DMBeep_count(), beeps + 1);
        EXPECT_EQ(m_project->attribute(kDMProject_Settings_DayTimeSpan).toMap(), span(480, 1020));
        EXPECT_EQ(pane.dayStartPicker()->time(), QTime(8, 0));
    }

    // A damaged window from a file shows as the model reads it: the whole day.
    m_project->setAttribute(kDMProject_Settings_DayTimeSpan, span(600, 600));
    EXPECT_EQ(pane.dayStartPicker()->time(), QTime(0, 0));
    EXPECT_EQ(pane.dayEndPicker()->time(), QTime(0, 0));
    EXPECT_EQ(m_project->workingCalendar().dayEndMinute(), 1440);
}

TEST_F(DaysOffPaneTest, FirstDayOfWeekRowsRunFromMondayAndTheWeekFormatIsStored)
{
    QButtonGroup *matrix = pane.firstDayOfWeekMatrix();
    QTest::mouseClick(matrix->button(0), Qt::LeftButton);
    EXPECT_EQ(m_project->attribute(kDMProject_Settings_FirstDayOfWeek).toInt(), 1);
    QTest::mouseClick(matrix->button(6), Qt::LeftButton);
    EXPECT_EQ(m_project->attribute(kDMProject_Settings_FirstDayOfWeek).toInt(), 0);
    m_project->setAttribute(kDMProject_Settings_FirstDayOfWeek, 3);
    EXPECT_EQ(matrix->checkedId(), 2);

    QComboBox *format = pane.weekFormatPopup();
    format->setFocus();
    QTest::keyClick(format, Qt::Key_Down);
    EXPECT_EQ(m_project->attribute(kDMProject_Settings_WeekFormat).toInt(), 1);
    m_project->setAttribute(kDMProject_Settings_WeekFormat, 2);
    EXPECT_EQ(format->currentIndex(), 2);
}

TEST_F(DaysOffPaneTest, AddingEditingAndRemovingDaysOffChangesTheCalendar)
{
    const QDate today(2026, 3, 5);
    const halcyra::test::FixedNow now(QDateTime(today, QTime(23, 59, 59)));
    QTest::mouseClick(pane.daysOffAddButton(), Qt::LeftButton);
    endUserAction();
    ASSERT_EQ(daysOff().size(), 1);
    EXPECT_EQ(entryAt(0).dictionary(), dayOff(dated(today.year(), today.month(), today.day()),
                                              dated(today.year(), today.month(), today.day())));
    EXPECT_EQ(table()->selectedRow(), 0);
    EXPECT_TRUE(pane.daysOffRemoveButton()->isEnabled());
    EXPECT_FALSE(cell(0, "repeats").data().toBool());

    edit(0, "date", QDate(2024, 1, 3));
    endUserAction();
    edit(0, "enddate", QDate(2024, 1, 5));
    endUserAction();
    EXPECT_FALSE(m_project->isWorkingDay(kWednesday));
    EXPECT_FALSE(m_project->isWorkingDay(DMDate(2024, 1, 4, 0)));
    // Moving the start of a dated range past its end moves the end with it.
    edit(0, "date", QDate(2024, 1, 10));
    endUserAction();
    EXPECT_EQ(entryAt(0).endIndex(), dated(2024, 1, 10));
    EXPECT_TRUE(m_project->isWorkingDay(kWednesday));
    // An end before the start beeps and keeps the range: such a range would not import again.
    const int beeps = DMBeep_count();
    edit(0, "enddate", QDate(2024, 1, 2));
    endUserAction();
    EXPECT_EQ(DMBeep_count(), beeps + 1);
    EXPECT_EQ(entryAt(0).endIndex(), dated(2024, 1, 10));
    edit(0, "description", QStringLiteral("Inventory"));
    endUserAction();
    EXPECT_EQ(entryAt(0).description(), QStringLiteral("Inventory"));
    EXPECT_EQ(undo.undoStepCount(), 5);

    undo.undo();
    EXPECT_EQ(entryAt(0).description(), QString());
    EXPECT_EQ(cell(0, "description").data().toString(), QString());

    table()->selectRowIndexesByExtendingSelection({0}, false);
    QTest::mouseClick(pane.daysOffRemoveButton(), Qt::LeftButton);
    EXPECT_TRUE(daysOff().isEmpty());
    EXPECT_TRUE(m_project->isWorkingDay(kWednesday));
    EXPECT_FALSE(pane.daysOffRemoveButton()->isEnabled());
}

TEST_F(DaysOffPaneTest, YearlyDaysShowAndEditWithoutAYearAndRunOverNewYear)
{
    setDaysOff({dayOff(yearly(12, 20), yearly(1, 5), QStringLiteral("Winter")), dayOff(yearly(2, 29))});
    EXPECT_EQ(cell(0, "date").data().toDate().addYears(1).year(), cell(0, "enddate").data().toDate().year());
    EXPECT_EQ(cell(0, "enddate").data().toDate().month(), 1);
    EXPECT_TRUE(cell(0, "repeats").data().toBool());
    EXPECT_EQ(cellText(0, "date"), QLocale().toString(QDate(2000, 12, 20), DMDaysOffTableCell::dateFormat(true)));
    EXPECT_FALSE(cellText(0, "date").contains(QStringLiteral("00")));
    EXPECT_FALSE(m_project->isWorkingDay(DMDate(2031, 1, 2, 0)));

    // 29 February is a yearly day like any other: shown, edited and kept.
    EXPECT_EQ(cell(1, "date").data().toDate().day(), 29);
    edit(1, "date", QDate(2000, 3, 1));
    endUserAction();
    EXPECT_EQ(entryAt(1).index(), yearly(3, 1));
    edit(1, "date", QDate(2000, 2, 29));
    endUserAction();
    EXPECT_EQ(entryAt(1).index(), yearly(2, 29));
    EXPECT_FALSE(m_project->isWorkingDay(DMDate(2028, 2, 29, 0)));

    // The editor of a yearly day offers 29 February, without a year.
    setDaysOff({dayOff(yearly(12, 20), yearly(1, 5))});
    const QModelIndex end = cell(0, "enddate");
    table()->setCurrentIndex(end);
    table()->QAbstractItemView::edit(end);
    auto *editor = table()->viewport()->findChild<QDateEdit *>();
    ASSERT_TRUE(editor);
    EXPECT_FALSE(editor->displayFormat().contains(QLatin1Char('y')));
    editor->setDate(QDate(editor->date().year(), 2, 29));
    EXPECT_EQ(editor->date().month(), 2);
    EXPECT_EQ(editor->date().day(), 29);
    QTest::keyClick(editor, Qt::Key_Return);
    endUserAction();
    EXPECT_EQ(entryAt(0).endIndex(), yearly(2, 29));
}

TEST_F(DaysOffPaneTest, TheRepeatsBoxTogglesBetweenDatedAndYearly)
{
    setDaysOff({dayOff(dated(2023, 12, 30), dated(2024, 1, 2))});
    const QRect box = DMDaysOffTableCell::checkBoxRect(table()->visualRect(cell(0, "repeats")), table());
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, Qt::NoModifier, box.center());
    endUserAction();
    EXPECT_EQ(entryAt(0).index(), yearly(12, 30));
    EXPECT_EQ(entryAt(0).endIndex(), yearly(1, 2));
    EXPECT_FALSE(m_project->isWorkingDay(DMDate(2040, 1, 1, 0)));

    // Off again: the days are placed from this year on, over New Year as before.
    const int year = 2031;
    const halcyra::test::FixedNow now(QDateTime(QDate(year, 12, 31), QTime(12, 0)));
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, Qt::NoModifier, box.center());
    endUserAction();
    EXPECT_EQ(entryAt(0).index(), dated(year, 12, 30));
    EXPECT_EQ(entryAt(0).endIndex(), dated(year + 1, 1, 2));

    // A yearly 29 February waits for a leap year.
    DMDaysOffEntry leap(dayOff(yearly(2, 29)));
    leap.setRepeats(false, 2025);
    EXPECT_EQ(leap.index(), dated(2028, 2, 29));
}

TEST_F(DaysOffPaneTest, SortingByAColumnReordersTheStoredListAsOneStep)
{
    setDaysOff({dayOff(dated(2024, 5, 1), 0, QStringLiteral("b")), dayOff(dated(2024, 1, 1), 0, QStringLiteral("c")),
                dayOff(dated(2024, 3, 1), 0, QStringLiteral("a"))});
    QHeaderView *header = table()->header();
    const int dateColumn = table()->columnWithIdentifier("date");
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(header->sectionViewportPosition(dateColumn) + 10, header->height() / 2));
    endUserAction();
    QStringList order;
    for (int row = 0; row < 3; ++row)
        order.append(entryAt(row).description());
    EXPECT_EQ(order, QStringList({"c", "a", "b"}));
    pane.tableViewSortDescriptorsDidChange("description", false);
    EXPECT_EQ(entryAt(0).description(), QStringLiteral("c"));
    EXPECT_EQ(entryAt(2).description(), QStringLiteral("a"));
    endUserAction();
    EXPECT_EQ(undo.undoStepCount(), 2);
}

TEST_F(DaysOffPaneTest, DaysOffExportAndImportBehindTheProjectsOwnAndAFailedExportIsReported)
{
    setDaysOff({dayOff(yearly(2, 29), 0, QStringLiteral("Leap")), dayOff(dated(2024, 8, 5), dated(2024, 8, 16))});
    m_project->setTitle(QStringLiteral("Bridge"));
    ui.savePanelPath = folder.filePath(QStringLiteral("out.xml"));
    QTest::mouseClick(pane.daysOffExportButton(), Qt::LeftButton);
    ASSERT_EQ(ui.savePanels.size(), 1);
    EXPECT_EQ(ui.savePanels.first().proposedName, QStringLiteral("Bridge-Days Off.xml"));
    EXPECT_EQ(ui.savePanels.first().allowedExtensions, QStringList({"xml"}));
    EXPECT_TRUE(ui.alerts.isEmpty());

    const QVariantList exported = daysOff();
    setDaysOff({dayOff(dated(2024, 1, 3))});
    ui.openPanelPaths = {ui.savePanelPath};
    QTest::mouseClick(pane.daysOffImportButton(), Qt::LeftButton);
    endUserAction();
    QTest::mouseClick(pane.daysOffImportButton(), Qt::LeftButton);
    endUserAction();
    EXPECT_EQ(daysOff(), QVariantList({dayOff(dated(2024, 1, 3))}) + exported + exported);
    EXPECT_EQ(table()->selectedRow(), 4);
    EXPECT_TRUE(ui.alerts.isEmpty());
    undo.undo();
    EXPECT_EQ(daysOff().size(), 3);

    // A failed export is reported.
    ui.savePanelPath = folder.filePath(QStringLiteral("missing/folder/out.xml"));
    QTest::mouseClick(pane.daysOffExportButton(), Qt::LeftButton);
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(ui.alerts.first().messageText, QStringLiteral("Unable to write the file"));
}

TEST_F(DaysOffPaneTest, ADamagedFileChangesNothingAndBadEntriesAreCountedInOneMessage)
{
    setDaysOff({dayOff(dated(2024, 1, 3))});
    const QVariantList before = daysOff();
    ui.openPanelPaths = {folder.filePath(QStringLiteral("damaged.xml"))};
    sideviewstest::writeFile(ui.openPanelPaths.first(),
                             "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>days off</key><array><dict>");
    QTest::mouseClick(pane.daysOffImportButton(), Qt::LeftButton);
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(ui.alerts.first().messageText, QStringLiteral("Not a Halcyra 2 days-off file."));
    EXPECT_FALSE(ui.alerts.first().informativeText.isEmpty()) << "the reader's reason";
    EXPECT_EQ(daysOff(), before);
    EXPECT_EQ(undo.undoStepCount(), 0);

    // A resource file is no days-off file, and the reader says what is missing.
    ui.alerts.clear();
    sideviewstest::writeFile(ui.openPanelPaths.first(),
                             "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>halcyra version</key><string>2</string>"
                             "<key>resources</key><array/></dict></plist>");
    QTest::mouseClick(pane.daysOffImportButton(), Qt::LeftButton);
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(ui.alerts.first().informativeText, QStringLiteral("\"halcyra version\" or \"days off\" is missing"));
    EXPECT_EQ(daysOff(), before);

    // Two sound entries come in; the three unsound ones are left out and told once.
    ui.alerts.clear();
    const QString mixed = folder.filePath(QStringLiteral("mixed.xml"));
    ASSERT_TRUE(DMDaysOffFile::writeToFile({dayOff(dated(2023, 2, 29)), dayOff(yearly(5, 1)),
                                            dayOff(dated(2024, 2, 10), dated(2024, 2, 1)), QStringLiteral("junk"),
                                            dayOff(dated(2024, 7, 1), dated(2024, 7, 2))},
                                           mixed));
    ui.openPanelPaths = {mixed};
    QTest::mouseClick(pane.daysOffImportButton(), Qt::LeftButton);
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_TRUE(ui.alerts.first().informativeText.startsWith(QStringLiteral("3 ")));
    ASSERT_EQ(daysOff().size(), 3);
    EXPECT_EQ(entryAt(1).index(), yearly(5, 1));
    EXPECT_EQ(entryAt(2).endIndex(), dated(2024, 7, 2));
}
