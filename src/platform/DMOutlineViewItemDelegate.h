#pragma once

#include <QStyledItemDelegate>

class DMOutlineView;

// Draws the cells of a DMOutlineView after its delegate has seen them (willDisplayCell), and
// sizes every row to the height the outline's model caches, so that size queries cost nothing.
class DMOutlineViewItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit DMOutlineViewItemDelegate(DMOutlineView *outlineView);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    DMOutlineView *m_outlineView;
};
