#pragma once

#include "DMUIProjectItemInspectorController.h"

// The inspector of event bars: title, dates, duration, fill colour and notes. It shows no
// working-schedule box, yet durations split and join with the working day when the event uses
// the working schedule. Typed values apply after 0.25 s.
class DMUIProjectEventInspectorController : public DMUIProjectItemInspectorController
{
    Q_OBJECT

public:
    static QString className() { return QStringLiteral("DMUIProjectEventInspectorController"); }
    static DMUIProjectEventInspectorController *sharedInstance();

protected:
    double idleDelay() const override { return 0.25; }

private:
    friend class DMUIProjectViewObjectEditorController;
    DMUIProjectEventInspectorController();
    bool loadInterface() override;
};
