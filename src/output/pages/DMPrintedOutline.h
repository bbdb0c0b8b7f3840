#pragma once

#include <QList>
#include <QRect>
#include <QSizeF>
#include <QString>

#include <memory>

class DMOutlineView;
class DMPrintPicture;
class QPainter;

// An outline as it prints: every row it shows (the children of expanded rows included), the
// visible columns in their order, each as wide as its widest value (and its title, when titles
// print), up to a limit past which values end in "…". Cells are drawn as the outline draws them,
// but read-only, unselected and without focus: the values, without the controls that edit them.
// Coordinates are the outline's pixels, from the top left of the titles (or of the first row).
//
// The layout is taken when made: the outline must not change while this is used.
class DMPrintedOutline
{
public:
    enum Titles { WithoutTitles, WithTitles };

    DMPrintedOutline(DMOutlineView *outline, Titles titles);

    QSizeF size() const { return QSizeF(m_width, m_titlesHeight + m_rowsHeight); }
    double rowsHeight() const { return m_rowsHeight; }
    // Whether this still lays the outline out: the same outline, with rows as many and as high.
    bool isLayoutOf(const DMOutlineView *outline) const;
    double titlesHeight() const { return m_titlesHeight; }
    // The bottom of each row from the top of the first: where a page may end.
    QList<double> rowBottoms() const;
    // The printed width of each visible column, in the order shown.
    QList<double> columnWidths() const;

    // Draws what meets the area.
    void draw(QPainter *painter, const QRect &area) const;
    // The titles alone (null without titles), and the rows alone, from the top of the first row:
    // a page that shows some rows heads them with the titles.
    std::shared_ptr<const DMPrintPicture> titlesPicture() const;
    std::shared_ptr<const DMPrintPicture> rowsPicture() const;

    // A column never prints wider than this, or than it is shown when the user made it wider.
    static constexpr int kWidestColumn = 360;

private:
    struct Column
    {
        int logical = 0;
        int x = 0;
        int width = 0;
        QString title;
    };

    int indentationOfRow(int row) const;
    void drawTitles(QPainter *painter) const;
    void drawRow(QPainter *painter, int row) const;

    DMOutlineView *m_outline;
    int m_rowCount = 0;
    QList<Column> m_columns;
    int m_treeColumn = -1;
    int m_titlesHeight = 0;
    int m_rowsHeight = 0;
    int m_width = 0;
};
