#pragma once

#include <QString>

#include <functional>

class DMImportReport;
class DMProject;

// The importers of foreign document types, by document type name: the built-in ones of
// "MS Project XML Document" and "Pendulo Project Document", or one registered in their place.
// An importer fills the default project handed to it from the file at the path and answers
// whether it could; the report says why not, and what it repaired or left out. The document owns
// the user-facing texts.
class DMProjectImporters
{
public:
    using Importer = std::function<bool(const QString &path, DMProject &project, DMImportReport &report)>;

    // Registering an empty function brings back the built-in importer of the type.
    static void registerImporter(const QString &typeName, Importer importer);
    // Empty for a type that has no importer.
    static Importer importerForType(const QString &typeName);
};
