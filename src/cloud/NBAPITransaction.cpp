#include "NBAPITransaction.h"

NBAPITransaction::NBAPITransaction(NBAPIRequestType requestType, const QString &identifier, const QVariant &userInfo)
    : requestType(requestType)
    , identifier(identifier)
    , userInfo(userInfo)
{
    inactivityTimer.setSingleShot(true);
}
