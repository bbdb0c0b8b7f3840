#include "DMCollectionViewItem.h"

#include "DMItemBackgroundView.h"

DMCollectionViewItem::DMCollectionViewItem() : m_view(new DMItemBackgroundView)
{
}

DMCollectionViewItem::~DMCollectionViewItem()
{
    delete m_view;
}

void DMCollectionViewItem::setSelected(bool selected)
{
    m_selected = selected;
    m_view->setSelected(selected);
}
