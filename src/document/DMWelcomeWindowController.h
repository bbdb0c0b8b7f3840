#pragma once

#include <QObject>
#include <QPointer>

class QListWidget;
class QListWidgetItem;
class QPushButton;
class QWidget;

// The welcome window: the recent documents, New and Open. One per process; shown while no
// document is open. Closing it, or Quit in it, ends the application.
class DMWelcomeWindowController : public QObject
{
    Q_OBJECT

public:
    static DMWelcomeWindowController &sharedController();

    void showWindow();
    void close();
    QWidget *window() const { return m_window; }
    bool isVisible() const;
    void reloadRecentDocuments();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DMWelcomeWindowController() = default;
    void buildWindow();
    void openRecentDocument(QListWidgetItem *item);

    QPointer<QWidget> m_window;
    QPointer<QListWidget> m_recentList;
    QPointer<QPushButton> m_newButton;
};
