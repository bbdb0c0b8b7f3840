// Task bars rendered into images as a person sees them: plain, hovered, selected, on the critical
// path, locked, and with a title that goes beside a short bar near the right edge. The images are
// also written to the screens folder (HALCYRA_SCREENS_DIR, default /work/screens) for review.
#include "GanttTestSupport.h"

#include "DMCriticalPath.h"

#include <QDir>
#include <QImage>
#include <QPainter>

using namespace gantttest;

namespace {

constexpr int kScale = 3; // the images are drawn at 3 x so that the details show

struct Rendered
{
    QImage image;
    QRectF frame; // of the bar, in image pixels
};

bool isReddish(QRgb c)
{
    return qRed(c) > 180 && qGreen(c) < 120 && qBlue(c) < 120;
}

bool isBluish(QRgb c)
{
    return qBlue(c) > qRed(c) + 40 && qBlue(c) > 150;
}

void save(const QImage &image, const QString &name)
{
    QString folder = qEnvironmentVariable("HALCYRA_SCREENS_DIR", QStringLiteral("/work/screens"));
    if (!QDir().mkpath(folder))
        return;
    image.save(QDir(folder).filePath(QStringLiteral("gantt-%1.png").arg(name)));
}

struct RenderCanvas
{
    // A 160 x 24 canvas with one task, Tuesday 8:00 to Thursday 18:00 (x 20.5, 60 wide).
    RenderCanvas()
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

    Rendered render(const QString &name)
    {
        QImage image(canvas.view.width() * kScale, canvas.view.height() * kScale, QImage::Format_ARGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.scale(kScale, kScale);
            canvas.view.drawRect(&painter, QRectF(0, 0, canvas.view.width(), canvas.view.height()));
        }
        save(image, name);
        const QRectF f = bar->frame();
        return {image, QRectF(f.x() * kScale, f.y() * kScale, f.width() * kScale, f.height() * kScale)};
    }

    GanttCanvas canvas;
    std::shared_ptr<DMProjectTask> task;
    std::shared_ptr<DMUIProjectTask> bar;
};

} // namespace

TEST(TaskBarRender, PlainBarShowsFillProgressAndTitleInside)
{
    RenderCanvas render;
    ASSERT_FALSE(render.task->partOfCriticalPath());
    const Rendered plain = render.render(QStringLiteral("plain"));
    const int midY = int(plain.frame.center().y());
    // Left of the progress (40 %) the contrast overlay darkens the fill; right of it, the fill.
    const QRgb fill = plain.image.pixel(int(plain.frame.x() + plain.frame.width() * 0.85), midY + 10);
    const QRgb progress = plain.image.pixel(int(plain.frame.x() + plain.frame.width() * 0.15), midY + 10);
    EXPECT_EQ(QColor(fill).rgb(), QColor(120, 170, 230).rgb());
    EXPECT_LT(qGray(progress), qGray(fill));
    // No handles while not hovered: nothing drawn left of the bar.
    for (int x = 0; x < int(plain.frame.x()) - 2; ++x)
        EXPECT_EQ(plain.image.pixel(x, midY), qRgb(255, 255, 255)) << x;
    // Dark title pixels inside the bar.
    int dark = 0;
    for (int x = int(plain.frame.x()); x < int(plain.frame.right()); ++x)
        dark += qGray(plain.image.pixel(x, midY)) < 60;
    EXPECT_GT(dark, 0);
}

TEST(TaskBarRender, HoveredBarHasABlueShadowAndItsHandles)
{
    RenderCanvas render;
    render.bar->setHovered(true);
    const Rendered hovered = render.render(QStringLiteral("hovered"));
    // The shadow shows a few points above the bar, where nothing else is drawn.
    const QRgb above = hovered.image.pixel(int(hovered.frame.center().x()), int(hovered.frame.y() + 2 * kScale) - 4);
    EXPECT_TRUE(isBluish(above)) << std::hex << above;
    // The link handle is drawn centred on the bar's left end: white ring inside with a blue centre.
    const QRgb linkCentre = hovered.image.pixel(int(hovered.frame.x()), int(hovered.frame.center().y()));
    EXPECT_TRUE(isBluish(linkCentre)) << std::hex << linkCentre;
    render.bar->setHovered(false);
}

TEST(TaskBarRender, SelectedBarIsOutlinedInBlack)
{
    RenderCanvas render;
    const Rendered plain = render.render(QStringLiteral("unselected"));
    render.bar->setSelected(true);
    const Rendered selected = render.render(QStringLiteral("selected"));
    const int x = int(selected.frame.center().x() + 10 * kScale);
    const int top = int(selected.frame.y() + 2 * kScale);
    EXPECT_LT(qGray(selected.image.pixel(x, top)), qGray(plain.image.pixel(x, top)));
    EXPECT_LT(qGray(selected.image.pixel(x, top)), 80);
    QDir(qEnvironmentVariable("HALCYRA_SCREENS_DIR", QStringLiteral("/work/screens"))).remove(QStringLiteral("gantt-unselected.png"));
}

TEST(TaskBarRender, CriticalTaskIsOutlinedInRed)
{
    RenderCanvas render;
    render.canvas.project->setCriticalPathObjectIDs({render.task->objectID()});
    const Rendered critical = render.render(QStringLiteral("critical"));
    const int x = int(critical.frame.center().x() + 10 * kScale);
    int red = 0;
    for (int y = int(critical.frame.y()); y < int(critical.frame.y() + 4 * kScale); ++y)
        red += isReddish(critical.image.pixel(x, y));
    EXPECT_GT(red, 0);
}

TEST(TaskBarRender, LockedTaskShowsItsLock)
{
    RenderCanvas render;
    const Rendered plain = render.render(QStringLiteral("unlocked"));
    render.task->setLocked(true);
    const Rendered locked = render.render(QStringLiteral("locked"));
    // The lock's golden body sits at the bar's left end.
    int golden = 0;
    for (int y = int(locked.frame.y()); y < int(locked.frame.bottom()); ++y)
        for (int x = int(locked.frame.x()) - 6 * kScale; x < int(locked.frame.x()) + 12 * kScale; ++x) {
            const QRgb c = locked.image.pixel(x, y);
            golden += qRed(c) > 200 && qGreen(c) > 150 && qBlue(c) < 90;
        }
    EXPECT_GT(golden, 10);
    EXPECT_NE(locked.image, plain.image);
    QDir(qEnvironmentVariable("HALCYRA_SCREENS_DIR", QStringLiteral("/work/screens"))).remove(QStringLiteral("gantt-unlocked.png"));
}

TEST(TaskBarRender, TitleOfAShortBarNearTheRightEdgeGoesLeft)
{
    RenderCanvas render;
    render.canvas.view.resize(220, 24);
    render.task->setTitle(QStringLiteral("Inspect the roof"));
    render.task->setBeginDateAndEndDate(at(2024, 1, 10, 8), at(2024, 1, 10, 18)); // x 180.5, 20 wide
    render.bar->setFrame(QRectF(render.bar->frame().x(), 2, render.bar->frame().width(), 20));
    const Rendered near = render.render(QStringLiteral("title-beside"));
    EXPECT_EQ(render.bar->titleLayout(&render.canvas.view).placement, DMUIProjectTaskTitleLayout::Left);
    const int midY = int(near.frame.center().y());
    int darkLeft = 0;
    int darkRight = 0;
    for (int x = 0; x < int(near.frame.x()); ++x)
        darkLeft += qGray(near.image.pixel(x, midY)) < 100;
    for (int x = int(near.frame.right()) + 2 * kScale; x < near.image.width(); ++x)
        darkRight += qGray(near.image.pixel(x, midY)) < 100;
    EXPECT_GT(darkLeft, 0);
    EXPECT_EQ(darkRight, 0);

    // With room on the right it goes right.
    render.canvas.view.resize(400, 24);
    render.render(QStringLiteral("title-right"));
    EXPECT_EQ(render.bar->titleLayout(&render.canvas.view).placement, DMUIProjectTaskTitleLayout::Right);
}
