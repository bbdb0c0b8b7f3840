// Links: hy_formats
// Feeds arbitrary bytes to the resource file reader. Every resource it keeps must load into a
// project with a fresh identity, and what was loaded must write a file that reads back whole.
#include "DMProject.h"
#include "DMProjectResource.h"
#include "DMProjectResourceFile.h"
#include "DMPropertyList.h"
#include "FuzzSupport.h"

#include <cstdint>
#include <cstdlib>

namespace {

int countWithMembers(const QList<std::shared_ptr<DMProjectResource>> &resources)
{
    int count = 0;
    for (const auto &resource : resources)
        count += 1 + countWithMembers(resource->subitems().list());
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    installQuietMessageHandler();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    DMProjectResourceFile::Contents contents;
    if (!DMProjectResourceFile::readData(bytes, &contents))
        return 0;

    const auto project = DMProject::create();
    const QList<std::shared_ptr<DMProjectResource>> made = DMProjectResourceFile::resourcesForProject(contents, project);
    if (made.size() != contents.resources.size() || project->objectIDSortedResourcesArray())
        std::abort();
    for (const auto &resource : made)
        project->resources().append(resource);

    // What was loaded writes and reads back: the same resources, none left out.
    const QByteArray written = DMPropertyList::dataWithPropertyList(DMProjectResourceFile::exportDictionary(*project));
    DMProjectResourceFile::Contents again;
    if (written.isEmpty() || !DMProjectResourceFile::readData(written, &again) || again.skippedCount != 0
        || again.resources.size() != made.size())
        std::abort();
    const auto reloaded = DMProject::create();
    if (countWithMembers(DMProjectResourceFile::resourcesForProject(again, reloaded)) != countWithMembers(made))
        std::abort();
    return 0;
}
