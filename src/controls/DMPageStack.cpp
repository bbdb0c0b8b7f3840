#include "DMPageStack.h"

#include <algorithm>

DMPageStack::DMPageStack(QWidget *parent) : QStackedWidget(parent)
{
    // The room asked for changes with the page.
    connect(this, &QStackedWidget::currentChanged, this, [this] { updateGeometry(); });
}

QSize DMPageStack::sizeHint() const
{
    const QWidget *page = currentWidget();
    return page ? page->sizeHint().expandedTo(page->minimumSizeHint()) : QSize(0, 0);
}

QSize DMPageStack::minimumSizeHint() const
{
    const QWidget *page = currentWidget();
    if (!page)
        return QSize(0, 0);
    // A minimum set on the page wins over the one it hints at.
    const QSize set = page->minimumSize();
    const QSize hint = page->minimumSizeHint();
    return QSize(set.width() > 0 ? set.width() : std::max(0, hint.width()),
                 set.height() > 0 ? set.height() : std::max(0, hint.height()));
}
