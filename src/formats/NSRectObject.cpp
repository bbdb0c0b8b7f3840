#include "NSRectObject.h"

#include "DMKeyedUnarchiver.h"

void NSRectObject::initWithCoder(const DMArchiveCoder &coder)
{
    m_rect = coder.decodeRectForKey(QStringLiteral("rect struct"));
}
