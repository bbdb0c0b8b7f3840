#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <memory>
#include <optional>

class DMProject;
class DMProjectResource;

// The resource export file, exchanged with other planners: an XML property list whose root
// dictionary holds "halcyra version" (text, not examined when read) and "resources", one
// dictionary per top-level resource and group with exactly "objectID", "tag", "name" (absent when
// the resource has none), "attributes" (serialized), "subitems" (a group's members in the same
// form; empty for a resource) and "kind" (0 resource, 1 group).
//
// Reading validates every resource before anything is made of it: an entry that is no
// dictionary, of another class, of an unknown kind, or with an attribute of the wrong type or an
// impossible number is left out with its members and counted. A resource without a name is
// named "New Resource". Files of earlier builds, with "class" and "subRowCount", read the same.
class DMProjectResourceFile
{
public:
    static const QString kVersionKey;   // "halcyra version"
    static const QString kResourcesKey; // "resources"
    static constexpr int kMaximumDepth = 64; // groups nested deeper are left out
    // Larger files are refused before they are read: resources carry their icons.
    static constexpr qint64 kMaximumFileSize = qint64(64) << 20;

    static QVariantMap exportDictionary(const DMProject &project);
    // One resource (a group with its members) as the file holds it.
    static QVariantMap resourceDictionary(const DMProjectResource &resource);
    // Writes the export dictionary atomically. False with *error set when it cannot.
    static bool writeToFile(const DMProject &project, const QString &path, QString *error = nullptr);

    struct Contents
    {
        QVariantList resources; // the sound resource dictionaries, in the file's order
        int skippedCount = 0;   // resources left out (members of a left-out group not counted)
    };
    // False when the data is no resource file: not a property list, a root that is not a
    // dictionary, a key missing, or "resources" not an array. *error then tells the user so; the
    // reason is logged.
    static bool readData(const QByteArray &data, Contents *contents, QString *error = nullptr);
    // The same from a file the user picked, read as DMRegularFile reads one.
    static bool readFromFile(const QString &path, Contents *contents, QString *error = nullptr);

    // One entry checked and cleaned (object IDs and view state dropped, a missing name given)
    // into the model's dictionary form; nothing when it is left out. Members left out are added
    // to *skipped.
    static std::optional<QVariantMap> validatedResource(const QVariant &value, int *skipped, int depth = 0);

    // New resources of the project made from what was read, with new object IDs; not yet in any
    // list of the project.
    static QList<std::shared_ptr<DMProjectResource>> resourcesForProject(const Contents &contents,
                                                                        const std::shared_ptr<DMProject> &project);
};
