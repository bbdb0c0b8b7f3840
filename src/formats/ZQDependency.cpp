#include "ZQDependency.h"

#include "DMKeyedUnarchiver.h"
#include "ZQTask.h"

void ZQDependency::initWithCoder(const DMArchiveCoder &coder)
{
    m_precedingTask = coder.decodeObjectOfClassForKey<ZQTask>(QStringLiteral("dependency preceding task"), "ZQTask");
    m_followingTask = coder.decodeObjectOfClassForKey<ZQTask>(QStringLiteral("dependency following task"), "ZQTask");
}
