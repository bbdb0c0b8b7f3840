#include "DMTestScript.h"

#include "DMDocumentController.h"
#include "DMProjectDocument.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMainWindow>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

constexpr int kPollMilliseconds = 50;
constexpr int kMaximumAttempts = 100;

// The active dialog or window; else the only window shown (the offscreen platform activates
// no window again after a dialog closes, as a window manager would).
QWidget *activeWindow()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    QWidget *shown = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (!widget->isVisible() || widget->windowType() == Qt::Popup || widget->windowType() == Qt::ToolTip)
            continue;
        if (shown)
            return nullptr;
        shown = widget;
    }
    return shown;
}

QString withoutMnemonic(QString text)
{
    return text.remove(QLatin1Char('&'));
}

} // namespace

void DMTestScript::startFromEnvironment()
{
    const QString script = qEnvironmentVariable("HALCYRA_TEST_SCRIPT");
    if (script.isEmpty())
        return;
    // Lives as long as the application.
    new DMTestScript(script.split(QLatin1Char(';'), Qt::SkipEmptyParts));
}

DMTestScript::DMTestScript(const QStringList &steps) : QObject(qApp), m_steps(steps)
{
    schedule();
}

void DMTestScript::schedule()
{
    QTimer::singleShot(kPollMilliseconds, this, &DMTestScript::poll);
}

void DMTestScript::poll()
{
    if (m_steps.isEmpty())
        return;
    const std::function<void()> action = prepare(m_steps.first());
    if (!action) {
        if (++m_attempts < kMaximumAttempts) {
            schedule();
            return;
        }
        std::fprintf(stderr, "halcyra: the test step \"%s\" could not run\n", qPrintable(m_steps.first()));
        m_steps.clear();
        return;
    }
    m_steps.removeFirst();
    m_attempts = 0;
    // Scheduled first: the next step may have to run inside a modal loop that this one opens.
    schedule();
    action();
    if (m_steps.isEmpty() && !m_finished) {
        m_finished = true;
        std::fprintf(stderr, "halcyra: the test script ran to its end\n");
    }
}

std::function<void()> DMTestScript::prepare(const QString &step) const
{
    QWidget *window = activeWindow();
    const QString argument = step.section(QLatin1Char(':'), 1);
    if (step.startsWith(QLatin1String("key:"))) {
        if (!window)
            return {};
        const QKeySequence sequence(argument);
        for (QAction *action : window->findChildren<QAction *>())
            if (action->shortcut() == sequence && action->isEnabled())
                return [action] { action->trigger(); };
        for (QAction *action : window->actions())
            if (action->shortcut() == sequence && action->isEnabled())
                return [action] { action->trigger(); };
        return {};
    }
    if (step.startsWith(QLatin1String("click:"))) {
        if (!window)
            return {};
        for (QAbstractButton *button : window->findChildren<QAbstractButton *>())
            if (button->isVisible() && button->isEnabled() && withoutMnemonic(button->text()) == argument)
                return [button] { button->click(); };
        return {};
    }
    if (step == QLatin1String("edit")) {
        const auto document = DMDocumentController::sharedDocumentController().currentDocument();
        if (!document || !document->mainWindow() || !document->mainWindow()->isVisible())
            return {};
        return [document] { document->markDocumentAsEdited(); };
    }
    if (step == QLatin1String("close")) {
        if (!window)
            return {};
        return [window] { window->close(); };
    }
    return {};
}
