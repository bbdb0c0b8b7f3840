#pragma once

#include "DMObservable.h"

#include <QList>
#include <QPointer>
#include <QScrollArea>

#include <memory>

class FarseeManager;
class FarseeSending;
class FarseeSendingCellView;
class QLabel;
class QVBoxLayout;

// The sending list: one FarseeSendingCellView per record the manager shows, in the list's
// order, kept in step with the manager's announcements.
class FarseeListView : public QScrollArea
{
    Q_OBJECT

public:
    FarseeListView(FarseeManager *manager, QWidget *parent = nullptr);

    FarseeManager *manager() const { return m_manager; }
    // The cells from top to bottom.
    QList<FarseeSendingCellView *> cells() const { return m_cells; }
    FarseeSendingCellView *cellForSending(const FarseeSending *sending) const;

    // Keeps the view as large as the widget (its container).
    void followSizeOf(QWidget *container);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void reload();

    QPointer<FarseeManager> m_manager;
    QPointer<QWidget> m_followed;
    QWidget *m_content;
    QVBoxLayout *m_layout;
    QLabel *m_emptyLabel;
    QList<FarseeSendingCellView *> m_cells;
    DMObservation m_sendingsObservation;
    DMObservation m_editedObservation;
};
