// halcyra: starts the application, writes the default preferences, opens the files named on
// the command line, or shows the welcome window.
#include "DMApplication.h"
#include "DMApplicationDelegate.h"
#include "DMGanttUIObjectFactory.h"
#include "DMTestScript.h"

#include <QStringList>

int main(int argc, char **argv)
{
    DMApplication app(argc, argv);
    DMGanttUIObjectFactory::registerWithModel();
    DMApplicationDelegate delegate;
    delegate.applicationWillFinishLaunching();
    app.finishLaunching();
    QStringList files = DMApplication::arguments();
    files.removeFirst();
    delegate.applicationDidFinishLaunching(files);
    DMTestScript::startFromEnvironment();
    return app.exec();
}
