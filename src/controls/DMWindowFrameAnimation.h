#pragma once

#include "DMWindowMeshAnimation.h"

// Makes a window's picture grow linearly out of a rectangle (a button, for instance) into the
// window's own frame, in 0.25 s unless told otherwise.
class DMWindowFrameAnimation : public DMWindowMeshAnimation
{
    Q_OBJECT

public:
    // startFrame is in global coordinates.
    DMWindowFrameAnimation(QWidget *window, const QRectF &startFrame);

    QRectF startFrame() const { return m_startFrame; }

    // The four corners of a 2 x 2 mesh at progress p (0 to 1): the window's picture covers the
    // start frame at 0 and the window frame at 1.
    static void frameScaleMesh(DMWindowMesh &mesh, const QRectF &windowFrame, const QRectF &startFrame, float progress);

private:
    QRectF m_startFrame;
};
