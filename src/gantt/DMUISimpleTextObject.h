#pragma once

#include "DMProjectViewObject.h"

// The small rounded label that a bar shows beside itself while it is dragged (its begin and
// end dates, its progress). Shown in every view mode. The owner (weak) is the bar that shows
// it; the label has no project without one.
class DMUISimpleTextObject : public DMProjectViewObject
{
public:
    explicit DMUISimpleTextObject(const QRectF &frame = QRectF());
    ~DMUISimpleTextObject() override;

    QString text() const { return m_text; }
    void setText(const QString &text) { m_text = text; }
    std::shared_ptr<DMProjectViewObject> owner() const { return m_owner.lock(); }
    void setOwner(const std::weak_ptr<DMProjectViewObject> &owner) { m_owner = owner; }

    DMTextAttributes defaultTextAttributes() const override;
    std::shared_ptr<DMProject> project() const override;
    void drawInRect(QPainter *painter, const QRectF &rect, DMObjectView *view) override;

private:
    QString m_text;
    std::weak_ptr<DMProjectViewObject> m_owner;
};
