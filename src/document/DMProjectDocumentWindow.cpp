#include "DMProjectDocumentWindow.h"

#include <QCloseEvent>

DMProjectDocumentWindow::DMProjectDocumentWindow(QWidget *parent) : QMainWindow(parent) {}

void DMProjectDocumentWindow::closeEvent(QCloseEvent *event)
{
    if (m_shouldClose && !m_shouldClose()) {
        event->ignore();
        return;
    }
    event->accept();
}
