#pragma once

#include <QtGlobal>

// Drag-operation codes of DMObjectView. Codes below 16 are the canvas's own; from 16 up the
// concerned objects carry the operation out themselves, step by step.
namespace DMObjectViewDragOperation {
inline constexpr qint32 None = 0;
inline constexpr qint32 Select = 1;
inline constexpr qint32 RubberBand = 2;
inline constexpr qint32 Move = 3;
inline constexpr qint32 LeftEdge = 4;
inline constexpr qint32 RightEdge = 5;
inline constexpr qint32 BottomEdge = 6;
inline constexpr qint32 TopEdge = 7;
inline constexpr qint32 FirstCorner = 8;
inline constexpr qint32 LastCorner = 11;
inline constexpr qint32 DoubleClick = 12;
inline constexpr qint32 FirstObjectOperation = 16;
} // namespace DMObjectViewDragOperation

// The layer argument that stands for every visible layer.
constexpr quint16 kDMObjectView_AllLayers = 0xFFFF;
