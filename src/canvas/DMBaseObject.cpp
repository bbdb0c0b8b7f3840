#include "DMBaseObject.h"

#include <QPainter>

DMBaseObject::DMBaseObject(const QRectF &frame)
    : m_frame(frame)
    , m_boundingBox(frame)
{
}

DMBaseObject::~DMBaseObject() = default;

void DMBaseObject::setFrame(const QRectF &frame)
{
    m_frame = frame;
    updateBoundingBox();
}

void DMBaseObject::setBoundingBox(const QRectF &boundingBox)
{
    m_boundingBox = boundingBox;
}

void DMBaseObject::updateBoundingBox()
{
    setBoundingBox(m_frame);
}

void DMBaseObject::setFillColor(const QColor &color)
{
    m_fillColor = color;
}

void DMBaseObject::setStrokeColor(const QColor &color)
{
    m_strokeColor = color;
}

void DMBaseObject::updateGuideAnchorObjects()
{
}

bool DMBaseObject::isPointHitting(QPointF point, DMObjectView *) const
{
    return frame().contains(point);
}

qint32 DMBaseObject::dragOperationForPoint(QPointF, DMObjectView *) const
{
    return 0;
}

void DMBaseObject::handleDragOperation(qint32, QPointF, QPointF, const DMEvent &, DMObjectView *)
{
}

void DMBaseObject::drawInRect(QPainter *painter, const QRectF &, DMObjectView *)
{
    painter->save();
    painter->setPen(QPen(m_strokeColor, m_selected ? 3.0 : 1.0));
    painter->setBrush(m_fillColor);
    painter->drawRect(frame());
    painter->restore();
}
