#pragma once

#include "DMDate.h"
#include "DMProjectEnums.h"

#include <QtGlobal>

class DMProjectDocumentHooks;
class DMProjectViewHooks;

// The record inside DMProject through which the model reaches its document and canvas, read
// directly by the document, the Gantt chart, the side views and the output. Filled when the
// document takes the project; the document clears both pointers before it goes.
struct DMProject_DisplayAttributes
{
    DMProjectViewHooks *projectView = nullptr;         // the Gantt canvas (redraw reports)
    DMProjectDocumentHooks *projectDocument = nullptr; // change count, date callbacks
    bool projectIsEdited = false;
    DMDate timeSpanBeginDate; // the date at canvas x = 0
    DMDate timeSpanEndDate;
    float pixelsPerDay = 40.0f;
    qint32 dayViewBeginMinute = 8 * 60; // working window of a day, from kDMProject_Settings_DayTimeSpan
    qint32 dayViewEndMinute = 18 * 60;
    qint32 timelineViewMode = kDMTimelineViewMode_Day; // DMTimelineViewMode
    qint32 viewMode = kDMProjectViewMode_Gantt;        // DMProjectViewMode
    bool displayTaskNames = true;
    bool useProjectSchedule = true;
};
