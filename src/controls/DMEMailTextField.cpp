#include "DMEMailTextField.h"

#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QMouseEvent>

DMEMailTextField::DMEMailTextField(QWidget *parent) : QLineEdit(parent)
{
    setFocusPolicy(Qt::TabFocus);
}

QUrl DMEMailTextField::mailtoURL(const QString &address)
{
    return QUrl::fromEncoded("mailto:" + QUrl::toPercentEncoding(address, "@"), QUrl::StrictMode);
}

void DMEMailTextField::mousePressEvent(QMouseEvent *event)
{
    // The context menu comes with its own event; no other button edits or opens anything.
    event->accept();
    if (event->button() == Qt::LeftButton && !text().isEmpty())
        QDesktopServices::openUrl(mailtoURL(text()));
}

void DMEMailTextField::mouseMoveEvent(QMouseEvent *event)
{
    event->accept(); // no selecting by dragging: the press opened a mail
}

void DMEMailTextField::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept(); // nor pasting the X11 selection with the middle button
}

void DMEMailTextField::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept(); // the first click of it opened the mail already
}

void DMEMailTextField::contextMenuEvent(QContextMenuEvent *event)
{
    if (!hasSelectedText())
        selectAll();
    QLineEdit::contextMenuEvent(event);
}
