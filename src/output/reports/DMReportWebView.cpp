#include "DMReportWebView.h"

#include <QAbstractTextDocumentLayout>
#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>

DMReportWebView::DMReportWebView(QWidget *parent) : QTextBrowser(parent)
{
}

bool DMReportWebView::scrollRangesOutliveLayout() const
{
    const QSize laidOut = document()->documentLayout()->documentSize().toSize();
    const QSize shown = viewport()->size();
    return verticalScrollBar()->maximum() > std::max(0, laidOut.height() - shown.height())
           || horizontalScrollBar()->maximum() > std::max(0, laidOut.width() - shown.width());
}

void DMReportWebView::resizeEvent(QResizeEvent *event)
{
    QTextBrowser::resizeEvent(event);
    if (event->oldSize().width() == event->size().width() || !scrollRangesOutliveLayout())
        return;
    // A resize that keeps the width sets the scroll ranges from the layout just made. Only
    // ranges longer than the layout needs are set so: QTextEdit keeps the old ones on purpose
    // where showing or hiding a scroll bar would lay the report out again and again, which a
    // range no longer than the report never starts.
    QResizeEvent sameWidth(size(), size());
    QTextBrowser::resizeEvent(&sameWidth);
}
