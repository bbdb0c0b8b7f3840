#include "ZQTask.h"

#include "DMKeyedUnarchiver.h"

void ZQTask::initWithCoder(const DMArchiveCoder &coder)
{
    m_taskBeginDate = coder.decodeDateForKey(QStringLiteral("task begin date"));
    m_taskEndDate = coder.decodeDateForKey(QStringLiteral("task end date"));
    m_taskRessources = coder.decodeArrayForKey(QStringLiteral("task ressources"));
    m_taskName = coder.decodeStringForKey(QStringLiteral("task name"));
    m_taskNotes = coder.decodeStringForKey(QStringLiteral("task notes"));
    m_taskColor = coder.decodeColorForKey(QStringLiteral("task color"));
    m_taskCompletion = coder.decodeIntegerForKey(QStringLiteral("task completion"));
    m_type = coder.decodeIntegerForKey(QStringLiteral("task type"));
    // Optional keys keep their defaults in archives written before they existed.
    if (coder.containsValueForKey(QStringLiteral("cost")))
        m_cost = coder.decodeDoubleForKey(QStringLiteral("cost"));
    if (coder.containsValueForKey(QStringLiteral("usesCostPerTask")))
        m_usesCostPerTask = coder.decodeBoolForKey(QStringLiteral("usesCostPerTask"));
}
