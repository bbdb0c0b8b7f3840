#include "DMProjectViewBackgroundObject.h"

#include "DMNotificationCenter.h"
#include "DMProjectViewBackgroundGeometry.h"
#include "DMProjectViewBackgroundObjectAttributes.h"

#include <QPainter>

namespace {

const QString kDMBaseObjectDidChangeNotification = QStringLiteral("DMBaseObjectDidChangeNotification");

class PainterSink : public DMProjectViewBackgroundGeometry::Sink
{
public:
    explicit PainterSink(QPainter *painter)
        : m_painter(painter)
    {
    }
    void fill(const QRectF &rect, const QColor &color) override { m_painter->fillRect(rect, color); }

private:
    QPainter *m_painter;
};

} // namespace

DMProjectViewBackgroundObject::DMProjectViewBackgroundObject(const QRectF &frame)
    : DMBaseObject(frame)
{
    DMBaseObject::setStrokeColor(QColor::fromRgbF(0.0f, 0.0f, 0.0f, 0.1f));
}

DMProjectViewBackgroundObject::~DMProjectViewBackgroundObject() = default;

std::shared_ptr<DMProjectViewBackgroundObject> DMProjectViewBackgroundObject::copy() const
{
    auto copy = std::make_shared<DMProjectViewBackgroundObject>(frame());
    copy->DMBaseObject::setFillColor(fillColor());
    copy->DMBaseObject::setStrokeColor(strokeColor());
    copy->updateBoundingBox();
    return copy;
}

void DMProjectViewBackgroundObject::setAttributes(std::shared_ptr<DMProjectViewBackgroundObjectAttributes> attributes)
{
    m_attributes = std::move(attributes);
}

void DMProjectViewBackgroundObject::setFillColor(const QColor &color)
{
    DMBaseObject::setFillColor(color);
    DMNotificationCenter::defaultCenter().postNotification(kDMBaseObjectDidChangeNotification, this);
}

void DMProjectViewBackgroundObject::setStrokeColor(const QColor &color)
{
    DMBaseObject::setStrokeColor(color);
    DMNotificationCenter::defaultCenter().postNotification(kDMBaseObjectDidChangeNotification, this);
}

void DMProjectViewBackgroundObject::drawInRect(QPainter *painter, const QRectF &rect, DMObjectView *)
{
    if (!m_attributes || !painter)
        return;
    painter->save();
    // Row bands and the closing line reach past a small rect; the canvas asks per dirty rect.
    painter->setClipRect(rect, Qt::IntersectClip);
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    PainterSink sink(painter);
    DMProjectViewBackgroundGeometry::visitFills(*m_attributes, frame(), rect, strokeColor(), sink);
    painter->restore();
}
