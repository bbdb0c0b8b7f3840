// Window warp animations: the mesh, the frame growth, the frames played, and the warp drawn.
#include "DMWindowFrameAnimation.h"

#include "TestSupport.h"

#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct RecordedWarp
{
    int width;
    int height;
    bool removed;
};

// Stands in for the window server while it lives.
struct WarpRecorder
{
    std::vector<RecordedWarp> warps;
    WarpRecorder()
    {
        DMWindowWarp::setHook([this](QWidget *, int width, int height, const DMWindowMesh *mesh) {
            warps.push_back({width, height, mesh == nullptr});
        });
    }
    ~WarpRecorder() { DMWindowWarp::setHook({}); }
};

std::unique_ptr<QWidget> shownWindow(const QRect &frame)
{
    auto window = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
    window->setGeometry(frame);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    return window;
}

} // namespace

TEST(DMWindowMeshAnimation, IdentityMeshWithinBounds)
{
    const auto window = shownWindow(QRect(50, 60, 200, 100));
    DMWindowMeshAnimation animation(window.get(), 3, 3);
    EXPECT_EQ(animation.mesh()[1][2].local, QPointF(200, 50));
    EXPECT_EQ(animation.mesh()[1][2].global, QPointF(250, 110));
    EXPECT_EQ(animation.mesh()[2][0].global, QPointF(50, 160));

    DMWindowMeshAnimation odd(window.get(), 1, 500);
    EXPECT_EQ(odd.meshWidth(), 2);
    EXPECT_EQ(odd.meshHeight(), 10);
    EXPECT_EQ(odd.mesh()[9][1].global, QPointF(250, 160));
}

TEST(DMWindowFrameAnimation, GrowsFromTheStartRectangleToTheFrame)
{
    DMWindowMesh mesh{};
    const QRectF frame(100, 100, 300, 200);
    const QRectF start(10, 20, 30, 10);
    DMWindowFrameAnimation::frameScaleMesh(mesh, frame, start, 0);
    EXPECT_EQ(mesh[0][0].global, QPointF(10, 20));
    EXPECT_EQ(mesh[1][1].global, QPointF(40, 30));
    EXPECT_EQ(mesh[1][1].local, QPointF(300, 200));
    DMWindowFrameAnimation::frameScaleMesh(mesh, frame, start, 1);
    EXPECT_EQ(mesh[0][1].global, QPointF(400, 100));
    EXPECT_EQ(mesh[1][0].global, QPointF(100, 300));
    DMWindowFrameAnimation::frameScaleMesh(mesh, frame, start, 0.5f);
    EXPECT_EQ(mesh[0][0].global, QPointF(55, 60));
    EXPECT_EQ(mesh[1][1].global, QPointF(220, 165));
}

TEST(DMWindowFrameAnimation, PlaysAboutFiveFramesThenShowsTheWindowNormally)
{
    const auto window = shownWindow(QRect(50, 60, 200, 100));
    WarpRecorder recorder;
    DMWindowFrameAnimation animation(window.get(), QRectF(0, 0, 20, 10));
    animation.stop(); // stopped: the window server is left alone
    EXPECT_TRUE(recorder.warps.empty());

    animation.start();
    animation.start(); // no second clock
    ASSERT_TRUE(halcyra::test::waitFor([&] { return !animation.isRunning(); }, 3000));
    ASSERT_GE(recorder.warps.size(), 3u);
    EXPECT_LE(recorder.warps.size(), 7u);
    EXPECT_EQ(recorder.warps.front().width, 2);
    EXPECT_TRUE(recorder.warps.back().removed);
    EXPECT_EQ(animation.step(), recorder.warps.size() - 1);

    // A duration of 0 ends at the first frame, with only the removal.
    recorder.warps.clear();
    animation.setDuration(0);
    animation.start();
    ASSERT_TRUE(halcyra::test::waitFor([&] { return !animation.isRunning(); }));
    ASSERT_EQ(recorder.warps.size(), 1u);
    EXPECT_TRUE(recorder.warps.front().removed);

    // A window of no size, or none, plays nothing.
    recorder.warps.clear();
    QWidget empty;
    empty.setGeometry(10, 10, 0, 0);
    DMWindowFrameAnimation ofNoSize(&empty, QRectF(0, 0, 20, 10));
    ofNoSize.start();
    EXPECT_FALSE(ofNoSize.isRunning());
    DMWindowFrameAnimation noWindow(nullptr, QRectF(0, 0, 20, 10));
    noWindow.start();
    EXPECT_FALSE(noWindow.isRunning());
    EXPECT_TRUE(recorder.warps.empty());
}

TEST(DMWindowWarp, DrawsThePictureThroughTheMeshAndRestoresTheWindow)
{
    // A 20 x 20 picture, red on the left and blue on the right, stretched onto (100, 100) to
    // (140, 120).
    QImage picture(20, 20, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::red);
    QPainter(&picture).fillRect(10, 0, 10, 20, Qt::blue);
    DMWindowMesh mesh{};
    DMWindowFrameAnimation::frameScaleMesh(mesh, QRectF(0, 0, 20, 20), QRectF(100, 100, 40, 20), 0);
    QImage target(60, 40, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::transparent);
    QPainter painter(&target);
    DMWindowWarp::drawPictureThroughMesh(painter, picture, 2, 2, mesh, QPointF(90, 90));
    painter.end();
    EXPECT_EQ(target.pixelColor(15, 20), QColor(Qt::red));
    EXPECT_EQ(target.pixelColor(45, 20), QColor(Qt::blue));
    EXPECT_EQ(target.pixelColor(55, 20).alpha(), 0);
    EXPECT_EQ(target.pixelColor(30, 35).alpha(), 0);

    // On screen the window turns transparent under its warped picture, and back.
    const auto window = shownWindow(QRect(50, 60, 200, 100));
    window->setWindowOpacity(0.8);
    DMWindowWarp::setWindowWarp(window.get(), 2, 2, &mesh);
    EXPECT_TRUE(DMWindowWarp::isWindowWarped(window.get()));
    EXPECT_EQ(window->windowOpacity(), 0.0);
    DMWindowWarp::setWindowWarp(window.get(), 0, 0, nullptr);
    EXPECT_FALSE(DMWindowWarp::isWindowWarped(window.get()));
    EXPECT_NEAR(window->windowOpacity(), 0.8, 0.01);
}
