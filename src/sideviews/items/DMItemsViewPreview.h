#pragma once

#include "DMObjectView.h"
#include "DMObjectViewDataSource.h"

#include <functional>
#include <memory>

class DMBaseObject;
class DMProjectItem;

// The miniature of a card: a small canvas (layer 0, clear background) showing one Gantt object,
// laid out on every pass to fill the canvas inset by 1.5 on every side. The objects are made
// from the model through the registered Gantt object factory and replaced on every refresh of
// the card.
class DMItemsViewPreview : public DMObjectView, private DMObjectViewDataSource
{
    Q_OBJECT

public:
    explicit DMItemsViewPreview(QWidget *parent = nullptr);
    ~DMItemsViewPreview() override;

    // A new Gantt object of the item (the Gantt view's) replaces the shown one; null clears it.
    void showItem(DMProjectItem *item);
    // Shows any object, placed by the layout function in the canvas rectangle before drawing.
    void showObject(std::shared_ptr<DMBaseObject> object, std::function<void(DMBaseObject &, const QRectF &)> layout);
    std::shared_ptr<DMBaseObject> shownObject() const { return m_object; }
    // The rectangle the object fills: the bounds inset by 1.5.
    QRectF objectRect() const;

private:
    DMBaseObjectList objectViewObjectsInRectForLayer(DMObjectView *view, const QRectF &rect, quint16 layer) override;

    std::shared_ptr<DMBaseObject> m_object;
    std::function<void(DMBaseObject &, const QRectF &)> m_layout;
};
