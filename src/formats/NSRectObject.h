#pragma once

#include "DMArchivedObject.h"

#include <QRectF>

// A rectangle kept as an object in the earlier planner's documents (the tasks' bar rectangles),
// as a decoding target.
class NSRectObject : public DMArchivedObject
{
public:
    void initWithCoder(const DMArchiveCoder &coder) override;
    QRectF rect() const { return m_rect; }

private:
    QRectF m_rect;
};
