#include "FarseeListView.h"

#include "DMLocalizedString.h"
#include "FarseeManager.h"
#include "FarseeSendingCellView.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

FarseeListView::FarseeListView(FarseeManager *manager, QWidget *parent)
    : QScrollArea(parent)
    , m_manager(manager)
    , m_content(new QWidget)
    , m_layout(new QVBoxLayout(m_content))
    , m_emptyLabel(new QLabel(DMLocalizedString("No file has been shared yet.")))
{
    setObjectName(QStringLiteral("FarseeTableView"));
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    m_content->setBackgroundRole(QPalette::Base);
    m_content->setAutoFillBackground(true);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_emptyLabel->setAlignment(Qt::AlignCenter);
    m_emptyLabel->setForegroundRole(QPalette::PlaceholderText);
    m_emptyLabel->setMinimumHeight(80);
    m_layout->addWidget(m_emptyLabel);
    m_layout->addStretch(1);
    setWidget(m_content);

    const auto changed = [this](const DMChange &, DMObservable *) { reload(); };
    m_sendingsObservation = manager->observe(QStringLiteral("sendings"), changed);
    m_editedObservation = manager->observe(QStringLiteral("editedSendings"), changed);
    reload();
}

FarseeSendingCellView *FarseeListView::cellForSending(const FarseeSending *sending) const
{
    for (FarseeSendingCellView *cell : m_cells) {
        if (cell->objectValue().get() == sending)
            return cell;
    }
    return nullptr;
}

void FarseeListView::reload()
{
    if (!m_manager)
        return;
    // Cells of records that stay are kept, so a row being pointed at does not flicker.
    QList<FarseeSendingCellView *> cells;
    for (const FarseeManager::Sending &sending : m_manager->arrangedSendings()) {
        FarseeSendingCellView *cell = cellForSending(sending.get());
        if (cell)
            m_cells.removeOne(cell);
        else
            cell = new FarseeSendingCellView(m_manager, m_content);
        cell->setObjectValue(sending);
        cells.append(cell);
    }
    for (FarseeSendingCellView *gone : std::as_const(m_cells)) {
        gone->hide();
        gone->deleteLater();
    }
    m_cells = cells;
    for (qsizetype row = 0; row < m_cells.size(); ++row) {
        m_layout->removeWidget(m_cells[row]);
        m_layout->insertWidget(int(row), m_cells[row]);
        m_cells[row]->show();
    }
    m_emptyLabel->setVisible(m_cells.isEmpty());
}

void FarseeListView::followSizeOf(QWidget *container)
{
    if (m_followed)
        m_followed->removeEventFilter(this);
    m_followed = container;
    if (container)
        container->installEventFilter(this);
}

bool FarseeListView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_followed && event->type() == QEvent::Resize)
        setGeometry(m_followed->rect());
    return QScrollArea::eventFilter(watched, event);
}
