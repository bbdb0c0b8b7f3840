#pragma once

#include "DMBaseObject.h"

#include <memory>

class DMProjectViewBackgroundObjectAttributes;

// The grid behind the Gantt bars, the only object of the canvas's lowest layer: a band per
// timeline column and per outline row in the colours of its table, with separator lines in the
// stroke colour. The document owns it for its whole life and gives it a new frame and table at
// every relayout; it does no layout itself.
//
// It answers every point of its frame, and is tested last, so a press on empty canvas lands on
// it. It is never selected: the canvas delegate refuses it (the base's selected flag is not
// virtual, so the refusal cannot live here).
class DMProjectViewBackgroundObject : public DMBaseObject
{
public:
    // Separators in calibrated black at alpha 0.1, the colour the document gives the grid.
    explicit DMProjectViewBackgroundObject(const QRectF &frame = QRectF(0, 0, 10, 10));
    ~DMProjectViewBackgroundObject() override;

    // Same frame and colours, bounding box from the frame; the table is not copied.
    std::shared_ptr<DMProjectViewBackgroundObject> copy() const;

    const std::shared_ptr<DMProjectViewBackgroundObjectAttributes> &attributes() const { return m_attributes; }
    void setAttributes(std::shared_ptr<DMProjectViewBackgroundObjectAttributes> attributes);

    // Store the colour and post "DMBaseObjectDidChangeNotification" with this object.
    void setFillColor(const QColor &color) override;
    void setStrokeColor(const QColor &color) override;

    // Fills the part of the grid that lies in rect (canvas coordinates), clipped to it;
    // nothing without a table.
    void drawInRect(QPainter *painter, const QRectF &rect, DMObjectView *view) override;

private:
    std::shared_ptr<DMProjectViewBackgroundObjectAttributes> m_attributes;
};
