#include "DMInspectorWindow.h"

#include "DMLocalizedString.h"
#include "DMUserDefaults.h"

#include <QAction>
#include <QKeyEvent>
#include <QScreen>
#include <QStringList>

const QString DMInspectorWindow::kFrameDefaultsKey = QStringLiteral("inspectorWindowFrame");

namespace {

// The content rectangle of a panel that has no remembered frame.
const QRect kInitialFrame(200, 200, 300, 200);

} // namespace

DMInspectorWindow *DMInspectorWindow::sharedWindow()
{
    // Parentless and never deleted: it lives as long as the process, like the inspectors.
    static DMInspectorWindow *window = new DMInspectorWindow;
    return window;
}

DMInspectorWindow::DMInspectorWindow()
    : QWidget(nullptr, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("DMInspectorWindow"));
    setWindowTitle(DMLocalizedString("Inspector"));
    setAutoFillBackground(true);
    restoreFrame();
}

void DMInspectorWindow::restoreFrame()
{
    m_restoring = true;
    setGeometry(kInitialFrame);
    const QStringList parts =
        DMUserDefaults::standardUserDefaults().objectForKey(kFrameDefaultsKey).toString().split(QLatin1Char(' '));
    int values[4] = {0, 0, 0, 0};
    bool sound = parts.size() == 4;
    for (int i = 0; sound && i < 4; ++i)
        values[i] = parts.at(i).toInt(&sound);
    if (sound && values[2] > 0 && values[3] > 0) {
        move(values[0], values[1]);
        resize(values[2], values[3]);
        m_hasFrame = true;
    }
    m_restoring = false;
}

void DMInspectorWindow::saveFrame() const
{
    if (m_restoring)
        return;
    // The place of the whole window (title bar included), the size of its content.
    DMUserDefaults::standardUserDefaults().setObjectForKey(
        QStringLiteral("%1 %2 %3 %4").arg(x()).arg(y()).arg(width()).arg(height()), kFrameDefaultsKey);
}

void DMInspectorWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    saveFrame();
}

void DMInspectorWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    saveFrame();
}

void DMInspectorWindow::keyPressEvent(QKeyEvent *event)
{
    // A text field takes its own undo and copy keys before they get here.
    if (m_commandWindow && event->key() != Qt::Key_unknown) {
        const QKeySequence pressed(event->keyCombination());
        for (QAction *action : m_commandWindow->findChildren<QAction *>()) {
            if (action->shortcutContext() == Qt::ApplicationShortcut || !action->shortcuts().contains(pressed))
                continue;
            if (action->isEnabled())
                action->trigger();
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void DMInspectorWindow::placeBesideWindowUnlessRemembered(const QWidget *window)
{
    if (m_hasFrame || !window || !window->isVisible())
        return;
    m_hasFrame = true;
    const QRect beside = window->frameGeometry();
    const QScreen *screen = window->screen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    constexpr int kGap = 8;
    QPoint place(beside.right() + 1 + kGap, beside.top());
    if (available.isValid() && place.x() + width() > available.right() && beside.left() - kGap - width() >= available.left())
        place.setX(beside.left() - kGap - width());
    move(place);
}

void DMInspectorWindow::displayView(QWidget *view)
{
    clear();
    if (!view) {
        resize(0, 0);
        return;
    }
    if (view->parentWidget() != this)
        view->setParent(this);
    view->move(0, 0);
    // The content takes the view's size; the title bar is the window system's.
    resize(view->size());
    view->show();
    m_displayedView = view;
}

void DMInspectorWindow::clear()
{
    // The views stay children of the window (hidden), so that one being cleared from inside its
    // own signal is never reparented under its feet.
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        child->hide();
    m_displayedView = nullptr;
}
