#pragma once

#include "DMProjectTask.h"

// A milestone: a task whose begin and end dates are equal; moving one date moves both.
class DMProjectMilestone : public DMProjectTask
{
public:
    DMProjectMilestone();

    static QString staticClassName() { return QStringLiteral("DMProjectMilestone"); }
    QString className() const override { return staticClassName(); }
    bool isKindOfClass(const QString &className) const override;
    std::uint32_t kind() const override { return kDMProjectItem_Kind_Milestone; }

    // A milestone takes no time: it costs nothing, whatever its attributes or resources.
    float cost() const override { return 0.0f; }

    void setBeginDate(const DMDate &date) override;
    void setEndDate(const DMDate &date) override;
};
