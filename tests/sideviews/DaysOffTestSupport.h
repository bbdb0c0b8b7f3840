#pragma once

// A project with an undo manager, weekends off and a working day of 8:00 to 18:00, handed to a
// days-off pane as its document; panels and alerts answer without showing anything.

#include "DMBeep.h"
#include "DMDaysOffEntry.h"
#include "DMIndexSet_64.h"
#include "DMOutlineView.h"
#include "DMOutlineViewModel.h"
#include "DMProject.h"
#include "DMProjectDaysOffSettingsController.h"
#include "DMProjectKeys.h"
#include "DMUndoManager.h"
#include "DMWorkingCalendar.h"
#include "SideViewsTestSupport.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace daysofftest {

inline qint64 dated(int year, int month, int day)
{
    return DMProject_NonWorkingDayIndexForYearMonthDay(year, month, day);
}

inline qint64 yearly(int month, int day)
{
    return DMProject_NonWorkingDayIndexForMonthDay(month, day);
}

// A click on a check box's box, which a box stretched over its column has far from its centre.
inline void clickBox(QCheckBox *box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, indicator.center());
}

inline QVariantMap dayOff(qint64 index, qint64 end = 0, const QString &description = QString())
{
    QVariantMap entry{{DMDaysOffEntry::kIndexKey, index}, {DMDaysOffEntry::kDescriptionKey, description}};
    if (end != 0)
        entry.insert(DMDaysOffEntry::kEndIndexKey, end);
    return entry;
}

class DaysOffPaneTest : public ::testing::Test, public DMProjectDaysOffSettingsController::Document
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        DMModalUI::setInstance(&ui);
        m_project = DMProject::create();
        DMMutableIndexSet_64 weekend;
        weekend.addIndex(0);
        weekend.addIndex(6);
        m_project->setAttribute(kDMProject_Settings_NonWorkingWeekDays, QVariant::fromValue(DMIndexSet_64(weekend)));
        m_project->setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 480}, {kDMTimeSpanEnd, 1080}});
        m_project->setUndoManager(&undo);
        pane.setDocument(this);
        container = pane.containerView();
        container->resize(900, 500);
        container->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(container));
    }
    void TearDown() override
    {
        pane.setDocument(nullptr);
        DMModalUI::setInstance(nullptr);
    }

    std::shared_ptr<DMProject> project() const override { return m_project; }

    // Sets the days off as a file or an earlier session left them, outside the undo history.
    void setDaysOff(const QVariantList &entries)
    {
        undo.disableUndoRegistration();
        m_project->setAttribute(kDMProject_Settings_DaysOff, entries);
        undo.enableUndoRegistration();
    }
    QVariantList daysOff() const { return m_project->attribute(kDMProject_Settings_DaysOff).toList(); }
    DMDaysOffEntry entryAt(int row) const { return DMDaysOffEntry(daysOff().value(row).toMap()); }

    // Ends the event-loop turn, which closes the undo step, and lets the 0.2 s pass in which
    // another change of the same setting would join it.
    void endUserAction()
    {
        halcyra::test::finishEventLoopTurn();
        halcyra::test::skipTime(250);
        halcyra::test::runUntilIdle();
    }

    DMOutlineView *table() { return pane.daysOffTableView(); }
    QModelIndex cell(int row, const QString &identifier)
    {
        return table()->outlineModel()->indexForRow(row, table()->columnWithIdentifier(identifier));
    }
    QString cellText(int row, const QString &identifier)
    {
        DMOutlineCell shown;
        shown.objectValue = cell(row, identifier).data();
        pane.outlineViewWillDisplayCellForTableColumnItem(table(), shown, identifier, table()->itemAtRow(row));
        return shown.text;
    }
    // An edit as the table's editors commit it.
    void edit(int row, const QString &identifier, const QVariant &value)
    {
        table()->outlineModel()->setData(cell(row, identifier), value, Qt::EditRole);
    }

    QTemporaryDir folder;
    sideviewstest::FakeModalUI ui;
    DMUndoManager undo;
    std::shared_ptr<DMProject> m_project;
    DMProjectDaysOffSettingsController pane;
    QWidget *container = nullptr;
};

} // namespace daysofftest
