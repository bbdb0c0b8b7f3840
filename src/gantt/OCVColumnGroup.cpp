#include "OCVColumnGroup.h"

OCVColumnGroup::OCVColumnGroup(const QString &title, qint32 beginColumn, qint32 endColumn)
    : m_title(title), m_beginColumn(beginColumn), m_endColumn(endColumn)
{
}
