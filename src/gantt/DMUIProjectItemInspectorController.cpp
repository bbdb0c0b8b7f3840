#include "DMUIProjectItemInspectorController.h"

#include "DMColorWell.h"
#include "DMDurationSplit.h"
#include "DMInspectorForm.h"
#include "DMInspectorResourcesOutline.h"
#include "DMProject.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMProjectResource.h"
#include "DMProjectTask.h"
#include "DMUIProjectItem.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace {

void setDate(QDateTimeEdit *picker, const DMDate &date)
{
    if (picker && picker->dateTime() != date.NSDate())
        picker->setDateTime(date.NSDate());
}

DMDate dateOf(const QDateTimeEdit *picker)
{
    return DMDate::dateWithNSDate(picker->dateTime());
}

// A whole number typed into a field (blank is 0); nullopt for anything else.
std::optional<qint64> integerOf(const QLineEdit *field)
{
    const QString text = field->text().trimmed();
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

} // namespace

std::shared_ptr<DMProjectObject> DMUIProjectItemInspectorController::modelObjectOf(const DMProjectViewObject &object) const
{
    const auto *bar = dynamic_cast<const DMUIProjectItem *>(&object);
    return bar ? bar->representedObject() : nullptr;
}

std::shared_ptr<DMProjectItem> DMUIProjectItemInspectorController::editedItem() const
{
    return std::dynamic_pointer_cast<DMProjectItem>(liveModelObject());
}

// ---- Rows ----

void DMUIProjectItemInspectorController::addTitleField(DMInspectorForm &form)
{
    m_titleField = form.addTextField(QStringLiteral("Title:"), QStringLiteral("titleField"));
    connectControl(m_titleField);
}

void DMUIProjectItemInspectorController::addBeginDatePicker(DMInspectorForm &form, const QString &label, const QString &name)
{
    m_beginDatePicker = form.addDatePicker(label, name);
    connectControl(m_beginDatePicker);
}

void DMUIProjectItemInspectorController::addEndDatePicker(DMInspectorForm &form)
{
    m_endDatePicker = form.addDatePicker(QStringLiteral("End:"), QStringLiteral("endDatePicker"));
    connectControl(m_endDatePicker);
}

void DMUIProjectItemInspectorController::addDurationFields(DMInspectorForm &form)
{
    const auto fields = form.addDurationFields(QStringLiteral("Duration:"),
                                               {QStringLiteral("durationDaysField"), QStringLiteral("durationHoursField"),
                                                QStringLiteral("durationMinutesField")});
    for (int i = 0; i < 3; ++i) {
        m_durationFields[i] = fields[size_t(i)];
        connectControl(m_durationFields[i]);
    }
    groupTextFields({m_durationFields[0], m_durationFields[1], m_durationFields[2]});
}

void DMUIProjectItemInspectorController::addUseWorkingScheduleCheckBox(DMInspectorForm &form)
{
    m_useWorkingScheduleCheckBox =
        form.addCheckBox(QStringLiteral("Use working schedule"), QStringLiteral("useWorkingScheduleCheckBox"));
    connectControl(m_useWorkingScheduleCheckBox);
}

void DMUIProjectItemInspectorController::addFillColorWell(DMInspectorForm &form)
{
    m_fillColorWell = form.addColorWell(QStringLiteral("Color:"), QStringLiteral("fillColorWell"));
    connectControl(m_fillColorWell);
}

void DMUIProjectItemInspectorController::addProgress(DMInspectorForm &form)
{
    form.addProgress(QStringLiteral("Progress:"), QStringLiteral("progressSlider"), QStringLiteral("progressField"),
                     &m_progressSlider, &m_progressField);
    connectControl(m_progressSlider);
    connectControl(m_progressField);
}

void DMUIProjectItemInspectorController::addNotes(DMInspectorForm &form)
{
    m_notesTextView = form.addNotes(QStringLiteral("notesTextView"));
    connectControl(m_notesTextView);
}

void DMUIProjectItemInspectorController::addResourcesOutline(DMInspectorForm &form)
{
    m_resourcesOutlineView = new DMInspectorResourcesOutline(form.view());
    m_resourcesOutlineView->onResourceToggled = [this](const std::shared_ptr<DMProjectResource> &resource, bool assign) {
        resourceToggled(resource, assign);
    };
    form.addTab(QStringLiteral("Resources"), m_resourcesOutlineView);
}

// ---- Filling ----

void DMUIProjectItemInspectorController::refreshUI()
{
    const std::shared_ptr<DMProjectItem> item = editedItem();
    if (!item)
        return;
    setFieldText(m_titleField, item->title());
    setDate(m_beginDatePicker, item->beginDate());
    setDate(m_endDatePicker, item->endDate());
    if (m_durationFields[0]) {
        const DMDurationSplit split =
            DMDurationSplit::split(item->duration(), DMDurationSplit::dayLengthForItem(*item));
        setFieldText(m_durationFields[0], QString::number(split.days));
        setFieldText(m_durationFields[1], QString::number(split.hours));
        setFieldText(m_durationFields[2], QString::number(split.minutes));
    }
    if (m_useWorkingScheduleCheckBox)
        m_useWorkingScheduleCheckBox->setChecked(item->useWorkingSchedule());
    if (m_fillColorWell)
        m_fillColorWell->setColor(item->fillColor().toRgb());
    const int percent = int(std::lround(std::clamp(item->progress(), 0.0f, 1.0f) * 100.0f));
    if (m_progressSlider)
        m_progressSlider->setValue(percent);
    setFieldText(m_progressField, QString::number(percent));
    if (m_notesTextView) {
        const QString notes = item->attribute(kDMProjectItem_Notes).toString();
        if (m_notesTextView->toPlainText() != notes)
            m_notesTextView->setPlainText(notes);
    }
    if (m_resourcesOutlineView)
        m_resourcesOutlineView->reloadForTask(dynamic_cast<const DMProjectTask *>(item.get()));
}

// ---- Applying ----

DMDate DMUIProjectItemInspectorController::endDateKeepingDuration(const DMProjectItem &item, const DMDate &begin)
{
    return item.endDateWithBeginDateAndDurationWorkSlices(begin, item.duration());
}

void DMUIProjectItemInspectorController::applyDates(DMProjectItem &item, const DMDate &begin, const DMDate &end)
{
    applyChange("Change Dates", [&item, begin, end] { return item.validateAndSetBeginDateAndEndDate(begin, end); });
}

void DMUIProjectItemInspectorController::beginDatePicked(DMProjectItem &item, const DMDate &begin)
{
    if (begin.isNull() || begin.year() < 1970) {
        refuse();
        return;
    }
    applyDates(item, begin, endDateKeepingDuration(item, begin));
}

void DMUIProjectItemInspectorController::endDatePicked(DMProjectItem &item, const DMDate &end)
{
    // The end must come after the begin the item has (which the begin picker shows).
    if (end.isNull() || !(item.beginDate() < end)) {
        refuse();
        return;
    }
    applyDates(item, item.beginDate(), end);
}

void DMUIProjectItemInspectorController::durationEntered(DMProjectItem &item)
{
    const std::optional<qint64> days = integerOf(m_durationFields[0]);
    const std::optional<qint64> hours = integerOf(m_durationFields[1]);
    const std::optional<qint64> minutes = integerOf(m_durationFields[2]);
    const std::optional<qint64> duration =
        days && hours && minutes
            ? DMDurationSplit::join(*days, *hours, *minutes, DMDurationSplit::dayLengthForItem(item))
            : std::nullopt;
    if (!duration) {
        refuse();
        return;
    }
    const DMDate begin = item.beginDate();
    applyDates(item, begin, item.endDateWithBeginDateAndDurationWorkSlices(begin, *duration));
}

void DMUIProjectItemInspectorController::progressEntered(DMProjectItem &item)
{
    QString text = m_progressField->text().trimmed();
    if (text.endsWith(QLatin1Char('%')))
        text.chop(1);
    bool ok = false;
    const double percent = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(percent)) {
        refuse();
        return;
    }
    const float progress = float(std::clamp(percent, 0.0, 100.0) / 100.0);
    applyChange("Set Progress", [&item, progress] {
        item.setProgress(progress);
        return 0;
    });
}

void DMUIProjectItemInspectorController::resourceToggled(const std::shared_ptr<DMProjectResource> &resource, bool assign)
{
    const auto task = std::dynamic_pointer_cast<DMProjectTask>(editedItem());
    if (!task || !resource)
        return;
    const std::shared_ptr<DMProject> project = task->project();
    // The inspected bar may be the task's bar in this resource's row of the resource view, which
    // goes with the assignment: the inspector lets go of it first.
    const auto *bar = dynamic_cast<const DMUIProjectItem *>(editedObject().get());
    if (!assign && bar && bar->resourceViewResource() == resource.get())
        close();
    applyChangeInProject(project, assign ? "Assign Resource" : "Unassign Resource", [&task, &resource, assign] {
        if (assign)
            task->addResource(resource);
        else
            task->removeResource(resource);
        return 0;
    });
}

void DMUIProjectItemInspectorController::commonCallback(QObject *sender)
{
    const std::shared_ptr<DMProjectItem> item = editedItem();
    if (!item || !sender)
        return;
    if (sender == m_titleField) {
        const QString title = m_titleField->text();
        applyChange("Set Title", [&item, &title] {
            item->setTitle(title);
            return 0;
        });
    } else if (sender == m_beginDatePicker) {
        beginDatePicked(*item, dateOf(m_beginDatePicker));
    } else if (sender == m_endDatePicker) {
        endDatePicked(*item, dateOf(m_endDatePicker));
    } else if (sender == m_durationFields[0] || sender == m_durationFields[1] || sender == m_durationFields[2]) {
        durationEntered(*item);
    } else if (sender == m_useWorkingScheduleCheckBox) {
        const bool use = m_useWorkingScheduleCheckBox->isChecked();
        applyChange("Use Working Schedule", [&item, use] {
            item->setUseWorkingSchedule(use);
            return 0;
        });
    } else if (sender == m_fillColorWell) {
        const QColor color = m_fillColorWell->color().toRgb();
        applyChange("Set Color", [&item, &color] {
            item->setFillColor(color);
            return 0;
        });
    } else if (sender == m_progressSlider) {
        const float progress = float(m_progressSlider->value()) / 100.0f;
        applyChange("Set Progress", [&item, progress] {
            item->setProgress(progress);
            return 0;
        });
    } else if (sender == m_progressField) {
        progressEntered(*item);
    } else if (sender == m_notesTextView) {
        const QString notes = m_notesTextView->toPlainText();
        applyChange("Set Notes", [&item, &notes] {
            item->setAttribute(kDMProjectItem_Notes, notes);
            return 0;
        });
    }
}
