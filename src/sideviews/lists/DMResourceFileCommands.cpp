// The resource file's Export and Import commands.
#include "DMResourceFileCommands.h"

#include "DMExchangeFile.h"
#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "DMProject.h"
#include "DMProjectResource.h"
#include "DMProjectResourceFile.h"
#include "DMProjectUndoStep.h"
#include "DMReadGuard.h"
#include "DMStringAdditions.h"

#include <QDebug>

namespace DMResourceFileCommands {

void exportResources(const std::shared_ptr<DMProject> &project, QWidget *window, const QString &folder)
{
    if (!project)
        return;
    DMModalUI::FilePanel panel;
    panel.proposedName = fileNameForTitle(QStringLiteral("%1-%2").arg(project->nameForExportedFiles(), DMLocalizedString("Resources")),
                                          DMLocalizedString("Resources"), QStringLiteral("xml"));
    panel.allowedExtensions = {QStringLiteral("xml")};
    panel.directory = folder;
    const QString path = DMModalUI::instance().runSavePanel(panel, window);
    if (path.isEmpty())
        return;
    QString error;
    if (DMProjectResourceFile::writeToFile(*project, path, &error))
        return;
    DMModalUI::instance().presentError(DMLocalizedString("Unable to write the file"), DMExchangeFile::writeFailureText(error),
                                       window, DMLocalizedString("Export Resources"));
}

bool importResources(const std::shared_ptr<DMProject> &project, QWidget *window, const QString &folder)
{
    if (!project)
        return false;
    DMModalUI::FilePanel panel;
    panel.allowedExtensions = {QStringLiteral("xml")};
    panel.directory = folder;
    const QStringList paths = DMModalUI::instance().runOpenPanel(panel, window);
    if (paths.isEmpty())
        return false;
    // Everything is read and checked before the project changes.
    DMProjectResourceFile::Contents contents;
    QList<std::shared_ptr<DMProjectResource>> resources;
    QString error;
    const bool read = DMReadGuard::run(
        [&] {
            if (!DMProjectResourceFile::readFromFile(paths.first(), &contents, &error))
                return false;
            resources = DMProjectResourceFile::resourcesForProject(contents, project);
            return true;
        },
        &error);
    if (!read) {
        qWarning() << "Resources: could not import" << paths.first() << error;
        DMModalUI::instance().presentError(DMLocalizedString("Not a Halcyra 2 resource file."), error, window,
                                           DMLocalizedString("Import Resources"));
        return false;
    }
    if (resources.isEmpty()) {
        project->updateChangeCount(0); // an import counts as a change even when it adds nothing
    } else {
        DMProject_applyAsOneUndoStep(project, DMLocalizedString("Import Resources"), [&] {
            for (const auto &resource : resources)
                project->resources().append(resource);
        });
    }
    if (contents.skippedCount > 0) {
        DMModalUI::Alert alert;
        alert.title = DMLocalizedString("Import Resources");
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
