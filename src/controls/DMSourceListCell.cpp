#include "DMSourceListCell.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

DMSourceListCell::DMSourceListCell(QObject *parent)
    : DMSimpleTextFieldCell(parent), m_badgeCell(std::make_unique<DMSimpleTextFieldCell>())
{
    m_badgeCell->setBezeled(true);
    m_badgeCell->setBezelStyle(RoundedBezelStyle);
    m_badgeCell->setAlignment(Qt::AlignHCenter);
    m_badgeCell->setBackgroundColor(QColor::fromRgbF(0.08f, 0.08f, 0.08f, 0.65f));
    m_badgeCell->setTextColor(Qt::white);
    QFont font;
    font.setBold(true);
    font.setPixelSize(11); // the small control size
    m_badgeCell->setFont(font);
}

DMSourceListCell::~DMSourceListCell() = default;

QRectF DMSourceListCell::iconFrameWithFrame(const QRectF &frame, bool flipped) const
{
    const qreal avail = frame.height() - m_margins.top - m_margins.bottom;
    const qreal offset = flipped ? m_margins.top : m_margins.bottom;
    const qreal height = std::min(m_iconSize.height(), avail);
    const float y = float((avail - height) / 2 + offset);
    return {frame.x() + m_margins.left, frame.y() + y, m_iconSize.width(), height};
}

QSizeF DMSourceListCell::badgeTextSize(const QString &text) const
{
    const QFontMetricsF metrics(m_badgeCell->font());
    return {metrics.horizontalAdvance(text), metrics.height()};
}

QRectF DMSourceListCell::badgeLayout(const QRectF &frame, QSizeF textSize, const _DMSourceListCellMargins &margins,
                                     QSizeF minSize, QSizeF maxSize, bool flipped)
{
    const qreal avail = frame.height() - margins.top - margins.bottom;
    const qreal offset = flipped ? margins.top : margins.bottom;
    const qreal height = std::min(std::max(std::min(textSize.height(), maxSize.height()), minSize.height()), avail);
    const qreal width = std::max(std::min(textSize.width(), maxSize.width()), minSize.width()) + height;
    return {frame.x() + frame.width() - margins.right - width, frame.y() + (avail - height) / 2 + offset, width,
            height};
}

QRectF DMSourceListCell::badgeFrame(const QRectF &frame, const QString &badgeText, bool flipped) const
{
    return badgeLayout(frame, badgeTextSize(badgeText), m_margins, m_badgeMinSize, m_badgeMaxSize, flipped);
}

QRectF DMSourceListCell::badgeFrameWithFrame(const QRectF &frame, bool flipped) const
{
    return badgeFrame(frame, m_badgeCell->stringValue(), flipped);
}

QRectF DMSourceListCell::textFrame(const QRectF &frame, const QString &badgeText, bool flipped) const
{
    const qreal avail = frame.height() - m_margins.top - m_margins.bottom;
    const qreal offset = flipped ? m_margins.top : m_margins.bottom;
    // A part that is not drawn still gives the layout its edge: the left margin, or the right one.
    const QRectF icon = m_drawsIcon ? iconFrameWithFrame(frame, flipped)
                                    : QRectF(frame.x() - m_margins.contentLeft, m_margins.bottom, m_margins.left, avail);
    const QRectF badge = m_drawsBadge ? badgeFrame(frame, badgeText, flipped)
                                      : QRectF(frame.x() + frame.width() - m_margins.right, m_margins.bottom, 0, avail);
    const qreal x = icon.x() + icon.width() + m_margins.contentLeft;
    return {x, frame.y() + offset, badge.x() - x - m_margins.contentRight, avail};
}

QRectF DMSourceListCell::textFrameWithFrame(const QRectF &frame, bool flipped) const
{
    return textFrame(frame, m_badgeCell->stringValue(), flipped);
}

void DMSourceListCell::drawRow(QPainter *painter, const QRectF &frame, const QString &title, const QIcon &icon,
                               const QString &badgeText, const QColor &textColor) const
{
    if (!painter)
        return;
    if (m_drawsIcon && !icon.isNull()) {
        const QRectF iconFrame = iconFrameWithFrame(frame);
        icon.paint(painter, iconFrame.toAlignedRect(), Qt::AlignCenter);
    }
    if (m_drawsBadge) {
        m_badgeCell->drawInteriorWithFrame(painter, badgeFrame(frame, badgeText, true), badgeText,
                                           m_badgeCell->textColor());
    }
    drawInteriorWithFrame(painter, textFrame(frame, badgeText, true), title, textColor);
}

void DMSourceListCell::drawWithFrame(QPainter *painter, const QRectF &frame) const
{
    drawRow(painter, frame, stringValue(), m_icon, m_badgeCell->stringValue(),
            textColor().isValid() ? textColor() : QColor(Qt::black));
}

void DMSourceListCell::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QColor textColor = drawItemBackground(painter, option, index);
    const QVariant decoration = index.data(Qt::DecorationRole);
    QIcon icon = decoration.value<QIcon>();
    if (icon.isNull() && decoration.canConvert<QPixmap>())
        icon = QIcon(decoration.value<QPixmap>());
    if (icon.isNull())
        icon = m_icon;
    drawRow(painter, option.rect, index.data(Qt::DisplayRole).toString(), icon, badgeTextForIndex(index), textColor);
}

QString DMSourceListCell::badgeTextForIndex(const QModelIndex &index) const
{
    const QVariant badge = index.data(BadgeTextRole);
    return badge.isValid() ? badge.toString() : m_badgeCell->stringValue();
}

QRectF DMSourceListCell::editingFrame(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return textFrame(option.rect, badgeTextForIndex(index), true);
}
