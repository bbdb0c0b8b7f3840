#include "BlackTableHeaderView.h"

#include "BlackControlsDrawing.h"
#include "BlackTableView.h"

#include <QPainter>

using namespace BlackControlsDrawing;

namespace {

// One-point lines along the given edges of the rectangle.
void drawEdges(QPainter &painter, const QRect &rect, const QColor &color, bool right)
{
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), color);
    if (right)
        painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), color);
    else
        painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), color);
}

} // namespace

QColor BlackTableGridColor(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget())
        if (auto *table = qobject_cast<const BlackTableView *>(w))
            return table->gridColor();
    return BlackTableView::defaultGridColor();
}

BlackTableHeaderView::BlackTableHeaderView(QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent)
{
    setStretchLastSection(true); // no area beyond the last column for the style to draw
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void BlackTableHeaderView::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(viewport());
        painter.fillRect(viewport()->rect(), charcoal());
        drawEdges(painter, viewport()->rect(), BlackTableGridColor(this), false);
    }
    QHeaderView::paintEvent(event);
}

void BlackTableHeaderView::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    painter->save();
    painter->fillRect(rect, charcoal());
    drawEdges(*painter, rect, BlackTableGridColor(this), true);
    const QString title = model() ? model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString()
                                  : QString();
    painter->setFont(font());
    painter->setPen(Qt::white);
    const int spare = rect.height() - painter->fontMetrics().height();
    const QRect titleRect(rect.x() + kTitleInset, rect.y() + spare / 2, rect.width() - kTitleInset,
                          painter->fontMetrics().height());
    painter->drawText(titleRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      painter->fontMetrics().elidedText(title, Qt::ElideRight, titleRect.width()));
    painter->restore();
}

BlackTableHeaderCornerView::BlackTableHeaderCornerView(QWidget *parent)
    : QWidget(parent)
{
}

QSize BlackTableHeaderCornerView::sizeHint() const
{
    return {16, 16};
}

void BlackTableHeaderCornerView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), charcoal());
    drawEdges(painter, rect(), BlackTableGridColor(this), false);
}
