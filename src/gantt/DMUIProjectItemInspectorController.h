#pragma once

#include "DMUIProjectViewObjectEditorController.h"

class DMColorWell;
class DMDate;
class DMInspectorForm;
class DMInspectorResourcesOutline;
class DMProjectResource;
class DMProjectItem;
class QCheckBox;
class QDateTimeEdit;
class QLineEdit;
class QPlainTextEdit;
class QSlider;

// What the task, milestone, process and event inspectors share: the controls of an item's title,
// dates, duration, working schedule, fill colour, progress and notes, how they are filled from
// the item behind the inspected bar and how each writes back. Each inspector adds the rows it
// shows (a control it lacks stays null) and the controls of its own.
//
// Dates go through the model's validated setters; a begin date before 1970, an end date not after
// the begin and a duration the item cannot hold are refused before the model is asked.
class DMUIProjectItemInspectorController : public DMUIProjectViewObjectEditorController
{
    Q_OBJECT

public:
    QLineEdit *titleField() const { return m_titleField; }
    // The milestone's only date picker is its begin date picker.
    QDateTimeEdit *beginDatePicker() const { return m_beginDatePicker; }
    QDateTimeEdit *endDatePicker() const { return m_endDatePicker; }
    QLineEdit *durationDaysField() const { return m_durationFields[0]; }
    QLineEdit *durationHoursField() const { return m_durationFields[1]; }
    QLineEdit *durationMinutesField() const { return m_durationFields[2]; }
    QCheckBox *useWorkingScheduleCheckBox() const { return m_useWorkingScheduleCheckBox; }
    DMColorWell *fillColorWell() const { return m_fillColorWell; }
    QSlider *progressSlider() const { return m_progressSlider; }
    QLineEdit *progressField() const { return m_progressField; }
    QPlainTextEdit *notesTextView() const { return m_notesTextView; }
    DMInspectorResourcesOutline *resourcesOutlineView() const { return m_resourcesOutlineView; }

    void refreshUI() override;
    void commonCallback(QObject *sender) override;

protected:
    using DMUIProjectViewObjectEditorController::DMUIProjectViewObjectEditorController;

    std::shared_ptr<DMProjectObject> modelObjectOf(const DMProjectViewObject &object) const override;
    // The inspected bar's item while it is part of a valid project; else null.
    std::shared_ptr<DMProjectItem> editedItem() const;

    // The rows of the shared controls, each made, kept and connected.
    void addTitleField(DMInspectorForm &form);
    void addBeginDatePicker(DMInspectorForm &form, const QString &label, const QString &name);
    void addEndDatePicker(DMInspectorForm &form);
    void addDurationFields(DMInspectorForm &form);
    void addUseWorkingScheduleCheckBox(DMInspectorForm &form);
    void addFillColorWell(DMInspectorForm &form);
    void addProgress(DMInspectorForm &form);
    void addNotes(DMInspectorForm &form);
    // The resources tree of tasks and milestones, as a tab.
    void addResourcesOutline(DMInspectorForm &form);

    // The begin picker's date: refused before 1970, else the item moves keeping its duration.
    virtual void beginDatePicked(DMProjectItem &item, const DMDate &begin);
    // The dates of a picked begin, keeping the item's duration.
    static DMDate endDateKeepingDuration(const DMProjectItem &item, const DMDate &begin);
    void applyDates(DMProjectItem &item, const DMDate &begin, const DMDate &end);

private:
    void endDatePicked(DMProjectItem &item, const DMDate &end);
    void durationEntered(DMProjectItem &item);
    void progressEntered(DMProjectItem &item);
    void resourceToggled(const std::shared_ptr<DMProjectResource> &resource, bool assign);

    QLineEdit *m_titleField = nullptr;
    QDateTimeEdit *m_beginDatePicker = nullptr;
    QDateTimeEdit *m_endDatePicker = nullptr;
    QLineEdit *m_durationFields[3] = {nullptr, nullptr, nullptr};
    QCheckBox *m_useWorkingScheduleCheckBox = nullptr;
    DMColorWell *m_fillColorWell = nullptr;
    QSlider *m_progressSlider = nullptr;
    QLineEdit *m_progressField = nullptr;
    QPlainTextEdit *m_notesTextView = nullptr;
    DMInspectorResourcesOutline *m_resourcesOutlineView = nullptr;
};
