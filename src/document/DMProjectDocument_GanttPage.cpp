// DMProjectDocument: the Gantt page of the document window (outline, timeline header, canvas),
// and what the canvas's controller asks of it.
#include "DMProjectDocument.h"

#include "DMOutlineView.h"
#include "DMProjectDaysOffSettingsController.h"
#include "DMProjectSettingsController.h"
#include "DMPrintPanelController.h"
#include "DMProject.h"
#include "DMProjectTimelineDataSource.h"
#include "DMSearchField.h"
#include "DMProjectView.h"
#include "DMTimelineView.h"
#include "DMYieldingSplitter.h"

#include <QFrame>
#include <QHeaderView>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>


namespace {

// The header's three bands.
constexpr int kTimelineHeight = int(3 * DMTimelineView::kBandHeight);

QScrollArea *makeScrollArea(QWidget *parent, const char *name)
{
    auto *scroll = new QScrollArea(parent);
    scroll->setObjectName(QLatin1String(name));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(false);
    scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return scroll;
}

} // namespace

void DMProjectDocument::buildGanttPage(QWidget *content)
{
    // The outline keeps its width beside the chart, and gives way when the window narrows.
    auto *projectContainer = new DMYieldingSplitter(Qt::Horizontal, content);
    m_outlets.projectContainer = projectContainer;

    // The outline: its rows start where the canvas's rows start, under a filler that makes its
    // header as high as the timeline header. It scrolls vertically with the canvas, whose
    // scroll bar serves both; both keep a horizontal bar so their visible heights agree.
    auto *outlinePane = new QWidget(projectContainer);
    auto *outlineLayout = new QVBoxLayout(outlinePane);
    outlineLayout->setContentsMargins(0, 0, 0, 0);
    outlineLayout->setSpacing(0);
    auto *filler = new QWidget(outlinePane);
    filler->setObjectName(QStringLiteral("projectOutlineHeaderFiller"));
    outlineLayout->addWidget(filler);
    auto *outline = new DMOutlineView(outlinePane);
    outline->setObjectName(QStringLiteral("projectOutlineView"));
    outline->setFrameShape(QFrame::NoFrame);
    outline->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    outline->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    outline->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    outline->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    outline->setSelectionMode(QAbstractItemView::ExtendedSelection);
    outlineLayout->addWidget(outline, 1);
    m_outlets.projectOutlineView = outline;
    m_projectOutlineDS->attachToOutlineView(); // its columns
    filler->setFixedHeight(std::max(0, kTimelineHeight - outline->header()->sizeHint().height()));

    // The timeline header above the canvas, in a scroll area of its own that follows the
    // canvas's horizontal scrolling.
    auto *chart = new QWidget(projectContainer);
    auto *chartLayout = new QVBoxLayout(chart);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->setSpacing(0);
    QScrollArea *timelineScroll = makeScrollArea(chart, "timelineViewScrollArea");
    timelineScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    timelineScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    timelineScroll->setFixedHeight(kTimelineHeight);
    // The header scrolls only with the canvas: the keyboard passes it by.
    timelineScroll->setFocusPolicy(Qt::NoFocus);
    auto *timeline = new DMTimelineView;
    timeline->resize(10, kTimelineHeight);
    timelineScroll->setWidget(timeline);
    chartLayout->addWidget(timelineScroll);
    m_outlets.timelineView = timeline;
    m_outlets.timelineViewScrollArea = timelineScroll;

    QScrollArea *canvasScroll = makeScrollArea(chart, "projectViewScrollArea");
    canvasScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    canvasScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto *canvas = new DMProjectView;
    canvas->setObjectName(QStringLiteral("projectView"));
    // Tab reaches the canvas (after its scroll area, whose arrow keys scroll): the canvas's keys
    // nudge, move and delete the selected bars.
    canvas->setFocusPolicy(Qt::StrongFocus);
    canvasScroll->setWidget(canvas);
    chartLayout->addWidget(canvasScroll, 1);
    m_outlets.projectView = canvas;
    m_outlets.projectViewScrollArea = canvasScroll;

    QScrollBar *canvasVertical = canvasScroll->verticalScrollBar();
    QScrollBar *outlineVertical = outline->verticalScrollBar();
    connect(canvasVertical, &QScrollBar::valueChanged, outlineVertical, &QScrollBar::setValue);
    connect(outlineVertical, &QScrollBar::valueChanged, canvasVertical, &QScrollBar::setValue);
    QScrollBar *canvasHorizontal = canvasScroll->horizontalScrollBar();
    QScrollBar *timelineHorizontal = timelineScroll->horizontalScrollBar();
    connect(canvasHorizontal, &QScrollBar::valueChanged, timelineHorizontal, &QScrollBar::setValue);
    // A scroll of the header's own (a sideways wheel over it) is put back: it shows the
    // canvas's columns.
    connect(timelineHorizontal, &QScrollBar::valueChanged, canvasHorizontal,
            [canvasHorizontal, timelineHorizontal] { timelineHorizontal->setValue(canvasHorizontal->value()); });
    // The header's hand cursors cover only its visible part.
    connect(canvasScroll->horizontalScrollBar(), &QScrollBar::valueChanged, timeline,
            [this] {
                if (m_outlets.timelineView)
                    m_outlets.timelineView->resetCursorRects();
            });

    projectContainer->setStretchFactor(0, 0);
    projectContainer->setStretchFactor(1, 1);
    projectContainer->setSizes({360, 700});
    projectContainer->setGivenFirstLength(360);
    if (auto *stack = qobject_cast<QStackedWidget *>(content))
        stack->addWidget(projectContainer);
}

// ---- The Gantt page's views and rows, for the canvas's controller ----

DMProjectView *DMProjectDocument::projectView() const
{
    return m_outlets.projectView;
}

QScrollArea *DMProjectDocument::projectViewScrollArea() const
{
    return m_outlets.projectViewScrollArea;
}

DMTimelineView *DMProjectDocument::timelineView() const
{
    return m_outlets.timelineView;
}

DMOutlineView *DMProjectDocument::projectOutlineView() const
{
    return m_outlets.projectOutlineView;
}

std::shared_ptr<DMProjectObject> DMProjectDocument::projectOutlineObjectAtRow(int row) const
{
    const DMOutlineView *outline = m_outlets.projectOutlineView;
    if (!outline || row < 0 || row >= outline->numberOfRows())
        return nullptr;
    return m_projectOutlineDS->objectForItem(outline->itemAtRow(row));
}

int DMProjectDocument::projectOutlineRowForObject(const DMProjectObject *object) const
{
    const DMOutlineView *outline = m_outlets.projectOutlineView;
    return outline && object ? outline->rowForItem(DMProjectDocumentProjectOutlineDS::itemForObject(object)) : -1;
}

void DMProjectDocument::reloadProjectOutline()
{
    if (!m_outlets.projectOutlineView)
        return;
    const bool restoring = m_outlets.projectOutlineViewStateRestore;
    m_outlets.projectOutlineViewStateRestore = true;
    m_projectOutlineDS->reloadAndRestoreExpansionState();
    m_outlets.projectOutlineViewStateRestore = restoring;
}

QMenu *DMProjectDocument::projectOutlineViewMenu() const
{
    return m_outlets.projectOutlineViewMenu;
}

void DMProjectDocument::detachViews()
{
    if (m_objectViewDataSource)
        m_objectViewDataSource->detachFromViews();
    if (m_projectOutlineDS)
        m_projectOutlineDS->detachFromOutlineView();
    if (m_sourceListDS)
        m_sourceListDS->detachFromOutlineView();
    if (m_outlets.projectViewSearchField)
        m_outlets.projectViewSearchField->setDataSource(nullptr);
    if (m_itemsView)
        m_itemsView->detachFromWindow();
    if (m_outlets.timelineView)
        m_outlets.timelineView->setDataSource(nullptr);
    if (m_outlets.daysOffSettingsController)
        m_outlets.daysOffSettingsController->setDocument(nullptr);
    if (m_outlets.projectSettingsController)
        m_outlets.projectSettingsController->setDocument(nullptr);
    // A composition under way stops; the panel asks nothing of the document any more.
    if (m_outlets.printPanelController) {
        m_outlets.printPanelController->close();
        m_outlets.printPanelController->setDatasource(nullptr);
    }
    if (m_project && m_project->displayAttributes().projectView == m_outlets.projectView.data())
        m_project->displayAttributes().projectView = nullptr;
}
