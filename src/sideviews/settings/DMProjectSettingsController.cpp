#include "DMProjectSettingsController.h"

#include "DMBeep.h"
#include "DMDatePickerElements.h"
#include "DMDictionaryAccess.h"
#include "DMItemDateEditor.h"
#include "DMLocalizedString.h"
#include "DMProject.h"
#include "DMProjectKeys.h"
#include "DMProjectUndoStep.h"
#include "DMValidation.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

const QString *const kDurationKeys[] = {&kDMProject_Settings_DefaultTaskDuration_Days,
                                        &kDMProject_Settings_DefaultTaskDuration_Hours,
                                        &kDMProject_Settings_DefaultTaskDuration_Minutes};

// The largest budget the field takes: far above any plan, well inside what a float stores.
constexpr double kMaximumBudget = 1e12;

} // namespace

DMProjectSettingsController::DMProjectSettingsController()
{
    buildContainerView();
}

DMProjectSettingsController::~DMProjectSettingsController() = default;

// ---- Controls ----

void DMProjectSettingsController::buildContainerView()
{
    auto *container = new QWidget;
    container->setObjectName(QStringLiteral("projectSettingsView"));
    setContainerView(container);
    auto *layout = new QVBoxLayout(container);

    auto *group = new QGroupBox(DMLocalizedString("Project"), container);
    auto *form = new QFormLayout(group);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);

    m_titleField = new QLineEdit(group);
    m_titleField->setObjectName(QStringLiteral("projectTitleField"));
    m_titleField->setMinimumWidth(320);
    connect(m_titleField, &QLineEdit::editingFinished, this, &DMProjectSettingsController::titleCallback);
    form->addRow(DMLocalizedString("Title:"), m_titleField);

    // Without keyboard tracking a picker reports a typed date once, when its editing ends, and
    // each arrow step at once: one undo step each.
    const QString dateFormat = DMDatePickerElements_displayFormat(
        kDMDatePickerElement_YearMonthDay | kDMDatePickerElement_HourMinute, QLocale());
    const auto makePicker = [&] {
        auto *picker = new DMDateTimeEdit(group);
        picker->setDisplayFormat(dateFormat);
        picker->setCalendarPopup(true);
        picker->setKeyboardTracking(false);
        picker->setMinimumDateTime(DMItemDateEditor::platformDate(DMValidation_EarliestDate()).toDateTime());
        connect(picker, &QDateTimeEdit::dateTimeChanged, this, [this, picker] { dateCallback(picker); });
        return picker;
    };
    m_beginDatePicker = makePicker();
    m_endDatePicker = makePicker();
    form->addRow(DMLocalizedString("Begins:"), m_beginDatePicker);
    form->addRow(DMLocalizedString("Ends:"), m_endDatePicker);

    m_budgetField = new QDoubleSpinBox(group);
    m_budgetField->setRange(0.0, kMaximumBudget);
    m_budgetField->setDecimals(2);
    m_budgetField->setGroupSeparatorShown(true);
    m_budgetField->setKeyboardTracking(false);
    m_budgetField->setMinimumWidth(180);
    connect(m_budgetField, &QDoubleSpinBox::valueChanged, this, &DMProjectSettingsController::budgetCallback);
    form->addRow(DMLocalizedString("Budget:"), m_budgetField);

    m_currencyUnitField = new QLineEdit(group);
    m_currencyUnitField->setMaximumWidth(90);
    connect(m_currencyUnitField, &QLineEdit::editingFinished, this, &DMProjectSettingsController::currencyUnitCallback);
    form->addRow(DMLocalizedString("Currency unit:"), m_currencyUnitField);

    // New tasks last this long: days count working days when the task uses the working schedule.
    auto *duration = new QWidget(group);
    auto *durationLayout = new QHBoxLayout(duration);
    durationLayout->setContentsMargins(0, 0, 0, 0);
    const struct
    {
        int maximum;
        const char *unit;
    } parts[] = {{999, "days"}, {23, "hours"}, {59, "min"}};
    for (int i = 0; i < 3; ++i) {
        auto *field = new QSpinBox(duration);
        field->setRange(0, parts[i].maximum);
        field->setKeyboardTracking(false);
        connect(field, &QSpinBox::valueChanged, this, &DMProjectSettingsController::defaultTaskDurationCallback);
        m_durationFields[i] = field;
        durationLayout->addWidget(field);
        durationLayout->addWidget(new QLabel(DMLocalizedString(parts[i].unit), duration));
    }
    durationLayout->addStretch(1);
    form->addRow(DMLocalizedString("New tasks last:"), duration);

    layout->addWidget(group);
    layout->addStretch(1);
}

void DMProjectSettingsController::updateUI()
{
    // Undo, redo, imports and the other views change these behind the page's back.
    QStringList keyPaths{DMProjectKey::title, DMProjectKey::beginDate, DMProjectKey::endDate};
    for (const QString &key : {kDMProject_Settings_Budget, kDMProject_Settings_CurrencyUnit,
                               kDMProject_Settings_DefaultTaskDuration_Days, kDMProject_Settings_DefaultTaskDuration_Hours,
                               kDMProject_Settings_DefaultTaskDuration_Minutes})
        keyPaths.append(DMProjectKey::attributes + QLatin1Char('.') + key);
    observeProject(keyPaths);
    if (!containerView())
        return;
    const auto project = this->project();
    containerView()->setEnabled(project != nullptr);
    if (!project)
        return;
    const QVariantMap &settings = project->attributes();
    // A field being typed into keeps its text until its editing ends.
    if (!m_titleField->hasFocus() || !m_titleField->isModified()) {
        m_titleField->setText(project->title());
        m_titleField->setModified(false);
    }
    const auto showDate = [](DMDateTimeEdit *picker, const DMDate &date) {
        const QSignalBlocker blocker(picker);
        picker->setDateTime(DMItemDateEditor::platformDate(date).toDateTime());
    };
    showDate(m_beginDatePicker, project->beginDate());
    showDate(m_endDatePicker, project->endDate());
    const QString unit = stringForKey(settings, kDMProject_Settings_CurrencyUnit);
    {
        const QSignalBlocker blocker(m_budgetField);
        m_budgetField->setPrefix(unit.trimmed().isEmpty() ? QString() : unit.trimmed() + QLatin1Char(' '));
        m_budgetField->setValue(doubleForKey(settings, kDMProject_Settings_Budget));
    }
    if (!m_currencyUnitField->hasFocus() || !m_currencyUnitField->isModified()) {
        m_currencyUnitField->setText(unit);
        m_currencyUnitField->setModified(false);
    }
    for (int i = 0; i < 3; ++i) {
        const QSignalBlocker blocker(m_durationFields[i]);
        m_durationFields[i]->setValue(integerForKey(settings, *kDurationKeys[i]));
    }
}

// ---- Actions ----

void DMProjectSettingsController::apply(const char *actionName, const std::function<void(DMProject &)> &change)
{
    if (const auto project = this->project())
        DMProject_applyAsOneUndoStep(project, DMLocalizedString(actionName), [&] { change(*project); });
    updateUI();
}

DMDate DMProjectSettingsController::pickedDate(const DMDateTimeEdit *picker)
{
    const DMDate date = DMItemDateEditor::dateFromPlatformDate(picker->dateTime());
    return date.isNull() || date < DMValidation_EarliestDate() ? DMDate() : date;
}

void DMProjectSettingsController::titleCallback()
{
    const auto project = this->project();
    if (!project || !m_titleField->isModified())
        return;
    m_titleField->setModified(false);
    const QString title = m_titleField->text().trimmed();
    if (title == project->title())
        return updateUI();
    // A project always has a title: the reports, exports and file names show it.
    if (title.isEmpty()) {
        DMBeep();
        return updateUI();
    }
    apply("Change Title", [&title](DMProject &p) { p.setTitle(title); });
}

void DMProjectSettingsController::dateCallback(DMDateTimeEdit *picker)
{
    const auto project = this->project();
    if (!project)
        return;
    const bool isEnd = picker == m_endDatePicker;
    const DMDate date = pickedDate(picker);
    if (!date.isNull() && date == (isEnd ? project->endDate() : project->beginDate()))
        return;
    const DMDate begin = isEnd ? project->beginDate() : date;
    const DMDate end = isEnd ? date : project->endDate();
    if (date.isNull() || (!begin.isNull() && !end.isNull() && !(begin < end))) {
        DMBeep();
        return updateUI();
    }
    if (isEnd)
        apply("Change End Date", [&date](DMProject &p) { p.setEndDate(date); });
    else
        apply("Change Begin Date", [&date](DMProject &p) { p.setBeginDate(date); });
}

void DMProjectSettingsController::budgetCallback()
{
    const auto project = this->project();
    if (!project)
        return;
    const double budget = m_budgetField->value();
    if (budget == doubleForKey(project->attributes(), kDMProject_Settings_Budget))
        return;
    apply("Change Budget", [budget](DMProject &p) { p.setAttribute(kDMProject_Settings_Budget, budget); });
}

void DMProjectSettingsController::currencyUnitCallback()
{
    const auto project = this->project();
    if (!project || !m_currencyUnitField->isModified())
        return;
    m_currencyUnitField->setModified(false);
    const QString unit = m_currencyUnitField->text().trimmed();
    if (unit == stringForKey(project->attributes(), kDMProject_Settings_CurrencyUnit))
        return updateUI();
    apply("Change Currency Unit", [&unit](DMProject &p) { p.setAttribute(kDMProject_Settings_CurrencyUnit, unit); });
}

void DMProjectSettingsController::defaultTaskDurationCallback()
{
    const auto project = this->project();
    if (!project)
        return;
    int values[3];
    bool changed = false;
    for (int i = 0; i < 3; ++i) {
        values[i] = m_durationFields[i]->value();
        changed = changed || values[i] != integerForKey(project->attributes(), *kDurationKeys[i]);
    }
    if (!changed)
        return;
    // New tasks of no length would be bars nobody sees.
    if (values[0] == 0 && values[1] == 0 && values[2] == 0) {
        DMBeep();
        return updateUI();
    }
    apply("Change Default Task Duration", [&values](DMProject &p) {
        for (int i = 0; i < 3; ++i)
            p.setAttribute(*kDurationKeys[i], values[i]);
    });
}
