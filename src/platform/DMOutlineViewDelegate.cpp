#include "DMOutlineViewDelegate.h"

#include "DMOutlineView.h"

DMOutlineViewDelegate::~DMOutlineViewDelegate()
{
    // Each view unregisters when its delegate is cleared, so work on a copy.
    const std::vector<DMOutlineView *> views = m_registeredViews;
    for (DMOutlineView *view : views)
        view->setDelegate(nullptr);
}
