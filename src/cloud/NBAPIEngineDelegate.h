#pragma once

#include "NBAccount.h"
#include "NBError.h"
#include "NBWebItem.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantList>

// Receives the outcomes of the engine's requests; every callback names the request by the
// identifier its operation returned and hands back the caller's userInfo. A request ends with
// exactly one success or one failure, unless it is cancelled. A result pointer is null only for
// a 304 answer with an empty body. Defaults do nothing.
class NBAPIEngineDelegate
{
public:
    virtual ~NBAPIEngineDelegate() = default;

    // Every success except the first step of an upload, before the kind's own callback.
    virtual void requestDidSucceedWithConnectionIdentifierUserInfo(const QString &, const QVariant &) {}
    virtual void requestDidFailWithErrorConnectionIdentifierUserInfo(const NBError &, const QString &,
                                                                     const QVariant &)
    {
    }
    // From 0 to 1, while the file of an upload is sent.
    virtual void fileUploadDidProgressConnectionIdentifierUserInfo(double, const QString &, const QVariant &) {}

    virtual void itemUpdateDidSucceedConnectionIdentifierUserInfo(const NBWebItem *, const QString &,
                                                                  const QVariant &)
    {
    }
    virtual void itemDeletionDidSucceedConnectionIdentifierUserInfo(const NBWebItem *, const QString &,
                                                                    const QVariant &)
    {
    }
    virtual void itemRestorationDidSucceedConnectionIdentifierUserInfo(const NBWebItem *, const QString &,
                                                                       const QVariant &)
    {
    }
    virtual void itemListRetrievalSucceededConnectionIdentifierUserInfo(const QList<NBWebItem> *, const QString &,
                                                                        const QVariant &)
    {
    }
    virtual void linkBookmarkDidSucceedWithResultingItemConnectionIdentifierUserInfo(const NBWebItem *,
                                                                                     const QString &,
                                                                                     const QVariant &)
    {
    }
    virtual void accountCreationSucceededConnectionIdentifierUserInfo(const NBAccount *, const QString &,
                                                                      const QVariant &)
    {
    }
    virtual void accountInformationRetrievalSucceededConnectionIdentifierUserInfo(const NBAccount *,
                                                                                  const QString &,
                                                                                  const QVariant &)
    {
    }
    virtual void itemInformationRetrievalSucceededConnectionIdentifierUserInfo(const NBWebItem *, const QString &,
                                                                               const QVariant &)
    {
    }
    virtual void fileUploadDidSucceedWithResultingItemConnectionIdentifierUserInfo(const NBWebItem *,
                                                                                   const QString &,
                                                                                   const QVariant &)
    {
    }
    // The service's JSON array, unchanged.
    virtual void storeProductInformationRetrievalSucceededConnectionIdentifierUserInfo(const QVariantList *,
                                                                                       const QString &,
                                                                                       const QVariant &)
    {
    }
    virtual void storeReceiptRedemptionSucceededConnectionIdentifierUserInfo(const NBAccount *, const QString &,
                                                                             const QVariant &)
    {
    }
};
