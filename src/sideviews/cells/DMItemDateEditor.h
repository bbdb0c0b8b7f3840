#pragma once

#include "DMDatePickerCellEditor.h"
#include "DMObservable.h"

#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

class DMDate;
class DMOutlineView;
class DMProjectItem;

// The in-place date editor of the item lists (the project outline, the task and event lists):
// a date picker laid over an item's begin or end date cell, bound to the item's validated date.
// While it is open an undo or a push of the item shows in it; when it finishes, the date it
// holds is applied once through the validated key, and a refusal beeps and changes nothing.
// Finished with Tab or Shift+Tab, it hands the keyboard on to the row's next or previous cell.
class DMItemDateEditor : public DMDatePickerCellEditorDelegate
{
public:
    // didApply runs after a finished edit was applied (or refused), for the list to redraw.
    explicit DMItemDateEditor(std::function<void()> didApply = {});
    ~DMItemDateEditor() override;
    DMItemDateEditor(const DMItemDateEditor &) = delete;
    DMItemDateEditor &operator=(const DMItemDateEditor &) = delete;

    // Opens over the cell of the column in the item's row; false (nothing opened) when the row
    // or the column is not shown.
    bool open(DMOutlineView *view, const QString &column, const std::shared_ptr<DMProjectItem> &item, bool editsEnd);
    void close();
    DMDatePickerCellEditor *editor() const { return m_editor; }

    // A model date as the date cells show it, and back (null when the value is no date).
    static QVariant platformDate(const DMDate &date);
    static DMDate dateFromPlatformDate(const QVariant &value);
    // The item's validated begin date; for a process the user first chooses whether its
    // subitems move with it ("Reschedule") or only its begin moves.
    static int setValidatedBeginDate(DMProjectItem &item, const DMDate &date);

    void datePickerCellEditorDidFinishEditing(DMDatePickerCellEditor *editor) override;

private:
    void showItemDate();

    std::function<void()> m_didApply;
    QPointer<DMDatePickerCellEditor> m_editor;
    QPointer<DMOutlineView> m_view;
    QString m_column;
    std::weak_ptr<DMProjectItem> m_item;
    bool m_editsEnd = false;
    DMObservation m_observation;
};
