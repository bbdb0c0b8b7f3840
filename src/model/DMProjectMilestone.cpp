#include "DMProjectMilestone.h"

DMProjectMilestone::DMProjectMilestone()
{
    keepDatesEqual();
    setFillColor(defaultFillColorForKind(kDMProjectItem_Kind_Milestone));
    setBeginDateAndEndDate(beginDate(), beginDate());
}

bool DMProjectMilestone::isKindOfClass(const QString &className) const
{
    return className == staticClassName() || DMProjectTask::isKindOfClass(className);
}

void DMProjectMilestone::setBeginDate(const DMDate &date)
{
    setBeginDateAndEndDate(date, date);
}

void DMProjectMilestone::setEndDate(const DMDate &date)
{
    setBeginDateAndEndDate(date, date);
}
