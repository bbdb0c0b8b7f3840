#include "DMPopoverEditorController.h"

#include "DMAttachedWindow.h"
#include "DMChildWindow.h"
#include "DMProjectDocumentHooks.h"

#include <QApplication>
#include <QLineEdit>
#include <QShortcut>
#include <QWindow>

#include <algorithm>

DMPopoverEditorController::DMPopoverEditorController()
{
    // Every popover closes when a document closes.
    m_closeObserver = DMNotificationCenter::defaultCenter().addObserver(kDMProjectDocument_CloseNotification, nullptr,
                                                                        [this](const DMNotification &) { close(); });
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &DMPopoverEditorController::focusWindowDidChange);
}

DMPopoverEditorController::~DMPopoverEditorController()
{
    for (const QPointer<DMAttachedWindow> &window : std::as_const(m_windows))
        delete window.data();
}

DMAttachedWindow *DMPopoverEditorController::windowOfContainer(const QWidget *container) const
{
    const auto found = std::find_if(m_windows.begin(), m_windows.end(), [container](const QPointer<DMAttachedWindow> &w) {
        return w && w->view() == container;
    });
    return found == m_windows.end() ? nullptr : found->data();
}

DMAttachedWindow *DMPopoverEditorController::showContainerAtPointInViewLeavingKeyboard(QWidget *container, QPointF point,
                                                                                       QWidget *view)
{
    if (!container || !view || !view->window()->isVisible())
        return nullptr;
    QWidget *parentWindow = view->window();
    const QPointF windowPoint = view->mapTo(parentWindow, point);
    DMAttachedWindow *window = windowOfContainer(container);
    if (!window) {
        window = new DMAttachedWindow(container, windowPoint, parentWindow, kDMAttachedWindowSide_Automatic, 0);
        window->setPopoverStyle(QApplication::palette().window().color());
        // Shown, it becomes active only when asked (showContainerAtPointInView) or clicked.
        window->setAttribute(Qt::WA_ShowWithoutActivating);
        m_windows.append(window);
        // Escape closes the popover; what was typed counts, as when it closes on a click elsewhere.
        auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
        connect(escape, &QShortcut::activated, this, [this, window] {
            if (QWidget *focus = window->focusWidget())
                focus->clearFocus();
            close();
        });
    }
    // Only one popover of the editor shows at a time.
    for (const QPointer<DMAttachedWindow> &other : std::as_const(m_windows))
        if (other && other != window && DMWindow_parentWindow(other)) {
            DMWindow_removeChildWindow(other);
            other->orderOut();
        }
    window->set_Window(parentWindow);
    window->setPointSide(windowPoint, kDMAttachedWindowSide_Automatic);
    DMWindow_addChildWindow(parentWindow, window);
    return window;
}

DMAttachedWindow *DMPopoverEditorController::showContainerAtPointInView(QWidget *container, QWidget *firstResponder,
                                                                        QPointF point, QWidget *view)
{
    DMAttachedWindow *window = showContainerAtPointInViewLeavingKeyboard(container, point, view);
    if (!window)
        return nullptr;
    // activateWindow() would do nothing: a child window counts as active with its parent.
    m_awaitingActivation = window;
    window->windowHandle()->requestActivate();
    if (firstResponder) {
        firstResponder->setFocus(Qt::PopupFocusReason);
        if (auto *field = qobject_cast<QLineEdit *>(firstResponder))
            field->selectAll();
    }
    return window;
}

void DMPopoverEditorController::repointContainerAtPointInView(QWidget *container, QPointF point, QWidget *view)
{
    DMAttachedWindow *window = windowOfContainer(container);
    if (!window || !window->isVisible() || !view || DMWindow_parentWindow(window) != view->window())
        return;
    window->setPointSide(view->mapTo(view->window(), point), kDMAttachedWindowSide_Automatic);
}

void DMPopoverEditorController::hide()
{
    for (const QPointer<DMAttachedWindow> &window : std::as_const(m_windows)) {
        if (!window || !DMWindow_parentWindow(window))
            continue;
        DMWindow_removeChildWindow(window);
        window->set_Window(nullptr);
        window->orderOut();
    }
}

bool DMPopoverEditorController::isShown() const
{
    return std::any_of(m_windows.begin(), m_windows.end(),
                       [](const QPointer<DMAttachedWindow> &window) { return window && window->isVisible(); });
}

void DMPopoverEditorController::runKeepingPopoverOpen(const std::function<void()> &modal)
{
    ++m_modalDepth;
    modal();
    --m_modalDepth;
}

void DMPopoverEditorController::focusWindowDidChange(QWindow *focusWindow)
{
    if (!focusWindow)
        return;
    const bool ours = std::any_of(m_windows.begin(), m_windows.end(), [focusWindow](const QPointer<DMAttachedWindow> &w) {
        return w && w->windowHandle() == focusWindow;
    });
    // The window the popover points into, handed the keyboard back by a closing menu while the
    // popover's own activation is still on its way.
    const QWidget *awaitingParent = m_awaitingActivation ? DMWindow_parentWindow(m_awaitingActivation) : nullptr;
    const bool parentBeforePopover = !ours && m_awaitingActivation && m_awaitingActivation->isVisible() && awaitingParent
        && awaitingParent->windowHandle() == focusWindow;
    // The drop-down lists and menus of the popover's own controls are windows too.
    const bool popup = focusWindow->type() == Qt::Popup || focusWindow->type() == Qt::ToolTip;
    if (!popup && !parentBeforePopover)
        m_awaitingActivation = nullptr;
    if (m_modalDepth > 0 || !isShown() || popup || parentBeforePopover)
        return;
    if (!ours)
        close();
}
