#include "DMCollapsingSplitview.h"

#include <QMouseEvent>
#include <QResizeEvent>
#include <QSplitterHandle>

#include <algorithm>
#include <cmath>

namespace {

// A divider that asks its splitter where a drag may take it.
class DMCollapsingSplitviewHandle : public QSplitterHandle
{
public:
    DMCollapsingSplitviewHandle(Qt::Orientation orientation, DMCollapsingSplitview *parent)
        : QSplitterHandle(orientation, parent), m_splitview(parent)
    {
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (!m_splitview->collapsingView())
            return QSplitterHandle::mousePressEvent(event);
        if (event->button() == Qt::LeftButton)
            m_pressOffset = along(event->position().toPoint());
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (!m_splitview->collapsingView())
            return QSplitterHandle::mouseMoveEvent(event);
        if (!(event->buttons() & Qt::LeftButton))
            return;
        const int proposed = along(mapToParent(event->position().toPoint())) - m_pressOffset;
        const int position = m_splitview->constrainSplitPosition(proposed);
        if (position != m_splitview->sizes().value(0))
            moveSplitter(position);
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (!m_splitview->collapsingView())
            QSplitterHandle::mouseReleaseEvent(event);
    }

private:
    int along(QPoint point) const { return orientation() == Qt::Horizontal ? point.x() : point.y(); }

    DMCollapsingSplitview *m_splitview;
    int m_pressOffset = 0;
};

} // namespace

DMCollapsingSplitview::PaneLayout DMCollapsingSplitview::paneLayout(qreal length, qreal dividerThickness,
                                                                    qreal collapsingSize, bool collapsed,
                                                                    bool collapsingFirst)
{
    const qreal k = collapsed ? 0 : collapsingSize;
    PaneLayout layout;
    if (collapsingFirst) {
        layout.firstLength = k;
        layout.secondStart = k + dividerThickness;
        layout.secondLength = length - k - dividerThickness;
    } else {
        layout.firstLength = length - k - dividerThickness;
        layout.secondStart = length - k;
        layout.secondLength = k;
    }
    return layout;
}

DMCollapsingSplitview::DMCollapsingSplitview(Qt::Orientation orientation, QWidget *parent)
    : QSplitter(orientation, parent)
{
}

void DMCollapsingSplitview::setCollapsingView(QWidget *view)
{
    m_collapsingView = view;
    m_uncollapsedSize = view ? QSizeF(view->size()) : QSizeF();
    layoutPanes();
}

int DMCollapsingSplitview::collapsingIndex() const
{
    if (!m_collapsingView || count() != 2)
        return -1;
    return indexOf(m_collapsingView);
}

qreal DMCollapsingSplitview::length() const
{
    return orientation() == Qt::Horizontal ? width() : height();
}

qreal DMCollapsingSplitview::collapsingSize() const
{
    return orientation() == Qt::Horizontal ? m_uncollapsedSize.width() : m_uncollapsedSize.height();
}

DMCollapsingSplitview::PaneLayout DMCollapsingSplitview::currentLayout() const
{
    return paneLayout(length(), handleWidth(), collapsingSize(), m_collapsed, collapsingIndex() == 0);
}

int DMCollapsingSplitview::constrainSplitPosition(int proposed) const
{
    if (collapsingIndex() < 0)
        return proposed;
    return int(std::lround(currentLayout().firstLength));
}

void DMCollapsingSplitview::collapse()
{
    if (m_collapsed)
        return;
    m_collapsed = true;
    layoutPanes();
}

void DMCollapsingSplitview::expand()
{
    if (!m_collapsed)
        return;
    m_collapsed = false;
    layoutPanes();
}

void DMCollapsingSplitview::toggleCollapse()
{
    if (m_collapsed)
        expand();
    else
        collapse();
}

QSplitterHandle *DMCollapsingSplitview::createHandle()
{
    return new DMCollapsingSplitviewHandle(orientation(), this);
}

void DMCollapsingSplitview::resizeEvent(QResizeEvent *event)
{
    QSplitter::resizeEvent(event);
    layoutPanes();
}

void DMCollapsingSplitview::layoutPanes()
{
    if (collapsingIndex() < 0)
        return;
    const PaneLayout layout = currentLayout();
    const int first = std::max(0, int(std::lround(layout.firstLength)));
    const int second = std::max(0, int(std::lround(layout.secondLength)));
    setSizes({first, second});
}
