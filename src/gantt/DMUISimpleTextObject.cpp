#include "DMUISimpleTextObject.h"

#include "DMProjectViewConstants.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr qreal kCornerRadius = 3.0;

} // namespace

DMUISimpleTextObject::DMUISimpleTextObject(const QRectF &frame)
    : DMProjectViewObject(frame)
{
    adoptTextAttributes(DMUISimpleTextObject::defaultTextAttributes());
    setViewModeVisibility(kDMProjectViewObject_VisibleInAllModes);
}

DMUISimpleTextObject::~DMUISimpleTextObject()
{
    m_text.clear();
}

DMTextAttributes DMUISimpleTextObject::defaultTextAttributes() const
{
    static const DMTextAttributes attributes{DMTextAttributes::smallSystemFont(), Qt::white, Qt::AlignHCenter, false};
    return attributes;
}

std::shared_ptr<DMProject> DMUISimpleTextObject::project() const
{
    const std::shared_ptr<DMProjectViewObject> bar = m_owner.lock();
    return bar ? bar->project() : nullptr;
}

void DMUISimpleTextObject::drawInRect(QPainter *painter, const QRectF &, DMObjectView *)
{
    const QRectF box = frame();
    QPainterPath path;
    path.addRoundedRect(box, kCornerRadius, kCornerRadius);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillPath(path, fillColor());
    painter->restore();
    if (m_text.isEmpty())
        return;
    const DMTextAttributes &attributes = textAttributes();
    const QSizeF size = attributes.sizeOfString(m_text);
    const QRectF textRect(box.topLeft() + QPointF((box.width() - size.width()) * 0.5, (box.height() - size.height()) * 0.5),
                          size);
    attributes.drawStringInRect(painter, m_text, textRect);
}
