#pragma once

#include "DMUIProjectItem.h"
#include "DMUIProjectShapeGeometry.h"

// The bar of an event in the events row: a small rounded bar in its lane of the row, the event
// icon in its middle when there is room, a progress overlay, and the title always to its right,
// cut short where the next bar of its lane begins.
// Moved and resized by dragging (dates rounded to 300 s), with its two date labels; takes no
// links. Overlapping events take separate lanes (the event's subRow).
class DMUIProjectEvent : public DMUIProjectItem
{
public:
    explicit DMUIProjectEvent(const QRectF &frame = QRectF(0, 0, 10, 10));
    ~DMUIProjectEvent() override;

    // The events' title attributes: the project view's font size (at least 8, else 9), black,
    // never truncated.
    static DMTextAttributes titleTextAttributes();
    static void resetTitleTextAttributes();
    static QImage eventImage();

    // The frame inset by 2 at top and bottom: what is drawn.
    QRectF barRect() const { return frame().adjusted(0, 2, 0, -2); }
    // The title's rectangle right of the bar; empty when no title shows.
    QRectF titleRect() const;
    // The part of it drawn: up to the gap before the next event's bar in the same lane.
    QRectF shownTitleRect() const;
    // The title, shown or not, whole or cut.
    QString toolTipInView(DMObjectView *view) const override;

    // Places the bar in its lane of the events row (the row's rectangle, split into the event
    // container's lanes).
    void layoutInEventsRow(const QRectF &eventsRow);

    // Follows the dates only while the project is valid: a closing project leaves bars alone.
    void representedObject_timeSpanChanged() override;
    bool acceptsDependencies() const override { return false; }
    QString objectEditorControllerClass() const override;
    DMTextAttributes defaultTextAttributes() const override;

    // Moves and resizes; no progress handle.
    DMUIProjectItemDragRule dragRule() const override;
    void drawInRect(QPainter *painter, const QRectF &rect, DMObjectView *view) override;
    // The begin and end date labels, as high as two bars.
    void updateGuideAnchorObjects() override;
    // The handles' box and the title beside the bar, so that a renamed event is redrawn where its
    // old and new titles are.
    void updateBoundingBox() override;

protected:
    void _updateDragHandleList() override;

private:
    QString shownTitle() const;
    QRectF titleRectFor(const QString &title) const;
    QRectF shownTitleRectFor(const QString &title) const;
};
