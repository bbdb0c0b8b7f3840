#include "DMProjectEvent.h"

#include "DMProject.h"
#include "DMProjectEventContainer.h"

DMProjectEvent::DMProjectEvent()
{
    setFillColor(defaultFillColorForKind(kDMProjectItem_Kind_Event));
}

bool DMProjectEvent::isKindOfClass(const QString &className) const
{
    return className == staticClassName() || DMProjectItem::isKindOfClass(className);
}

void DMProjectEvent::setSubRow(int subRow)
{
    assign(m_subRow, qMax(0, subRow), QStringLiteral("subRow"));
}

void DMProjectEvent::itemDatesDidChange()
{
    const DMProject *project = projectPointer();
    if (project && isAttached() && project->eventContainer())
        project->eventContainer()->layoutSubRows();
}
