// The resource file's Export and Import commands.
#include "DMResourceFileCommands.h"

#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "DMPopoverEditorController.h"
#include "DMProject.h"
#include "DMProjectResource.h"
#include "DMProjectResourceFile.h"

#include <QDebug>

namespace DMResourceFileCommands {

void exportResources(const std::shared_ptr<DMProject> &project, QWidget *window)
{
    if (!project)
        return;
    DMModalUI::FilePanel panel;
    panel.proposedName = QStringLiteral("%1-%2.xml").arg(project->title(), DMLocalizedString("Resources"));
    panel.allowedExtensions = {QStringLiteral("xml")};
    const QString path = DMModalUI::instance().runSavePanel(panel, window);
    if (path.isEmpty())
        return;
    QString error;
    if (DMProjectResourceFile::writeToFile(*project, path, &error))
        return;
    qWarning() << "Resources: could not write" << path << error;
    DMModalUI::Alert alert;
    alert.messageText = DMLocalizedString("Unable to write the file");
    alert.informativeText = DMLocalizedString(
        "An error occured while writing the file.\nPlease check that you have all the necessary permissions to write in "
        "the specified folder and that there is sufficient free space on the drive.");
    alert.buttons = {DMLocalizedString("OK")};
    DMModalUI::instance().runAlert(alert, window);
}

bool importResources(const std::shared_ptr<DMProject> &project, QWidget *window)
{
    if (!project)
        return false;
    DMModalUI::FilePanel panel;
    panel.allowedExtensions = {QStringLiteral("xml")};
    const QStringList paths = DMModalUI::instance().runOpenPanel(panel, window);
    if (paths.isEmpty())
        return false;
    // Everything is read and checked before the project changes.
    DMProjectResourceFile::Contents contents;
    QString error;
    if (!DMProjectResourceFile::readFromFile(paths.first(), &contents, &error)) {
        qWarning() << "Resources: could not import" << paths.first() << error;
        DMModalUI::Alert alert;
        alert.messageText = DMLocalizedString("Not a Halcyra 2 resource file.");
        alert.informativeText = DMLocalizedString("This file does not seem to be containing Halcyra 2 exported resources.");
        alert.buttons = {DMLocalizedString("OK")};
        DMModalUI::instance().runAlert(alert, window);
        return false;
    }
    const QList<std::shared_ptr<DMProjectResource>> resources = DMProjectResourceFile::resourcesForProject(contents, project);
    if (resources.isEmpty()) {
        project->updateChangeCount(0); // an import counts as a change even when it adds nothing
    } else {
        DMPopoverEditorController::applyAsOneUndoStep(project, DMLocalizedString("Import Resources"), [&] {
            for (const auto &resource : resources)
                project->resources().append(resource);
        });
    }
    if (contents.skippedCount > 0) {
        DMModalUI::Alert alert;
        alert.messageText = DMLocalizedString("Some resources were not imported.");
        alert.informativeText = DMLocalizedString("%1 resources of the file were left out: they lack a name or hold "
                                                  "values of the wrong kind or out of range.")
                                    .arg(contents.skippedCount);
        alert.buttons = {DMLocalizedString("OK")};
        DMModalUI::instance().runAlert(alert, window);
    }
    return true;
}

} // namespace DMResourceFileCommands
