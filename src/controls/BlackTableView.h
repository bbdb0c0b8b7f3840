#pragma once

#include <QColor>
#include <QTableView>

class BlackTableHeaderCornerView;

// A dark table: charcoal bands on a pitch of one row, selected rows filled with grey 0.55 (0.45
// when the table is disabled) under their light text, the dark header and corner, dark scrollers
// and the dark text cell.
class BlackTableView : public QTableView
{
    Q_OBJECT

public:
    explicit BlackTableView(QWidget *parent = nullptr);

    static QColor defaultGridColor();
    QColor gridColor() const { return m_gridColor; }
    void setGridColor(const QColor &color);
    BlackTableHeaderCornerView *cornerView() const { return m_cornerView; }
    // The colour of selected rows.
    QColor selectionColor() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void updateGeometries() override;

private:
    void drawBackgroundInClipRect(QPainter &painter, const QRect &clip) const;
    void highlightSelectionInClipRect(QPainter &painter, const QRect &clip) const;

    QColor m_gridColor = defaultGridColor();
    BlackTableHeaderCornerView *m_cornerView = nullptr;
};

// A table that draws no background of its own, nor lets the scroll area around it draw one.
class TransparentTableView : public QTableView
{
    Q_OBJECT

public:
    explicit TransparentTableView(QWidget *parent = nullptr);

protected:
    void changeEvent(QEvent *event) override;

private:
    void clearEnclosingBackground();
};
