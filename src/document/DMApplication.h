#pragma once

#include <QApplication>

// The application object: the Qt application with the application-support folder made when
// launching finishes. The process ends with its event loop, and every document is released
// before the loop is left: a document's window must not outlive the loop into Qt's own clean-up.
class DMApplication : public QApplication
{
    Q_OBJECT

public:
    DMApplication(int &argc, char **argv);

    // Creates the application-support folder; false when it cannot be made.
    bool finishLaunching();

    // The folder of per-document window state and other support files (need not exist yet).
    static QString applicationSupportPath();

    // Quit: asks every open document whether it may close (an edited one may ask to save it;
    // Cancel keeps the application running), then closes them all and ends the event loop. Every
    // Quit command and closing the welcome window with no document open come here.
    static void terminate();
};
