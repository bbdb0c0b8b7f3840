#include "DMInspectorWindow.h"

#include "DMLocalizedString.h"
#include "DMUserDefaults.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStringList>
#include <QTextEdit>
#include <QWindow>

#include <algorithm>

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
    m_message = new QLabel(this);
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setForegroundRole(QPalette::PlaceholderText);
    restoreFrame();
    clear();
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
    m_message->setGeometry(rect());
    saveFrame();
}

void DMInspectorWindow::keyPressEvent(QKeyEvent *event)
{
    // A text field takes its own undo and copy keys before they get here.
    if (triggerCommandForKey(*event) || openMenuForMnemonic(*event)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool DMInspectorWindow::openMenuForMnemonic(const QKeyEvent &event)
{
    // The inspector has no menu bar of its own: Alt with a letter opens that menu of the document
    // window it works for, as it would there, instead of typing the letter.
    auto *window = qobject_cast<QMainWindow *>(m_commandWindow.data());
    if (!window || event.modifiers() != Qt::AltModifier || !window->menuBar())
        return false;
    const QKeySequence pressed(event.keyCombination());
    for (QAction *menu : window->menuBar()->actions()) {
        if (menu->isVisible() && menu->isEnabled() && QKeySequence::mnemonic(menu->text()) == pressed) {
            window->activateWindow();
            window->menuBar()->setActiveAction(menu);
            return true;
        }
    }
    return false;
}

bool DMInspectorWindow::triggerCommandForKey(const QKeyEvent &event)
{
    if (!m_commandWindow || event.key() == Qt::Key_unknown)
        return false;
    const QKeySequence pressed(event.keyCombination());
    for (QAction *action : m_commandWindow->findChildren<QAction *>()) {
        if (action->shortcutContext() == Qt::ApplicationShortcut || !action->shortcuts().contains(pressed))
            continue;
        if (action->isEnabled())
            action->trigger();
        return true;
    }
    return false;
}

namespace {

// Whether the text control has typing of its own to undo (or redo).
bool textHasOwnUndo(const QObject *control, bool redo)
{
    if (const auto *line = qobject_cast<const QLineEdit *>(control))
        return redo ? line->isRedoAvailable() : line->isUndoAvailable();
    const QTextDocument *text = nullptr;
    if (const auto *rich = qobject_cast<const QTextEdit *>(control))
        text = rich->document();
    else if (const auto *plain = qobject_cast<const QPlainTextEdit *>(control))
        text = plain->document();
    return text && (redo ? text->isRedoAvailable() : text->isUndoAvailable());
}

} // namespace

bool DMInspectorWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A text control claims the undo keys even with nothing of its own to undo (its text is set
    // again from the model after every change it makes): then they undo the document's last
    // change, as in the document window.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // A text control would type the letter of Alt with a menu's letter.
        if (event->type() == QEvent::KeyPress && openMenuForMnemonic(*key))
            return true;
        const bool undo = key->matches(QKeySequence::Undo);
        const bool redo = key->matches(QKeySequence::Redo);
        if ((undo || redo) && !textHasOwnUndo(watched, redo)) {
            // Claimed, so that the press comes here rather than to a shortcut.
            if (event->type() == QEvent::KeyPress)
                triggerCommandForKey(*key);
            event->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QPoint DMInspectorWindow::placeBeside(const QRect &window, const QSize &size, const QRect &available, int titleHeight)
{
    constexpr int kGap = 8;
    QPoint place(window.right() + 1 + kGap, window.top());
    if (!available.isValid())
        return place;
    // No room on the right: on the left, or (beside a maximised window) over its right edge,
    // where it stays above it.
    if (place.x() + size.width() > available.right()) {
        if (window.left() - kGap - size.width() >= available.left())
            place.setX(window.left() - kGap - size.width());
        else
            place.setX(std::max(available.left(), available.right() + 1 - kGap - size.width()));
    }
    place.setY(topKeepingOnScreen(place.y(), size.height(), available, titleHeight));
    return place;
}

int DMInspectorWindow::topKeepingOnScreen(int top, int height, const QRect &available, int titleHeight)
{
    // The title bar above the content stays on the screen before the content's bottom does.
    const int highest = available.top() + titleHeight;
    return std::clamp(top, highest, std::max(highest, available.bottom() + 1 - height));
}

int DMInspectorWindow::leftKeepingOnScreen(int left, int width, const QRect &available)
{
    return std::clamp(left, available.left(), std::max(available.left(), available.right() + 1 - width));
}

void DMInspectorWindow::setCommandWindow(QWidget *window)
{
    m_commandWindow = window ? window->window() : nullptr;
    // A tool window that is transient for no window can end up behind a document window (a
    // maximised one, or one clicked after it): the window manager keeps a transient window above
    // the window it belongs to.
    winId();
    QWindow *parent = nullptr;
    if (m_commandWindow) {
        m_commandWindow->winId();
        parent = m_commandWindow->windowHandle();
    }
    if (windowHandle()->transientParent() != parent)
        windowHandle()->setTransientParent(parent);
}

void DMInspectorWindow::placeBesideWindowUnlessRemembered(const QWidget *window)
{
    if (m_hasFrame || !window || !window->isVisible())
        return;
    m_hasFrame = true;
    const QScreen *screen = window->screen();
    // The window manager puts the title bar above the place given; the document window's tells
    // how high it is.
    const int titleHeight = std::max(0, window->geometry().top() - window->frameGeometry().top());
    move(placeBeside(window->frameGeometry(), size(), screen ? screen->availableGeometry() : QRect(), titleHeight));
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
    // Its text controls pass the undo keys on when they have nothing of their own to undo.
    for (QWidget *control : view->findChildren<QWidget *>())
        if (qobject_cast<QLineEdit *>(control) || qobject_cast<QTextEdit *>(control) || qobject_cast<QPlainTextEdit *>(control))
            control->installEventFilter(this);
    view->move(0, 0);
    // The content takes the view's size; the title bar is the window system's.
    resize(view->size());
    if (const QScreen *screen = this->screen()) {
        // The frame, title bar included, once the window system has framed the window.
        const QRect frame = frameGeometry();
        const QRect available = screen->availableGeometry();
        const QPoint place(leftKeepingOnScreen(frame.left(), frame.width(), available),
                           topKeepingOnScreen(frame.top(), frame.height(), available, 0));
        if (place != frame.topLeft())
            move(place);
    }
    m_message->hide();
    view->show();
    m_displayedView = view;
    if (m_steppedAside) {
        // Back where it was, leaving the keyboard where it is.
        const bool withoutActivating = testAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_ShowWithoutActivating);
        show();
        setAttribute(Qt::WA_ShowWithoutActivating, withoutActivating);
    }
}

void DMInspectorWindow::stepAside()
{
    clear();
    if (!isVisible())
        return;
    hide();
    m_steppedAside = true;
}

void DMInspectorWindow::setVisible(bool visible)
{
    // Shown or hidden for any other reason (closed by the user, by its document), the window is
    // no longer only out of the way.
    m_steppedAside = false;
    QWidget::setVisible(visible);
}

void DMInspectorWindow::clear()
{
    clear(DMLocalizedString("No Selection"));
}

void DMInspectorWindow::clear(const QString &message)
{
    // The views stay children of the window (hidden), so that one being cleared from inside its
    // own signal is never reparented under its feet.
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        child->hide();
    m_displayedView = nullptr;
    m_message->setText(message);
    m_message->setGeometry(rect());
    m_message->show();
}

QString DMInspectorWindow::message() const
{
    return m_displayedView ? QString() : m_message->text();
}
