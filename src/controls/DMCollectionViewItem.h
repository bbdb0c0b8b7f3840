#pragma once

#include <QObject>

class DMItemBackgroundView;

// One card of a DMCollectionView: a background view holding the card's controls. The collection
// view makes cards from its prototype only for the places that are visible and hands each one
// the index it shows; a card scrolled away is handed another index.
class DMCollectionViewItem : public QObject
{
    Q_OBJECT

public:
    DMCollectionViewItem();
    ~DMCollectionViewItem() override;

    // The card's view; owned by the card until the collection view reparents it into itself
    // (then the view is deleted with the card all the same).
    DMItemBackgroundView *view() const { return m_view; }

    bool isSelected() const { return m_selected; }
    // The selection, then the same flag on the card's view (the background paints it).
    virtual void setSelected(bool selected);

    // The index of the contents the card shows; -1 when it shows none.
    int representedIndex() const { return m_representedIndex; }
    void setRepresentedIndex(int index) { m_representedIndex = index; }

private:
    DMItemBackgroundView *m_view;
    bool m_selected = false;
    int m_representedIndex = -1;
};
