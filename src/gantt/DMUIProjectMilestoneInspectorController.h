#pragma once

#include "DMUIProjectItemInspectorController.h"

// The inspector of milestone diamonds: title, the one date (begin and end together), fill
// colour, the assigned resources and notes. Typed values apply after 0.25 s.
class DMUIProjectMilestoneInspectorController : public DMUIProjectItemInspectorController
{
    Q_OBJECT

public:
    static QString className() { return QStringLiteral("DMUIProjectMilestoneInspectorController"); }
    static DMUIProjectMilestoneInspectorController *sharedInstance();

    QDateTimeEdit *datePicker() const { return beginDatePicker(); }

protected:
    double idleDelay() const override { return 0.25; }
    // The picked date becomes the begin and the end.
    void beginDatePicked(DMProjectItem &item, const DMDate &date) override;

private:
    friend class DMUIProjectViewObjectEditorController;
    DMUIProjectMilestoneInspectorController();
    bool loadInterface() override;
};
