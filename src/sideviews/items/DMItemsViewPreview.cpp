#include "DMItemsViewPreview.h"

#include "DMBaseObject.h"
#include "DMProjectItem.h"
#include "DMProjectItemUIObject.h"
#include "DMUIProjectItem.h"

DMItemsViewPreview::DMItemsViewPreview(QWidget *parent) : DMObjectView(parent)
{
    addLayer(0);
    setBackgroundColor(Qt::transparent);
    setDatasource(this);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

DMItemsViewPreview::~DMItemsViewPreview()
{
    setDatasource(nullptr);
}

QRectF DMItemsViewPreview::objectRect() const
{
    return QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
}

void DMItemsViewPreview::showItem(DMProjectItem *item)
{
    std::shared_ptr<DMBaseObject> object;
    if (item)
        object = std::dynamic_pointer_cast<DMBaseObject>(item->newUIObjectForViewMode(kDMProjectViewMode_Gantt));
    showObject(std::move(object), [](DMBaseObject &shown, const QRectF &rect) {
        shown.setFrame(rect);
        if (auto *bar = dynamic_cast<DMUIProjectItem *>(&shown))
            bar->updateUIFeatures();
    });
}

void DMItemsViewPreview::showObject(std::shared_ptr<DMBaseObject> object,
                                    std::function<void(DMBaseObject &, const QRectF &)> layout)
{
    m_object = std::move(object);
    m_layout = std::move(layout);
    update();
}

DMBaseObjectList DMItemsViewPreview::objectViewObjectsInRectForLayer(DMObjectView *view, const QRectF &, quint16)
{
    if (view != this || !m_object)
        return {};
    if (m_layout)
        m_layout(*m_object, objectRect());
    return {m_object};
}
