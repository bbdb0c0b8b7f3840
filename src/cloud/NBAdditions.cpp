#include "NBAdditions.h"

#include <QUuid>

QString NBUniqueString()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}
