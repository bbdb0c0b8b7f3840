#include "DMProjectImporters.h"

#include "DMImportReport.h"
#include "DMMSProjectXMLConverter.h"
#include "DMPenduloProjectConverter.h"
#include "DMProjectDocument.h"

#include <QHash>

namespace {
QHash<QString, DMProjectImporters::Importer> &registry()
{
    static QHash<QString, DMProjectImporters::Importer> importers;
    return importers;
}
} // namespace

void DMProjectImporters::registerImporter(const QString &typeName, Importer importer)
{
    if (importer)
        registry().insert(typeName, std::move(importer));
    else
        registry().remove(typeName);
}

DMProjectImporters::Importer DMProjectImporters::importerForType(const QString &typeName)
{
    if (const Importer registered = registry().value(typeName))
        return registered;
    if (typeName == DMProjectDocument::kMSProjectXMLType)
        return [](const QString &path, DMProject &project, DMImportReport &report) {
            return DMMSProjectXMLConverter::importMSProjectXMLDocumentAtPathInProject(path, project, &report);
        };
    if (typeName == DMProjectDocument::kPenduloType)
        return [](const QString &path, DMProject &project, DMImportReport &report) {
            return DMPenduloProjectConverter::importPenduloProjectDocumentAtPathInProject(path, project, &report);
        };
    return Importer();
}
