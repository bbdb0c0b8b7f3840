#pragma once

#include <QPointF>

#include <array>
#include <functional>

class QImage;
class QPainter;
class QWidget;

// One point of a warp mesh: a place in the window (origin at its top left) and the place on the
// screen, in global coordinates, that it is drawn at.
struct DMWindowMeshPoint
{
    QPointF local;
    QPointF global;
};

// A warp mesh of at most 10 x 10 points, indexed [row][column]; only the top-left meshHeight
// rows of meshWidth points are in use.
inline constexpr int kDMWindowMesh_MaximumSize = 10;
using DMWindowMesh = std::array<std::array<DMWindowMeshPoint, kDMWindowMesh_MaximumSize>, kDMWindowMesh_MaximumSize>;

// Shows a window's picture stretched onto a warp mesh while the window keeps its frame. Qt has
// no window-server warp: the first warp grabs the window's picture and makes the window
// transparent, and an overlay window above it draws the picture cell by cell through the mesh.
// Removing the warp deletes the overlay and shows the window as it was.
class DMWindowWarp
{
public:
    // A mesh smaller than 2 x 2 (or none) removes the warp; sizes above 10 are cut to 10.
    static void setWindowWarp(QWidget *window, int meshWidth, int meshHeight, const DMWindowMesh *mesh);
    static bool isWindowWarped(const QWidget *window);

    // Draws the picture (of the window, at its logical size) through the mesh, with the global
    // point origin at the painter's origin.
    static void drawPictureThroughMesh(QPainter &painter, const QImage &picture, int meshWidth, int meshHeight,
                                       const DMWindowMesh &mesh, QPointF origin);

    // Tests replace the window server: the hook receives every warp in place of the overlay.
    // An empty hook restores the overlay.
    using Hook = std::function<void(QWidget *window, int meshWidth, int meshHeight, const DMWindowMesh *mesh)>;
    static void setHook(Hook hook);
};
