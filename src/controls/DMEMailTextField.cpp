#include "DMEMailTextField.h"

#include <QDesktopServices>
#include <QMouseEvent>

QUrl DMEMailTextField::mailtoURL(const QString &address)
{
    return QUrl::fromEncoded("mailto:" + QUrl::toPercentEncoding(address, "@"), QUrl::StrictMode);
}

void DMEMailTextField::mousePressEvent(QMouseEvent *event)
{
    if (text().isEmpty()) {
        QLineEdit::mousePressEvent(event);
        return;
    }
    event->accept();
    QDesktopServices::openUrl(mailtoURL(text()));
}
