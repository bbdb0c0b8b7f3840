#pragma once

#include <QApplication>

// The application object: the Qt application with the application-support folder made when
// launching finishes.
class DMApplication : public QApplication
{
    Q_OBJECT

public:
    DMApplication(int &argc, char **argv);

    // Creates the application-support folder; false when it cannot be made.
    bool finishLaunching();

    // The folder of per-document window state and other support files (need not exist yet).
    static QString applicationSupportPath();
};
