#include "DMPrintedOutline.h"

#include "DMOutlineView.h"
#include "DMOutlineViewItemDelegate.h"
#include "DMPrintPicture.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <algorithm>

namespace {

// Room either side of a column's title.
constexpr int kTitleMargin = 6;
constexpr int kTitleExtraHeight = 8;
constexpr int kDecorationSide = 16;
// Room between the widest value of a column and the next column.
constexpr int kColumnGap = 8;

// The option a cell is measured and drawn with on paper: read-only, neither selected nor focused,
// a value too wide for its column ending in "…".
QStyleOptionViewItem printedCellOption(const DMOutlineView *outline)
{
    QStyleOptionViewItem option;
    option.initFrom(outline);
    option.state = QStyle::State_Enabled | QStyle::State_ReadOnly;
    option.widget = outline;
    option.font = outline->font();
    option.fontMetrics = QFontMetrics(option.font);
    option.decorationSize = QSize(kDecorationSide, kDecorationSide);
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.textElideMode = Qt::ElideRight;
    return option;
}

} // namespace

DMPrintedOutline::DMPrintedOutline(DMOutlineView *outline, Titles titles) : m_outline(outline)
{
    const DMOutlineViewModel *model = outline->outlineModel();
    const QHeaderView *header = outline->header();
    m_treeColumn = outline->treePosition() < 0 ? header->logicalIndex(0) : outline->treePosition();
    m_rowsHeight = model->totalHeightOfRows();
    m_rowCount = model->numberOfRows();
    const QFontMetrics titleMetrics(header->font());
    if (titles == WithTitles)
        m_titlesHeight = titleMetrics.height() + kTitleExtraHeight;

    QStyleOptionViewItem option = printedCellOption(outline);
    const int rows = model->numberOfRows();
    int x = 0;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (header->isSectionHidden(logical))
            continue;
        Column column;
        column.logical = logical;
        column.x = x;
        column.title = model->headerData(logical, Qt::Horizontal, Qt::DisplayRole).toString();
        const int shown = header->sectionSize(logical);
        int widest = titles == WithTitles ? titleMetrics.horizontalAdvance(column.title) + 2 * kTitleMargin : 0;
        bool measured = true;
        for (int row = 0; row < rows && measured; ++row) {
            const QModelIndex index = model->indexForRow(row, logical);
            const auto *delegate = qobject_cast<const DMOutlineViewItemDelegate *>(outline->itemDelegateForIndex(index));
            if (!delegate) {
                measured = false;
                break;
            }
            option.rect = QRect(0, 0, shown, model->heightOfRow(row));
            const int width = delegate->widthOfValue(option, index);
            measured = width >= 0;
            widest = std::max(widest, width + (logical == m_treeColumn ? indentationOfRow(row) : 0));
        }
        // A column drawn into whatever width it has (a picture) keeps the width it is shown at.
        column.width = measured ? std::min(widest + kColumnGap, std::max(kWidestColumn, shown)) : shown;
        x += column.width;
        m_columns.append(column);
    }
    m_width = x;
}

bool DMPrintedOutline::isLayoutOf(const DMOutlineView *outline) const
{
    return outline == m_outline && outline->outlineModel()->numberOfRows() == m_rowCount
           && outline->outlineModel()->totalHeightOfRows() == m_rowsHeight;
}

int DMPrintedOutline::indentationOfRow(int row) const
{
    return m_outline->indentation() * (m_outline->levelForRow(row) + (m_outline->rootIsDecorated() ? 1 : 0));
}

QList<double> DMPrintedOutline::rowBottoms() const
{
    const DMOutlineViewModel *model = m_outline->outlineModel();
    QList<double> bottoms;
    bottoms.reserve(model->numberOfRows());
    for (int row = 0; row < model->numberOfRows(); ++row)
        bottoms.append(model->topOfRow(row) + model->heightOfRow(row));
    return bottoms;
}

QList<double> DMPrintedOutline::columnWidths() const
{
    QList<double> widths;
    for (const Column &column : m_columns)
        widths.append(column.width);
    return widths;
}

void DMPrintedOutline::draw(QPainter *painter, const QRect &area) const
{
    painter->fillRect(area, m_outline->palette().color(QPalette::Base));
    if (m_titlesHeight > 0 && area.top() < m_titlesHeight)
        drawTitles(painter);
    const DMOutlineViewModel *model = m_outline->outlineModel();
    const int rows = model->numberOfRows();
    if (rows == 0 || area.bottom() < m_titlesHeight)
        return;
    int first = model->rowAtY(std::max(0, area.top() - m_titlesHeight));
    if (first < 0)
        return; // below the last row
    int last = model->rowAtY(area.bottom() - m_titlesHeight);
    if (last < 0)
        last = rows - 1;
    for (int row = first; row <= last; ++row)
        drawRow(painter, row);
}

void DMPrintedOutline::drawTitles(QPainter *painter) const
{
    const QHeaderView *header = m_outline->header();
    const QFontMetrics metrics(header->font());
    painter->save();
    painter->setFont(header->font());
    painter->setPen(m_outline->palette().color(QPalette::Text));
    for (const Column &column : m_columns) {
        const QRect rect(column.x + kTitleMargin, 0, column.width - 2 * kTitleMargin, m_titlesHeight);
        painter->drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          metrics.elidedText(column.title, Qt::ElideRight, rect.width()));
    }
    painter->setPen(m_outline->palette().color(QPalette::Mid));
    painter->drawLine(QPointF(0, m_titlesHeight - 0.5), QPointF(m_width, m_titlesHeight - 0.5));
    painter->restore();
}

void DMPrintedOutline::drawRow(QPainter *painter, int row) const
{
    const DMOutlineViewModel *model = m_outline->outlineModel();
    QStyle *style = m_outline->style();
    const int top = m_titlesHeight + model->topOfRow(row);
    const int height = model->heightOfRow(row);
    for (const Column &column : m_columns) {
        const QModelIndex index = model->indexForRow(row, column.logical);
        QAbstractItemDelegate *delegate = index.isValid() ? m_outline->itemDelegateForIndex(index) : nullptr;
        if (!delegate)
            continue;
        QStyleOptionViewItem option = printedCellOption(m_outline);
        option.rect = QRect(column.x, top, column.width, height);
        if (column.logical == m_treeColumn) {
            const int indent = std::min(column.width, indentationOfRow(row));
            option.rect.adjust(indent, 0, 0, 0);
            if (model->isIndexExpandable(index)) {
                // The disclosure triangle in the last step of the indentation.
                QStyleOption branch;
                branch.initFrom(m_outline);
                branch.rect = QRect(option.rect.x() - m_outline->indentation(), top, m_outline->indentation(), height);
                branch.state = QStyle::State_Enabled | QStyle::State_Children
                               | (model->isIndexExpanded(index) ? QStyle::State_Open : QStyle::State_None);
                style->drawPrimitive(QStyle::PE_IndicatorBranch, &branch, painter, m_outline);
            }
        }
        painter->save();
        painter->setClipRect(QRect(column.x, top, column.width, height), Qt::IntersectClip);
        delegate->paint(painter, option, index);
        painter->restore();
    }
}

std::shared_ptr<const DMPrintPicture> DMPrintedOutline::titlesPicture() const
{
    if (m_titlesHeight <= 0)
        return nullptr;
    return DMPrintPicture::record(QSizeF(m_width, m_titlesHeight), [this](QPainter *painter, const QRect &tile) {
        painter->fillRect(tile, m_outline->palette().color(QPalette::Base));
        drawTitles(painter);
    });
}

std::shared_ptr<const DMPrintPicture> DMPrintedOutline::rowsPicture() const
{
    return DMPrintPicture::record(QSizeF(m_width, m_rowsHeight), [this](QPainter *painter, const QRect &tile) {
        painter->translate(0, -m_titlesHeight);
        draw(painter, tile.translated(0, m_titlesHeight));
    });
}
