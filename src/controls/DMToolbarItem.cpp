#include "DMToolbarItem.h"

#include <QAction>
#include <QToolBar>

void DMToolbarItem_setHidden(QAction *item, bool hidden)
{
    if (!item)
        return;
    item->setVisible(!hidden);
    // The toolbar would hide the view only at its next layout.
    if (hidden)
        for (QObject *owner : item->associatedObjects())
            if (auto *toolbar = qobject_cast<QToolBar *>(owner))
                if (QWidget *view = toolbar->widgetForAction(item))
                    view->hide();
}

bool DMToolbarItem_isHidden(const QAction *item)
{
    return item && !item->isVisible();
}
