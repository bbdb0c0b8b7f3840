#include "DMDatePickerCell.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSpinBox>

namespace {

constexpr int kTextInset = 3;

QDateTime dateOf(const QVariant &value)
{
    return value.typeId() == QMetaType::QDateTime ? value.toDateTime() : QDateTime();
}

} // namespace

DMDatePickerCell::DMDatePickerCell(QObject *parent) : QStyledItemDelegate(parent), m_font(QApplication::font()) {}

void DMDatePickerCell::setDatePickerElements(int elements)
{
    if (elements != m_elements)
        m_displayFormat = QString();
    m_elements = elements;
}

void DMDatePickerCell::setLocale(const QLocale &locale)
{
    if (locale != m_locale)
        m_displayFormat = QString();
    m_locale = locale;
}

QString DMDatePickerCell::displayFormat() const
{
    if (m_displayFormat.isNull())
        m_displayFormat = DMDatePickerElements_displayFormat(m_elements, m_locale);
    return m_displayFormat;
}

void DMDatePickerCell::setUpDateTimeEdit(QDateTimeEdit *edit) const
{
    if (!edit)
        return;
    edit->setLocale(m_locale);
    edit->setDisplayFormat(displayFormat());
    edit->setFont(m_font);
    edit->setButtonSymbols(m_style == kDMDatePickerStyle_TextFieldAndStepper ? QAbstractSpinBox::UpDownArrows
                                                                              : QAbstractSpinBox::NoButtons);
    edit->setCalendarPopup(m_style == kDMDatePickerStyle_ClockAndCalendar);
    if (m_minDate.isValid())
        edit->setMinimumDateTime(m_minDate);
    if (m_maxDate.isValid())
        edit->setMaximumDateTime(m_maxDate);
}

bool DMDatePickerCell::showsStepper(const QStyleOptionViewItem &option) const
{
    return m_style == kDMDatePickerStyle_TextFieldAndStepper && !(option.state & QStyle::State_ReadOnly);
}

void DMDatePickerCell::drawDate(QPainter *painter, const QStyleOptionViewItem &option, const QVariant &value) const
{
    const QDateTime date = dateOf(value);
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    QRect textRect = option.rect.adjusted(kTextInset, 0, -kTextInset, 0);
    if (showsStepper(option)) {
        QStyleOptionSpinBox spin;
        spin.QStyleOption::operator=(option);
        spin.frame = false;
        spin.buttonSymbols = QAbstractSpinBox::UpDownArrows;
        spin.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
        spin.stepEnabled = date.isValid() ? QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled
                                          : QAbstractSpinBox::StepNone;
        style->drawComplexControl(QStyle::CC_SpinBox, &spin, painter, widget);
        // Styles place the edit field as in a widget of their own, from (0, 0).
        spin.rect.moveTopLeft(QPoint(0, 0));
        textRect = style->subControlRect(QStyle::CC_SpinBox, &spin, QStyle::SC_SpinBoxEditField, widget)
                       .translated(option.rect.topLeft())
                       .adjusted(kTextInset, 0, 0, 0);
    }
    if (!date.isValid())
        return;
    painter->save();
    painter->setFont(m_font);
    const bool selected = option.state & QStyle::State_Selected;
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    // A date wider than its cell ends in "…" rather than in the middle of a number.
    const QString text = QFontMetrics(m_font).elidedText(m_locale.toString(date, displayFormat()), Qt::ElideRight,
                                                         textRect.width());
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter->restore();
}

QString DMDatePickerCell::displayText(const QVariant &value, const QLocale &) const
{
    const QDateTime date = dateOf(value);
    return m_drawsBackground || !date.isValid() ? QString() : m_locale.toString(date, displayFormat());
}

void DMDatePickerCell::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // The row's background, selection and focus as any cell has them, without the value's text.
    QStyleOptionViewItem background = option;
    m_drawsBackground = true; // the text would be formatted only to be cleared
    initStyleOption(&background, index);
    m_drawsBackground = false;
    background.text.clear();
    background.icon = QIcon();
    const QWidget *widget = option.widget;
    (widget ? widget->style() : QApplication::style())->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);
    drawDate(painter, option, index.data(Qt::EditRole));
}

QSize DMDatePickerCell::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QFontMetrics metrics(m_font);
    const QDateTime date = dateOf(index.data(Qt::EditRole));
    const QString text = m_locale.toString(date.isValid() ? date : QDateTime(QDate(2000, 12, 28), QTime(23, 59, 59)),
                                           displayFormat());
    int width = metrics.horizontalAdvance(text) + 2 * kTextInset;
    if (showsStepper(option)) {
        const QWidget *widget = option.widget;
        width += (widget ? widget->style() : QApplication::style())->pixelMetric(QStyle::PM_ScrollBarExtent, &option, widget);
    }
    return {width, metrics.height() + 2 * kTextInset};
}
