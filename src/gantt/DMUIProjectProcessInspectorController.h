#pragma once

#include "DMUIProjectItemInspectorController.h"

// The inspector of process brackets: title, dates, duration, working schedule, whether the
// process fits its contained items (its date pickers are disabled while it does), fill colour,
// progress and notes. A new begin date first asks whether to reschedule the entire process:
// "Reschedule" shifts the subitems with it, "Set Begin Date" moves the process's begin only.
// Re-picking the current begin asks nothing. Typed values apply after 0.25 s.
class DMUIProjectProcessInspectorController : public DMUIProjectItemInspectorController
{
    Q_OBJECT

public:
    static QString className() { return QStringLiteral("DMUIProjectProcessInspectorController"); }
    static DMUIProjectProcessInspectorController *sharedInstance();

    QCheckBox *fitContainedItemsCheckBox() const { return m_fitContainedItemsCheckBox; }

    void refreshUI() override;
    void commonCallback(QObject *sender) override;

protected:
    double idleDelay() const override { return 0.25; }
    void beginDatePicked(DMProjectItem &item, const DMDate &begin) override;

private:
    friend class DMUIProjectViewObjectEditorController;
    DMUIProjectProcessInspectorController();
    bool loadInterface() override;

    QCheckBox *m_fitContainedItemsCheckBox = nullptr;
};
