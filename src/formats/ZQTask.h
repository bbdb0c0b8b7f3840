#pragma once

#include "DMArchivedObject.h"

#include <QColor>
#include <QDateTime>
#include <QVariantList>

class DMProjectItem;

// A task of the earlier planner's documents, as a decoding target. Types: 0 task, 5 task off
// the working schedule, 1 process, 4 milestone.
class ZQTask : public DMArchivedObject
{
public:
    void initWithCoder(const DMArchiveCoder &coder) override;

    QDateTime taskBeginDate() const { return m_taskBeginDate; }
    QDateTime taskEndDate() const { return m_taskEndDate; }
    // Resource nodes (DMArchivedDictionary), the same objects as in the resource tree.
    const QVariantList &taskRessources() const { return m_taskRessources; }
    QString taskName() const { return m_taskName; }
    QString taskNotes() const { return m_taskNotes; }
    QColor taskColor() const { return m_taskColor; } // invalid when the task has none
    qint64 taskCompletion() const { return m_taskCompletion; }
    qint64 type() const { return m_type; }
    double cost() const { return m_cost; }
    bool usesCostPerTask() const { return m_usesCostPerTask; }

    // The item the import made for the task (never archived); links are rebuilt through it.
    std::shared_ptr<DMProjectItem> newProjectItem() const { return m_newProjectItem.lock(); }
    void setNewProjectItem(const std::shared_ptr<DMProjectItem> &item) { m_newProjectItem = item; }

private:
    QDateTime m_taskBeginDate;
    QDateTime m_taskEndDate;
    QVariantList m_taskRessources;
    QString m_taskName;
    QString m_taskNotes;
    QColor m_taskColor;
    qint64 m_taskCompletion = 0;
    qint64 m_type = 0;
    double m_cost = 0.0;
    bool m_usesCostPerTask = false;
    std::weak_ptr<DMProjectItem> m_newProjectItem;
};
