#include "FarseeSendingCellOverView.h"

#include "DMLocalizedString.h"
#include "FarseeSending.h"
#include "FarseeSendingCellView.h"

#include <QMenu>
#include <QMouseEvent>

FarseeSendingCellOverView::FarseeSendingCellOverView(FarseeSendingCellView *cell)
    : QWidget(cell)
    , m_cell(cell)
{
    setObjectName(QStringLiteral("FarseeSendingCellOverView"));
}

QMenu *FarseeSendingCellOverView::makeMenu() const
{
    auto *menu = new QMenu(DMLocalizedString("Farsee item"));
    menu->addAction(DMLocalizedString("delete"), m_cell, &FarseeSendingCellView::remove);
    const std::shared_ptr<FarseeSending> sending = m_cell->objectValue();
    if (sending && !sending->remoteURL.isEmpty()) {
        menu->addAction(DMLocalizedString("open link"), m_cell, &FarseeSendingCellView::openLink);
        menu->addAction(DMLocalizedString("copy link to the pasteboard"), m_cell, &FarseeSendingCellView::copyLink);
    }
    return menu;
}

void FarseeSendingCellOverView::mousePressEvent(QMouseEvent *event)
{
    const bool menuClick = event->button() == Qt::RightButton
        || (event->button() == Qt::LeftButton && event->modifiers().testFlag(Qt::ControlModifier));
    if (!menuClick) {
        event->ignore();
        return;
    }
    QMenu *menu = makeMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPosition().toPoint());
    event->accept();
}
