#pragma once

#include "DMArchivedObject.h"

class ZQTask;

// A link between two tasks of the earlier planner's documents, as a decoding target.
class ZQDependency : public DMArchivedObject
{
public:
    void initWithCoder(const DMArchiveCoder &coder) override;

    std::shared_ptr<ZQTask> dependencyPrecedingTask() const { return m_precedingTask; }
    std::shared_ptr<ZQTask> dependencyFollowingTask() const { return m_followingTask; }

private:
    std::shared_ptr<ZQTask> m_precedingTask;
    std::shared_ptr<ZQTask> m_followingTask;
};
