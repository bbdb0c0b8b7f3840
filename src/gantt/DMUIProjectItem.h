#pragma once

#include "DMDate.h"
#include "DMObservable.h"
#include "DMProjectItemUIObject.h"
#include "DMProjectViewDateGrid.h"
#include "DMProjectViewObject.h"
#include "DMUIProjectDateDrag.h"
#include "DMUIProjectItemDragHandle.h"
#include "DMUIProjectItemGeometry.h"

#include <QImage>

#include <memory>
#include <optional>

class QPainterPath;
class DMProjectItem;
class DMProjectObject;
class DMProjectResource;
class DMProjectView;
class DMProjectViewObjectDelegate;

// The canvas object of one project item: its frame follows the item's dates, it carries a table
// of drag handles and turns drags on them into validated edits of the item. Task bars derive
// from it; other kinds use it (or DMUIProjectItemGroup) as they are.
//
// The item owns this object; the object refers back weakly, so every use of the item checks
// that it is still there.
class DMUIProjectItem : public DMProjectViewObject, public DMProjectItemUIObject
{
public:
    // Frame {0, 0, 10, 10} as the model makes it; yellow fill, half-transparent black stroke.
    explicit DMUIProjectItem(const QRectF &frame = QRectF(0, 0, 10, 10));
    ~DMUIProjectItem() override;

    std::shared_ptr<DMProjectItem> representedObject() const;
    // Not owned.
    void setRepresentedObject(const std::shared_ptr<DMProjectItem> &item);

    // Set by the document's vertical layout: the item's outline row is shown.
    bool isDisplayed() const { return m_displayed; }
    void setDisplayed(bool displayed) { m_displayed = displayed; }

    // Width and height below 1 are raised to 1. A size change rebuilds the handles; in the Gantt
    // view the item's links follow when they are next read.
    void setFrame(const QRectF &frame) override;
    // The vertical layout's part of the frame; x and width stay as placed, or to be placed.
    void setVerticalFrameRange(qreal y, qreal height);
    // Changes whenever the frame changes or is left to be placed: the links compare it with
    // what they were placed against.
    quint64 geometryStamp() const { return m_geometryStamp; }
    // (x, width) and (y, height) of the frame.
    QPointF horizontalFrameRange() const { return QPointF(frame().x(), frame().width()); }
    QPointF verticalFrameRange() const { return QPointF(frame().y(), frame().height()); }

    // Where links end and start, in canvas coordinates.
    virtual QRectF dependencyEndRect() const;
    virtual QRectF dependencyStartRect() const;
    virtual bool acceptsDependencies() const { return true; }

    // Rebuilds the handles and the bounding box, and asks for a redraw. A bar left to be placed
    // builds them when it is placed: a project opens with thousands of bars, of which a
    // screenful is drawn, and a task's handles measure its title.
    void updateUIFeatures();
    // Frame and handles, moved by the frame's origin.
    void updateBoundingBox() override;
    QRectF frameAndHandlesBox() const;
    const DMUIProjectItemDragHandleTable &dragHandles() const
    {
        placeIfStale();
        return handles();
    }

    std::shared_ptr<DMProject> project() const override;
    // The project's date grid; an invalid one without a project.
    DMProjectViewDateGrid dateGrid() const;
    DMTextAttributes defaultTextAttributes() const override;
    // A point hits the bar where one of its handles lies (the link handles and a title beside the
    // bar reach beyond the frame).
    bool isPointHitting(QPointF point, DMObjectView *view) const override;
    // What the pointer resting on the bar shows: the item's title when the bar draws it cut short
    // (or has no place of its own for it and is narrower than it); otherwise nothing.
    virtual QString toolTipInView(DMObjectView *view) const;
    qint32 dragOperationForPoint(QPointF point, DMObjectView *view) const override;
    // One drag rule for every kind of bar: the step's dates come from DMUIProjectItem_datesForDragStep
    // with the kind's dragRule() and go to the model as one validated edit (a move of a process
    // shifts its subitems); a refusal beeps. The progress follows the pointer. The model records
    // the change with the undo manager, from which the document learns that it was edited; the
    // step is named after the drag: "Move", "Resize" or "Progress".
    void handleDragOperation(qint32 operation, QPointF startPoint, QPointF endPoint, const DMEvent &event,
                             DMObjectView *view) final;
    // What this kind makes of drags; a plain bar's by default.
    virtual DMUIProjectItemDragRule dragRule() const { return {}; }
    void drawInRect(QPainter *painter, const QRectF &rect, DMObjectView *view) override;

    QString description() const;

    // DMProjectItemUIObject. New dates leave the bar and its links to be placed when read.
    void representedObject_timeSpanChanged() override;
    void representedObject_progressChanged() override;
    void representedObject_titleChanged() override;
    void representedObject_fillColorChanged() override;
    void representedObject_criticalPathChanged() override;
    // The lock state and attributes change the handles and icons.
    void representedObject_lockOrAttributesChanged() override;
    void setResourceViewFields(int subRow, DMProjectResource *resource) override;
    int resourceViewSubRow() const override { return m_subRow; }
    DMProjectResource *resourceViewResource() const { return m_resource; }
    std::shared_ptr<DMProjectItem> representedItem() const override { return representedObject(); }

    // Class-wide images: the lock and attachment icons, and the gloss laid over plain bars.
    static QImage lockImage();
    static QImage attachedImage();
    static QImage fxGradientImage();

    // The title attributes of the item bars: the font size of the user default
    // "kDMHalcyra_ProjectViewFontSize" when it is at least 8, else 9; black; truncated at the tail.
    static DMTextAttributes titleTextAttributes();
    // Drops the cached title attributes (after the font-size preference changed).
    static void resetTitleTextAttributes();

    // While one lives, bars that move ask no redraw for their links: a layout of every bar
    // redraws the canvas once at its end.
    class DeferredLinkUpdates
    {
    public:
        DeferredLinkUpdates() { ++s_linkUpdatesDeferred; }
        ~DeferredLinkUpdates() { --s_linkUpdatesDeferred; }
        DeferredLinkUpdates(const DeferredLinkUpdates &) = delete;
        DeferredLinkUpdates &operator=(const DeferredLinkUpdates &) = delete;
    };

protected:
    // x and width of the frame for the item's dates: x = the begin's aligned x, width = the
    // aligned width to the end. Milestones centre a fixed width on their date, processes reach
    // beyond both dates.
    virtual QPointF horizontalFrameRangeInGrid(const DMProjectViewDateGrid &grid, const DMProjectItem &item) const;

    // Where the title is drawn; bars that draw a title beside themselves say so, so that only
    // that side's title handle can be pressed.
    virtual DMUIProjectTaskTitleLayout titleLayout(DMObjectView *view) const;
    // The first of the two title-beside slots of the handle table, -1 when it has none.
    void setFirstTitleSlot(int slot) { m_firstTitleSlot = slot; }

    // Title attributes at the font size of "kDMHalcyra_ProjectViewFontSize" (at least 8, else 9),
    // black, left-aligned, read into `cache` on first use; each kind keeps its own cache.
    static DMTextAttributes projectViewTitleAttributes(std::optional<DMTextAttributes> &cache, bool truncates);

    // Fills the shape (over the hover shadow while hovered) and lays the best contrast colour
    // over the part of `progressBox` the item's progress covers, inside the shape.
    void fillShapeWithProgress(QPainter *painter, const QPainterPath &shape, const QRectF &progressBox) const;
    // Draws a title laid inside the shape in the object's text colour (the best one for its
    // fill). A title centred in the part of a long shape that shows may run past the shape's
    // end: that part is drawn in the colour of a title beside the shape, readable on the chart.
    void drawTitleInsideShape(QPainter *painter, const QString &title, const QRectF &rect,
                              const QPainterPath &shape) const;

    // x and width from the item's dates on the project's grid, keeping y and height.
    void placeStaleGeometry() override;

    virtual void _updateDragHandleList();
    // Made when first built: a bar that was never placed holds none.
    DMUIProjectItemDragHandleTable &mutableDragHandles();
    // Handles are measured from the frame's origin (a task measures them from its bar).
    virtual QPointF dragHandlesOrigin() const { return frame().topLeft(); }

private:
    // The drag in progress: all steps of one press share its event number, and each is measured
    // from where the press was (canvas coordinates) and what the item had then.
    struct DragOperationFields
    {
        qint64 eventNumber = -1;
        QPointF pressPoint;
        DMUIProjectDateDragStep pressDates;
        float pressProgress = 0.0f;
    };

    static inline int s_linkUpdatesDeferred = 0;
    static inline quint64 s_geometryStamps = 0;
    void noteGeometryChange() { m_geometryStamp = ++s_geometryStamps; }

    int m_firstTitleSlot = -1;
    std::weak_ptr<DMProjectObject> m_representedObject;
    // The handles as they are, without placing the bar (an empty table before the first).
    const DMUIProjectItemDragHandleTable &handles() const;

    std::unique_ptr<DMUIProjectItemDragHandleTable> m_dragHandles;
    bool m_featuresStale = false; // the handles wait for the bar to be placed
    bool m_displayed = false;
    int m_subRow = 0;
    DMProjectResource *m_resource = nullptr;
    DragOperationFields m_drag;
    quint64 m_geometryStamp = 0;
};
