#include "DMReportWebView.h"

#include <QResizeEvent>

DMReportWebView::DMReportWebView(QWidget *parent) : QTextBrowser(parent)
{
}

void DMReportWebView::resizeEvent(QResizeEvent *event)
{
    QTextBrowser::resizeEvent(event);
    if (event->oldSize().width() == event->size().width())
        return;
    // A resize that keeps the width sets the scroll ranges from the layout just made, whatever
    // it measures.
    QResizeEvent sameWidth(size(), size());
    QTextBrowser::resizeEvent(&sameWidth);
}
