#include "BlackTableView.h"

#include "BlackControlsDrawing.h"
#include "BlackTableHeaderView.h"
#include "BlackTableViewScroller.h"
#include "BlackTableviewTextFieldCell.h"
#include "DMWidgetAdditions.h"

#include <QPainter>
#include <QPaintEvent>

#include <cmath>

using namespace BlackControlsDrawing;

BlackTableView::BlackTableView(QWidget *parent)
    : QTableView(parent)
{
    setHorizontalHeader(new BlackTableHeaderView(this));
    verticalHeader()->hide();
    setVerticalScrollBar(new BlackTableViewScroller(Qt::Vertical, this));
    setHorizontalScrollBar(new BlackTableViewScroller(Qt::Horizontal, this));
    setItemDelegate(new BlackTableviewTextFieldCell(this));
    setSelectionBehavior(SelectRows);
    setShowGrid(false);
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(false);

    // The corner sits above the vertical scroller, beside the header, as high as the header.
    m_cornerView = new BlackTableHeaderCornerView(this);
    addScrollBarWidget(m_cornerView, Qt::AlignTop);

    QPalette colors = palette();
    colors.setColor(QPalette::Base, charcoal());
    colors.setColor(QPalette::Window, charcoal());
    colors.setColor(QPalette::Text, Qt::white);
    colors.setColor(QPalette::HighlightedText, Qt::white);
    colors.setColor(QPalette::Disabled, QPalette::Text, grey(0.85));
    // The style's own row highlight, drawn under each selected cell, in the table's greys.
    colors.setColor(QPalette::Active, QPalette::Highlight, grey(0.55));
    colors.setColor(QPalette::Inactive, QPalette::Highlight, grey(0.55));
    colors.setColor(QPalette::Disabled, QPalette::Highlight, grey(0.45));
    setPalette(colors);
}

QColor BlackTableView::defaultGridColor()
{
    return grey(0.32);
}

void BlackTableView::setGridColor(const QColor &color)
{
    m_gridColor = color;
    viewport()->update();
    horizontalHeader()->viewport()->update();
    m_cornerView->update();
}

QColor BlackTableView::selectionColor() const
{
    return grey(isEnabled() ? 0.55 : 0.45);
}

void BlackTableView::drawBackgroundInClipRect(QPainter &painter, const QRect &clip) const
{
    // Bands follow the rows as they scroll, and go on below the last row.
    const int pitch = std::max(1, verticalHeader()->defaultSectionSize());
    const int offset = verticalOffset();
    int band = int(std::floor(double(clip.top() + offset) / pitch));
    for (int y = band * pitch - offset; y <= clip.bottom(); y += pitch, ++band)
        painter.fillRect(QRect(clip.left(), y, clip.width(), pitch), band % 2 ? grey(0.19) : charcoal());
}

void BlackTableView::highlightSelectionInClipRect(QPainter &painter, const QRect &clip) const
{
    if (!selectionModel())
        return;
    for (const QModelIndex &index : selectionModel()->selectedRows()) {
        const QRect row(0, rowViewportPosition(index.row()), viewport()->width(), rowHeight(index.row()));
        painter.fillRect(row.intersected(clip), selectionColor());
    }
}

void BlackTableView::updateGeometries()
{
    QTableView::updateGeometries();
    const int headerHeight = horizontalHeader()->isHidden() ? 0 : horizontalHeader()->height();
    if (m_cornerView && m_cornerView->height() != headerHeight)
        m_cornerView->setFixedHeight(headerHeight);
}

void BlackTableView::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(viewport());
        drawBackgroundInClipRect(painter, event->rect());
        highlightSelectionInClipRect(painter, event->rect());
    }
    QTableView::paintEvent(event);
    horizontalHeader()->viewport()->update();
}

TransparentTableView::TransparentTableView(QWidget *parent)
    : QTableView(parent)
{
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    setFrameShape(QFrame::NoFrame);
    QPalette colors = palette();
    colors.setColor(QPalette::Base, Qt::transparent);
    setPalette(colors);
    clearEnclosingBackground();
}

void TransparentTableView::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::ParentChange)
        clearEnclosingBackground();
}

void TransparentTableView::clearEnclosingBackground()
{
    if (QAbstractScrollArea *scrollArea = containerScrollView(this)) {
        scrollArea->setAutoFillBackground(false);
        scrollArea->viewport()->setAutoFillBackground(false);
    }
}
