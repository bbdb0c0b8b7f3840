// Task bars rendered into images as a person sees them: plain, hovered, selected, on the critical
// path, locked, and with a title that goes beside a short bar near the right edge. The images are
// also written to the screens folder for review (gantt-*.png).
#include "GanttTestSupport.h"

#include "DMCriticalPath.h"

using namespace gantttest;

namespace {

constexpr int kScale = 3; // the images are drawn at 3 x so that the details show

bool isBluish(QRgb c)
{
    return qBlue(c) > qRed(c) + 40 && qBlue(c) > 150;
}

// A 160 x 24 canvas with one task, Tuesday 8:00 to Thursday 18:00 (x 20.5, 60 wide), 40 % done.
struct RenderCanvas : ::testing::Test
{
    void SetUp() override
    {
        canvas.view.resize(160, 24);
        task = canvas.addTask(QStringLiteral("Roof"), at(2024, 1, 2, 8), at(2024, 1, 4, 18));
        task->setFillColor(QColor(120, 170, 230));
        task->setProgress(0.4f);
        bar = GanttCanvas::barOf(task);
        bar->setFrame(QRectF(bar->frame().x(), 2, bar->frame().width(), 20));
        // A longer task below the shown rows keeps this one off the critical path.
        canvas.addTask(QStringLiteral("Long"), at(2024, 1, 2, 8), at(2024, 2, 2, 18), 5);
        DMCriticalPath::update(*canvas.project);
    }
    // The canvas drawn, and the bar's frame in image pixels.
    QImage render(const QString &name)
    {
        const QRectF f = bar->frame();
        frame = QRectF(f.x() * kScale, f.y() * kScale, f.width() * kScale, f.height() * kScale);
        return renderView(canvas.view, canvas.view.rect(), kScale, QStringLiteral("gantt-%1.png").arg(name));
    }
    int count(const QImage &image, const QRect &area, const std::function<bool(QRgb)> &test) const
    {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += test(image.pixel(x, y));
        return n;
    }

    GanttCanvas canvas;
    std::shared_ptr<DMProjectTask> task;
    std::shared_ptr<DMUIProjectTask> bar;
    QRectF frame;
};

} // namespace

TEST_F(RenderCanvas, PlainHoveredSelectedCriticalAndLockedBars)
{
    ASSERT_FALSE(task->partOfCriticalPath());
    const QImage plain = render(QStringLiteral("plain"));
    const int midY = int(frame.center().y());
    // Left of the progress (40 %) the contrast overlay darkens the fill; right of it, the fill.
    const QRgb fill = plain.pixel(int(frame.x() + frame.width() * 0.85), midY + 10);
    EXPECT_EQ(QColor(fill).rgb(), QColor(120, 170, 230).rgb());
    EXPECT_LT(qGray(plain.pixel(int(frame.x() + frame.width() * 0.15), midY + 10)), qGray(fill));
    // No handles while not hovered: nothing drawn left of the bar; dark title pixels inside it.
    EXPECT_EQ(count(plain, QRect(0, midY, int(frame.x()) - 2, 1), [](QRgb c) { return c != qRgb(255, 255, 255); }), 0);
    EXPECT_GT(count(plain, QRect(int(frame.x()), midY, int(frame.width()), 1), [](QRgb c) { return qGray(c) < 60; }), 0);

    // Hovered: the shadow shows a few points above the bar, and the link handle centred on the
    // left end has a blue centre.
    bar->setHovered(true);
    const QImage hovered = render(QStringLiteral("hovered"));
    EXPECT_TRUE(isBluish(hovered.pixel(int(frame.center().x()), int(frame.y() + 2 * kScale) - 4)));
    EXPECT_TRUE(isBluish(hovered.pixel(int(frame.x()), int(frame.center().y()))));
    bar->setHovered(false);

    // Selected: outlined in black along the top edge.
    const QPoint top(int(frame.center().x() + 10 * kScale), int(frame.y() + 2 * kScale));
    bar->setSelected(true);
    const QImage selected = render(QStringLiteral("selected"));
    EXPECT_LT(qGray(selected.pixel(top)), qGray(plain.pixel(top)));
    EXPECT_LT(qGray(selected.pixel(top)), 80);
    bar->setSelected(false);

    // Critical: outlined in red.
    canvas.project->setCriticalPathObjectIDs({task->objectID()});
    const QImage critical = render(QStringLiteral("critical"));
    EXPECT_GT(count(critical, QRect(top.x(), int(frame.y()), 1, 4 * kScale),
                    [](QRgb c) { return qRed(c) > 180 && qGreen(c) < 120 && qBlue(c) < 120; }),
              0);
    canvas.project->setCriticalPathObjectIDs({});

    // Locked: the lock's golden body sits at the bar's left end.
    task->setLocked(true);
    const QImage locked = render(QStringLiteral("locked"));
    const QRect lockArea(int(frame.x()) - 6 * kScale, int(frame.y()), 18 * kScale, int(frame.height()));
    EXPECT_GT(count(locked, lockArea, [](QRgb c) { return qRed(c) > 200 && qGreen(c) > 150 && qBlue(c) < 90; }), 10);
}

TEST_F(RenderCanvas, TitleOfAShortBarNearTheRightEdgeGoesLeft)
{
    canvas.view.resize(220, 24);
    task->setTitle(QStringLiteral("Inspect the roof"));
    task->setBeginDateAndEndDate(at(2024, 1, 10, 8), at(2024, 1, 10, 18)); // x 180.5, 20 wide
    bar->setFrame(QRectF(bar->frame().x(), 2, bar->frame().width(), 20));
    const QImage near = render(QStringLiteral("title-beside"));
    EXPECT_EQ(bar->titleLayout(&canvas.view).placement, DMUIProjectTaskTitleLayout::Left);
    const int midY = int(frame.center().y());
    const auto dark = [](QRgb c) { return qGray(c) < 100; };
    EXPECT_GT(count(near, QRect(0, midY, int(frame.x()), 1), dark), 0);
    const int right = int(frame.right()) + 2 * kScale;
    EXPECT_EQ(count(near, QRect(right, midY, near.width() - right, 1), dark), 0);

    // With room on the right (after a drawing pass records what shows) it goes right.
    canvas.view.resize(400, 24);
    render(QStringLiteral("title-right"));
    EXPECT_EQ(bar->titleLayout(&canvas.view).placement, DMUIProjectTaskTitleLayout::Right);
}
