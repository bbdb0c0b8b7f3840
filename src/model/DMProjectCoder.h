#pragma once

#include "DMDate.h"

#include <QColor>
#include <QStringList>
#include <QVariantMap>

#include <memory>

class DMProject;
class DMPropertyListNode;
class DMProjectItem;

// The dictionary representation of a project (the "project.xml" property list) and its
// two-phase load: every object is made first (the item tree iteratively, with a depth limit),
// then the references (links, resource assignments) are resolved by object ID. Damaged input
// loads what is sound; the dropped or mended parts are counted by kind, and each kind is logged
// once with qWarning (with its count) and appended to *problems. Key names: docs/file-format.md.
class DMProjectCoder
{
public:
    static constexpr int kFormatVersion = 1;
    // Item nesting deeper than this is dropped when loading.
    static constexpr int kMaximumItemDepth = 1000;

    static QVariantMap projectRepresentation(const DMProject &project);
    static std::shared_ptr<DMProject> loadProject(const QVariantMap &dictionary, QStringList *problems = nullptr);
    // The same from a parsed property list, reading one item's dictionary at a time; the items'
    // entries but their subitems are taken out of the list as they are read.
    static std::shared_ptr<DMProject> loadProject(const DMPropertyListNode &root, QStringList *problems = nullptr);

    // An item with its subitems, nested under "subitems" (built without recursion).
    static QVariantMap itemTreeRepresentation(const DMProjectItem &item);
    // The same, leaving out the fill colours equal to sharedFill (when valid), which the project
    // dictionary holds once.
    static QVariantMap itemTreeRepresentation(const DMProjectItem &item, const QColor &sharedFill);
    // A new item of the class named under "class" (null for an unknown class).
    static std::shared_ptr<DMProjectItem> newItemForClassName(const QString &className);

    // Dates are written as integer absolute seconds (Julian day x 86400 + second of day).
    static QVariant dateValue(const DMDate &date);
    // True with *date set for an integer in the years 1 to 9999; false (and *date untouched)
    // for a missing key, another type or a date out of range.
    static bool readDate(const QVariantMap &dictionary, const QString &key, DMDate *date);
    // Attribute dictionaries as one serialized value ({"class", "object"}); DMDate values
    // inside them become {"DMDate": absolute second}.
    static QVariant encodeAttributes(const QVariantMap &attributes);
    // Damaged attributes decode to none; *damaged is set (or, without it, a line logged).
    static QVariantMap decodeAttributes(const QVariant &encoded, bool *damaged = nullptr);
    // Settings: each value serialized on its own, so one damaged setting costs only itself.
    static QVariantMap encodeSettings(const QVariantMap &settings);
    static QVariantMap decodeSettings(const QVariant &encoded);
    // True with *objectID set for a positive integer under "objectID".
    static bool readObjectID(const QVariantMap &dictionary, quint64 *objectID);
    // Object IDs are unsigned 64-bit: written as an unsigned number above INT64_MAX, so that an
    // ID near 2^64 comes back the same; read as a positive integer of either kind.
    static QVariant idValue(quint64 objectID);
    static bool idFromValue(const QVariant &value, quint64 *objectID);

private:
    class Loader;
};
