#include "DMWindowFrameAnimation.h"

#include <algorithm>

DMWindowFrameAnimation::DMWindowFrameAnimation(QWidget *window, const QRectF &startFrame)
    : DMWindowMeshAnimation(window, 2, 2), m_startFrame(startFrame)
{
    setDuration(0.25);
    // The warped picture is drawn fully opaque, which is what setting the window's alpha to 1
    // at each frame achieves where the window server draws the warp.
    setTransformFunction([](int, int, DMWindowMesh &mesh, DMWindowMeshAnimation *animation, const QRectF &frame) {
        const auto *self = static_cast<DMWindowFrameAnimation *>(animation);
        const double duration = animation->duration();
        const float progress = duration > 0 ? float(std::min(animation->time() / duration, 1.0)) : 1.0f;
        frameScaleMesh(mesh, frame, self->m_startFrame, progress);
    });
}

void DMWindowFrameAnimation::frameScaleMesh(DMWindowMesh &mesh, const QRectF &f, const QRectF &s, float p)
{
    const qreal minX = s.left() + p * (f.left() - s.left());
    const qreal maxX = s.right() + p * (f.right() - s.right());
    const qreal minY = s.top() + p * (f.top() - s.top());
    const qreal maxY = s.bottom() + p * (f.bottom() - s.bottom());
    mesh[0][0] = {QPointF(0, 0), QPointF(minX, minY)};
    mesh[0][1] = {QPointF(f.width(), 0), QPointF(maxX, minY)};
    mesh[1][0] = {QPointF(0, f.height()), QPointF(minX, maxY)};
    mesh[1][1] = {QPointF(f.width(), f.height()), QPointF(maxX, maxY)};
}
