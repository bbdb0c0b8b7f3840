#pragma once

#include "DMDateTimeEdit.h"
#include "DMProjectSettingsPane.h"

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPointer>
#include <QSpinBox>

#include <functional>

class DMDate;
class DMProject;

// The project's own settings page: its title, its begin and end dates, its budget and currency
// unit, and the default duration of new tasks. Every change the user makes is one named undo
// step.
class DMProjectSettingsController : public DMProjectSettingsPane
{
    Q_OBJECT

public:
    DMProjectSettingsController();
    ~DMProjectSettingsController() override;

    void updateUI() override;

    // The controls' actions, run when the user has changed them. A refused value (no title, a
    // begin not before the end, a date before 1970, a default duration of nothing) beeps and
    // springs back.
    void titleCallback();
    void dateCallback(DMDateTimeEdit *picker);
    void budgetCallback();
    void currencyUnitCallback();
    void defaultTaskDurationCallback();

    // The controls, for tests.
    QLineEdit *titleField() const { return m_titleField; }
    DMDateTimeEdit *beginDatePicker() const { return m_beginDatePicker; }
    DMDateTimeEdit *endDatePicker() const { return m_endDatePicker; }
    QDoubleSpinBox *budgetField() const { return m_budgetField; }
    QLineEdit *currencyUnitField() const { return m_currencyUnitField; }
    QSpinBox *defaultDurationDaysField() const { return m_durationFields[0]; }
    QSpinBox *defaultDurationHoursField() const { return m_durationFields[1]; }
    QSpinBox *defaultDurationMinutesField() const { return m_durationFields[2]; }

private:
    void buildContainerView();
    // Makes the change one undo step under the action's name, then shows the project again.
    void apply(const char *actionName, const std::function<void(DMProject &)> &change);
    // The date a picker holds; null when it is no date the project may take.
    static DMDate pickedDate(const DMDateTimeEdit *picker);

    QPointer<QLineEdit> m_titleField;
    QPointer<DMDateTimeEdit> m_beginDatePicker;
    QPointer<DMDateTimeEdit> m_endDatePicker;
    QPointer<QDoubleSpinBox> m_budgetField;
    QPointer<QLineEdit> m_currencyUnitField;
    QPointer<QSpinBox> m_durationFields[3]; // days, hours, minutes
};
