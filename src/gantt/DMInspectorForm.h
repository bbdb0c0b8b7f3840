#pragma once

#include <QString>
#include <QStringList>

#include <array>

class DMColorWell;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QFormLayout;
class QLineEdit;
class QPlainTextEdit;
class QSlider;
class QTabWidget;
class QWidget;

// Lays out an inspector's view: labelled rows of controls, then optional tabs below them. Every
// control gets the object name given (its outlet name), by which tests and the inspector find it.
// The view is made with the form and handed over with takeView(); until then the form owns it.
class DMInspectorForm
{
public:
    explicit DMInspectorForm(const QString &viewName);
    ~DMInspectorForm();
    DMInspectorForm(const DMInspectorForm &) = delete;
    DMInspectorForm &operator=(const DMInspectorForm &) = delete;

    QWidget *takeView();

    QLineEdit *addTextField(const QString &label, const QString &name);
    // A date picker with a button that opens the calendar panel on it; both sit in the picker's
    // parent widget, which enables and disables them together.
    QDateTimeEdit *addDatePicker(const QString &label, const QString &name);
    // Days, hours and minutes fields on one row.
    std::array<QLineEdit *, 3> addDurationFields(const QString &label, const std::array<QString, 3> &names);
    QCheckBox *addCheckBox(const QString &title, const QString &name);
    DMColorWell *addColorWell(const QString &label, const QString &name);
    QComboBox *addPopup(const QString &label, const QString &name, const QStringList &titles);
    // A slider from 0 to 100 and a field of the percentage.
    void addProgress(const QString &label, const QString &sliderName, const QString &fieldName, QSlider **slider,
                     QLineEdit **field);
    // Any widget on a row of its own (the label may be empty).
    void addRow(const QString &label, QWidget *widget);
    QPlainTextEdit *addNotes(const QString &name);
    // A tab below the rows holding the page; the tabs are made with the first one.
    void addTab(const QString &title, QWidget *page);
    // The parent for widgets made by hand before addRow or addTab.
    QWidget *view() const { return m_view; }

private:
    QWidget *m_view;
    QFormLayout *m_form;
    QTabWidget *m_tabs = nullptr;
};
