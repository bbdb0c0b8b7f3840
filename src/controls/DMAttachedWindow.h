#pragma once

#include "DMAttachedWindowGeometry.h"

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QMargins>
#include <QPainterPath>
#include <QPointer>
#include <QWidget>

// The popover of the application: a frameless, translucent window that hosts one view inside a
// rounded box with an arrow whose tip points at a spot of another window (or of the screen).
// It sizes and places itself from the view's size, its margin, its arrow and its side, can
// choose the side so that it fits on the screen, and draws box, border and arrow into one image.
//
// Users make it with the view and a point, restyle it, set the window the point belongs to with
// set_Window, aim it with setPointSide and attach it above that window with
// DMWindow_addChildWindow. To hide it: DMWindow_removeChildWindow, set_Window(nullptr), orderOut.
//
// The window takes the view as a child widget. The window the point belongs to is held weakly;
// when it goes, the point counts as a screen point.
//
// Linux desktops draw no shadow for a frameless window, so the window draws its own around the
// box, beyond its frame: the widget is the frame grown by shadowMargins(). Where the desktop does
// not draw translucent windows (X11 without a compositing manager), their transparent pixels
// would show black: the window is then cut to the shape of its box and of a plain shadow.
class DMAttachedWindow : public QWidget
{
    Q_OBJECT

public:
    // Posted by orderOut with the window as object, before it hides.
    static inline const QString kWillOrderOutNotification = QStringLiteral("DMAttachedWindowWillOrderOut");

    // The point is in window's coordinates, or global coordinates without a window. The
    // automatic side codes are resolved at once.
    DMAttachedWindow(QWidget *view, QPointF point, QWidget *window = nullptr, int side = kDMAttachedWindowSide_Automatic,
                     qreal distance = 0);

    // No window for a null view.
    template <typename Window = DMAttachedWindow>
    static Window *attachedWindowWithView(QWidget *view, QPointF point, QWidget *window = nullptr,
                                          int side = kDMAttachedWindowSide_Automatic, qreal distance = 0)
    {
        return view ? new Window(view, point, window, side, distance) : nullptr;
    }

    // Changes nothing until the next aim.
    void set_Window(QWidget *window) { m_window = window; }
    // Stores both (resolving an automatic side), then recomputes the frame and the background.
    void setPointSide(QPointF point, int side);
    int side() const { return m_side; }
    QWidget *view() const { return m_view; }

    // The look. Each setter that changes something refreshes the background, and those that
    // change the shape the geometry too; setting the current value does nothing.
    QBrush windowBackgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color);
    void setBackgroundImage(const QImage &image); // a null image is ignored
    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor &color);
    float borderWidth() const { return m_borderWidth; }
    void setBorderWidth(float width); // never more than the margin
    float viewMargin() const { return m_viewMargin; }
    void setViewMargin(float margin); // never below 0
    float cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(float radius);
    float arrowBaseWidth() const { return m_arrowBaseWidth; }
    void setArrowBaseWidth(float width);
    float arrowHeight() const { return m_arrowHeight; }
    void setArrowHeight(float height);
    bool hasArrow() const { return m_hasArrow; }
    void setHasArrow(bool hasArrow);
    bool drawsRoundCornerBesideArrow() const { return m_drawsRoundCornerBesideArrow; }
    void setDrawsRoundCornerBesideArrow(bool flag);

    // The look the application's popovers share: a white border at alpha 0.75 one point wide,
    // margin 3, corner radius 6, an arrow 28 wide and 16 high with rounded corners beside it.
    // Only the box colour differs between them.
    void setPopoverStyle(const QColor &boxColor);

    // The drawn box, of the frame's size, replaced at every background change.
    const QImage &backgroundImage() const { return m_background; }
    // What the window shows: the box over its shadow, of the window's size.
    const QImage &windowImage();
    // The view's frame in the box, y up from the box's bottom.
    QRectF viewFrame() const { return m_viewFrame; }
    // The box's frame in global coordinates: the window's geometry without the shadow's margins.
    QRect frame() const { return geometry().marginsRemoved(shadowMargins()); }
    static QMargins shadowMargins();

    // Posts kWillOrderOutNotification, then hides.
    void orderOut();
    // The Close command: closes the window the point belongs to when there is one.
    void performClose();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    DMAttachedWindowMetrics metrics() const;
    QPointF screenPoint() const;
    void resolveAutomaticSide();
    void updateAttachedGeometry();
    void updateBackground();
    void updateShape();
    void redisplay();
    // The box's outline in the window's (Qt's) coordinates.
    QPainterPath outlineInWindow() const;

    QColor m_borderColor = Qt::white;
    float m_borderWidth = 2.0f;
    float m_viewMargin = 2.0f;
    float m_arrowBaseWidth = 20.0f;
    float m_arrowHeight = 20.0f;
    bool m_hasArrow = true;
    float m_cornerRadius = 10.0f;
    bool m_drawsRoundCornerBesideArrow = true;
    QBrush m_backgroundColor = QColor::fromRgbF(0.8f, 0.8f, 0.8f, 0.75f);
    QPointer<QWidget> m_view;
    QPointer<QWidget> m_window;
    QPointF m_point;
    int m_side;
    float m_distance;
    QRectF m_viewFrame;
    bool m_resizing = false;
    QImage m_background;
    QImage m_windowImage;
    bool m_windowImageIsStale = true;
    bool m_drawsTranslucent = true; // as the desktop answered when the window was last shown
};
