#pragma once

#include "DMOutlineView.h"
#include "DMProjectSettingsPane.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QTimeEdit>
#include <QVariantList>

#include <array>
#include <memory>
#include <vector>

class DMProject;

// The project's working-calendar pane: the working week days, the working window of a day, the
// first day of the week, the week-number format and the table of days off (dated days and
// ranges, yearly days), with their export to and import from a days-off file. Every change
// writes a new copy of one setting as one undo step (the model rebuilds its calendar, the
// document relays the Gantt chart out).
class DMProjectDaysOffSettingsController : public DMProjectSettingsPane,
                                          public DMOutlineViewDataSource,
                                          public DMOutlineViewDelegate
{
    Q_OBJECT

public:
    DMProjectDaysOffSettingsController();
    ~DMProjectDaysOffSettingsController() override;

    DMOutlineView *daysOffTableView() const { return m_daysOffTableView; }

    // updateUI: every control from the project's settings.
    void updateUI() override;

    // The controls' actions, run when the user changes them.
    void weekdaysToggle();
    void dayTimeSpanCallback();
    void firstDayOfWeekMatrixCallback();
    void weekFormatPopupCallback();
    void dayOffAdd();
    void dayOffRemove();
    void daysOffExport();
    void daysOffImport();
    // tableView:sortDescriptorsDidChange: by one column.
    void tableViewSortDescriptorsDidChange(const QString &columnIdentifier, bool ascending);

    // The controls, for tests. Week days count from Sunday (0); the rows of the first-day matrix
    // run from Monday (row 0) to Sunday (row 6).
    QCheckBox *weekdayCheckbox(int weekDay) const { return m_weekdayCheckboxes.at(size_t(weekDay)); }
    QTimeEdit *dayStartPicker() const { return m_dayStartPicker; }
    QTimeEdit *dayEndPicker() const { return m_dayEndPicker; }
    QButtonGroup *firstDayOfWeekMatrix() const { return m_firstDayOfWeekMatrix; }
    QComboBox *weekFormatPopup() const { return m_weekFormatPopup; }
    QPushButton *daysOffAddButton() const { return m_daysOffAddButton; }
    QPushButton *daysOffRemoveButton() const { return m_daysOffRemoveButton; }
    QPushButton *daysOffExportButton() const { return m_daysOffExportButton; }
    QPushButton *daysOffImportButton() const { return m_daysOffImportButton; }

    // The table's data source: one row per days-off entry, in the stored order. Column
    // identifiers "date", "enddate", "description" and "repeats".
    int outlineViewNumberOfChildrenOfItem(DMOutlineView *view, DMOutlineItem item) override;
    DMOutlineItem outlineViewChildOfItem(DMOutlineView *view, int index, DMOutlineItem item) override;
    QVariant outlineViewObjectValueForTableColumnByItem(DMOutlineView *view, const QString &identifier,
                                                        DMOutlineItem item) override;
    void outlineViewSetObjectValueForTableColumnByItem(DMOutlineView *view, const QVariant &value,
                                                       const QString &identifier, DMOutlineItem item) override;
    void outlineViewWillDisplayCellForTableColumnItem(DMOutlineView *view, DMOutlineCell &cell,
                                                      const QString &identifier, DMOutlineItem item) override;
    void outlineViewSelectionDidChange(DMOutlineView *view) override;

private:
    void buildContainerView();
    bool canAct() const;
    QVariantList daysOff() const;
    bool isYearlyRow(int row) const;
    // Stores one setting as one named undo step.
    void storeSetting(const QString &key, const QVariant &value, const char *actionName);
    void storeDaysOff(const QVariantList &entries, const char *actionName);
    void selectLastRow();
    void observeProject();

    QPointer<DMOutlineView> m_daysOffTableView;
    std::array<QPointer<QCheckBox>, 7> m_weekdayCheckboxes;
    QPointer<QTimeEdit> m_dayStartPicker;
    QPointer<QTimeEdit> m_dayEndPicker;
    QPointer<QButtonGroup> m_firstDayOfWeekMatrix;
    QPointer<QComboBox> m_weekFormatPopup;
    QPointer<QPushButton> m_daysOffAddButton;
    QPointer<QPushButton> m_daysOffRemoveButton;
    QPointer<QPushButton> m_daysOffExportButton;
    QPointer<QPushButton> m_daysOffImportButton;
};
