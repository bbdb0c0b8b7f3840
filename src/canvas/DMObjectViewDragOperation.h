#pragma once

#include <QtGlobal>

// Drag-operation codes of DMObjectView. Codes below 16 are the canvas's own; from 16 up the
// concerned objects carry the operation out themselves, step by step.
enum : qint32 {
    kDMObjectViewDragOperation_None = 0,
    kDMObjectViewDragOperation_Select = 1,
    kDMObjectViewDragOperation_RubberBand = 2,
    kDMObjectViewDragOperation_Move = 3,
    kDMObjectViewDragOperation_LeftEdge = 4,
    kDMObjectViewDragOperation_RightEdge = 5,
    kDMObjectViewDragOperation_BottomEdge = 6,
    kDMObjectViewDragOperation_TopEdge = 7,
    kDMObjectViewDragOperation_FirstCorner = 8,
    kDMObjectViewDragOperation_LastCorner = 11,
    kDMObjectViewDragOperation_DoubleClick = 12,
    kDMObjectViewDragOperation_FirstObjectOperation = 16,
};

// The layer argument that stands for every visible layer.
constexpr quint16 kDMObjectView_AllLayers = 0xFFFF;
