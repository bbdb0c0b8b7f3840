// The project's timeline data source driving a real header: spans, column widths, today's
// column, clicks on the bands and the rendering of each scale.

#include "GanttTestSupport.h"

#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectTimelineDataSource.h"
#include "DMTimelineView.h"
#include "OCVColumnGroup.h"

#include <QLocale>

using namespace gantttest;

namespace {

// The project's source; on request every column answers a week group that ends before it.
class GroupSource : public DMProjectTimelineDataSource
{
public:
    std::shared_ptr<OCVColumnGroup> timeLineViewWeekGroupForColumn(DMTimelineView *view, int column) override
    {
        if (badGroups)
            return std::make_shared<OCVColumnGroup>(QStringLiteral("W"), 0, 0);
        return DMProjectTimelineDataSource::timeLineViewWeekGroupForColumn(view, column);
    }
    bool badGroups = false;
};

class TimelineDataSource : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        rebuildHourNames();
        project = DMProject::create();
        project->setBeginDate(at(2024, 3, 4, 8));
        project->setEndDate(at(2024, 3, 22, 18));
        project->setAttribute(kDMProject_Settings_DayTimeSpan, QVariantMap{{kDMTimeSpanBegin, 480}, {kDMTimeSpanEnd, 1080}});
        project->setAttribute(kDMProject_Settings_FirstDayOfWeek, 1);
        source.setProject(project);
        source.setDateForNowProvider([this] { return now; });
        view.setDataSource(&source);
    }
    void TearDown() override { view.setDataSource(nullptr); }

    // What the document does on a relayout: the canvas's origin, end and day width.
    void show(int mode, const DMDate &begin, const DMDate &end, float pixelsPerDay, int width)
    {
        project->setAttribute(kDMProject_TimelineViewMode, mode);
        DMProject_DisplayAttributes &attributes = project->displayAttributes();
        attributes.timeSpanBeginDate = begin;
        attributes.timeSpanEndDate = end;
        attributes.pixelsPerDay = pixelsPerDay;
        view.resize(width, 57);
        view.resetCursorRects();
    }

    // The scale a click left: mode, stored span and pixels per day.
    void expectScale(int mode, const DMDate &begin, const DMDate &end, float pixelsPerDay = -1)
    {
        const auto span = DMTimelineTimeSpan::fromDictionary(project->attribute(kDMProject_TimelineViewTimeSpan));
        EXPECT_EQ(project->attribute(kDMProject_TimelineViewMode).toInt(), mode);
        EXPECT_EQ(std::make_pair(span.begin, span.end), std::make_pair(begin, end));
        if (pixelsPerDay >= 0) {
            EXPECT_FLOAT_EQ(project->attribute(kDMProject_TimelineViewPixelsPerDay).toFloat(), pixelsPerDay);
        }
    }

    std::shared_ptr<DMProject> project;
    GroupSource source;
    DMTimelineView view;
    DMDate now = at(2024, 3, 6, 10, 20);
};

// The colour of the middle of a y-up rectangle in a rendering of the header.
QColor colourAt(const QImage &image, const QRectF &yUp)
{
    const QRectF r = DMTimelineView::toQtRect(yUp, image.height());
    return image.pixelColor(int(r.center().x()), int(r.center().y()));
}

bool isHighlightBlue(const QColor &c)
{
    return c.blue() > c.red() + 80;
}

// Pixels of a band that only text can give: light or dark grey unlike the band's artwork.
int textPixels(const QImage &image, DMTimelineView::Band band, bool darkText)
{
    const QRectF r = DMTimelineView::toQtRect(DMTimelineView::bandRect(band, QRectF(QPointF(), image.size())), image.height());
    int count = 0;
    for (int y = int(r.top()) + 2; y < int(r.bottom()) - 2; ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const bool grey = std::abs(c.red() - c.green()) < 16 && std::abs(c.green() - c.blue()) < 16;
            const bool white = c.red() > 235 && c.green() > 235 && c.blue() > 235;
            if ((darkText && grey && c.red() < 120) || (!darkText && (white || (grey && c.red() > 150))))
                ++count;
        }
    return count;
}

} // namespace

TEST(TimelineTimeSpan, EffectiveSpanWidensOverTasksAndEvents)
{
    auto project = DMProject::create();
    project->setBeginDate(at(2024, 3, 4, 8));
    project->setEndDate(at(2024, 3, 22, 18));
    auto task = makeItem<DMProjectTask>(project, QString(), at(2024, 3, 1, 9), at(2024, 3, 10, 17));
    project->tasks().append(task);
    task->subitems().append(makeItem<DMProjectTask>(project, QString(), at(2024, 3, 20, 8), at(2024, 4, 2, 12)));
    DMTimelineTimeSpan span = DMProjectTimelineDataSource_effectiveProjectTimeSpan(*project);
    EXPECT_EQ(span.begin, at(2024, 3, 1));
    EXPECT_EQ(span.end, at(2024, 4, 9)); // the last day at 00:00 plus 7 days

    project->eventContainer()->events().append(
        makeItem<DMProjectEvent>(project, QString(), at(2024, 2, 27, 10), at(2024, 2, 28, 10)));
    EXPECT_EQ(DMProjectTimelineDataSource_effectiveProjectTimeSpan(*project).begin, at(2024, 2, 27));

    auto empty = DMProject::create();
    empty->setBeginDate(DMDate());
    empty->setEndDate(DMDate());
    span = DMProjectTimelineDataSource_effectiveProjectTimeSpan(*empty, at(2024, 5, 5, 15));
    EXPECT_EQ(std::make_pair(span.begin, span.end), std::make_pair(at(2024, 5, 5), at(2024, 5, 12)));
}

TEST(TimelineTimeSpan, UnitsHoldingADate)
{
    const DMDate date = at(2024, 2, 29, 15);
    auto span = [&date](int mode, int firstDay) {
        const DMTimelineTimeSpan s = DMProjectTimelineDataSource_timeSpanForModeContainingDate(mode, date, firstDay);
        return std::make_pair(s.begin, s.end);
    };
    EXPECT_EQ(span(1, 1), std::make_pair(at(2024, 2, 26), at(2024, 3, 4))); // Monday to Monday
    EXPECT_EQ(span(1, 0), std::make_pair(at(2024, 2, 25), at(2024, 3, 3))); // Sunday to Sunday
    EXPECT_EQ(span(3, 1), std::make_pair(at(2024, 1, 1), at(2025, 1, 1)));
    EXPECT_FALSE(DMProjectTimelineDataSource_timeSpanForModeContainingDate(4, date, 1).isValid());
}

TEST_F(TimelineDataSource, ShownSpanIsTheStoredOneOrTheCustomOneForTheWholeProject)
{
    project->setAttribute(kDMProject_TimelineViewMode, 2);
    EXPECT_EQ(DMProjectTimelineDataSource_shownTimeSpan(*project).begin, at(2024, 3, 4)); // nothing stored yet
    project->setAttribute(kDMProject_TimelineViewTimeSpan, DMTimelineTimeSpan{at(2024, 3, 1), at(2024, 4, 1)}.dictionary());
    project->setAttribute(kDMProject_TimelineViewCustomTimeSpan, DMTimelineTimeSpan{at(2024, 2, 1), at(2024, 5, 1)}.dictionary());
    EXPECT_EQ(DMProjectTimelineDataSource_shownTimeSpan(*project).begin, at(2024, 3, 1));
    project->setAttribute(kDMProject_TimelineViewMode, 4);
    EXPECT_EQ(DMProjectTimelineDataSource_shownTimeSpan(*project).begin, at(2024, 2, 1));
    // A span read back from a file holds dates as dictionaries.
    project->setAttribute(kDMProject_TimelineViewCustomTimeSpan,
                          QVariantMap{{kDMTimeSpanBegin, at(2024, 1, 1).dictionaryRepresentation()},
                                      {kDMTimeSpanEnd, at(2024, 2, 1).dictionaryRepresentation()}});
    EXPECT_EQ(DMProjectTimelineDataSource_shownTimeSpan(*project).end, at(2024, 2, 1));
}

TEST_F(TimelineDataSource, ColumnsFollowTheCanvasInEachScale)
{
    show(0, at(2024, 3, 6), at(2024, 3, 7), 800, 800);
    EXPECT_EQ(source.modeForTimeLineView(&view), 0);
    EXPECT_EQ(source.columnCache().columnCount(), 40);
    EXPECT_FLOAT_EQ(source.columnWidthForTimeLineView(&view), 20.0f); // 800 / 40 quarter hours
    EXPECT_EQ(source.timeLineViewGetSelectedColumn(&view), 9);         // 10:20 in the 8:00 window
    int begin = 0, end = 0;
    source.timeLineViewBeginMinuteForDayViewEndMinute(&view, &begin, &end);
    EXPECT_EQ(std::make_pair(begin, end), std::make_pair(480, 1080));

    show(1, at(2024, 3, 4), at(2024, 3, 11), 100, 700);
    EXPECT_EQ(source.columnCache().columnCount(), 7);
    EXPECT_FLOAT_EQ(source.columnWidthForTimeLineView(&view), 100.0f);
    EXPECT_EQ(source.timeLineViewTitleForColumn(&view, 2), "Wed 06");
    EXPECT_EQ(source.timeLineViewGetSelectedColumn(&view), 2);

    show(2, at(2024, 3, 1), at(2024, 4, 1), 20, 620);
    EXPECT_EQ(source.columnCache().columnCount(), 31);
    EXPECT_EQ(source.timeLineViewGetSelectedColumn(&view), 5);
    EXPECT_EQ(source.timeLineViewMonthGroupForColumn(&view, 30)->title(), "Mar 2024");
    EXPECT_EQ(source.timeLineViewWeekGroupForColumn(&view, 3)->title(), "Week 10");

    now = at(2023, 12, 31, 12);
    EXPECT_EQ(source.timeLineViewGetSelectedColumn(&view), -1); // today is not shown
}

TEST_F(TimelineDataSource, VisibleColumnsAreThoseOverTheVisibleRect)
{
    show(3, at(2024, 1, 1), at(2025, 1, 1), 10, 3660);
    int total = 0, first = 0, last = 0;
    double firstX = 0, lastX = 0;
    source.timeLineViewTotalColumnsGetMinColumnMinColumnMinXMaxColumnMaxColumnMaxX(&view, &total, &first, &firstX, &last, &lastX);
    EXPECT_EQ(std::make_tuple(total, first, last, lastX), std::make_tuple(366, 0, 365, 3660.0));

    // Shown in a window 500 points wide and scrolled to x = 1005: columns 100 to 150.
    QWidget window;
    window.resize(500, 57);
    view.setParent(&window);
    view.move(-1005, 0);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(view.visibleRect(), QRectF(1005, 0, 500, 57));
    source.timeLineViewTotalColumnsGetMinColumnMinColumnMinXMaxColumnMaxColumnMaxX(&view, &total, &first, &firstX, &last, &lastX);
    EXPECT_EQ(std::make_tuple(first, firstX, last, lastX), std::make_tuple(100, 1000.0, 150, 1510.0));
    EXPECT_EQ(view.layout().cells.size(), 51);
    // Printing lays out every column.
    view.setPrinting(true);
    EXPECT_EQ(view.layout().cells.size(), 366);
    view.setPrinting(false);
    view.setParent(nullptr);
}

TEST_F(TimelineDataSource, AGroupEndingBeforeItsColumnDoesNotStopTheWalk)
{
    show(2, at(2024, 3, 1), at(2024, 4, 1), 20, 620);
    source.badGroups = true;
    const auto groups = view.layout().groups;
    EXPECT_EQ(std::count_if(groups.begin(), groups.end(), [](const auto &g) { return g.band == DMTimelineView::WeekBand; }), 31);
}

TEST_F(TimelineDataSource, AGroupPartlyInViewShowsItsTitleInItsVisiblePartOrAShorterForm)
{
    // March 2024 at 20 points a day: the month runs over x 0 to 620, its last week (Monday 25th
    // to Sunday 31st) over x 480 to 620.
    show(2, at(2024, 3, 1), at(2024, 4, 1), 20, 620);
    QWidget window;
    window.resize(300, 57);
    view.setParent(&window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const auto titleOf = [this](DMTimelineView::Band band, int column) {
        for (const DMTimelineView::Group &group : view.layout().groups)
            if (group.band == band && column >= group.beginColumn && column <= group.endColumn)
                return group;
        return DMTimelineView::Group();
    };
    const DMTextAttributes &month = view.columnSuperHeaderBoldAttributes(); // bold in the month scale
    const DMTextAttributes &week = view.columnSuperHeaderAttributes();

    // Scrolled to x 500: the last 120 points of both groups are in view, and their whole titles
    // are drawn there.
    view.move(-500, 0);
    for (const auto &[band, title] : {std::pair{DMTimelineView::MonthBand, "Mar 2024"}, {DMTimelineView::WeekBand, "Week 13"}}) {
        const DMTimelineView::Group group = titleOf(band, 30);
        EXPECT_EQ(group.title, QString::fromLatin1(title));
        EXPECT_GE(group.titleRect.left(), 500);
        EXPECT_LE(group.titleRect.right(), 620);
    }

    // Scrolled to x 590: 30 points of each are in view, too few for the titles.
    ASSERT_GT(month.sizeOfString(QStringLiteral("Mar 2024")).width(), 30);
    ASSERT_LE(month.sizeOfString(QStringLiteral("Mar")).width(), 30);
    ASSERT_GT(week.sizeOfString(QStringLiteral("Week 13")).width(), 30);
    view.move(-590, 0);
    EXPECT_EQ(titleOf(DMTimelineView::MonthBand, 30).title, QStringLiteral("Mar"));
    EXPECT_EQ(titleOf(DMTimelineView::WeekBand, 30).title, QStringLiteral("13"));
    EXPECT_GE(titleOf(DMTimelineView::MonthBand, 30).titleRect.left(), 590);
    // Two points in view: no form fits, and none is drawn.
    view.move(-618, 0);
    EXPECT_TRUE(titleOf(DMTimelineView::MonthBand, 30).title.isEmpty());
    view.setParent(nullptr);
}

TEST_F(TimelineDataSource, AClickOnABandChangesTheScale)
{
    show(2, at(2024, 3, 1), at(2024, 4, 1), 20, 620);
    auto click = [this](int x, int yUp) {
        QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(x, view.height() - yUp));
    };

    QTest::mouseClick(&view, Qt::RightButton, Qt::NoModifier, QPoint(105, view.height() - 30));
    EXPECT_EQ(project->attribute(kDMProject_TimelineViewMode).toInt(), 2); // only the left button
    click(105, 30); // the week band over 6 March
    expectScale(1, at(2024, 3, 4), at(2024, 3, 11), 620.0f / 7);

    show(2, at(2024, 3, 1), at(2024, 4, 1), 20, 620);
    click(105, 5); // the column of 6 March
    expectScale(0, at(2024, 3, 6), at(2024, 3, 7), 620.0f);

    // In the day scale the columns are quarter hours: only the week and month bands respond.
    show(0, at(2024, 3, 6), at(2024, 3, 7), 620, 620);
    click(300, 5);
    EXPECT_EQ(project->attribute(kDMProject_TimelineViewMode).toInt(), 0);
    click(300, 50);
    expectScale(2, at(2024, 3, 1), at(2024, 4, 1), 20.0f);

    // The whole project: the month band over 2 April.
    show(4, at(2024, 3, 4), at(2024, 4, 10), 10, 370);
    click(295, 40);
    expectScale(2, at(2024, 4, 1), at(2024, 5, 1));

    // Outside the bands nothing changes.
    EXPECT_FALSE(source.changeScaleForClickAtPoint(QPointF(10, 60), view.bounds(), 370));
    source.setProject({});
    EXPECT_FALSE(source.changeScaleForClickAtPoint(QPointF(10, 5), view.bounds(), 370));
}

TEST_F(TimelineDataSource, PointingHandOverTheClickableBands)
{
    show(1, at(2024, 3, 4), at(2024, 3, 11), 100, 700);
    ASSERT_EQ(view.cursorRects().size(), 2);
    EXPECT_EQ(view.cursorShapeAtPoint(QPointF(50, 5)), Qt::PointingHandCursor);  // a day
    EXPECT_EQ(view.cursorShapeAtPoint(QPointF(50, 25)), Qt::ArrowCursor);        // its own week
    EXPECT_EQ(view.cursorShapeAtPoint(QPointF(50, 45)), Qt::PointingHandCursor); // the month

    show(4, at(2024, 3, 4), at(2024, 4, 10), 10, 370);
    EXPECT_EQ(view.cursorRects().size(), 3);
    EXPECT_EQ(view.cursorRects().at(2).rect, QRectF(0, 38, 370, 19));
}

TEST_F(TimelineDataSource, TheDataSourceOutlivesNoProject)
{
    show(2, at(2024, 3, 1), at(2024, 4, 1), 20, 620);
    EXPECT_EQ(view.layout().cells.size(), 31);
    project.reset();
    EXPECT_EQ(source.project(), nullptr);
    EXPECT_TRUE(view.layout().cells.isEmpty());
    EXPECT_FALSE(view.grab().isNull());
}

TEST_F(TimelineDataSource, RendersEachScaleWithTodayHighlighted)
{
    struct Scale
    {
        int mode;
        DMDate begin, end;
        float pixelsPerDay;
        int width;
        DMDate today;
    };
    const Scale scales[] = {
        {0, at(2024, 3, 6), at(2024, 3, 7), 900, 900, at(2024, 3, 6, 10, 20)},
        {1, at(2024, 3, 4), at(2024, 3, 11), 900.0f / 7, 900, at(2024, 3, 6, 10)},
        {2, at(2024, 3, 1), at(2024, 4, 1), 29, 899, at(2024, 3, 6, 10)},
        {3, at(2024, 1, 1), at(2025, 1, 1), 16, 1200, at(2024, 2, 14, 10)},
        {4, at(2024, 2, 20), at(2024, 4, 15), 18, 990, at(2024, 3, 6, 10)},
    };
    for (const Scale &scale : scales) {
        SCOPED_TRACE(scale.mode);
        now = scale.today;
        show(scale.mode, scale.begin, scale.end, scale.pixelsPerDay, scale.width);
        const QImage image = view.grab().toImage();
        ASSERT_EQ(image.height(), 57);
        saveScreen(image, QStringLiteral("timeline-mode%1.png").arg(scale.mode));

        const DMTimelineView::Layout layout = view.layout();
        ASSERT_GE(layout.selectedColumn, 0);
        for (const DMTimelineView::Cell &cell : layout.cells) {
            if (cell.column >= layout.totalColumns)
                continue;
            // Sample beside the label, inside the cell's insets.
            const QRectF inside(cell.rect.x() + 1, 15, 1, 1);
            EXPECT_EQ(isHighlightBlue(colourAt(image, inside)), cell.selected) << "column " << cell.column;
        }
        // The week and the month of today are highlighted too, and only they.
        for (const DMTimelineView::Group &group : layout.groups) {
            const QRectF inside(group.rect.x() + 2, group.rect.y() + 15, 1, 1);
            EXPECT_EQ(isHighlightBlue(colourAt(image, inside)), group.selected) << "group at " << group.beginColumn;
            EXPECT_EQ(group.selected, layout.selectedColumn >= group.beginColumn && layout.selectedColumn <= group.endColumn);
        }
        EXPECT_GT(textPixels(image, DMTimelineView::ColumnBand, false), 0);
        EXPECT_GT(textPixels(image, DMTimelineView::WeekBand, true) + textPixels(image, DMTimelineView::WeekBand, false), 0);
        EXPECT_GT(textPixels(image, DMTimelineView::MonthBand, false), 0);
    }
}
