#include "ZQProject.h"

#include "DMKeyedUnarchiver.h"
#include "ZQRessourcesTree.h"

void ZQProject::initWithCoder(const DMArchiveCoder &coder)
{
    m_projectName = coder.decodeStringForKey(QStringLiteral("project name"));
    m_projectBeginDate = coder.decodeDateForKey(QStringLiteral("project begin date"));
    m_projectEndDate = coder.decodeDateForKey(QStringLiteral("project end date"));
    m_ressources = coder.decodeObjectOfClassForKey<ZQRessourcesTree>(QStringLiteral("project ressources tree"), "ZQRessourcesTree");
    m_projectTasks = coder.decodeArrayForKey(QStringLiteral("project tasks"));
    m_projectDependencies = coder.decodeArrayForKey(QStringLiteral("project dependencies"));
    m_projectAlerts = coder.decodeArrayForKey(QStringLiteral("project alerts"));
    m_globalCost = coder.decodeDoubleForKey(QStringLiteral("projectCost"));
}
