#pragma once

#include "DMArchivedObject.h"

#include <QDateTime>
#include <QVariantList>

class ZQRessourcesTree;

// The root object of the earlier planner's documents, as a decoding target: the values its
// importer reads. The lists hold decoded entries as the archive has them (ZQTask, ZQDependency
// and ZQAlert objects, or whatever else a damaged archive put there).
class ZQProject : public DMArchivedObject
{
public:
    void initWithCoder(const DMArchiveCoder &coder) override;

    QString projectName() const { return m_projectName; }
    QDateTime projectBeginDate() const { return m_projectBeginDate; }
    QDateTime projectEndDate() const { return m_projectEndDate; }
    std::shared_ptr<ZQRessourcesTree> ressources() const { return m_ressources; }
    const QVariantList &projectTasks() const { return m_projectTasks; }
    const QVariantList &projectDependencies() const { return m_projectDependencies; }
    const QVariantList &projectAlerts() const { return m_projectAlerts; }
    double projectCost() const { return m_globalCost; }

private:
    QString m_projectName;
    QDateTime m_projectBeginDate;
    QDateTime m_projectEndDate;
    std::shared_ptr<ZQRessourcesTree> m_ressources;
    QVariantList m_projectTasks;
    QVariantList m_projectDependencies;
    QVariantList m_projectAlerts;
    double m_globalCost = 0.0;
};
