#include "DMYieldingSplitter.h"

#include <algorithm>

DMYieldingSplitter::DMYieldingSplitter(Qt::Orientation orientation, QWidget *parent) : QSplitter(orientation, parent)
{
    connect(this, &QSplitter::splitterMoved, this, [this] {
        m_given = sizes().value(0);
        m_yielded = -1;
    });
}

int DMYieldingSplitter::yieldedLength(int given, int available, int secondRoom)
{
    return std::max(0, std::min(given, std::max(available / 2, available - secondRoom)));
}

int DMYieldingSplitter::givenFirstLength() const
{
    const int first = sizes().value(0);
    return m_yielded >= 0 && first == m_yielded ? m_given : first;
}

void DMYieldingSplitter::setGivenFirstLength(int length)
{
    m_given = std::max(0, length);
    m_yielded = -1;
    setSizes({m_given, std::max(1, sizes().value(1))});
    layOutPanes();
}

void DMYieldingSplitter::resizeEvent(QResizeEvent *event)
{
    QSplitter::resizeEvent(event);
    layOutPanes();
}

void DMYieldingSplitter::layOutPanes()
{
    if (count() != 2 || m_given < 0)
        return;
    const int available = (orientation() == Qt::Horizontal ? width() : height()) - handleWidth();
    if (available <= 0)
        return;
    const int first = yieldedLength(m_given, available, m_secondRoom);
    if (first != sizes().value(0))
        setSizes({first, std::max(0, available - first)});
    // The panes' minimums may have had the last word.
    m_yielded = sizes().value(0) < m_given ? sizes().value(0) : -1;
}
