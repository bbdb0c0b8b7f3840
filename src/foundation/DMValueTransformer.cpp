#include "DMValueTransformer.h"

#include <QHash>

namespace {

QHash<QString, std::shared_ptr<DMValueTransformer>> &registry()
{
    static QHash<QString, std::shared_ptr<DMValueTransformer>> transformers;
    return transformers;
}

} // namespace

QVariant DMValueTransformer::reverseTransformedValue(const QVariant &) const
{
    return QVariant();
}

void DMValueTransformer::registerValueTransformer(const QString &name, std::shared_ptr<DMValueTransformer> transformer)
{
    if (transformer)
        registry().insert(name, std::move(transformer));
    else
        registry().remove(name);
}

std::shared_ptr<DMValueTransformer> DMValueTransformer::valueTransformerForName(const QString &name)
{
    return registry().value(name);
}
