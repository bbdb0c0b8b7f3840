#include "DMProjectImporters.h"

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
    return registry().value(typeName);
}
