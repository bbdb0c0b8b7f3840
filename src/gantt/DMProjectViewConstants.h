#pragma once

#include "DMProjectEnums.h"
#include "DMProjectKeys.h"

#include <QString>
#include <QtGlobal>

#include <climits>

// The layers of the Gantt canvas. Drawn in ascending number; hit-tested by descending key
// (priority x 65536 + layer), which gives the order 2, 1, 3, 0.
enum DMProjectViewLayer : quint16 {
    kDMProjectViewLayer_Background = 0, // the background object alone
    kDMProjectViewLayer_Items = 1,      // item, event and resource bars
    kDMProjectViewLayer_Links = 2,      // link lines and the pending link (Gantt view only)
    kDMProjectViewLayer_Guides = 3,     // date labels of the objects being dragged
};

inline constexpr quint16 kDMProjectViewLayerPriority_Background = 0;
inline constexpr quint16 kDMProjectViewLayerPriority_Items = 1;
inline constexpr quint16 kDMProjectViewLayerPriority_Links = 2;
inline constexpr quint16 kDMProjectViewLayerPriority_Guides = 0;

// Drag operations carried out by the Gantt objects themselves (the canvas's own are below 16).
namespace DMProjectViewDragOperation {
inline constexpr qint32 MoveItem = 116;
inline constexpr qint32 ChangeBegin = 117;
inline constexpr qint32 ChangeEnd = 118;
inline constexpr qint32 LinkFromBegin = 119;
inline constexpr qint32 LinkFromEnd = 120;
inline constexpr qint32 Progress = 121;
inline constexpr qint32 PendingLink = 216;
// "+Tsk" read as a big-endian 32-bit number: create an item by dragging.
inline constexpr qint32 CreateItem = qint32(DMFourCharCode("+Tsk"));
} // namespace DMProjectViewDragOperation

// viewModeVisibility of an object shown in every view mode.
inline constexpr qint32 kDMProjectViewObject_VisibleInAllModes = INT_MAX;

// User default: the font size of the item titles on the canvas (double, at least 8).
inline const QString kDMHalcyra_ProjectViewFontSize = QStringLiteral("kDMHalcyra_ProjectViewFontSize");

// Dates of canvas objects are rounded to this interval while dragged.
inline constexpr int kDMProjectView_DragRoundingInterval = 300;

// Snap options of DMProject::dateByRoundingDateToIntervalSnapOption.
enum : int {
    kDMProjectView_SnapBegin = 1,
    kDMProjectView_SnapEnd = 2,
};
