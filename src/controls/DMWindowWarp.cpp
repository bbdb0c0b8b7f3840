#include "DMWindowWarp.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

DMWindowWarp::Hook &hook()
{
    static DMWindowWarp::Hook instance;
    return instance;
}

QPolygonF cellQuad(const DMWindowMesh &mesh, int row, int column, bool global)
{
    const auto at = [&](int r, int c) { return global ? mesh[r][c].global : mesh[r][c].local; };
    return QPolygonF({at(row, column), at(row, column + 1), at(row + 1, column + 1), at(row + 1, column)});
}

// An input-transparent window above the warped one that draws its picture through the mesh. It
// is a child object of the warped window, so it goes when that window goes.
class WarpOverlay : public QWidget
{
public:
    explicit WarpOverlay(QWidget *window)
        : QWidget(window, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowTransparentForInput
                              | Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint),
          m_picture(window->grab().toImage()), m_windowOpacity(window->windowOpacity())
    {
        setObjectName(QStringLiteral("DMWindowWarpOverlay"));
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_ShowWithoutActivating);
        window->setWindowOpacity(0.0);
    }

    void restoreWindow()
    {
        if (QWidget *window = parentWidget())
            window->setWindowOpacity(m_windowOpacity);
    }

    void setMesh(int width, int height, const DMWindowMesh &mesh)
    {
        m_width = width;
        m_height = height;
        m_mesh = mesh;
        QRectF bounds;
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column)
                bounds |= QRectF(mesh[row][column].global, QSizeF(1, 1));
        setGeometry(bounds.toAlignedRect());
        show();
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        DMWindowWarp::drawPictureThroughMesh(painter, m_picture, m_width, m_height, m_mesh, QPointF(pos()));
    }

private:
    QImage m_picture;
    qreal m_windowOpacity;
    int m_width = 0;
    int m_height = 0;
    DMWindowMesh m_mesh{};
};

WarpOverlay *overlayOf(const QWidget *window)
{
    return window ? window->findChild<WarpOverlay *>(QStringLiteral("DMWindowWarpOverlay"), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

} // namespace

void DMWindowWarp::setWindowWarp(QWidget *window, int meshWidth, int meshHeight, const DMWindowMesh *mesh)
{
    if (!window)
        return;
    meshWidth = std::min(meshWidth, kDMWindowMesh_MaximumSize);
    meshHeight = std::min(meshHeight, kDMWindowMesh_MaximumSize);
    const bool removing = !mesh || meshWidth < 2 || meshHeight < 2;
    if (hook()) {
        hook()(window, removing ? 0 : meshWidth, removing ? 0 : meshHeight, removing ? nullptr : mesh);
        return;
    }
    WarpOverlay *overlay = overlayOf(window);
    if (removing) {
        if (overlay) {
            overlay->restoreWindow();
            delete overlay;
        }
        return;
    }
    if (!overlay)
        overlay = new WarpOverlay(window);
    overlay->setMesh(meshWidth, meshHeight, *mesh);
}

bool DMWindowWarp::isWindowWarped(const QWidget *window)
{
    return overlayOf(window) != nullptr;
}

void DMWindowWarp::drawPictureThroughMesh(QPainter &painter, const QImage &picture, int meshWidth, int meshHeight,
                                          const DMWindowMesh &mesh, QPointF origin)
{
    meshWidth = std::clamp(meshWidth, 0, kDMWindowMesh_MaximumSize);
    meshHeight = std::clamp(meshHeight, 0, kDMWindowMesh_MaximumSize);
    for (int row = 0; row + 1 < meshHeight; ++row) {
        for (int column = 0; column + 1 < meshWidth; ++column) {
            const QPolygonF target = cellQuad(mesh, row, column, true).translated(-origin);
            QTransform transform;
            if (!QTransform::quadToQuad(cellQuad(mesh, row, column, false), target, transform))
                continue; // a cell folded flat draws nothing
            painter.save();
            QPainterPath clip;
            clip.addPolygon(target);
            clip.closeSubpath();
            painter.setClipPath(clip);
            painter.setTransform(transform);
            painter.drawImage(QPointF(0, 0), picture);
            painter.restore();
        }
    }
}

void DMWindowWarp::setHook(Hook newHook)
{
    hook() = std::move(newHook);
}
