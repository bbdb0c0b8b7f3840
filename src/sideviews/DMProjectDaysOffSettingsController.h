#pragma once

#include "DMObservable.h"
#include "DMOutlineView.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QObject>
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
// ranges, yearly days), with their export to and import from a days-off file. It keeps no
// project data: every control is filled from the project's settings, and every change writes a
// new copy of one setting as one undo step (the model rebuilds its calendar, the document relays
// the Gantt chart out). It follows changes made elsewhere, such as undo, while it has a document.
//
// Owned by its document, which sets itself with setDocument and clears it before it goes. The
// controls live in the container view; whoever places it in a window owns it from then on, and
// a container nobody placed goes with the controller.
class DMProjectDaysOffSettingsController : public QObject,
                                          public DMOutlineViewDataSource,
                                          public DMOutlineViewDelegate
{
    Q_OBJECT

public:
    // What the pane needs of its document; every default means "none".
    class Document
    {
    public:
        virtual ~Document() = default;
        virtual std::shared_ptr<DMProject> project() const { return nullptr; }
        virtual QWidget *windowForSheet() const { return nullptr; }
    };

    DMProjectDaysOffSettingsController();
    ~DMProjectDaysOffSettingsController() override;

    Document *document() const { return m_document; }
    void setDocument(Document *document);

    QWidget *containerView() const { return m_containerView; }
    DMOutlineView *daysOffTableView() const { return m_daysOffTableView; }

    // updateUI: every control from the project's settings.
    void updateUI();

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
    std::shared_ptr<DMProject> project() const;
    bool canAct() const;
    QVariantList daysOff() const;
    bool isYearlyRow(int row) const;
    // Stores one setting as one named undo step.
    void storeSetting(const QString &key, const QVariant &value, const char *actionName);
    void storeDaysOff(const QVariantList &entries, const char *actionName);
    void selectLastRow();
    void observeProject();

    Document *m_document = nullptr;
    std::weak_ptr<DMProject> m_observedProject;
    std::vector<DMObservation> m_observations;

    QPointer<QWidget> m_containerView;
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
