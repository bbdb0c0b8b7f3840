#pragma once

#include "DMDateTimeEdit.h"
#include "DMObservable.h"

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QSpinBox>

#include <functional>
#include <memory>
#include <vector>

class DMDate;
class DMProject;

// The project's own settings page: its title, its begin and end dates, its budget and currency
// unit, and the default duration of new tasks. Like the calendar pane it keeps no project data:
// every control is filled from the project, and every change the user makes is one named undo
// step. It follows changes made elsewhere, such as undo, while it has a document.
//
// Owned by its document, which sets itself with setDocument and clears it before it goes. The
// controls live in the container view; whoever places it in a window owns it from then on, and a
// container nobody placed goes with the controller.
class DMProjectSettingsController : public QObject
{
    Q_OBJECT

public:
    // What the page needs of its document; the default means "none".
    class Document
    {
    public:
        virtual ~Document() = default;
        virtual std::shared_ptr<DMProject> project() const { return nullptr; }
    };

    DMProjectSettingsController();
    ~DMProjectSettingsController() override;

    Document *document() const { return m_document; }
    void setDocument(Document *document);

    QWidget *containerView() const { return m_containerView; }

    // Every control from the project.
    void updateUI();

    // The controls' actions, run when the user has changed them. A refused value (no title, a
    // begin not before the end, a date before 1970, a default duration of nothing) beeps and
    // springs back.
    void titleCallback();
    void beginDateCallback();
    void endDateCallback();
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
    std::shared_ptr<DMProject> project() const;
    void observeProject();
    // Makes the change one undo step under the action's name, then shows the project again.
    void apply(const char *actionName, const std::function<void(DMProject &)> &change);
    // The date a picker holds; null when it is no date the project may take.
    static DMDate pickedDate(const DMDateTimeEdit *picker);

    Document *m_document = nullptr;
    std::weak_ptr<DMProject> m_observedProject;
    std::vector<DMObservation> m_observations;

    QPointer<QWidget> m_containerView;
    QPointer<QLineEdit> m_titleField;
    QPointer<DMDateTimeEdit> m_beginDatePicker;
    QPointer<DMDateTimeEdit> m_endDatePicker;
    QPointer<QDoubleSpinBox> m_budgetField;
    QPointer<QLineEdit> m_currencyUnitField;
    QPointer<QSpinBox> m_durationFields[3]; // days, hours, minutes
};
