#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <memory>

class DMArchiveCoder;

// Base of the classes that a keyed archive decodes into, by archived class name. The decoded
// value of such an object is a QVariant holding std::shared_ptr<DMArchivedObject>; every
// reference to the same archived object gives the same instance, so identity survives decoding.
class DMArchivedObject
{
public:
    virtual ~DMArchivedObject() = default;
    // Reads the object's keyed values. coder.failDecoding() makes the object unusable.
    virtual void initWithCoder(const DMArchiveCoder &coder) = 0;
    // The class name the archive gave the object.
    QString archivedClassName() const { return m_archivedClassName; }

private:
    friend class DMKeyedUnarchiver;
    QString m_archivedClassName;
};

Q_DECLARE_METATYPE(std::shared_ptr<DMArchivedObject>)

// A dictionary of the archive, decoded as one object so that references to it keep its identity
// (the earlier planner's resource nodes are found again by identity).
class DMArchivedDictionary : public DMArchivedObject
{
public:
    void initWithCoder(const DMArchiveCoder &) override {}
    QVariant value(const QString &key) const { return entries.value(key); }
    QVariantMap entries;
};

inline QVariant DMArchivedObject_variant(const std::shared_ptr<DMArchivedObject> &object)
{
    return QVariant::fromValue(object);
}

// The object of that class held by the decoded value, or null for any other value.
template <typename T>
std::shared_ptr<T> DMArchivedObject_cast(const QVariant &value)
{
    if (value.metaType() != QMetaType::fromType<std::shared_ptr<DMArchivedObject>>())
        return nullptr;
    return std::dynamic_pointer_cast<T>(value.value<std::shared_ptr<DMArchivedObject>>());
}
