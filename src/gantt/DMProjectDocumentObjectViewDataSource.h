#pragma once

#include "DMEvent.h"
#include "DMGanttContextMenuDelegate.h"
#include "DMObservable.h"
#include "DMObjectViewDataSource.h"
#include "DMProjectViewDelegate.h"
#include "DMProjectViewDragHandlerObjectDelegate.h"
#include "DMUndoManager.h"

#include <QObject>
#include <QPointer>
#include <QPointF>
#include <QRectF>

#include <functional>
#include <memory>
#include <vector>

class DMDate;
class DMGanttDocumentHooks;
class DMProjectDependency;
class DMProjectEventContainer;
class DMProjectItem;
class DMProjectObject;
class DMProjectView;
class DMProjectViewBackgroundObject;
class DMProjectViewBackgroundObjectAttributes;
class DMProjectViewDateGrid;
class DMProjectViewObject;
class DMUIProjectItem;
class DMUIProjectPendingDependency;

// The Gantt canvas's controller, owned by the project document: the canvas's data source (the
// objects of each layer, cursors, selection mirrored into the outline and the inspector) and
// delegate (what a press starts, what a release finishes, keys, zoom, the bars' menu commands),
// the delegate of its drag handlers (create by dragging, moving bars between resource rows) and
// the relayout that puts every bar on its dates and its outline row. It keeps the state of all
// this: the background object, the pending link, the keyboard nudge series, the create-drag
// anchor and the index of link lines. It reaches its document through DMGanttDocumentHooks.
//
// Deferred work (outline sync, relayouts) is tied to this object and cancelled with it.
class DMProjectDocumentObjectViewDataSource : public QObject,
                                              public DMObjectViewDataSource,
                                              public DMProjectViewDelegate,
                                              public DMGanttContextMenuDelegate,
                                              public DMProjectViewDragHandlerObjectDelegate
{
    Q_OBJECT

public:
    // Not owned: the document owns this controller.
    explicit DMProjectDocumentObjectViewDataSource(DMGanttDocumentHooks &document);
    ~DMProjectDocumentObjectViewDataSource() override;

    // The window set-up: registers the canvas layers, makes the background object, becomes the
    // canvas's data source and delegate and watches the canvas's wheel and visible size.
    void attachToViews();
    // The document is closing: lets go of the canvas and drops every deferred call.
    void detachFromViews();
    // The document took another project.
    void projectDidChange();
    // Links were added or removed without a relayout (through the model, by undo): the index of
    // link lines is rebuilt on the next pass, which is asked for now.
    void linksDidChange();

    const std::shared_ptr<DMProjectViewBackgroundObject> &projectViewBackgroundObject() const { return m_background; }
    const std::shared_ptr<DMUIProjectPendingDependency> &pendingDependency() const { return m_pendingDependency; }
    bool projectViewHasSelectedItems() const { return m_projectViewHasSelectedItems; }

    // ---- Objects, cursors and selection (DMProjectDocumentObjectViewDataSource.cpp) ----
    DMBaseObjectList objectViewObjectsInRectForLayer(DMObjectView *view, const QRectF &rect, quint16 layer) override;
    std::optional<QCursor> objectViewCursorForDragOperation(DMObjectView *view, qint32 operation) override;
    bool objectViewShouldSelectObjectInLayer(DMObjectView *view, const std::shared_ptr<DMBaseObject> &object,
                                             quint16 layer) override;
    void objectViewSelectionDidChange(DMObjectView *view) override;
    // The inspector shows the one object selected on the view, or is emptied saying that nothing
    // or several objects are selected (after every selection change, and when the chart's page
    // is shown again).
    void inspectSelection(DMObjectView *view);
    // Items or links left the project (any edit, undo or redo): the selection, and the inspector
    // and outline that follow it, let go of their objects once the change is complete, at the end
    // of its undo step or of the event-loop turn. An item that only moved stays selected.
    void projectObjectsDidLeave();
    // Drops from the selection every object whose item or link is no longer in the project, and
    // every bar of a resource's row whose task no longer has that assignment.
    void dropSelectedObjectsOutsideProject();
    // Mirrors the canvas selection into the outline 0.05 s later, once for a burst of changes.
    void projectOutlineViewSelectionNeedsSyncingWithObjectView();
    void syncProjectOutlineViewSelectionWithObjectView();
    bool isProjectOutlineViewSelectionSyncPending() const { return m_outlineSyncPending; }
    // The outline's selection changed: it is copied onto the canvas at once.
    void projectOutlineSelectionDidChange();
    // Opens the inspector of the one object selected on the view (a bar, an event, a link);
    // false when not exactly one is selected.
    bool editSelectedObjectInView(DMObjectView *view);
    // Selects the item's bar alone, scrolls it into view and opens its inspector; nothing for an
    // item without a bar on the canvas.
    void selectItemShowingInspector(const std::shared_ptr<DMProjectItem> &item);
    // Scrolls the chart so that the day of the date begins at the left of the visible part, as
    // far as the chart reaches (the toolbar's Today).
    void scrollToDay(const DMDate &date);
    // The canvas rows that meet the rectangle's vertical span (ends included): a binary search
    // over the table's row tops, limited to the rows both the outline and the table have.
    // first > last when none.
    static void projectViewRowsMeetingRect(const DMProjectViewBackgroundObjectAttributes *table, int outlineRows,
                                           const QRectF &rect, int *first, int *last);
    // The outline's row at canvas y; -1 for none.
    int projectOutlineRowAtCanvasY(double y) const;

    // ---- Gestures (DMProjectDocumentObjectViewDataSource_Gestures.cpp) ----
    qint32 objectViewDragOperationForPointWithObject(DMObjectView *view, QPointF point,
                                                     const std::shared_ptr<DMBaseObject> &object) override;
    void objectViewWillFinishDragOperationWithRect(DMObjectView *view, qint32 operation, const QRectF &rect) override;
    void objectViewDidFinishDragOperationWithRect(DMObjectView *view, qint32 operation, const QRectF &rect) override;
    void objectViewReceivedKeyEvent(DMObjectView *view, const DMEvent &event) override;
    void objectViewMagnifyWithEvent(DMObjectView *view, const DMEvent &event) override;
    DMDate projectViewDateForPoint(DMProjectView *view, QPointF point) const;
    int viewModeForProjectView(DMProjectView *view) const;
    void keyboardItemDragWithEvent(const DMEvent &event);

    // The worked rules of the gestures, as pure functions.
    // The interval a created item's anchor is rounded to, in seconds (at least 300), and the
    // second of day its multiples count from: the day window's begin for a whole or half
    // working day, so that the anchor lands on a working half day; midnight otherwise.
    static int createByDragRoundingInterval(const DMProjectViewDateGrid &grid, int *originSecond = nullptr);
    // Pixels per day after a pinch of that magnification: from 1 to 100.
    static float magnifiedPixelsPerDay(float pixelsPerDay, double magnification);
    // The next step of a keyboard nudge (points): |last| x 1.1 within 2 to 10, negative unless
    // the key is the right arrow.
    static double nextNudgeStep(double lastStep, bool rightArrow);

    // ---- Drag handlers (DMProjectDocumentObjectViewDataSource_DragHandlers.cpp) ----
    void dragHandlerObjectDidUpdate(DMProjectViewDragHandlerObject *handler) override;

    // ---- Menu commands of the bars and links (DMProjectDocumentObjectViewDataSource_Commands.cpp) ----
    bool respondsToProjectViewConvertTaskToProcessFromItem() const override { return true; }
    void projectViewConvertTaskToProcessFromItem(QAction *sender) override;
    bool respondsToProjectViewConvertMilestoneToProcessFromItem() const override { return true; }
    void projectViewConvertMilestoneToProcessFromItem(QAction *sender) override;
    bool respondsToProjectViewChangeDependencyLineStyle() const override { return true; }
    void projectViewChangeDependencyLineStyle(QAction *sender) override;
    bool respondsToProjectViewChangeDependencyPatternStyle() const override { return true; }
    void projectViewChangeDependencyPatternStyle(QAction *sender) override;
    // The conversion by menu tag ('cnvt', 'embd', 'mile', 'task') of the item behind a canvas
    // object; milestoneAction tells which menu the tag came from. False when nothing changed.
    bool convertItemOfObjectWithTag(const std::shared_ptr<DMBaseObject> &object, quint32 tag, bool milestoneAction);

    // ---- Relayout (DMProjectDocumentObjectViewDataSource_Layout.cpp) ----
    // The whole sequence: frames, background, objects, row colours, then the frames applied and
    // everything redrawn.
    void relayoutProjectView();
    void computeProjectViewFrameTimelineViewFrameShouldReLayoutObjects(QRectF *projectViewFrame,
                                                                        QRectF *timelineViewFrame,
                                                                        bool shouldReLayoutObjects);
    // A new background table: the columns of the shown span, the outline's rows' heights.
    void updateBackgroundObjectWithProjectViewFrame(const QRectF &frame);
    // The columns of the shown span anew, the rows as they are (when the outline's rows are
    // still the table's; else the whole table and its colours).
    void updateBackgroundColumnsWithProjectViewFrame(const QRectF &frame);
    void layoutObjects();
    // Every row's colour: its kind's, or the selection's.
    void updateBackgroundObjectRowsColor();
    // The colours of the rows that joined or left the outline's selection since the colours were
    // set (a selection costs what it changed, not the project's size).
    void updateBackgroundSelectedRowsColor();
    void layoutObjectsVertically();
    // Bars of items inside collapsed processes take their shown parent's row (rowsMoved is set
    // when one moves); parents are the shown bars whose subitems are not all rows.
    static void placeHiddenBarsOnTheirParentsRows(const std::vector<std::weak_ptr<DMUIProjectItem>> &parents,
                                                  bool &rowsMoved);
    // The resource view: each resource's bars take lanes by their horizontal ranges, as the
    // events row's events do, and the resource keeps its number of lanes, by which its outline
    // row and canvas row grow. Kept current when dates or assignments change: the lanes are laid
    // out again once control is back in the event loop, and the rows follow.
    void layoutResourceLanes();
    void resourceLanesNeedLayout();
    void syncProjectViewWithOutlineView();
    bool isProjectViewSyncScheduled() const;
    // Reloads the outline with its stored expansion state, then relays the canvas out; now, or
    // once control is back in the event loop (after an undo or redo).
    void reloadProjectOutlineAndRelayout();
    void reloadProjectOutlineAndRelayoutSoon();
    // Undo and redo change the model behind the views' backs: after one, the outline is reloaded
    // and the canvas laid out again soon when the step changed more than items' dates (the
    // project's layout stamp moved since the views were last laid out or a step was closed);
    // dates alone only redraw what is shown, as a drag does.
    void undoStepDidClose();
    void projectDidUndoOrRedo();
    // The model applied new dates: the shown span widens when they leave it (not during a drag).
    void itemDatesDidChange();
    // The bars' title attributes changed (DMGanttUIObjectFactory::resetDefaultTitleAttributes):
    // every bar takes them and measures its title and handles again; the document's reload then
    // lays the canvas out anew.
    void titleAttributesDidChange();
    // While printing, the frames take exactly the stored scale and the canvas draws all of
    // itself as visible (titles are placed against the page, not the window).
    bool isPrinting() const { return m_isPrinting; }
    void setIsPrinting(bool printing) { m_isPrinting = printing; }
    bool projectViewIsPrinting(const DMProjectView *) const override { return m_isPrinting; }
    // An outline row was expanded or collapsed (hasSubitems: rows appeared or disappeared).
    void projectOutlineDidExpandOrCollapse(bool expanded, bool hasSubitems, bool restoring);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DMProjectView *canvas() const;
    std::shared_ptr<DMProjectObject> objectAtRow(int row) const;
    void createItemByDragging(DMProjectViewDragHandlerObject *handler);
    void moveBarToResourceRow(DMProjectViewDragHandlerObject *handler);
    void moveSelectedBarsBetweenResourceRows(int direction);
    void linkPendingDependency();
    // The menu commands act in the Gantt view only; elsewhere they beep.
    bool acceptsMenuCommands() const;
    void convertFromMenuItem(QAction *sender, bool milestoneAction);
    void changeDependencyFromMenuItem(QAction *sender, const QString &actionName, void (DMProjectDependency::*setter)(int));
    void relayoutResourceRows();
    // What a row's colour follows: a plain row, a process or group, the events row.
    enum class RowKind : quint8 { Plain, Group, Events };
    static RowKind rowKindOf(const DMProjectObject &object, const DMProjectEventContainer *events);
    static QColor rowColor(RowKind kind, bool selected);
    // Makes the background's new table (`make` gives it for a number of columns) and fills its
    // columns for the shown span; null without a background or a project.
    std::shared_ptr<DMProjectViewBackgroundObjectAttributes> backgroundTableWithColumns(
        const QRectF &frame, const std::function<std::shared_ptr<DMProjectViewBackgroundObjectAttributes>(qint32)> &make);
    void rebuildLinkIndex();
    void relayoutSoon();
    // After dates moved the shown span's last day alone.
    void widenProjectView();
    void resizeViews(const QRectF &projectViewFrame, const QRectF &timelineViewFrame);
    // The scale the canvas shows for a chosen one over a span of that many days: on screen the
    // span fills at least the visible width, and no canvas grows past the widest widget.
    float shownPixelsPerDay(float pixelsPerDay, double days) const;
    // Relays out when the items' dates have left the shown span.
    void checkShownTimeSpan();
    // Runs fn once after the delay, however often asked meanwhile: pending says a call is on its
    // way; fn clears it when it runs, and detachFromViews drops the call by clearing it.
    void performOnceAfterDelay(bool &pending, double seconds, void (DMProjectDocumentObjectViewDataSource::*fn)());
    // Opens the object's inspector a moment later, once the gesture that made it is over, through
    // `edit` (editInView, or editNewObjectInView for an item whose title is typed next).
    void editLater(const std::shared_ptr<DMProjectViewObject> &object, void (DMProjectViewObject::*edit)(DMProjectView *));
    void openDragUndoGroup();
    void closeDragUndoGroup();
    // Ends a keyboard nudge series under way: on its key's release, or when the canvas loses
    // the keyboard before it (the release then goes elsewhere).
    void endKeyboardNudgeSeries();

    DMGanttDocumentHooks &m_document;
    std::shared_ptr<DMProjectViewBackgroundObject> m_background;
    std::shared_ptr<DMUIProjectPendingDependency> m_pendingDependency; // the one link being drawn
    bool m_projectViewHasSelectedItems = false;
    bool m_isPrinting = false;

    // The keyboard nudge series: its last synthetic drag event and step (points).
    DMEvent m_lastSyntheticEvent;
    double m_lastNudgeStep = 0.0;
    qint64 m_lastNudgeSeriesNumber = 0;
    // The create-by-drag in progress and its anchor, which slides off non-working days.
    std::weak_ptr<DMBaseObject> m_createDragHandler;
    QPointF m_createDragAnchor;

    quint64 m_layoutStampShown = 0; // the project's layout stamp the views are laid out for
    bool m_outlineSyncPending = false;
    bool m_selectionCheckPending = false;
    bool m_syncingOutlineSelection = false;  // the canvas selection is being copied to the outline
    bool m_applyingOutlineSelection = false; // the outline selection is being copied to the canvas
    bool m_relayoutPending = false;
    bool m_shownTimeSpanCheckPending = false;
    bool m_reloadPending = false;
    bool m_widenPending = false;
    bool m_resourceLanesPending = false;
    // A resource's number of lanes changed since the outline last read its rows' heights.
    bool m_resourceRowHeightsStale = false;
    // Each resource's list of bars, observed while the resource view lays them out.
    std::vector<DMObservation> m_resourceObservations;

    // The link lines by the rows of their two bars (rebuilt when a relayout moves rows and when
    // the model reports a change of links), so that a drawing pass or a hit test looks only at
    // the lines near the rows it shows instead of walking every item. A route stays within the
    // rows of its bars but for its detours, which the margin covers; dates move bars only
    // horizontally, so the index holds through drags, undo and zooms.
    struct LinkIndexEntry
    {
        double top = 0.0;
        double bottom = 0.0;
        int order = 0; // the tree walk's order, which results keep
        std::weak_ptr<DMProjectDependency> link; // its line made when it is drawn or hit
    };
    std::vector<LinkIndexEntry> m_linkIndex;  // sorted by top
    std::vector<double> m_linkIndexMaxBottom; // running maximum of bottom along m_linkIndex
    bool m_linkIndexValid = false;
    // The bars the last vertical layout showed (it hides them before showing those of the rows
    // shown now), and the kinds of the rows it read, which the row colours that follow it use.
    std::vector<std::weak_ptr<DMUIProjectItem>> m_shownBars;
    std::vector<RowKind> m_rowKinds;
    bool m_rowKindsFresh = false;
    std::vector<int> m_rowsShownSelected; // the rows the background's colours show selected, in order
    QPointer<DMUndoManager> m_dragUndoGroup; // the undo group of the drag under way
    QString m_dragUndoGroupName;             // its name when the drag made an item
};
