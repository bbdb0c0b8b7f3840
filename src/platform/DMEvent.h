#pragma once

#include <QPointF>
#include <QString>
#include <QtGlobal>

class QKeyEvent;
class QMouseEvent;
class QNativeGestureEvent;
class QWidget;

// A mouse, key, scroll or magnification event as the views and canvas objects read it.
// Every press gets a new event number that its drags and its release share, so that an object
// can recognise all steps of one gesture; synthetic events (keyboard nudges) carry a number of
// their own choosing. Locations are in the top-level window's coordinates (y down) and in
// global screen coordinates.
class DMEvent
{
public:
    enum Type {
        NoEvent,
        LeftMouseDown,
        LeftMouseUp,
        LeftMouseDragged,
        RightMouseDown,
        RightMouseUp,
        RightMouseDragged,
        OtherMouseDown,
        OtherMouseUp,
        OtherMouseDragged,
        MouseMoved,
        MouseEntered,
        MouseExited,
        KeyDown,
        KeyUp,
        ScrollWheel,
        Magnify,
    };

    // Option is the Alt key, Command the Control key.
    enum Modifier : unsigned {
        NoModifier = 0,
        Shift = 1u << 0,
        Option = 1u << 1,
        Command = 1u << 2,
    };
    using Modifiers = unsigned;

    DMEvent() = default;

    // Synthetic events.
    static DMEvent mouseEvent(Type type, QPointF locationInWindow, qint64 eventNumber,
                              Modifiers modifiers = NoModifier, int clickCount = 1,
                              double deltaX = 0.0, double deltaY = 0.0);
    static DMEvent keyEvent(Type type, int key, const QString &characters,
                            Modifiers modifiers = NoModifier, bool isARepeat = false);
    static DMEvent magnifyEvent(double magnification, QPointF locationInWindow,
                                Modifiers modifiers = NoModifier);

    // Events from Qt. The receiver gives the window location (Qt reports positions relative to
    // the widget that receives the event). A press starts a new event number; drags, moves and
    // the release keep it. Deltas of mouse events are measured from the previous mouse event.
    static DMEvent fromMouseEvent(const QMouseEvent &event, const QWidget *receiver);
    static DMEvent fromKeyEvent(const QKeyEvent &event);
    static DMEvent fromNativeGestureEvent(const QNativeGestureEvent &event, const QWidget *receiver);

    static Modifiers modifiersFromQt(Qt::KeyboardModifiers modifiers);

    Type type() const { return m_type; }
    qint64 eventNumber() const { return m_eventNumber; }
    QPointF locationInWindow() const { return m_locationInWindow; }
    QPointF globalLocation() const { return m_globalLocation; }
    double deltaX() const { return m_deltaX; }
    double deltaY() const { return m_deltaY; }
    Modifiers modifierFlags() const { return m_modifiers; }
    bool hasModifier(Modifier modifier) const { return (m_modifiers & modifier) != 0; }
    int clickCount() const { return m_clickCount; }
    int key() const { return m_key; } // a Qt::Key
    QString characters() const { return m_characters; }
    bool isARepeat() const { return m_isARepeat; }
    double magnification() const { return m_magnification; }

    bool isMouseEvent() const { return m_type >= LeftMouseDown && m_type <= MouseExited; }

    void setGlobalLocation(QPointF location) { m_globalLocation = location; }

private:
    Type m_type = NoEvent;
    qint64 m_eventNumber = 0;
    QPointF m_locationInWindow;
    QPointF m_globalLocation;
    double m_deltaX = 0.0;
    double m_deltaY = 0.0;
    Modifiers m_modifiers = NoModifier;
    int m_clickCount = 0;
    int m_key = 0;
    QString m_characters;
    bool m_isARepeat = false;
    double m_magnification = 0.0;
};
