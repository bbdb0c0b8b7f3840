#pragma once

#include "DMBaseObject.h"

#include <QCursor>

#include <optional>

// Supplies a DMObjectView with its objects on every pass; the view keeps no list of them.
// Every function's default means "not handled".
class DMObjectViewDataSource
{
public:
    virtual ~DMObjectViewDataSource() = default;

    // The objects of one layer that meet the rectangle (canvas coordinates), front-most first.
    virtual DMBaseObjectList objectViewObjectsInRectForLayer(DMObjectView *, const QRectF &, quint16)
    {
        return {};
    }

    // The cursor for a drag operation; none means the arrow.
    virtual std::optional<QCursor> objectViewCursorForDragOperation(DMObjectView *, qint32)
    {
        return std::nullopt;
    }
};
