#include "DMItemBackgroundView.h"

#include <QMouseEvent>
#include <QPainter>

DMItemBackgroundView::DMItemBackgroundView(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(false);
}

void DMItemBackgroundView::setSelected(bool selected)
{
    m_selected = selected;
    update();
}

QColor DMItemBackgroundView::selectionColor() const
{
    return palette().color(QPalette::Active, QPalette::Highlight);
}

void DMItemBackgroundView::paintEvent(QPaintEvent *event)
{
    if (!m_selected)
        return;
    QPainter painter(this);
    painter.fillRect(event->rect(), selectionColor());
}

// The press goes on to the parent (the collection view) after the card heard of it, so that the
// collection view selects the card under it.
void DMItemBackgroundView::mousePressEvent(QMouseEvent *event)
{
    if (m_delegate)
        m_delegate->viewMouseDown(this, event);
    event->ignore();
}

void DMItemBackgroundView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Qt reports the second press of a double click separately; the card sees it as a press
    // with a click count of 2 (DMEvent's rule), which the event's type tells.
    if (m_delegate)
        m_delegate->viewMouseDown(this, event);
    event->ignore();
}

void DMItemBackgroundView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_delegate)
        m_delegate->viewMouseUp(this, event);
    event->ignore();
}
