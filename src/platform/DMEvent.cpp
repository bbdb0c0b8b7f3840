#include "DMEvent.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QWidget>

namespace {

// Qt events carry neither an event number nor deltas nor the click count at release, so they
// are kept here for the one pointer of the GUI thread.
struct PointerState
{
    qint64 eventNumber = 0;
    int clickCount = 1;
    QPointF lastGlobal;
};

PointerState &pointerState()
{
    static PointerState state;
    return state;
}

QPointF windowLocation(const QWidget *receiver, QPointF position)
{
    if (!receiver)
        return position;
    return receiver->mapTo(receiver->window(), position);
}

DMEvent::Type typeForButton(Qt::MouseButton button, DMEvent::Type left, DMEvent::Type right,
                            DMEvent::Type other)
{
    if (button == Qt::LeftButton)
        return left;
    if (button == Qt::RightButton)
        return right;
    return other;
}

} // namespace

DMEvent DMEvent::mouseEvent(Type type, QPointF locationInWindow, qint64 eventNumber,
                            Modifiers modifiers, int clickCount, double deltaX, double deltaY)
{
    DMEvent event;
    event.m_type = type;
    event.m_locationInWindow = locationInWindow;
    event.m_globalLocation = locationInWindow;
    event.m_eventNumber = eventNumber;
    event.m_modifiers = modifiers;
    event.m_clickCount = clickCount;
    event.m_deltaX = deltaX;
    event.m_deltaY = deltaY;
    return event;
}

DMEvent DMEvent::keyEvent(Type type, int key, const QString &characters, Modifiers modifiers,
                          bool isARepeat)
{
    DMEvent event;
    event.m_type = type;
    event.m_key = key;
    event.m_characters = characters;
    event.m_modifiers = modifiers;
    event.m_isARepeat = isARepeat;
    return event;
}

DMEvent DMEvent::magnifyEvent(double magnification, QPointF locationInWindow, Modifiers modifiers)
{
    DMEvent event;
    event.m_type = Magnify;
    event.m_magnification = magnification;
    event.m_locationInWindow = locationInWindow;
    event.m_globalLocation = locationInWindow;
    event.m_modifiers = modifiers;
    return event;
}

DMEvent::Modifiers DMEvent::modifiersFromQt(Qt::KeyboardModifiers modifiers)
{
    Modifiers result = NoModifier;
    if (modifiers & Qt::ShiftModifier)
        result |= Shift;
    if (modifiers & Qt::AltModifier)
        result |= Option;
    if (modifiers & Qt::ControlModifier)
        result |= Command;
    return result;
}

DMEvent DMEvent::fromMouseEvent(const QMouseEvent &qtEvent, const QWidget *receiver)
{
    PointerState &state = pointerState();
    DMEvent event;
    event.m_locationInWindow = windowLocation(receiver, qtEvent.position());
    event.m_globalLocation = qtEvent.globalPosition();
    event.m_modifiers = modifiersFromQt(qtEvent.modifiers());

    switch (qtEvent.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // Qt recognises the second press of a double click and reports it as its own type.
        state.clickCount = qtEvent.type() == QEvent::MouseButtonDblClick ? 2 : 1;
        state.eventNumber += 1;
        state.lastGlobal = event.m_globalLocation;
        event.m_type = typeForButton(qtEvent.button(), LeftMouseDown, RightMouseDown, OtherMouseDown);
        break;
    case QEvent::MouseButtonRelease:
        event.m_type = typeForButton(qtEvent.button(), LeftMouseUp, RightMouseUp, OtherMouseUp);
        break;
    case QEvent::MouseMove:
        if (qtEvent.buttons() & Qt::LeftButton)
            event.m_type = LeftMouseDragged;
        else if (qtEvent.buttons() & Qt::RightButton)
            event.m_type = RightMouseDragged;
        else if (qtEvent.buttons() != Qt::NoButton)
            event.m_type = OtherMouseDragged;
        else
            event.m_type = MouseMoved;
        break;
    default:
        return event;
    }

    if (event.m_type != LeftMouseDown && event.m_type != RightMouseDown && event.m_type != OtherMouseDown) {
        event.m_deltaX = event.m_globalLocation.x() - state.lastGlobal.x();
        event.m_deltaY = event.m_globalLocation.y() - state.lastGlobal.y();
        state.lastGlobal = event.m_globalLocation;
    }
    event.m_eventNumber = state.eventNumber;
    event.m_clickCount = event.m_type == MouseMoved ? 0 : state.clickCount;
    return event;
}

DMEvent DMEvent::fromKeyEvent(const QKeyEvent &qtEvent)
{
    const Type type = qtEvent.type() == QEvent::KeyRelease ? KeyUp : KeyDown;
    return keyEvent(type, qtEvent.key(), qtEvent.text(), modifiersFromQt(qtEvent.modifiers()),
                    qtEvent.isAutoRepeat());
}

DMEvent DMEvent::fromNativeGestureEvent(const QNativeGestureEvent &qtEvent, const QWidget *receiver)
{
    DMEvent event;
    event.m_locationInWindow = windowLocation(receiver, qtEvent.position());
    event.m_globalLocation = qtEvent.globalPosition();
    event.m_modifiers = modifiersFromQt(qtEvent.modifiers());
    if (qtEvent.gestureType() == Qt::ZoomNativeGesture) {
        event.m_type = Magnify;
        event.m_magnification = qtEvent.value();
    }
    return event;
}
