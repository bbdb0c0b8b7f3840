#include "DMDaysOffTableCell.h"

#include "DMDaysOffEntry.h"
#include "DMOutlineView.h"

#include <QApplication>
#include <QDateEdit>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>

DMDaysOffTableCell::DMDaysOffTableCell(DMOutlineView *outlineView, Kind kind, std::function<bool(int row)> isYearlyRow)
    : DMOutlineViewItemDelegate(outlineView), m_outlineView(outlineView), m_kind(kind),
      m_isYearlyRow(std::move(isYearlyRow))
{
}

QString DMDaysOffTableCell::dateFormat(bool yearly, const QLocale &locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!yearly)
        return format;
    // The year goes with the separator that joins it to the rest ("M/d/yy", "yyyy-MM-dd").
    static const QRegularExpression leadingYear(QStringLiteral("^y+[^dM]*"));
    static const QRegularExpression year(QStringLiteral("[^dMy]*y+"));
    format.remove(format.startsWith(QLatin1Char('y')) ? leadingYear : year);
    return format;
}

QRect DMDaysOffTableCell::checkBoxRect(const QRect &cellRect, const QWidget *widget)
{
    const QStyle *style = widget ? widget->style() : QApplication::style();
    const int width = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget);
    const int height = style->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, widget);
    QRect box(0, 0, width, height);
    box.moveCenter(cellRect.center());
    return box;
}

bool DMDaysOffTableCell::isYearly(const QModelIndex &index) const
{
    return m_isYearlyRow && m_isYearlyRow(m_outlineView->outlineModel()->rowForIndex(index));
}

void DMDaysOffTableCell::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    DMOutlineViewItemDelegate::paint(painter, option, index);
    if (m_kind != CheckBoxCell)
        return;
    QStyleOptionViewItem box = option;
    box.rect = checkBoxRect(option.rect, option.widget);
    box.state = (option.state & QStyle::State_Enabled) | (index.data().toBool() ? QStyle::State_On : QStyle::State_Off);
    const QStyle *style = option.widget ? option.widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, option.widget);
}

QWidget *DMDaysOffTableCell::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                          const QModelIndex &index) const
{
    if (m_kind != DateCell)
        return nullptr;
    auto *editor = new QDateEdit(parent);
    editor->setDisplayFormat(dateFormat(isYearly(index)));
    editor->setCalendarPopup(true);
    editor->setGeometry(option.rect);
    return editor;
}

void DMDaysOffTableCell::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *dateEdit = qobject_cast<QDateEdit *>(editor);
    if (!dateEdit)
        return DMOutlineViewItemDelegate::setEditorData(editor, index);
    QDate date = index.data(Qt::EditRole).toDate();
    // The last day of a yearly range over New Year lies in a later year, which may lack the day
    // the user wants (29 February): a yearly day is edited in the placeholder year.
    if (isYearly(index) && date.isValid())
        date = DMDaysOffEntry::yearlyDate(date.month(), date.day());
    dateEdit->setDate(date);
}

void DMDaysOffTableCell::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *dateEdit = qobject_cast<QDateEdit *>(editor))
        model->setData(index, dateEdit->date(), Qt::EditRole);
    else
        DMOutlineViewItemDelegate::setModelData(editor, model, index);
}

bool DMDaysOffTableCell::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                     const QModelIndex &index)
{
    if (m_kind != CheckBoxCell)
        return DMOutlineViewItemDelegate::editorEvent(event, model, option, index);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton || !checkBoxRect(option.rect, option.widget).contains(mouse->position().toPoint()))
            return false;
        // The press and a double click's second press are taken, so that only the release toggles.
        if (event->type() == QEvent::MouseButtonRelease)
            model->setData(index, !index.data().toBool(), Qt::EditRole);
        return true;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Space && key != Qt::Key_Select)
            return false;
        model->setData(index, !index.data().toBool(), Qt::EditRole);
        return true;
    }
    default:
        return false;
    }
}
