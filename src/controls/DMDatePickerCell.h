#pragma once

#include "DMDatePickerElements.h"

#include <QDateTime>
#include <QFont>
#include <QLocale>
#include <QStyledItemDelegate>

class QDateTimeEdit;

// How a date picker looks: text with stepper arrows, a clock and calendar, or text alone.
enum DMDatePickerStyle : int {
    kDMDatePickerStyle_TextFieldAndStepper = 0,
    kDMDatePickerStyle_ClockAndCalendar = 1,
    kDMDatePickerStyle_TextField = 2,
};

// A table cell that draws its date (a QDateTime in the item's edit role) as a date picker shows
// it, and offers no editor of its own: a list that edits it lays a DMDatePickerCellEditor over
// the cell, which takes the cell's attributes. Dates are wall-clock times, without time zone.
class DMDatePickerCell : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit DMDatePickerCell(QObject *parent = nullptr);

    int datePickerElements() const { return m_elements; }
    void setDatePickerElements(int elements);
    int datePickerStyle() const { return m_style; }
    void setDatePickerStyle(int style) { m_style = style; }
    QFont font() const { return m_font; }
    void setFont(const QFont &font) { m_font = font; }
    QLocale locale() const { return m_locale; }
    void setLocale(const QLocale &locale);
    // Invalid: no limit.
    QDateTime minDate() const { return m_minDate; }
    void setMinDate(const QDateTime &date) { m_minDate = date; }
    QDateTime maxDate() const { return m_maxDate; }
    void setMaxDate(const QDateTime &date) { m_maxDate = date; }

    // Worked out from the elements and the locale once, not for every cell drawn.
    QString displayFormat() const;
    // Gives the edit this cell's elements, style, font, locale and limits.
    void setUpDateTimeEdit(QDateTimeEdit *edit) const;
    // The date as the picker shows it; a value that is no valid date shows nothing. A read-only
    // cell (State_ReadOnly: a printed one) has no stepper, whatever its style.
    void drawDate(QPainter *painter, const QStyleOptionViewItem &option, const QVariant &value) const;

    // The date as the picker shows it.
    QString displayText(const QVariant &value, const QLocale &locale) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return nullptr;
    }

private:
    bool showsStepper(const QStyleOptionViewItem &option) const;

    int m_elements = kDMDatePickerElement_YearMonthDay | kDMDatePickerElement_HourMinute;
    int m_style = kDMDatePickerStyle_TextFieldAndStepper;
    QFont m_font;
    QLocale m_locale;
    QDateTime m_minDate;
    QDateTime m_maxDate;
    mutable QString m_displayFormat; // null until asked after a change of elements or locale
    mutable bool m_drawsBackground = false; // the background is drawn without the value's text
};
