// A small plan made in the document window the way a user makes one: the Project page's dates, a
// day off, tasks added with the Tasks page's button and named by typing, a link drawn on the
// chart, a resource assigned in the inspector; then saved, reopened, and read back from every
// view.
#include "DocumentTestSupport.h"

#include "DMDateFormatter.h"
#include "DMGanttUIObjectFactory.h"
#include "DMInspectorResourcesOutline.h"
#include "DMInspectorWindow.h"
#include "DMItemsViewObject.h"
#include "DMPreferenceKeys.h"
#include "DMProjectDaysOffSettingsController.h"
#include "DMProjectDocumentItemsView.h"
#include "DMProjectDocumentReport.h"
#include "DMProjectItemsOutlineViewDS.h"
#include "DMProjectResource.h"
#include "DMProjectResourcesOutlineViewDS.h"
#include "DMProjectSettingsController.h"
#include "DMProjectTask.h"
#include "DMProjectView.h"
#include "DMProjectViewConstants.h"
#include "DMProjectDocumentObjectViewDataSource.h"
#include "DMUIProjectTask.h"
#include "DMUIProjectTaskInspectorController.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidgetItem>

using namespace halcyra::test;
using DS = DMProjectDocumentSourceListOutlineDS;

namespace {

class PlanMadeByHandTest : public DocumentTestBase
{
protected:
    void SetUp() override
    {
        DocumentTestBase::SetUp();
        DMGanttUIObjectFactory::registerWithModel();
        DMPreferenceKeys_writeDefaultValues();
        DMUserDefaults::standardUserDefaults().setBoolForKey(true, kDMDoNotShowDocumentCopyAlert);
    }
    void TearDown() override
    {
        if (DMUIProjectTaskInspectorController *inspector = DMUIProjectTaskInspectorController::sharedInstance())
            inspector->editObject(nullptr);
        DMInspectorWindow::sharedWindow()->hide();
        DocumentTestBase::TearDown();
    }

    static void press(QWidget *page, const QString &title)
    {
        for (QPushButton *button : page->findChildren<QPushButton *>())
            if (button->text() == title && button->isVisible()) {
                // A click on a window brings it to the front (an inspector may have had it).
                button->window()->activateWindow();
                ASSERT_TRUE(QTest::qWaitForWindowActive(button->window()));
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        ADD_FAILURE() << "no button " << title.toStdString();
    }
    // Types over the text of the in-place editor that has the focus and ends with Return.
    static void typeTitle(const QString &text)
    {
        finishEventLoopTurn();
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        ASSERT_TRUE(editor) << "no title is being edited";
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        finishEventLoopTurn();
    }
    // Selects all of the picker's text and types a whole date over it.
    static void typeDate(QDateTimeEdit *picker, const QString &text)
    {
        picker->setFocus();
        QTest::keyClick(picker, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(picker, text);
        QTest::keyClick(picker, Qt::Key_Return);
    }
    // Double-clicks a row's title to edit it in place.
    static void editTitle(DMOutlineView *outline, int row, const QString &column = QStringLiteral("title"))
    {
        const QPoint point =
            outline->frameOfCellAtColumnRow(outline->columnWithIdentifier(column), row).center() - outline->contentOffset();
        QTest::mouseClick(outline->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(outline->viewport(), Qt::LeftButton, {}, point);
    }
    QPoint onCanvas(QPointF canvasPoint) const
    {
        return document->outlets().projectView->convertRectFromCanvasToView(QRectF(canvasPoint, QSizeF())).topLeft().toPoint();
    }
    static std::shared_ptr<DMUIProjectTask> barOf(const std::shared_ptr<DMProjectItem> &item)
    {
        return std::dynamic_pointer_cast<DMUIProjectTask>(item->ganttUIObject());
    }
    std::shared_ptr<DMProjectItem> task(const QString &title) const
    {
        for (const auto &item : document->project()->tasks())
            if (item->title() == title)
                return item;
        return nullptr;
    }

    std::shared_ptr<DMProjectDocument> document;
};

QStringList titlesOf(const QList<DMItemsViewObject> &cards)
{
    QStringList titles;
    for (const DMItemsViewObject &card : cards)
        if (const auto item = std::dynamic_pointer_cast<DMProjectItem>(card.object))
            titles.append(item->title());
    return titles;
}

// A pointer move, with the left button held or not, sent straight to the widget.
void movePointer(QWidget *widget, QPoint point, Qt::MouseButtons buttons)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(point), widget->mapToGlobal(QPointF(point)), Qt::NoButton, buttons,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

} // namespace

TEST_F(PlanMadeByHandTest, SavedReopenedAndTheSameInEveryView)
{
    document = DMDocumentController::sharedDocumentController().newDocument(false);
    showWindow(document, QSize(1300, 700));

    // The Project page: a plan from Monday 4 March 2024, whose stored end comes before its work.
    choose(document, DMPage::ProjectSettingsPage);
    DMProjectSettingsController *settings = document->outlets().projectSettingsController.get();
    typeDate(settings->beginDatePicker(), QStringLiteral("2024-03-04 08:00"));
    typeDate(settings->endDatePicker(), QStringLiteral("2024-03-05 18:00"));
    auto project = document->project();
    ASSERT_EQ(project->beginDate(), at(2024, 3, 4, 8));

    // Tuesday 5 March off: a new day off is today's, moved to the 5th.
    choose(document, DMPage::DaysOffPage);
    DMProjectDaysOffSettingsController *daysOff = document->outlets().daysOffSettingsController.get();
    QTest::mouseClick(daysOff->daysOffAddButton(), Qt::LeftButton);
    DMOutlineView *daysTable = daysOff->daysOffTableView();
    const DMOutlineViewModel *daysModel = daysTable->outlineModel();
    for (const char *column : {"date", "enddate"})
        const_cast<DMOutlineViewModel *>(daysModel)->setData(
            daysModel->indexForRow(0, daysModel->logicalColumnWithIdentifier(QLatin1String(column))), QDate(2024, 3, 5));
    ASSERT_FALSE(project->isWorkingDay(at(2024, 3, 5)));

    // Three tasks from the Tasks page's button: the first opens its inspector, the others are
    // named as they come.
    choose(document, DMPage::TasksPage);
    DMProjectItemsOutlineViewDS *tasks = document->projectItemsOutlineViewDS();
    press(tasks->containerView(), QStringLiteral("New Task"));
    editTitle(tasks->outlineView(), 0);
    typeTitle(QStringLiteral("Demolition"));
    for (const QString &title : {QStringLiteral("Wiring"), QStringLiteral("Plastering")}) {
        press(tasks->containerView(), QStringLiteral("New Task"));
        typeTitle(title);
    }
    ASSERT_EQ(rowsOf(tasks->outlineView()), (QStringList{"Demolition", "Wiring", "Plastering"}));

    // Anna, from the Resources page's button.
    choose(document, DMPage::ResourcesPage);
    DMProjectResourcesOutlineViewDS *resources = document->projectResourcesOutlineViewDS();
    press(resources->containerView(), QStringLiteral("New Resource"));
    editTitle(resources->outlineView(), 0, DMProjectResourcesOutlineViewDS::kNameColumn);
    typeTitle(QStringLiteral("Anna (electrician)"));
    ASSERT_EQ(project->resources().size(), 1);
    const auto anna = project->resources().at(0);
    ASSERT_EQ(anna->name(), QStringLiteral("Anna (electrician)"));

    // On the chart: a link from the end of Demolition to Wiring, drawn with the mouse, pushes
    // Wiring past the day off; a double click on Wiring opens its inspector, where Anna is
    // checked.
    choose(document, DMPage::GanttPage);
    DMProjectView *canvas = document->outlets().projectView;
    const auto demolition = barOf(task(QStringLiteral("Demolition")));
    const auto wiring = barOf(task(QStringLiteral("Wiring")));
    ASSERT_TRUE(demolition && wiring);
    const QPoint handle = onCanvas(demolition->dependencyStartRect().center());
    movePointer(canvas, handle, Qt::NoButton); // the handles show on the bar under the pointer
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, handle);
    // Let go nearer Wiring's begin than its end: finish to start.
    const QPoint target = onCanvas(QPointF(wiring->frame().left() + wiring->frame().width() / 4, wiring->frame().center().y()));
    for (int i = 1; i <= 6; ++i)
        movePointer(canvas, handle + (target - handle) * i / 6, Qt::LeftButton);
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, target);
    ASSERT_TRUE(task(QStringLiteral("Demolition"))->outboundDependencyToItem(task(QStringLiteral("Wiring")).get()));
    const QPoint onWiring = onCanvas(wiring->frame().center());
    QTest::mouseDClick(canvas, Qt::LeftButton, Qt::NoModifier, onWiring);
    DMUIProjectTaskInspectorController *inspector = DMUIProjectTaskInspectorController::sharedInstance();
    ASSERT_TRUE(waitFor([&] { return inspector->resourcesOutlineView()->itemForResource(anna.get()); }));
    inspector->resourcesOutlineView()->itemForResource(anna.get())->setCheckState(0, Qt::Checked);
    ASSERT_TRUE(std::dynamic_pointer_cast<DMProjectTask>(task(QStringLiteral("Wiring")))->isAssignedToResource(anna.get()));

    const QString package = path(QStringLiteral("Renovation.hy2"));
    ASSERT_TRUE(document->saveToPath(package, DMProjectDocument::SaveAsOperation));
    document->closeWithoutShowingRecentItemsWindow();
    document.reset();
    DMDocumentController::sharedDocumentController().releaseClosedDocuments();

    document = open(package);
    ASSERT_TRUE(document);
    showWindow(document, QSize(1300, 700));
    project = document->project();
    const struct
    {
        const char *title;
        DMDate begin;
        DMDate end;
    } expected[] = {{"Demolition", at(2024, 3, 4, 8), at(2024, 3, 4, 18)},
                    {"Wiring", at(2024, 3, 6, 8), at(2024, 3, 6, 18)},
                    {"Plastering", at(2024, 3, 4, 8), at(2024, 3, 4, 18)}};
    QStringList titles;
    for (const auto &row : expected) {
        SCOPED_TRACE(row.title);
        const auto item = task(QString::fromLatin1(row.title));
        ASSERT_TRUE(item);
        EXPECT_EQ(item->beginDate(), row.begin);
        EXPECT_EQ(item->endDate(), row.end);
        EXPECT_EQ(item->duration(), 36000) << "a working day of 08:00 to 18:00";
        titles.append(item->title());
    }
    const auto wiringTask = std::dynamic_pointer_cast<DMProjectTask>(task(QStringLiteral("Wiring")));
    ASSERT_EQ(wiringTask->concernedResources().size(), 1);
    EXPECT_EQ(wiringTask->concernedResources().at(0)->name(), QStringLiteral("Anna (electrician)"));

    // The report's header encloses the plan; the stored end (5 March) is not shown.
    const DMDateFormatter days(DMDateFormatter::YearMonthDay);
    const QString report = document->report()->reportGenerateHTML();
    EXPECT_TRUE(report.contains(days.stringFromDate(at(2024, 3, 4))));
    EXPECT_TRUE(report.contains(days.stringFromDate(at(2024, 3, 6))));
    EXPECT_FALSE(report.contains(days.stringFromDate(at(2024, 3, 5))));

    // Every view names the tasks alike: the outline, its bars, the task list, the cards, the report.
    choose(document, DMPage::GanttPage);
    EXPECT_EQ(rowsOf(document->outlets().projectOutlineView, QStringLiteral("title"), 1), titles) << "under the events row";
    canvas = document->outlets().projectView;
    QList<std::pair<qreal, QString>> bars;
    for (const auto &object : document->objectViewDataSource()->objectViewObjectsInRectForLayer(
             canvas, QRectF(0, 0, canvas->width(), canvas->height()), kDMProjectViewLayer_Items))
        if (const auto bar = std::dynamic_pointer_cast<DMUIProjectItem>(object))
            bars.append({bar->frame().y(), bar->representedObject()->title()});
    std::sort(bars.begin(), bars.end());
    QStringList barTitles;
    for (const auto &bar : bars)
        barTitles.append(bar.second);
    EXPECT_EQ(barTitles, titles) << "the bars, row by row";
    choose(document, DMPage::TasksPage);
    EXPECT_EQ(rowsOf(document->projectItemsOutlineViewDS()->outlineView()), titles);
    document->showPageWithTag(2);
    QStringList cards = titlesOf(document->itemsView()->itemsArrayWithTag(2));
    QStringList sorted = titles;
    cards.sort();
    sorted.sort();
    EXPECT_EQ(cards, sorted) << "in the cards' own order";
    for (const QString &title : titles)
        EXPECT_TRUE(report.contains(title)) << title.toStdString();
}
