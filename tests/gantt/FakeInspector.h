#pragma once

#include "DMProjectViewObjectEditor.h"

#include <QString>

namespace gantttest {

// Stands in for the inspector of a class while it lives, and records what it is handed.
class FakeInspector : public DMProjectViewObjectEditor
{
public:
    explicit FakeInspector(const QString &className)
        : m_className(className)
    {
        registerSharedInstance(className, this);
    }
    ~FakeInspector() override { registerSharedInstance(m_className, nullptr); }
    void editObject(DMProjectViewObject *object) override { edited = object; }
    void showWindow() override { ++shown; }
    void showWindowForNewObject() override
    {
        ++shown;
        ++shownForNewObject;
    }

    DMProjectViewObject *edited = nullptr;
    int shown = 0;
    int shownForNewObject = 0; // of the shows, those for an object just made

private:
    QString m_className;
};

} // namespace gantttest
