// Link lines between real bars: their ends follow the kind and the bars, their route, arrow and
// width follow the model link, clicks along them select them, and they are drawn in each style,
// pattern and thickness (images written to the screens folder as gantt2-links*.png).
#include "GanttTestSupport.h"

#include "DMCriticalPath.h"
#include "DMProjectDependency.h"
#include "DMUIProjectDependency.h"
#include "DMUIProjectDependencyGeometry.h"

using namespace gantttest;

namespace {

// Item bars in layer 1 as the shared source gives them; every link of the items in layer 2.
class LinkDataSource : public GanttDataSource
{
public:
    DMBaseObjectList objectViewObjectsInRectForLayer(DMObjectView *view, const QRectF &rect, quint16 layer) override
    {
        if (layer != kDMProjectViewLayer_Links)
            return GanttDataSource::objectViewObjectsInRectForLayer(view, rect, layer);
        DMBaseObjectList result;
        for (const auto &item : items)
            for (const auto &dependency : item->outboundDependencies().list())
                if (auto line = std::dynamic_pointer_cast<DMBaseObject>(dependency->ganttUIObject()))
                    if (line->boundingBox().intersects(rect))
                        result.append(line);
        return result;
    }
};

std::shared_ptr<DMUIProjectDependency> lineOf(const std::shared_ptr<DMProjectDependency> &dependency)
{
    return std::dynamic_pointer_cast<DMUIProjectDependency>(dependency->ganttUIObject());
}

// Task A (Tue 8:00 to Thu 18:00: x 20.5 to 80.5) in row 0 and task B (Mon 8 January to Tue 9
// January: x 140.5 to 180.5) in row 2, linked A -> B.
struct LinkedBars : ::testing::Test
{
    void SetUp() override
    {
        canvas.view.setDatasource(&links);
        a = canvas.addTask(QStringLiteral("A"), at(2024, 1, 2, 8), at(2024, 1, 4, 18));
        b = canvas.addTask(QStringLiteral("B"), at(2024, 1, 8, 8), at(2024, 1, 9, 18), 2);
        links.items = canvas.source.items;
        dependency = a->addOutboundDependencyToItem(b);
        ASSERT_TRUE(dependency);
        line = lineOf(dependency);
        ASSERT_TRUE(line);
    }
    void TearDown() override { canvas.view.setDatasource(&canvas.source); }

    GanttCanvas canvas;
    LinkDataSource links;
    std::shared_ptr<DMProjectTask> a;
    std::shared_ptr<DMProjectTask> b;
    std::shared_ptr<DMProjectDependency> dependency;
    std::shared_ptr<DMUIProjectDependency> line;
};

} // namespace

TEST_F(LinkedBars, EndsFollowTheKindAndTheBars)
{
    // Finish to start: from A's finish side to B's start side (the link handles' centres on the
    // bars' ends, halfway down the 20-point rows).
    EXPECT_EQ(line->startPoint(), QPointF(80.5, 10));
    EXPECT_EQ(line->endPoint(), QPointF(140.5, 50));

    const std::pair<int, std::pair<QPointF, QPointF>> kinds[] = {
        {DMProjectDependency::StartToFinish, {QPointF(20.5, 10), QPointF(180.5, 50)}},
        {DMProjectDependency::StartToStart, {QPointF(20.5, 10), QPointF(140.5, 50)}},
        {DMProjectDependency::FinishToFinish, {QPointF(80.5, 10), QPointF(180.5, 50)}},
    };
    for (const auto &[kind, ends] : kinds) {
        dependency->setKind(kind);
        EXPECT_EQ(line->startPoint(), ends.first) << kind;
        EXPECT_EQ(line->endPoint(), ends.second) << kind;
    }
    // Moving the successor's bar moves the end.
    auto barB = GanttCanvas::barOf(b);
    barB->setFrame(barB->frame().translated(0, 20));
    EXPECT_EQ(line->endPoint(), QPointF(180.5, 70));
    // Undoing nothing else: the model's own date change moves the bar and with it the line.
    dependency->setKind(DMProjectDependency::FinishToStart);
    ASSERT_EQ(b->validateAndSetBeginDateAndEndDate(at(2024, 1, 10, 8), at(2024, 1, 11, 18)), 0);
    EXPECT_EQ(line->endPoint(), QPointF(180.5, 70));
}

TEST_F(LinkedBars, LookFollowsTheModelLink)
{
    EXPECT_EQ(line->route().size(), 2);
    EXPECT_TRUE(line->hasArrow());
    EXPECT_EQ(line->strokeWidth(), 1.0);
    const QRectF withArrow = line->frame();

    QList<QRectF> redraws;
    canvas.view.setRedrawObserver([&](const QRectF &rect) { redraws.append(rect); });
    dependency->setLinkStyle(kDMUIProjectDependency_StyleThreeSegments);
    EXPECT_EQ(line->route(), QPolygonF({QPointF(80.5, 10), QPointF(110.5, 10), QPointF(110.5, 50), QPointF(140.5, 50)}));
    EXPECT_FALSE(redraws.isEmpty());

    dependency->setHasArrow(false);
    EXPECT_TRUE(line->arrow().isEmpty());
    EXPECT_EQ(line->frame(), QRectF(79, 8.5, 63, 43));
    dependency->setThickness(2);
    dependency->setDashStyle(3);
    dependency->setColor(QColor(200, 0, 200));
    EXPECT_EQ(line->strokeWidth(), 2.5);
    EXPECT_EQ(line->dashStyle(), 3);
    EXPECT_EQ(line->strokeColor(), QColor(200, 0, 200));
    dependency->setLinkStyle(kDMUIProjectDependency_StyleLine);
    dependency->setHasArrow(true);
    EXPECT_EQ(line->frame(), withArrow);
}

TEST_F(LinkedBars, AClickAlongAVerticalLinkSelectsIt)
{
    // B moved under A's finish: Friday 8:00 is x 80.5, the same as A's end, in row 3.
    ASSERT_EQ(b->validateAndSetBeginDateAndEndDate(at(2024, 1, 5, 8), at(2024, 1, 8, 18)), 0);
    auto barB = GanttCanvas::barOf(b);
    barB->setFrame(QRectF(barB->frame().x(), 60, barB->frame().width(), 20));
    dependency->setHasArrow(false);
    ASSERT_EQ(line->startPoint(), QPointF(80.5, 10));
    ASSERT_EQ(line->endPoint(), QPointF(80.5, 70));
    EXPECT_EQ(line->frame().width(), 3.0);

    canvas.show();
    EXPECT_EQ(line->dragOperationForPoint(QPointF(80, 40), &canvas.view), 1);
    EXPECT_EQ(line->dragOperationForPoint(QPointF(83, 40), &canvas.view), 0);
    QTest::mouseClick(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(80, 40));
    EXPECT_TRUE(line->isSelected());
    // Near A's end the press belongs to A.
    canvas.view.deselectAll();
    QTest::mouseClick(&canvas.view, Qt::LeftButton, Qt::NoModifier, QPoint(80, 13));
    EXPECT_FALSE(line->isSelected());
}

TEST_F(LinkedBars, ACriticalLinkIsDrawnRedUnderAThinLine)
{
    // B right after A (Friday 8:00, x 80.5): both on the critical path, the link straight down.
    ASSERT_EQ(b->validateAndSetBeginDateAndEndDate(at(2024, 1, 5, 8), at(2024, 1, 8, 18)), 0);
    DMCriticalPath::update(*canvas.project);
    ASSERT_TRUE(a->partOfCriticalPath() && b->partOfCriticalPath());
    ASSERT_EQ(line->route(), QPolygonF({QPointF(80.5, 10), QPointF(80.5, 50)}));
    QImage image = renderView(canvas.view, QRectF(0, 0, 200, 80), 3, QStringLiteral("gantt2-link-critical.png"));
    // Halfway down: red either side of a thin dark middle.
    const int y = 30 * 3;
    const QRgb edge = image.pixel(int(80.5 * 3) - 3, y);
    const QRgb middle = image.pixel(int(80.5 * 3), y);
    EXPECT_GT(qRed(edge), 200);
    EXPECT_LT(qGreen(edge), 80);
    EXPECT_LT(qRed(middle), 200);
    // Selected, the halo is dark instead of red.
    line->setSelected(true);
    image = renderView(canvas.view, QRectF(0, 0, 200, 80));
    EXPECT_LT(qRed(image.pixel(int(80.5 * 3) - 3, y)), 160);
}

TEST(LinkRender, EveryStylePatternAndThickness)
{
    // One pair of bars per row pair; each link gets a style (5), a pattern (4) and a thickness (3).
    GanttCanvas canvas;
    LinkDataSource links;
    canvas.view.setDatasource(&links);
    canvas.view.resize(260, 400);
    int row = 0;
    QList<std::shared_ptr<DMProjectDependency>> made;
    for (int style = 0; style < 5; ++style) {
        for (int variant = 0; variant < 2; ++variant) {
            auto from = canvas.addTask(QStringLiteral("S%1").arg(style), at(2024, 1, 1, 8), at(2024, 1, 2, 18), row);
            auto to = canvas.addTask(QStringLiteral("T"), at(2024, 1, 5, 8), at(2024, 1, 8, 18), row + 1);
            auto dependency = from->addOutboundDependencyToItem(to);
            dependency->setLinkStyle(style);
            dependency->setDashStyle((style + variant * 2) % 4);
            dependency->setThickness((style + variant) % 3);
            dependency->setHasArrow(variant == 0);
            made.append(dependency);
            row += 2;
        }
    }
    links.items = canvas.source.items;
    const QImage image = renderView(canvas.view, canvas.view.rect(), 3, QStringLiteral("gantt2-links.png"));
    canvas.view.setDatasource(&canvas.source);
    // The arrow's tip rests on the successor's start; its pixels are dark (the two-segment-up
    // route enters vertically, where a sample left of the tip misses it).
    for (const auto &dependency : made) {
        const auto line = lineOf(dependency);
        if (!line->hasArrow() || dependency->linkStyle() == kDMUIProjectDependency_StyleTwoSegmentsUp)
            continue;
        const QPointF inside = line->endPoint() - QPointF(3, 0);
        EXPECT_LT(qGray(image.pixel(int(inside.x() * 3), int(inside.y() * 3))), 128) << dependency->linkStyle();
    }
}

TEST(LinkRender, DashesKeepTheirLengthInPoints)
{
    // A dashed horizontal link 2.5 points thick: dashes of 7 points, gaps of 2.
    GanttCanvas canvas;
    auto from = canvas.addTask(QStringLiteral("A"), at(2024, 1, 1, 8), at(2024, 1, 1, 18));
    auto to = canvas.addTask(QStringLiteral("B"), at(2024, 1, 10, 8), at(2024, 1, 10, 18));
    auto dependency = from->addOutboundDependencyToItem(to);
    dependency->setDashStyle(1);
    dependency->setThickness(2);
    dependency->setHasArrow(false);
    const auto line = lineOf(dependency);
    ASSERT_EQ(line->startPoint().y(), line->endPoint().y());
    QImage image(400, 40, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(0, 20 - line->startPoint().y());
    line->drawInRect(&painter, QRectF(), &canvas.view);
    painter.end();
    saveScreen(image, QStringLiteral("gantt2-link-dash.png"));
    // Count the dark runs along the line's middle row between its ends.
    const int y = 20;
    QList<int> runs;
    int run = 0;
    for (int x = int(line->startPoint().x()) + 1; x < int(line->endPoint().x()) - 1; ++x) {
        if (qGray(image.pixel(x, y)) < 160) {
            ++run;
        } else if (run > 0) {
            runs.append(run);
            run = 0;
        }
    }
    ASSERT_GE(runs.size(), 3);
    for (int i = 1; i + 1 < runs.size(); ++i) // inner dashes, whole
        EXPECT_NEAR(runs.at(i), 7, 1) << i;
}
