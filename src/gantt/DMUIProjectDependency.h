#pragma once

#include "DMProjectDependencyUIObject.h"
#include "DMProjectViewObject.h"

#include <QPolygonF>

#include <memory>

class DMProjectDependency;
class DMUIProjectItem;
class QMenu;

// The line of one dependency between two item bars: from the side of the predecessor's bar that
// the link's kind names to the side of the successor's bar, as a line, a curve or a right-angled
// route, with an optional arrow head, a dash pattern and a thickness, all mirrored from the model
// link. It follows the bars (they tell it after every frame change in the Gantt view) and the
// link's look and kind (the link tells it after each change), placed when its geometry is next
// read. Selected by clicks along its length; never dragged.
//
// The dependency owns this object; it refers back weakly.
class DMUIProjectDependency : public DMProjectViewObject, public DMProjectDependencyUIObject
{
public:
    DMUIProjectDependency();
    ~DMUIProjectDependency() override;

    std::shared_ptr<DMProjectDependency> representedObject() const;
    // Takes the link's look and places the line between its bars.
    void setRepresentedObject(const std::shared_ptr<DMProjectDependency> &dependency);

    // Geometry is placed when read (after its bars moved or the scale changed).
    QPointF startPoint() const
    {
        placeIfStale();
        return m_startPoint;
    }
    QPointF endPoint() const
    {
        placeIfStale();
        return m_endPoint;
    }
    int style() const { return m_style; }
    bool hasArrow() const { return m_hasArrow; }
    int dashStyle() const { return m_dashStyle; }
    qreal strokeWidth() const { return m_strokeWidth; }
    // The route (curves flattened) and the arrow head, canvas coordinates.
    const QPolygonF &route() const
    {
        placeIfStale();
        return m_route;
    }
    const QPolygonF &arrow() const
    {
        placeIfStale();
        return m_arrow;
    }
    // Shown in the Gantt view: either end's bar is on a shown outline row.
    bool isDisplayed() const
    {
        placeIfStale();
        return m_displayed;
    }

    // Copies colour, line style, arrow, dash style and thickness from the link and asks for a
    // redraw; the route is not rebuilt here.
    void updateUIFeatures();
    // Places the ends on the bars' link rectangles chosen by the kind. Only bars already made
    // are used, none is made here: a link missing either item or either bar keeps its points
    // and is not shown.
    void _linkedObjectsFramesDidChange();
    // Rebuilds route, arrow and frame; the old and the new area are redrawn.
    void setStartPointEndPoint(QPointF start, QPointF end);
    // The vertical span of the rows of the two bars as last laid out, which the route leaves
    // only by its detours; false when either bar is missing. Places nothing.
    bool rowSpanOfEnds(double *top, double *bottom) const;

    bool isPointHitting(QPointF point, DMObjectView *view) const override;
    // 1 (select) on the line, else 0.
    qint32 dragOperationForPoint(QPointF point, DMObjectView *view) const override;
    void drawInRect(QPainter *painter, const QRectF &rect, DMObjectView *view) override;

    // The predecessor's project.
    std::shared_ptr<DMProject> project() const override;
    QString objectEditorControllerClass() const override;

    // "dependency option": the five line styles, then a separator and the four dash patterns,
    // each group only when the delegate handles its command.
    std::unique_ptr<QMenu> contextMenuInView(DMProjectView *view, DMObjectViewDelegate *delegate);
    bool presentsContextMenuFromEventInViewWithDelegate(const DMEvent &event, DMProjectView *view,
                                                        DMObjectViewDelegate *delegate) override;

    // DMProjectDependencyUIObject: both leave the line to be placed when read, and redraw what
    // is in view.
    void representedObject_endsChanged() override;
    void representedObject_styleChanged() override;

protected:
    void placeStaleGeometry() override;
    bool followedObjectsMoved() const override;

private:
    std::weak_ptr<DMProjectDependency> m_representedObject;
    QPointF m_startPoint;
    QPointF m_endPoint;
    QPolygonF m_route;
    QPolygonF m_arrow;
    int m_style = 0;
    bool m_hasArrow = false;
    int m_dashStyle = 0;
    qreal m_strokeWidth = 1.0;
    bool m_displayed = false;
    // The bars the line was placed against, and their stamps then.
    std::weak_ptr<DMUIProjectItem> m_fromBar;
    std::weak_ptr<DMUIProjectItem> m_toBar;
    quint64 m_fromBarStamp = 0;
    quint64 m_toBarStamp = 0;
};
