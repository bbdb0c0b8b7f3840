#pragma once

#include "DMValueTransformer.h"

// DMDate to QDateTime (floating wall-clock time) and back, registered under
// "DMDateToNSDateTransformer". The application and the tests call registerTransformer() once at
// start-up.
class DMDateToNSDateTransformer : public DMValueTransformer
{
public:
    static const QString kName; // "DMDateToNSDateTransformer"
    static void registerTransformer();

    // A DMDate gives its QDateTime; anything else, or a null date, an invalid QVariant.
    QVariant transformedValue(const QVariant &value) const override;
    // A QDateTime gives its DMDate; anything else, or an invalid QDateTime, an invalid QVariant.
    QVariant reverseTransformedValue(const QVariant &value) const override;
    bool allowsReverseTransformation() const override { return true; }
};
