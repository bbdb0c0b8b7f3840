#pragma once

#include <QString>
#include <QVariant>

#include <memory>

// Converts values one way and, when allowed, back; registered by name so that settings and
// bindings can name a conversion in data.
class DMValueTransformer
{
public:
    virtual ~DMValueTransformer() = default;

    virtual QVariant transformedValue(const QVariant &value) const = 0;
    // An invalid QVariant when reverse transformation is not allowed.
    virtual QVariant reverseTransformedValue(const QVariant &value) const;
    virtual bool allowsReverseTransformation() const { return false; }

    // Registering under a name already used replaces the earlier transformer; a null pointer
    // removes the name.
    static void registerValueTransformer(const QString &name, std::shared_ptr<DMValueTransformer> transformer);
    // Null when no transformer is registered under the name.
    static std::shared_ptr<DMValueTransformer> valueTransformerForName(const QString &name);
};
