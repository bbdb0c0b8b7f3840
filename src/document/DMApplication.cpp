#include "DMApplication.h"

#include <QDir>
#include <QStandardPaths>

DMApplication::DMApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setOrganizationName(QStringLiteral("Halcyra"));
    setOrganizationDomain(QStringLiteral("halcyra.org"));
    setApplicationName(QStringLiteral("Halcyra"));
    setApplicationDisplayName(QStringLiteral("Halcyra"));
    setQuitOnLastWindowClosed(false);
}

bool DMApplication::finishLaunching()
{
    return QDir().mkpath(applicationSupportPath());
}

QString DMApplication::applicationSupportPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}
