#include "DMSimpleTextFieldCell.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

constexpr qreal kMinimumPillWidth = 24;

} // namespace

DMSimpleTextFieldCell::DMSimpleTextFieldCell(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

DMSimpleTextFieldCellInterior DMSimpleTextFieldCell::interiorLayout(const QRectF &frame, QSizeF textSize,
                                                                    Qt::Alignment alignment, bool hasBackground,
                                                                    bool pill, bool verticallyCentered)
{
    const qreal tw = std::clamp<qreal>(textSize.width(), 0, std::max<qreal>(0, frame.width()));
    const qreal th = std::clamp<qreal>(textSize.height(), 0, std::max<qreal>(0, frame.height()));
    qreal width = tw;
    if (hasBackground && pill && tw < frame.width())
        width = std::max(tw + th, kMinimumPillWidth);

    qreal x = frame.x();
    if (alignment & Qt::AlignHCenter)
        x = frame.x() + (frame.width() - width) / 2;
    else if (alignment & (Qt::AlignRight | Qt::AlignJustify))
        x = frame.x() + frame.width() - width;
    const qreal y = verticallyCentered ? frame.y() + (frame.height() - th) / 2 : frame.y();

    DMSimpleTextFieldCellInterior interior;
    if (hasBackground)
        interior.background = QRectF(x, y, width, th);
    interior.text = QRectF(x + (width - tw) / 2, y, tw, th);
    return interior;
}

DMSimpleTextFieldCellInterior DMSimpleTextFieldCell::interiorWithFrame(const QRectF &frame, const QString &text) const
{
    const QFontMetricsF metrics(m_font);
    const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
    return interiorLayout(frame, size, m_alignment, hasBackground(), m_bezelStyle == RoundedBezelStyle,
                          m_verticallyCentered);
}

void DMSimpleTextFieldCell::setStringValue(const QString &text)
{
    m_stringValue = text.isNull() ? QStringLiteral("") : text;
}

void DMSimpleTextFieldCell::drawWithFrame(QPainter *painter, const QRectF &frame) const
{
    drawInteriorWithFrame(painter, frame, m_stringValue, m_textColor.isValid() ? m_textColor : QColor(Qt::black));
}

void DMSimpleTextFieldCell::drawInteriorWithFrame(QPainter *painter, const QRectF &frame, const QString &text,
                                                  const QColor &textColor) const
{
    if (!painter)
        return;
    const DMSimpleTextFieldCellInterior interior = interiorWithFrame(frame, text);
    painter->save();
    if (!interior.background.isEmpty()) {
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(m_backgroundColor);
        if (m_bezelStyle == RoundedBezelStyle) {
            const qreal radius = interior.background.height() / 2;
            painter->drawRoundedRect(interior.background, radius, radius);
        } else {
            painter->drawRect(interior.background);
        }
    }
    const QFontMetricsF metrics(m_font);
    painter->setFont(m_font);
    painter->setPen(textColor);
    painter->drawText(interior.text, Qt::AlignCenter | Qt::TextSingleLine,
                      metrics.elidedText(text, Qt::ElideRight, interior.text.width() + 0.5));
    painter->restore();
}

void DMSimpleTextFieldCell::setUpFieldEditorAttributes(QLineEdit *editor) const
{
    if (!editor)
        return;
    editor->setFrame(false);
    editor->setFont(m_font);
    if (!m_bezeled) {
        const int inset = m_bordered ? 2 : 3;
        editor->setTextMargins(0, inset, 0, inset);
    }
    editor->setAutoFillBackground(true);
}

QColor DMSimpleTextFieldCell::drawItemBackground(QPainter *painter, const QStyleOptionViewItem &option,
                                                 const QModelIndex &index) const
{
    QStyleOptionViewItem styleOption = option;
    initStyleOption(&styleOption, index);
    QStyle *style = styleOption.widget ? styleOption.widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &styleOption, painter, styleOption.widget);
    if (option.state & QStyle::State_Selected)
        return option.palette.color(QPalette::HighlightedText);
    return m_textColor.isValid() ? m_textColor : option.palette.color(QPalette::Text);
}

void DMSimpleTextFieldCell::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QColor textColor = drawItemBackground(painter, option, index);
    drawInteriorWithFrame(painter, option.rect, index.data(Qt::DisplayRole).toString(), textColor);
}

QWidget *DMSimpleTextFieldCell::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *editor = new QLineEdit(parent);
    setUpFieldEditorAttributes(editor);
    return editor;
}

void DMSimpleTextFieldCell::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                                 const QModelIndex &index) const
{
    if (editor)
        editor->setGeometry(editingFrame(option, index).toAlignedRect());
}

QRectF DMSimpleTextFieldCell::editingFrame(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return option.rect;
}
