#pragma once

#include "DMSimpleTextFieldCell.h"

#include <QIcon>
#include <QSizeF>

#include <memory>

// Insets of a source-list row: top and bottom of every part, left of the icon (or of the text
// without icon), right of the badge, and the gaps between the text and the icon and badge.
struct _DMSourceListCellMargins
{
    qreal top = 0;
    qreal bottom = 0;
    qreal left = 0;
    qreal right = 0;
    qreal contentLeft = 3;
    qreal contentRight = 3;
};

// A row of the document's source list: an icon at the left, the title in the middle and a count
// badge (a dark pill with white bold text) at the right. The source list sets the icon, the badge
// text and the flags per row before drawing it with drawWithFrame; as the item delegate of a view
// it takes them from the item (display text, decoration, and the badge text under BadgeTextRole),
// or, where the item has none, from what was set on the cell for the row about to be drawn.
class DMSourceListCell : public DMSimpleTextFieldCell
{
    Q_OBJECT

public:
    static constexpr int BadgeTextRole = Qt::UserRole + 0x5b;

    explicit DMSourceListCell(QObject *parent = nullptr);
    ~DMSourceListCell() override;

    _DMSourceListCellMargins margins() const { return m_margins; }
    void setMargins(const _DMSourceListCellMargins &margins) { m_margins = margins; }
    bool drawsIcon() const { return m_drawsIcon; }
    void setDrawsIcon(bool draws) { m_drawsIcon = draws; }
    bool drawsBadge() const { return m_drawsBadge; }
    void setDrawsBadge(bool draws) { m_drawsBadge = draws; }
    // The icon's width and wanted height; it is lowered to fit the row.
    QSizeF iconSize() const { return m_iconSize; }
    void setIconSize(const QSizeF &size) { m_iconSize = size; }
    QSizeF badgeMinSize() const { return m_badgeMinSize; }
    void setBadgeMinSize(const QSizeF &size) { m_badgeMinSize = size; }
    QSizeF badgeMaxSize() const { return m_badgeMaxSize; }
    void setBadgeMaxSize(const QSizeF &size) { m_badgeMaxSize = size; }
    // The icon, centred in its frame and scaled down (never up) keeping its proportions.
    QIcon icon() const { return m_icon; }
    void setIcon(const QIcon &icon) { m_icon = icon; }
    // The badge: a pill of dark grey 0.08 at alpha 0.65 with white bold text; its string is the count.
    DMSimpleTextFieldCell *badgeCell() const { return m_badgeCell.get(); }

    // The badge's layout rule for a text of the given measured size: its height between the
    // minimum and maximum heights (at most the room in the row), its width between the minimum and
    // maximum widths plus its height, at the right of the row and centred in it.
    static QRectF badgeLayout(const QRectF &frame, QSizeF textSize, const _DMSourceListCellMargins &margins,
                              QSizeF minSize, QSizeF maxSize, bool flipped);

    // Frames of the parts inside a row's frame. In a view that is not flipped (y up) the top and
    // bottom margins trade places; Qt's widgets are flipped.
    QRectF iconFrameWithFrame(const QRectF &frame, bool flipped = true) const;
    QRectF badgeFrameWithFrame(const QRectF &frame, bool flipped = true) const;
    QRectF textFrameWithFrame(const QRectF &frame, bool flipped = true) const;

    // Draws the icon, the badge and the cell's string as the title.
    void drawWithFrame(QPainter *painter, const QRectF &frame) const;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

protected:
    QRectF editingFrame(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    QSizeF badgeTextSize(const QString &text) const;
    QString badgeTextForIndex(const QModelIndex &index) const;
    QRectF badgeFrame(const QRectF &frame, const QString &badgeText, bool flipped) const;
    QRectF textFrame(const QRectF &frame, const QString &badgeText, bool flipped) const;
    void drawRow(QPainter *painter, const QRectF &frame, const QString &title, const QIcon &icon,
                 const QString &badgeText, const QColor &textColor) const;

    _DMSourceListCellMargins m_margins;
    bool m_drawsIcon = true;
    bool m_drawsBadge = true;
    QSizeF m_iconSize{24, 24};
    QSizeF m_badgeMinSize{24, 16};
    QSizeF m_badgeMaxSize{64, 16};
    QIcon m_icon;
    std::unique_ptr<DMSimpleTextFieldCell> m_badgeCell;
};
