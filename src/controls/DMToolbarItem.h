#pragma once

class QAction;

// The hidden flag of a toolbar item (an action of a QToolBar): a hidden item's view (the widget
// the toolbar shows for it) is hidden at once and leaves the toolbar's layout; shown again, the
// toolbar lays it out in its place.
void DMToolbarItem_setHidden(QAction *item, bool hidden);
bool DMToolbarItem_isHidden(const QAction *item);
