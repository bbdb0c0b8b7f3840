#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

// Drives the running application from the steps in the environment variable
// HALCYRA_TEST_SCRIPT, so that a test can start the real executable and use it as a person
// would. Steps are separated by ";" and run in order, each as soon as it can:
//   key:<sequence>  triggers the enabled command bound to the key sequence ("key:Ctrl+Q") in
//                   the active window (or the only window shown), as pressing it would
//   click:<text>    clicks the button titled <text> in the active dialog or window
//   edit            marks the current document edited
//   close           closes the active window, as its title bar's close button would
// A step that cannot run within five seconds is reported on standard error and ends the script;
// so is a script that ran to its end.
class DMTestScript : public QObject
{
public:
    static void startFromEnvironment();

private:
    explicit DMTestScript(const QStringList &steps);
    void poll();
    void schedule();
    // The step's action, or an empty function while the step cannot run yet.
    std::function<void()> prepare(const QString &step) const;

    QStringList m_steps;
    int m_attempts = 0;
    bool m_finished = false;
};
