#pragma once

#include <QFrame>
#include <QPointer>

#include <memory>

class DMProgressBarView;
class FarseeManager;
class FarseeSending;
class FarseeSendingCellOverView;
class QLabel;
class QToolButton;

// One row of the sending list: the file's icon and title, then how its upload stands (a
// progress bar, the error, or kind, date and link), with buttons to open the link and to delete
// the record. A menu laid over it (FarseeSendingCellOverView) offers the same and copying the link.
class FarseeSendingCellView : public QFrame
{
    Q_OBJECT

public:
    explicit FarseeSendingCellView(FarseeManager *manager, QWidget *parent = nullptr);

    // The record shown; the manager owns it.
    std::shared_ptr<FarseeSending> objectValue() const { return m_objectValue.lock(); }
    void setObjectValue(const std::shared_ptr<FarseeSending> &sending);
    // Shows the record as it is now.
    void refresh();

    FarseeSendingCellOverView *overView() const { return m_overView; }
    QString statusText() const;

public slots:
    // Deletes the record, and its file on the service.
    void remove();
    // Opens the shared link in the web browser.
    void openLink();
    // Puts the shared link on the clipboard as plain text.
    void copyLink();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QPointer<FarseeManager> m_manager;
    std::weak_ptr<FarseeSending> m_objectValue;
    QLabel *m_iconLabel;
    QLabel *m_titleLabel;
    QLabel *m_statusLabel;
    DMProgressBarView *m_progressBar;
    QToolButton *m_openButton;
    QToolButton *m_deleteButton;
    FarseeSendingCellOverView *m_overView;
};
