#include "DMWindowMeshAnimation.h"

#include <QDateTime>
#include <QWidget>

#include <algorithm>

namespace {

double now()
{
    return QDateTime::currentMSecsSinceEpoch() / 1000.0;
}

} // namespace

DMWindowMeshAnimation::DMWindowMeshAnimation(QWidget *window, int meshWidth, int meshHeight)
    : m_meshWidth(std::clamp(meshWidth, 2, kDMWindowMesh_MaximumSize)),
      m_meshHeight(std::clamp(meshHeight, 2, kDMWindowMesh_MaximumSize)), m_window(window)
{
    m_animationTimer.setInterval(50);
    connect(&m_animationTimer, &QTimer::timeout, this, &DMWindowMeshAnimation::iterate);
    if (window)
        m_windowFrame = QRectF(window->geometry());
    for (int row = 0; row < m_meshHeight; ++row) {
        for (int column = 0; column < m_meshWidth; ++column) {
            const QPointF local(column / qreal(m_meshWidth - 1) * m_windowFrame.width(),
                                row / qreal(m_meshHeight - 1) * m_windowFrame.height());
            m_mesh[row][column] = {local, m_windowFrame.topLeft() + local};
        }
    }
}

DMWindowMeshAnimation::~DMWindowMeshAnimation()
{
    stop();
}

void DMWindowMeshAnimation::start()
{
    if (isRunning() || !m_window || m_windowFrame.isEmpty())
        return;
    m_startTime = now();
    m_animationTimer.start();
}

void DMWindowMeshAnimation::stop()
{
    if (!isRunning())
        return;
    m_animationTimer.stop();
    DMWindowWarp::setWindowWarp(m_window, 0, 0, nullptr);
}

void DMWindowMeshAnimation::iterate()
{
    m_time = now() - m_startTime;
    if (m_time >= m_duration) {
        stop();
        return;
    }
    if (m_transformFunction)
        m_transformFunction(m_meshWidth, m_meshHeight, m_mesh, this, m_windowFrame);
    DMWindowWarp::setWindowWarp(m_window, m_meshWidth, m_meshHeight, &m_mesh);
    ++m_step;
}
