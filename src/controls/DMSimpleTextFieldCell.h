#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QStyledItemDelegate>

class QLineEdit;

// Where the interior of a simple text cell goes: its background (empty when it has none) and its
// text, both in the coordinates of the frame.
struct DMSimpleTextFieldCellInterior
{
    QRectF background;
    QRectF text;
};

// A text cell that draws its text itself, vertically centred by default, optionally on a filled
// plain or pill-shaped background, and nothing of the style's bezel or border. It draws standalone
// (drawWithFrame with its own string) or as the item delegate of a view (the item's display text).
class DMSimpleTextFieldCell : public QStyledItemDelegate
{
    Q_OBJECT

public:
    enum BezelStyle { SquareBezelStyle = 0, RoundedBezelStyle = 1 };

    explicit DMSimpleTextFieldCell(QObject *parent = nullptr);

    // The layout rule of the interior, for a text of the given measured size. A background is
    // drawn as a pill at least 24 wide (unless the text fills the frame) or as a plain rectangle.
    static DMSimpleTextFieldCellInterior interiorLayout(const QRectF &frame, QSizeF textSize, Qt::Alignment alignment,
                                                        bool hasBackground, bool pill, bool verticallyCentered);
    // The same for this cell's font, alignment and background, measuring the text.
    DMSimpleTextFieldCellInterior interiorWithFrame(const QRectF &frame, const QString &text) const;

    QString stringValue() const { return m_stringValue; }
    void setStringValue(const QString &text); // a null string is stored as the empty one
    bool isVerticallyCentered() const { return m_verticallyCentered; }
    void setVerticallyCentered(bool centered) { m_verticallyCentered = centered; }
    // Kept for the views that ask; the background follows the bezel style instead.
    bool drawsRoundedBorder() const { return m_drawsRoundedBorder; }
    void setDrawsRoundedBorder(bool draws) { m_drawsRoundedBorder = draws; }
    bool isBezeled() const { return m_bezeled; }
    void setBezeled(bool bezeled) { m_bezeled = bezeled; }
    bool isBordered() const { return m_bordered; }
    void setBordered(bool bordered) { m_bordered = bordered; }
    BezelStyle bezelStyle() const { return m_bezelStyle; }
    void setBezelStyle(BezelStyle style) { m_bezelStyle = style; }
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color) { m_backgroundColor = color; }
    // Invalid: the palette's text colour (black when drawn standalone).
    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor &color) { m_textColor = color; }
    QFont font() const { return m_font; }
    void setFont(const QFont &font) { m_font = font; }
    // Only the horizontal part counts: left, centre, or right (right and justified alike).
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment) { m_alignment = alignment; }
    bool hasBackground() const { return m_bezeled || m_bordered; }

    // Draws the cell's own string; the whole cell is its interior.
    void drawWithFrame(QPainter *painter, const QRectF &frame) const;
    void drawInteriorWithFrame(QPainter *painter, const QRectF &frame, const QString &text, const QColor &textColor) const;
    // The editor of a cell: no frame, its own background, the text inset vertically by 2 (bordered)
    // or 3 points unless the cell is bezeled.
    void setUpFieldEditorAttributes(QLineEdit *editor) const;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

protected:
    // Where editing happens inside the item's rectangle; the whole of it here.
    virtual QRectF editingFrame(const QStyleOptionViewItem &option, const QModelIndex &index) const;
    // The item's background and selection as the style draws them, then the colour for its text.
    QColor drawItemBackground(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;

private:
    QString m_stringValue = QStringLiteral("");
    bool m_verticallyCentered = true;
    bool m_drawsRoundedBorder = false;
    bool m_bezeled = false;
    bool m_bordered = false;
    BezelStyle m_bezelStyle = SquareBezelStyle;
    QColor m_backgroundColor = Qt::white;
    QColor m_textColor;
    QFont m_font;
    Qt::Alignment m_alignment = Qt::AlignLeft;
};
