// DMProjectResourcesOutlineViewDS: export and import of the resource file.
#include "DMProjectResourcesOutlineViewDS.h"

#include "DMProjectListDocument.h"
#include "DMResourceFileCommands.h"

void DMProjectResourcesOutlineViewDS::itemsViewResourcesExport()
{
    DMResourceFileCommands::exportResources(m_document.project(), m_document.windowForSheet(), m_document.folderForPanels());
}

void DMProjectResourcesOutlineViewDS::itemsViewResourcesImport()
{
    if (DMResourceFileCommands::importResources(m_document.project(), m_document.windowForSheet(), m_document.folderForPanels()))
        didChangeResources();
}
