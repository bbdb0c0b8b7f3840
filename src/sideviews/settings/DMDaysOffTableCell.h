#pragma once

#include "DMOutlineViewItemDelegate.h"

#include <QLocale>

#include <functional>

// A cell of the days-off table, installed on one column. A date cell shows its date in the
// locale's short style, without the year for a yearly day off, and is edited with a date field
// of the same format. A check-box cell draws a check box for its boolean value and toggles it on
// a click inside the box.
class DMDaysOffTableCell : public DMOutlineViewItemDelegate
{
    Q_OBJECT

public:
    enum Kind { DateCell, CheckBoxCell };

    // isYearlyRow tells a date cell whether its row is a yearly day off.
    DMDaysOffTableCell(DMOutlineView *outlineView, Kind kind, std::function<bool(int row)> isYearlyRow = {});

    // The date format of a cell: the locale's short date format, with the year taken out for a
    // yearly day.
    static QString dateFormat(bool yearly, const QLocale &locale = QLocale());
    // Where the check box of a check-box cell lies.
    static QRect checkBoxRect(const QRect &cellRect, const QWidget *widget);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

private:
    bool isYearly(const QModelIndex &index) const;

    DMOutlineView *m_outlineView;
    Kind m_kind;
    std::function<bool(int row)> m_isYearlyRow;
};
