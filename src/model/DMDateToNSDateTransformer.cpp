#include "DMDateToNSDateTransformer.h"

#include "DMDate.h"

const QString DMDateToNSDateTransformer::kName = QStringLiteral("DMDateToNSDateTransformer");

void DMDateToNSDateTransformer::registerTransformer()
{
    registerValueTransformer(kName, std::make_shared<DMDateToNSDateTransformer>());
}

QVariant DMDateToNSDateTransformer::transformedValue(const QVariant &value) const
{
    if (value.metaType() != QMetaType::fromType<DMDate>())
        return QVariant();
    const DMDate date = value.value<DMDate>();
    if (date.isNull())
        return QVariant();
    return QVariant(date.NSDate());
}

QVariant DMDateToNSDateTransformer::reverseTransformedValue(const QVariant &value) const
{
    if (value.metaType().id() != QMetaType::QDateTime)
        return QVariant();
    const DMDate date = DMDate::dateWithNSDate(value.toDateTime());
    if (date.isNull())
        return QVariant();
    return QVariant::fromValue(date);
}
