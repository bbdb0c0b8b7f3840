#pragma once

#include "DMAttachedWindow.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QLabel;

// An attached window that never takes the keyboard focus from the window it points into.
class PopoverWindow : public DMAttachedWindow
{
public:
    PopoverWindow(QWidget *view, QPointF point, QWidget *window = nullptr, int side = kDMAttachedWindowSide_Automatic,
                  qreal distance = 0);
};

// The info bubble: a short message with an icon in a dark bubble whose arrow points at a
// control. It fades in over 0.5 s, stays, fades out from 4.5 s and is hidden at 5 s; it never
// takes the focus. There is one for the process; a new message replaces the one shown.
class DMPopoverInfoPanel : public QObject
{
    Q_OBJECT

public:
    static DMPopoverInfoPanel *sharedInstance();

    // Points at the middle of the view's top edge.
    void showInViewIconText(QWidget *view, const QImage &icon, const QString &text);
    // Points at the point, in the view's coordinates. A view whose window is not shown gets the
    // icon and text but no bubble.
    void showAtPointInViewIconText(QPointF point, QWidget *view, const QImage &icon, const QString &text);

    QString text() const;
    // Sets the text and fits the content to it: the label takes its natural size plus 2 points
    // each way, and the content grows or shrinks by as much.
    void setText(const QString &text);
    QImage icon() const { return m_icon; }
    void setIcon(const QImage &icon);

    // One fade step, driven by a 0.05 s timer while the bubble shows.
    void timerMethod();
    // The bubble's opacity t seconds after it was shown, within 0 to 1.
    static double alphaForTime(double seconds);

    PopoverWindow *containerWindow() const { return m_containerWindow; }
    QWidget *contentView() const { return m_contentView; }
    bool isFading() const { return m_timer.isActive(); }

private:
    DMPopoverInfoPanel();
    void hideBubble();

    QPointer<PopoverWindow> m_containerWindow;
    QWidget *m_contentView;
    QLabel *m_iconView;
    QLabel *m_label;
    QImage m_icon;
    QTimer m_timer;
    double m_showUpDate = 0;
};
