#include "DMProjectDaysOffSettingsController.h"
#include "DMWallClock.h"

#include "DMBeep.h"
#include "DMDaysOffEntry.h"
#include "DMDaysOffFile.h"
#include "DMDaysOffTableCell.h"
#include "DMDictionaryAccess.h"
#include "DMExchangeFile.h"
#include "DMIndexSet_64.h"
#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "DMOutlineView.h"
#include "DMProject.h"
#include "DMProjectKeys.h"
#include "DMProjectUndoStep.h"
#include "DMReadGuard.h"
#include "DMStringAdditions.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kDateColumn = QStringLiteral("date");
const QString kEndDateColumn = QStringLiteral("enddate");
const QString kDescriptionColumn = QStringLiteral("description");
const QString kRepeatsColumn = QStringLiteral("repeats");

constexpr int kSecondsPerDay = 86400;
constexpr int kWeekFormatCount = 3;

// Rows are handed to the table as 1-based numbers: a null item is the table's root.
DMOutlineItem itemForRow(int row)
{
    return reinterpret_cast<DMOutlineItem>(quintptr(row) + 1);
}

int rowForItem(DMOutlineItem item)
{
    return int(reinterpret_cast<quintptr>(item)) - 1;
}

// Qt counts Monday 1 to Sunday 7, the project Sunday 0 to Saturday 6.
int qtDayOfWeek(int weekDay)
{
    return weekDay == 0 ? 7 : weekDay;
}

// The first day of the week the project shows: the stored one, else the locale's, as the timeline
// header reads it.
int firstDayOfWeek(const DMProject &project)
{
    bool ok = false;
    const int day = project.attribute(kDMProject_Settings_FirstDayOfWeek).toInt(&ok);
    return ok ? ((day % 7) + 7) % 7 : int(QLocale().firstDayOfWeek()) % 7;
}

QTime timeOfMinute(int minute)
{
    return QTime(0, 0).addSecs(minute * 60); // 1440 shows as 00:00, the end of the day
}

} // namespace

DMProjectDaysOffSettingsController::DMProjectDaysOffSettingsController()
{
    buildContainerView();
}

DMProjectDaysOffSettingsController::~DMProjectDaysOffSettingsController() = default;

bool DMProjectDaysOffSettingsController::canAct() const
{
    // The controls go with the window that holds them.
    return containerView() && project();
}

void DMProjectDaysOffSettingsController::observeProject()
{
    // Undo, redo and other writers change these behind the pane's back.
    QStringList keyPaths;
    for (const QString &key : {kDMProject_Settings_NonWorkingWeekDays, kDMProject_Settings_DayTimeSpan,
                               kDMProject_Settings_FirstDayOfWeek, kDMProject_Settings_WeekFormat,
                               kDMProject_Settings_DaysOff})
        keyPaths.append(DMProjectKey::attributes + QLatin1Char('.') + key);
    DMProjectSettingsPane::observeProject(keyPaths);
}

QVariantList DMProjectDaysOffSettingsController::daysOff() const
{
    const auto project = this->project();
    return project ? arrayForKey(project->attributes(), kDMProject_Settings_DaysOff) : QVariantList();
}

bool DMProjectDaysOffSettingsController::isYearlyRow(int row) const
{
    const QVariantList entries = daysOff();
    return row >= 0 && row < entries.size() && DMDaysOffEntry(entries.at(row).toMap()).isYearly();
}

void DMProjectDaysOffSettingsController::storeSetting(const QString &key, const QVariant &value, const char *actionName)
{
    if (const auto project = this->project())
        DMProject_applyAsOneUndoStep(project, DMLocalizedString(actionName),
                                     [&] { project->setAttribute(key, value); });
}

void DMProjectDaysOffSettingsController::storeDaysOff(const QVariantList &entries, const char *actionName)
{
    storeSetting(kDMProject_Settings_DaysOff, entries, actionName);
}

// ---- Controls ----

void DMProjectDaysOffSettingsController::buildContainerView()
{
    auto *container = new QWidget;
    container->setObjectName(QStringLiteral("daysOffSettingsView"));
    setContainerView(container);
    auto *layout = new QHBoxLayout(container);

    // The week: a row per day from Monday, with its working box and its first-day button.
    auto *week = new QGroupBox(DMLocalizedString("Week"), container);
    auto *weekGrid = new QGridLayout(week);
    weekGrid->addWidget(new QLabel(DMLocalizedString("Working days"), week), 0, 0);
    weekGrid->addWidget(new QLabel(DMLocalizedString("Week starts"), week), 0, 1, Qt::AlignHCenter);
    m_firstDayOfWeekMatrix = new QButtonGroup(container);
    for (int row = 0; row < 7; ++row) {
        const int weekDay = (row + 1) % 7;
        auto *box = new QCheckBox(QLocale().dayName(qtDayOfWeek(weekDay)), week);
        m_weekdayCheckboxes[size_t(weekDay)] = box;
        connect(box, &QCheckBox::clicked, this, &DMProjectDaysOffSettingsController::weekdaysToggle);
        auto *radio = new QRadioButton(week);
        radio->setAccessibleName(DMLocalizedString("Week starts on %1").arg(box->text()));
        m_firstDayOfWeekMatrix->addButton(radio, row);
        weekGrid->addWidget(box, row + 1, 0);
        weekGrid->addWidget(radio, row + 1, 1, Qt::AlignHCenter);
    }
    connect(m_firstDayOfWeekMatrix, &QButtonGroup::idClicked, this,
            &DMProjectDaysOffSettingsController::firstDayOfWeekMatrixCallback);

    auto *formats = new QFormLayout;
    m_weekFormatPopup = new QComboBox(week);
    // The indexes are the stored week formats (minimum days of a year's first week: 4, 1, 7).
    m_weekFormatPopup->addItems({DMLocalizedString("ISO 8601 (first week of 4 days)"),
                                 DMLocalizedString("Week of 1 January"), DMLocalizedString("First full week")});
    connect(m_weekFormatPopup, &QComboBox::activated, this, &DMProjectDaysOffSettingsController::weekFormatPopupCallback);
    formats->addRow(DMLocalizedString("Week numbers:"), m_weekFormatPopup);
    weekGrid->addLayout(formats, 8, 0, 1, 2);

    // The working window of a day. Without keyboard tracking a picker reports a typed time once,
    // when its editing ends, and each arrow step at once.
    auto *hours = new QGroupBox(DMLocalizedString("Working Hours"), container);
    auto *hoursForm = new QFormLayout(hours);
    const auto makePicker = [&](QTimeEdit **picker) {
        *picker = new QTimeEdit(hours);
        (*picker)->setDisplayFormat(QStringLiteral("HH:mm"));
        (*picker)->setKeyboardTracking(false);
        connect(*picker, &QTimeEdit::timeChanged, this, &DMProjectDaysOffSettingsController::dayTimeSpanCallback);
    };
    QTimeEdit *start = nullptr;
    QTimeEdit *end = nullptr;
    makePicker(&start);
    makePicker(&end);
    m_dayStartPicker = start;
    m_dayEndPicker = end;
    hoursForm->addRow(DMLocalizedString("Day begins at:"), start);
    hoursForm->addRow(DMLocalizedString("Day ends at:"), end);

    auto *left = new QVBoxLayout;
    left->addWidget(week);
    left->addWidget(hours);
    left->addStretch(1);
    layout->addLayout(left, 0);

    // The days off.
    auto *right = new QVBoxLayout;
    auto *title = new QLabel(DMLocalizedString("Days Off"), container);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    title->setFont(titleFont);
    right->addWidget(title);

    auto *table = new DMOutlineView(container);
    table->setObjectName(QStringLiteral("daysOffTableView"));
    table->setRootIsDecorated(false);
    table->setItemsExpandable(false);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->addTableColumn(DMOutlineTableColumn(kDateColumn, DMLocalizedString("From"), 100));
    table->addTableColumn(DMOutlineTableColumn(kEndDateColumn, DMLocalizedString("To"), 100));
    table->addTableColumn(DMOutlineTableColumn(kDescriptionColumn, DMLocalizedString("Description"), 240));
    DMOutlineTableColumn repeats(kRepeatsColumn, DMLocalizedString("Every Year"), 80);
    repeats.editable = false; // its check box toggles on a click
    table->addTableColumn(repeats);
    QPointer<DMProjectDaysOffSettingsController> self(this);
    const auto isYearly = [self](int row) { return self && self->isYearlyRow(row); };
    for (const QString &identifier : {kDateColumn, kEndDateColumn})
        table->setItemDelegateForColumn(table->columnWithIdentifier(identifier),
                                        new DMDaysOffTableCell(table, DMDaysOffTableCell::DateCell, isYearly));
    table->setItemDelegateForColumn(table->columnWithIdentifier(kRepeatsColumn),
                                    new DMDaysOffTableCell(table, DMDaysOffTableCell::CheckBoxCell));
    QHeaderView *header = table->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    connect(header, &QHeaderView::sortIndicatorChanged, this, [this, table](int column, Qt::SortOrder order) {
        if (column >= 0)
            tableViewSortDescriptorsDidChange(table->outlineModel()->tableColumns()[size_t(column)].identifier,
                                              order == Qt::AscendingOrder);
    });
    table->setDataSource(this);
    table->setDelegate(this);
    m_daysOffTableView = table;
    right->addWidget(table, 1);

    auto *buttons = new QHBoxLayout;
    const auto makeButton = [&](const QString &text, const QString &toolTip, void (DMProjectDaysOffSettingsController::*action)()) {
        auto *button = new QPushButton(text, container);
        button->setToolTip(toolTip);
        connect(button, &QPushButton::clicked, this, action);
        return button;
    };
    m_daysOffAddButton = makeButton(QStringLiteral("+"), DMLocalizedString("Add a day off"),
                                    &DMProjectDaysOffSettingsController::dayOffAdd);
    m_daysOffRemoveButton = makeButton(QStringLiteral("\u2212"), DMLocalizedString("Remove the selected day off"),
                                       &DMProjectDaysOffSettingsController::dayOffRemove);
    m_daysOffImportButton = makeButton(DMLocalizedString("Import\u2026"), DMLocalizedString("Add the days off of a file"),
                                       &DMProjectDaysOffSettingsController::daysOffImport);
    m_daysOffExportButton = makeButton(DMLocalizedString("Export\u2026"), DMLocalizedString("Save the days off to a file"),
                                       &DMProjectDaysOffSettingsController::daysOffExport);
    buttons->addWidget(m_daysOffAddButton);
    buttons->addWidget(m_daysOffRemoveButton);
    buttons->addStretch(1);
    buttons->addWidget(m_daysOffImportButton);
    buttons->addWidget(m_daysOffExportButton);
    right->addLayout(buttons);
    layout->addLayout(right, 1);
}

void DMProjectDaysOffSettingsController::updateUI()
{
    observeProject();
    if (!containerView())
        return;
    const auto project = this->project();
    containerView()->setEnabled(project != nullptr);
    const DMWorkingCalendar *calendar = project ? &project->workingCalendar() : nullptr;

    // A checked box is a working day.
    for (int weekDay = 0; weekDay < 7; ++weekDay) {
        QCheckBox *box = m_weekdayCheckboxes[size_t(weekDay)];
        const QSignalBlocker blocker(box);
        box->setChecked(!calendar || !calendar->isNonWorkingWeekDay(weekDay));
    }

    // The table asks for every value as it draws. Its rows are reloaded only when their number
    // changes, never during an edit of a cell, whose index a reload would leave dangling.
    if (m_daysOffTableView->numberOfRows() != daysOff().size())
        m_daysOffTableView->reloadData();
    else
        m_daysOffTableView->viewport()->update();

    // The window the model works with: a damaged stored one reads as the whole day.
    {
        const QSignalBlocker startBlocker(m_dayStartPicker);
        const QSignalBlocker endBlocker(m_dayEndPicker);
        m_dayStartPicker->setTime(timeOfMinute(calendar ? calendar->dayBeginMinute() : 0));
        m_dayEndPicker->setTime(timeOfMinute(calendar ? calendar->dayEndMinute() : 1440));
    }

    if (project)
        if (QAbstractButton *row = m_firstDayOfWeekMatrix->button((firstDayOfWeek(*project) + 6) % 7))
            row->setChecked(true);

    {
        const QSignalBlocker blocker(m_weekFormatPopup);
        const int format = project ? project->attribute(kDMProject_Settings_WeekFormat).toInt() : 0;
        m_weekFormatPopup->setCurrentIndex(std::clamp(format, 0, kWeekFormatCount - 1));
    }

    m_daysOffRemoveButton->setEnabled(m_daysOffTableView->selectedRow() >= 0);
}

// ---- Actions ----

void DMProjectDaysOffSettingsController::weekdaysToggle()
{
    if (!canAct())
        return;
    DMMutableIndexSet_64 nonWorking;
    for (int weekDay = 0; weekDay < 7; ++weekDay)
        if (!m_weekdayCheckboxes[size_t(weekDay)]->isChecked())
            nonWorking.addIndex(weekDay);
    // A week without a working day is refused; the box springs back.
    if (nonWorking.count() == 7)
        DMBeep();
    else
        storeSetting(kDMProject_Settings_NonWorkingWeekDays, QVariant::fromValue(DMIndexSet_64(nonWorking)),
                     "Change Working Days");
    updateUI();
}

void DMProjectDaysOffSettingsController::dayTimeSpanCallback()
{
    if (!canAct())
        return;
    const int beginMinute = m_dayStartPicker->time().msecsSinceStartOfDay() / 60000;
    int endSecond = m_dayEndPicker->time().msecsSinceStartOfDay() / 1000;
    if (endSecond == 0)
        endSecond = kSecondsPerDay; // midnight ends the day
    const int endMinute = endSecond / 60;
    // The end must come after the begin, in the whole minutes that are stored.
    if (beginMinute >= endMinute)
        DMBeep();
    else
        storeSetting(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, beginMinute}, {kDMTimeSpanEnd, endMinute}},
                     "Change Working Hours");
    updateUI();
}

void DMProjectDaysOffSettingsController::firstDayOfWeekMatrixCallback()
{
    if (!canAct())
        return;
    const int row = m_firstDayOfWeekMatrix->checkedId();
    if (row >= 0)
        storeSetting(kDMProject_Settings_FirstDayOfWeek, (row + 1) % 7, "Change First Day of Week");
    updateUI();
}

void DMProjectDaysOffSettingsController::weekFormatPopupCallback()
{
    if (!canAct())
        return;
    const int format = m_weekFormatPopup->currentIndex();
    if (format >= 0)
        storeSetting(kDMProject_Settings_WeekFormat, format, "Change Week Numbers");
    updateUI();
}

void DMProjectDaysOffSettingsController::dayOffAdd()
{
    if (!canAct())
        return;
    QVariantList entries = daysOff();
    entries.append(DMDaysOffEntry::entryForDay(DMWallClock::today()).dictionary());
    storeDaysOff(entries, "Add Day Off");
    updateUI();
    selectLastRow();
}

void DMProjectDaysOffSettingsController::dayOffRemove()
{
    if (!canAct())
        return;
    const int row = m_daysOffTableView->selectedRow();
    QVariantList entries = daysOff();
    if (row < 0 || row >= entries.size())
        return;
    entries.removeAt(row);
    storeDaysOff(entries, "Remove Day Off");
    updateUI();
}

void DMProjectDaysOffSettingsController::selectLastRow()
{
    DMOutlineView *table = m_daysOffTableView;
    const int last = table ? table->numberOfRows() - 1 : -1;
    if (last < 0)
        return;
    table->selectRowIndexesByExtendingSelection({last}, false);
    table->scrollRowToVisible(last);
    m_daysOffRemoveButton->setEnabled(true);
}

void DMProjectDaysOffSettingsController::tableViewSortDescriptorsDidChange(const QString &columnIdentifier, bool ascending)
{
    const QVariantList entries = daysOff();
    std::vector<DMDaysOffEntry> sorted;
    for (const QVariant &entry : entries)
        sorted.emplace_back(entry.toMap());
    const auto less = [&columnIdentifier](const DMDaysOffEntry &a, const DMDaysOffEntry &b) {
        if (columnIdentifier == kDateColumn)
            return a.firstDate() < b.firstDate();
        if (columnIdentifier == kEndDateColumn)
            return a.lastDate() < b.lastDate();
        if (columnIdentifier == kDescriptionColumn)
            return QString::localeAwareCompare(a.description(), b.description()) < 0;
        return int(a.isYearly()) < int(b.isYearly());
    };
    std::stable_sort(sorted.begin(), sorted.end(), [&](const DMDaysOffEntry &a, const DMDaysOffEntry &b) {
        return ascending ? less(a, b) : less(b, a);
    });
    QVariantList result;
    for (const DMDaysOffEntry &entry : sorted)
        result.append(entry.dictionary());
    if (result != entries)
        storeDaysOff(result, "Sort Days Off");
    updateUI();
}

void DMProjectDaysOffSettingsController::daysOffExport()
{
    const auto project = this->project();
    if (!project)
        return;
    QWidget *window = document()->windowForSheet();
    DMModalUI::FilePanel panel;
    panel.allowedExtensions = {QStringLiteral("xml")};
    panel.directory = document()->folderForPanels();
    panel.proposedName = fileNameForTitle(QStringLiteral("%1-%2").arg(project->nameForExportedFiles(), DMLocalizedString("Days Off")),
                                          DMLocalizedString("Days Off"), QStringLiteral("xml"));
    const QString path = DMModalUI::instance().runSavePanel(panel, window);
    if (path.isEmpty())
        return;
    QString error;
    if (DMDaysOffFile::writeToFile(daysOff(), path, &error))
        return;
    DMModalUI::instance().presentError(DMLocalizedString("Unable to write the file"), DMExchangeFile::writeFailureText(error),
                                       window, DMLocalizedString("Export Days Off"));
}

void DMProjectDaysOffSettingsController::daysOffImport()
{
    if (!project())
        return;
    QWidget *window = document()->windowForSheet();
    DMModalUI::FilePanel panel;
    panel.allowedExtensions = {QStringLiteral("xml")};
    panel.directory = document()->folderForPanels();
    const QStringList paths = DMModalUI::instance().runOpenPanel(panel, window);
    if (paths.isEmpty())
        return;
    DMDaysOffFile::Contents contents;
    QString error;
    if (!DMReadGuard::run([&] { return DMDaysOffFile::readFromFile(paths.first(), &contents, &error); }, &error)) {
        DMModalUI::instance().presentError(DMLocalizedString("Not a Halcyra 2 days-off file."), error, window,
                                           DMLocalizedString("Import Days Off"));
        return;
    }
    // The file's days follow the project's own; equal entries are not merged.
    if (!contents.entries.isEmpty())
        storeDaysOff(daysOff() + contents.entries, "Import Days Off");
    updateUI();
    selectLastRow();
    if (contents.skippedCount > 0) {
        DMModalUI::Alert alert;
        alert.title = DMLocalizedString("Import Days Off");
        alert.buttons = {DMLocalizedString("OK")};
        alert.messageText = DMLocalizedString("Some days off were not imported.");
        alert.informativeText =
            DMLocalizedString("%1 of the file's entries are not valid days off (impossible dates, wrong types or "
                              "reversed ranges) and were skipped.")
                .arg(contents.skippedCount);
        DMModalUI::instance().beginSheet(alert, window, nullptr);
    }
}

// ---- The table ----

int DMProjectDaysOffSettingsController::outlineViewNumberOfChildrenOfItem(DMOutlineView *view, DMOutlineItem item)
{
    return view == m_daysOffTableView && !item ? int(daysOff().size()) : 0;
}

DMOutlineItem DMProjectDaysOffSettingsController::outlineViewChildOfItem(DMOutlineView *view, int index, DMOutlineItem item)
{
    return view == m_daysOffTableView && !item ? itemForRow(index) : nullptr;
}

QVariant DMProjectDaysOffSettingsController::outlineViewObjectValueForTableColumnByItem(DMOutlineView *view,
                                                                                       const QString &identifier,
                                                                                       DMOutlineItem item)
{
    const QVariantList entries = daysOff();
    const int row = rowForItem(item);
    if (view != m_daysOffTableView || row < 0 || row >= entries.size())
        return QVariant();
    const DMDaysOffEntry entry(entries.at(row).toMap());
    if (identifier == kDateColumn)
        return entry.firstDate();
    if (identifier == kEndDateColumn)
        return entry.lastDate();
    if (identifier == kDescriptionColumn)
        return entry.description();
    if (identifier == kRepeatsColumn)
        return entry.isYearly();
    return QVariant();
}

void DMProjectDaysOffSettingsController::outlineViewSetObjectValueForTableColumnByItem(DMOutlineView *view,
                                                                                      const QVariant &value,
                                                                                      const QString &identifier,
                                                                                      DMOutlineItem item)
{
    QVariantList entries = daysOff();
    const int row = rowForItem(item);
    if (view != m_daysOffTableView || !value.isValid() || row < 0 || row >= entries.size())
        return;
    DMDaysOffEntry entry(entries.at(row).toMap());
    if (identifier == kDateColumn) {
        entry.setFirstDate(value.toDate());
    } else if (identifier == kEndDateColumn) {
        // A dated range may not end before it starts: such a file would not read back.
        if (!entry.setLastDate(value.toDate()))
            DMBeep();
    } else if (identifier == kDescriptionColumn) {
        entry.setDescription(value.toString());
    } else if (identifier == kRepeatsColumn) {
        entry.setRepeats(value.toBool(), DMWallClock::today().year());
    }
    if (entry.dictionary() != entries.at(row).toMap()) {
        entries[row] = entry.dictionary();
        storeDaysOff(entries, "Change Day Off");
    }
    updateUI();
}

void DMProjectDaysOffSettingsController::outlineViewWillDisplayCellForTableColumnItem(DMOutlineView *view,
                                                                                     DMOutlineCell &cell,
                                                                                     const QString &identifier,
                                                                                     DMOutlineItem item)
{
    if (view != m_daysOffTableView)
        return;
    if (identifier == kRepeatsColumn) {
        cell.text.clear(); // the cell draws a check box
    } else if (identifier == kDateColumn || identifier == kEndDateColumn) {
        const QDate date = cell.objectValue.toDate();
        cell.text = date.isValid() ? QLocale().toString(date, DMDaysOffTableCell::dateFormat(isYearlyRow(rowForItem(item))))
                                   : QString();
    }
}

void DMProjectDaysOffSettingsController::outlineViewSelectionDidChange(DMOutlineView *view)
{
    if (view == m_daysOffTableView && m_daysOffRemoveButton)
        m_daysOffRemoveButton->setEnabled(view->selectedRow() >= 0);
}
