#pragma once

#include <QPointer>
#include <QSizeF>
#include <QSplitter>

// A two-pane splitter in which one pane, the collapsing view, has a fixed size: it is shown at the
// size it had when it was assigned, or collapsed to nothing, and the divider cannot be dragged
// anywhere else. The other pane takes all remaining room when the splitter is resized. Without a
// collapsing view it is a plain splitter.
//
// Lengths run along the split: widths for Qt::Horizontal (panes side by side, a vertical
// divider), heights for Qt::Vertical. The divider is handleWidth() thick.
class DMCollapsingSplitview : public QSplitter
{
    Q_OBJECT

public:
    // The two panes along the split, for a splitter of the given length and divider thickness.
    struct PaneLayout
    {
        qreal firstLength = 0;
        qreal secondStart = 0;
        qreal secondLength = 0;
    };
    // k = 0 when collapsed, else the collapsing view's size: the collapsing pane gets k and the
    // other what is left after the divider, whichever of the two is the collapsing one.
    static PaneLayout paneLayout(qreal length, qreal dividerThickness, qreal collapsingSize, bool collapsed,
                                 bool collapsingFirst);

    explicit DMCollapsingSplitview(Qt::Orientation orientation, QWidget *parent = nullptr);

    bool isCollapsed() const { return m_collapsed; }
    QWidget *collapsingView() const { return m_collapsingView; }
    // One of the two panes (or none); its size now is the size it is shown at from then on.
    void setCollapsingView(QWidget *view);
    QSizeF uncollapsedSize() const { return m_uncollapsedSize; }

    // Where a dragged divider may go: the proposed place without a collapsing view, else where
    // the collapsing view's size (or nothing, collapsed) puts it.
    int constrainSplitPosition(int proposed) const;

public slots:
    void collapse();
    void expand();
    void toggleCollapse();

protected:
    QSplitterHandle *createHandle() override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int collapsingIndex() const; // 0 or 1; -1 when no pane of this splitter collapses
    qreal length() const;
    qreal collapsingSize() const;
    PaneLayout currentLayout() const;
    void layoutPanes();

    bool m_collapsed = false;
    QPointer<QWidget> m_collapsingView;
    QSizeF m_uncollapsedSize;
};
