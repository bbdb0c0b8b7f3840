#pragma once

#include <QPointer>
#include <QWidget>

class QKeyEvent;
class QLabel;

// The one floating tool window titled "Inspector" that every item and link inspector shows its
// view in, made on first use and kept for the process. It holds the inspectors' views as
// children and shows one at a time, its content sized to that view. Its frame is remembered
// under the user default "inspectorWindowFrame" ("x y width height") across launches. It is kept
// above the document window of the object shown (transient for it), and keys its controls leave
// unhandled go to that window's menu commands (Undo, Redo, Save... work while the inspector is
// the active window); so do the undo keys in a text control with no typing of its own to undo,
// and Alt with a letter opens that window's menu.
class DMInspectorWindow : public QWidget
{
    Q_OBJECT

public:
    static const QString kFrameDefaultsKey; // "inspectorWindowFrame"

    static DMInspectorWindow *sharedWindow();

    // Shows the view (taking it as a child the first time) in place of any other, with the
    // content resized to the view's size; a window whose new bottom or right edge would leave the
    // screen moves up or left so that the whole view shows.
    void displayView(QWidget *view);
    // Hides whatever view is shown; the window keeps its place and size, and says in its middle
    // that nothing is selected, or the message given.
    void clear();
    void clear(const QString &message);
    // What the window says while it shows no view; empty while it shows one.
    QString message() const;
    // Clears the window and takes it off the screen, the page under it having nothing for it to
    // show, until a view is shown in it again; a window that was not on screen stays off.
    void stepAside();
    // The view shown; null when empty.
    QWidget *displayedView() const { return m_displayedView; }
    // Until the window has a remembered frame, it first comes up beside the window given (the
    // document window), on the side of the screen with room for it.
    void placeBesideWindowUnlessRemembered(const QWidget *window);
    // Where a window of that size goes beside the window (frames in global coordinates): right of
    // it, else left of it, else inside the screen's right edge (over a maximised window); never so
    // high that a title bar of that height above it leaves the screen.
    static QPoint placeBeside(const QRect &window, const QSize &size, const QRect &available, int titleHeight);
    // The top of a window content of that height, moved only as far as its bottom, and the title
    // bar above it, need to be on the screen; the title bar wins on a screen too short for both.
    static int topKeepingOnScreen(int top, int height, const QRect &available, int titleHeight);
    // The left of a window of that width, moved only as far as its right edge needs to be on the
    // screen; the left edge wins on a screen too narrow for the window.
    static int leftKeepingOnScreen(int left, int width, const QRect &available);
    // The document window inspected: the inspector stays above it, and its menu commands take
    // the keys the inspector leaves unhandled.
    void setCommandWindow(QWidget *window);
    QWidget *commandWindow() const { return m_commandWindow; }

    void setVisible(bool visible) override;

protected:
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DMInspectorWindow();
    void restoreFrame();
    void saveFrame() const;
    // Triggers the command window's menu command that has the key as its shortcut; false when
    // none has.
    bool triggerCommandForKey(const QKeyEvent &event);
    bool openMenuForMnemonic(const QKeyEvent &event);

    QPointer<QWidget> m_displayedView;
    QLabel *m_message = nullptr;
    QPointer<QWidget> m_commandWindow;
    bool m_restoring = false;
    bool m_hasFrame = false; // restored from the defaults, or placed once
    bool m_steppedAside = false;
};
