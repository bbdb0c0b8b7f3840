#pragma once

#include <QString>

#include <functional>

class DMProject;

// The importers of foreign document types, by document type name. An importer fills the
// default project handed to it from the file at the path and answers whether it could; the
// document owns the user-facing failure text.
class DMProjectImporters
{
public:
    using Importer = std::function<bool(const QString &path, DMProject &project)>;

    // Registering an empty function removes the importer of the type.
    static void registerImporter(const QString &typeName, Importer importer);
    static Importer importerForType(const QString &typeName);
};
