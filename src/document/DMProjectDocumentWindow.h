#pragma once

#include <QMainWindow>

#include <functional>

// The window of a project document. Closing it asks the document (which may refuse, e.g. when
// the user cancels saving); the document then closes itself.
class DMProjectDocumentWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit DMProjectDocumentWindow(QWidget *parent = nullptr);

    // Answers whether the window may close; it is called once per close request.
    void setShouldCloseHandler(std::function<bool()> handler) { m_shouldClose = std::move(handler); }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    std::function<bool()> m_shouldClose;
};
