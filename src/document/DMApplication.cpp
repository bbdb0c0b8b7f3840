#include "DMApplication.h"

#include "DMDocumentController.h"
#include "DMProjectDocument.h"
#include "DMWelcomeWindowController.h"

#include <QDir>
#include <QStandardPaths>

namespace {
bool terminating = false;
}

DMApplication::DMApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setOrganizationName(QStringLiteral("Halcyra"));
    setOrganizationDomain(QStringLiteral("halcyra.org"));
    setApplicationName(QStringLiteral("Halcyra"));
    setApplicationDisplayName(QStringLiteral("Halcyra"));
    setQuitOnLastWindowClosed(false);
    // The loop has ended, so no handler of a document's window is running: documents closed
    // by the last commands (and any still open) are released here, not during Qt's clean-up.
    connect(this, &QCoreApplication::aboutToQuit, this, [] {
        DMDocumentController &controller = DMDocumentController::sharedDocumentController();
        controller.closeAllDocuments();
        controller.releaseClosedDocuments();
    });
}

bool DMApplication::finishLaunching()
{
    return QDir().mkpath(applicationSupportPath());
}

QString DMApplication::applicationSupportPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

void DMApplication::terminate()
{
    // Quitting closes the remaining windows, which may ask to quit again.
    if (terminating)
        return;
    DMDocumentController &controller = DMDocumentController::sharedDocumentController();
    for (const auto &document : QList<std::shared_ptr<DMProjectDocument>>(controller.documents()))
        if (!document->canClose())
            return;
    terminating = true;
    controller.closeAllDocuments();
    DMWelcomeWindowController::sharedController().close();
    QCoreApplication::quit();
    terminating = false;
}
