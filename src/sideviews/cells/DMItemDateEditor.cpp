#include "DMItemDateEditor.h"

#include "DMBeep.h"
#include "DMDateCellPreferences.h"
#include "DMDatePickerCell.h"
#include "DMDateToNSDateTransformer.h"
#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "DMOutlineView.h"
#include "DMProjectItem.h"
#include "DMProjectKeys.h"
#include "DMRescheduleProcessAlert.h"
#include "DMScheduler.h"
#include "DMValidation.h"

#include <QTimer>

DMItemDateEditor::DMItemDateEditor(std::function<void()> didApply) : m_didApply(std::move(didApply)) {}

DMItemDateEditor::~DMItemDateEditor()
{
    close();
}

QVariant DMItemDateEditor::platformDate(const DMDate &date)
{
    return DMDateToNSDateTransformer().transformedValue(QVariant::fromValue(date));
}

DMDate DMItemDateEditor::dateFromPlatformDate(const QVariant &value)
{
    return DMDateToNSDateTransformer().reverseTransformedValue(value).value<DMDate>();
}

bool DMItemDateEditor::open(DMOutlineView *view, const QString &column, const std::shared_ptr<DMProjectItem> &item,
                            bool editsEnd)
{
    close();
    if (!view || !item)
        return false;
    const int row = view->rowForItem(item.get());
    const QRect frame = view->frameOfCellAtColumnRow(view->columnWithIdentifier(column), row);
    if (row < 0 || frame.isEmpty())
        return false;
    auto *editor = new DMDatePickerCellEditor(frame.translated(-view->contentOffset()), view->viewport());
    if (auto *cell = qobject_cast<DMDatePickerCell *>(view->dataCellForTableColumn(column))) {
        cell->setDatePickerElements(DMDateCellPreferences_datePickerElements());
        editor->setAttributesFromCell(*cell);
    }
    m_editor = editor;
    m_view = view;
    m_column = column;
    m_item = item;
    m_editsEnd = editsEnd;
    showItemDate();
    editor->setDelegate(this);
    // Bound to the item's validated date: an undo or a push while it is open shows in it.
    m_observation = item->observe(editsEnd ? DMProjectKey::validatedEndDate : DMProjectKey::validatedBeginDate,
                                  [this](const DMChange &, DMObservable *) { showItemDate(); });
    editor->show();
    editor->setFocus(Qt::OtherFocusReason);
    return true;
}

void DMItemDateEditor::showItemDate()
{
    const auto item = m_item.lock();
    if (m_editor && item)
        m_editor->setDateTime(platformDate(m_editsEnd ? item->validatedEndDate() : item->validatedBeginDate()).toDateTime());
}

void DMItemDateEditor::close()
{
    m_observation.reset();
    m_item.reset();
    if (DMDatePickerCellEditor *editor = m_editor) {
        m_editor = nullptr;
        editor->setDelegate(nullptr);
        editor->hide();
        editor->deleteLater();
    }
}

void DMItemDateEditor::datePickerCellEditorDidFinishEditing(DMDatePickerCellEditor *editor)
{
    if (!editor || editor != m_editor)
        return;
    const std::shared_ptr<DMProjectItem> item = m_item.lock();
    const bool editsEnd = m_editsEnd;
    m_observation.reset();
    m_item.reset();
    m_editor = nullptr; // it removes itself
    if (!item || !item->isAttached())
        return;
    // The date the editor holds is applied once, validated; a refusal leaves the item as it was.
    const DMDate date = dateFromPlatformDate(editor->dateTime());
    const int result = date.isNull() ? kDMValidation_Before1970
                                     : (editsEnd ? item->setValidatedEndDate(date) : setValidatedBeginDate(*item, date));
    if (result != kDMValidation_OK)
        DMBeep();
    if (m_didApply)
        m_didApply();
    // Tab and Shift+Tab go on along the row once the list has the keyboard back, not from inside
    // the editor's loss of focus.
    if (editor->endingMove() != DMDatePickerCellEditor::Move::None && m_view) {
        const bool forward = editor->endingMove() == DMDatePickerCellEditor::Move::NextCell;
        QTimer::singleShot(0, m_view.data(), [view = m_view, item = std::weak_ptr<DMProjectItem>(item), column = m_column, forward] {
            if (const auto shown = item.lock(); shown && view)
                view->editAdjacentCellOfItem(shown.get(), column, forward);
        });
    }
}

int DMItemDateEditor::setValidatedBeginDate(DMProjectItem &item, const DMDate &date)
{
    auto mode = DMScheduler::RescheduleMode::SetBeginDate;
    if (item.kind() == kDMProjectItem_Kind_Process && !date.isNull() && date != item.beginDate()
        && !(date < DMValidation_EarliestDate())) {
        if (DMModalUI::instance().runAlert(DMRescheduleProcessAlert()) == DMModalUI::DefaultReturn)
            mode = DMScheduler::RescheduleMode::RescheduleProcess;
    }
    return item.setValidatedBeginDate(date, mode);
}
