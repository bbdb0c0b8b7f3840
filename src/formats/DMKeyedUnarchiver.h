#pragma once

#include "DMArchivedObject.h"

#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QRectF>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <vector>

class DMKeyedUnarchiver;

// The keyed values of one archived object, as its class's initWithCoder reads them. References
// to other objects are decoded when read.
class DMArchiveCoder
{
public:
    QString className() const { return m_className; }
    bool containsValueForKey(const QString &key) const { return m_values.contains(key); }
    // The decoded value; an invalid QVariant when absent or nil. A reference that cannot be
    // decoded fails the object being read.
    QVariant decodeObjectForKey(const QString &key) const;
    bool decodeBoolForKey(const QString &key) const;
    qint64 decodeIntegerForKey(const QString &key) const;
    double decodeDoubleForKey(const QString &key) const;
    // A rectangle in its archived text form "{{x, y}, {w, h}}".
    QRectF decodeRectForKey(const QString &key) const;

    // Typed reads: a value of another type is noted as a problem of the archive and read as
    // absent.
    QString decodeStringForKey(const QString &key) const;
    QDateTime decodeDateForKey(const QString &key) const;
    QColor decodeColorForKey(const QString &key) const;
    QVariantList decodeArrayForKey(const QString &key) const;
    template <typename T>
    std::shared_ptr<T> decodeObjectOfClassForKey(const QString &key, const char *expectedClass) const
    {
        const QVariant value = decodeObjectForKey(key);
        auto object = DMArchivedObject_cast<T>(value);
        if (!object && value.isValid())
            noteWrongType(key, QLatin1String(expectedClass), value);
        return object;
    }

    // Makes the object being read fail with the reason.
    [[noreturn]] void failDecoding(const QString &reason) const;

private:
    friend class DMKeyedUnarchiver;
    DMArchiveCoder(DMKeyedUnarchiver &unarchiver, const QVariantMap &values, const QString &className, int depth)
        : m_unarchiver(unarchiver), m_values(values), m_className(className), m_depth(depth)
    {
    }
    void noteWrongType(const QString &key, const QString &expected, const QVariant &value) const;

    DMKeyedUnarchiver &m_unarchiver;
    const QVariantMap &m_values;
    QString m_className;
    int m_depth;
};

// Reads keyed archives: property lists (XML or binary) of the form {"$archiver", "$objects",
// "$top"} whose objects refer to each other by {"CF$UID": index}. Objects are decoded when first
// reached and once; the foundation's values come back as QVariant values (strings, numbers,
// dates, data, arrays, colours, rectangles, images), dictionaries as DMArchivedDictionary, and
// registered classes as their DMArchivedObject.
//
// Hostile input fails in bounded time and memory: a reference out of range, a reference cycle,
// an unknown class, a malformed foundation object or nesting deeper than kMaximumDepth makes the
// object that holds it fail (decoded as nil, with a line in problems()); a file that is no keyed
// archive fails as a whole.
class DMKeyedUnarchiver
{
public:
    static constexpr int kMaximumDepth = 200;
    using Factory = std::function<std::shared_ptr<DMArchivedObject>()>;

    explicit DMKeyedUnarchiver(const QByteArray &data);

    bool isValid() const { return m_valid; }
    QString errorString() const { return m_error; }

    // Archived objects whose class (or one of the classes it derives from, as the archive lists
    // them) has this name are made by the factory and read by their initWithCoder.
    void setClassForClassName(const QString &className, Factory factory);

    // The object of "$top" under the key ("root" for the archive's root object).
    QVariant decodeTopObjectForKey(const QString &key);
    // Lines about objects that failed or were read in part, in the order met.
    const QStringList &problems() const { return m_problems; }

private:
    friend class DMArchiveCoder;
    enum class State : quint8 { Unread, Reading, Read, Failed };

    // A raw value of an object's keys: a reference is decoded, a plain value kept.
    QVariant resolve(const QVariant &raw, int depth);
    QVariant objectAtIndex(qint64 index, int depth);
    QVariant decodeRawObject(const QVariant &raw, int depth);
    QVariant decodeInstance(const QVariantMap &raw, int depth);
    QVariant decodeFoundationObject(const QString &className, const QVariantMap &raw, const DMArchiveCoder &coder,
                                    int depth, bool *known);
    void noteProblem(const QString &line);

    QVariantList m_objects;
    QVariantMap m_top;
    std::vector<State> m_states;
    std::vector<QVariant> m_decoded;
    QHash<QString, Factory> m_factories;
    QStringList m_problems;
    QString m_error;
    bool m_valid = false;
};
