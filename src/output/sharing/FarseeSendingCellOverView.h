#pragma once

#include <QWidget>

class FarseeSendingCellView;
class QMenu;

// Laid over a cell of the sending list (its parent): a right click, or a left click with
// Control held, opens the record's menu ("delete", and with a link "open link" and "copy link
// to the pasteboard"); other clicks go on to the cell.
class FarseeSendingCellOverView : public QWidget
{
    Q_OBJECT

public:
    explicit FarseeSendingCellOverView(FarseeSendingCellView *cell);

    // The menu for the cell's record as it is now; the caller owns it.
    QMenu *makeMenu() const;

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    FarseeSendingCellView *m_cell;
};
