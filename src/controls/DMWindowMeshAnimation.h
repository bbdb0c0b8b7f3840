#pragma once

#include "DMWindowWarp.h"

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QTimer>

#include <functional>

#include <QWidget>

// Animates a window by handing the window server a warp mesh every 0.05 s: the window's picture
// is drawn stretched onto the mesh while the window keeps its frame. A transform function
// recomputes the mesh for the current time at each frame. The warp is removed when the
// animation stops, by stop() or when its time reaches its duration, and the window shows
// normally again.
class DMWindowMeshAnimation : public QObject
{
    Q_OBJECT

public:
    using TransformFunction = std::function<void(int meshWidth, int meshHeight, DMWindowMesh &mesh,
                                                 DMWindowMeshAnimation *animation, const QRectF &windowFrame)>;

    // Reads the window's frame once (global coordinates) and fills the mesh with the identity
    // mapping. The mesh size is kept within 2 to 10 points a side. The window is not owned.
    DMWindowMeshAnimation(QWidget *window, int meshWidth, int meshHeight);
    ~DMWindowMeshAnimation() override; // stops first

    // Starts the frames and the clock; does nothing while running, without a window, or for a
    // window of zero size.
    void start();
    // Removes the warp; does nothing (and leaves the window server alone) when stopped.
    void stop();
    // One frame at once.
    void iterate();
    bool isRunning() const { return m_animationTimer.isActive(); }

    double duration() const { return m_duration; }
    void setDuration(double seconds) { m_duration = seconds; }
    double time() const { return m_time; }   // seconds from start to the last frame
    quint64 step() const { return m_step; }  // frames applied since the animation was made
    void setTransformFunction(TransformFunction function) { m_transformFunction = std::move(function); }

    const DMWindowMesh &mesh() const { return m_mesh; }
    int meshWidth() const { return m_meshWidth; }
    int meshHeight() const { return m_meshHeight; }
    QRectF windowFrame() const { return m_windowFrame; }
    QWidget *window() const { return m_window; }

private:
    QTimer m_animationTimer;
    DMWindowMesh m_mesh{};
    QRectF m_windowFrame;
    int m_meshWidth;
    int m_meshHeight;
    QPointer<QWidget> m_window;
    double m_duration = 0;
    double m_startTime = 0;
    double m_time = 0;
    quint64 m_step = 0;
    TransformFunction m_transformFunction;
};
