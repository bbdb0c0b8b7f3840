#include "DMWelcomeWindowController.h"

#include "DMApplication.h"
#include "DMDocumentController.h"
#include "DMLocalizedString.h"
#include "DMMainMenu.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

DMWelcomeWindowController &DMWelcomeWindowController::sharedController()
{
    static DMWelcomeWindowController *controller = new DMWelcomeWindowController;
    return *controller;
}

void DMWelcomeWindowController::buildWindow()
{
    auto *window = new QWidget(nullptr, Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->setWindowTitle(DMLocalizedString("Welcome to Halcyra"));
    window->resize(560, 380);
    window->installEventFilter(this);
    // The welcome window has no menu bar; Quit is its one command beside the buttons.
    auto *quit = new QAction(DMLocalizedString("Quit Halcyra"), window);
    quit->setShortcut(DMMainMenu::quitShortcut());
    connect(quit, &QAction::triggered, this, [] { DMApplication::terminate(); });
    window->addAction(quit);

    auto *title = new QLabel(DMLocalizedString("Welcome to Halcyra"), window);
    QFont font = title->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    title->setFont(font);
    auto *subtitle = new QLabel(DMLocalizedString("Open a recent project, or start a new one."), window);

    auto *list = new QListWidget(window);
    list->setObjectName(QStringLiteral("recentDocuments"));
    m_recentList = list;
    DMDocumentController &controller = DMDocumentController::sharedDocumentController();
    list->installEventFilter(this);
    connect(list, &QListWidget::itemActivated, this, &DMWelcomeWindowController::openRecentDocument);

    auto *newButton = new QPushButton(DMLocalizedString("New Project"), window);
    auto *openButton = new QPushButton(DMLocalizedString("Open..."), window);
    newButton->setDefault(true);
    // Outside a dialog a button answers Return only when it says so (see eventFilter for Return
    // elsewhere in the window).
    newButton->setAutoDefault(true);
    openButton->setAutoDefault(true);
    m_newButton = newButton;
    connect(newButton, &QPushButton::clicked, this, [&controller] { controller.newDocument(); });
    connect(openButton, &QPushButton::clicked, this, [&controller] { controller.openDocument(); });
    connect(&controller, &DMDocumentController::recentDocumentsChanged, this, &DMWelcomeWindowController::reloadRecentDocuments);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(openButton);
    buttons->addWidget(newButton);
    auto *layout = new QVBoxLayout(window);
    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addWidget(new QLabel(DMLocalizedString("Recent Documents"), window));
    layout->addWidget(list, 1);
    layout->addLayout(buttons);
    m_window = window;
}

void DMWelcomeWindowController::openRecentDocument(QListWidgetItem *item)
{
    DMDocumentController::sharedDocumentController().openDocumentWithContentsOfURL(item->data(Qt::UserRole).toString(),
                                                                                    true);
}

void DMWelcomeWindowController::reloadRecentDocuments()
{
    if (!m_recentList)
        return;
    m_recentList->clear();
    for (const QString &path : DMDocumentController::sharedDocumentController().recentDocumentURLs()) {
        if (!QFileInfo::exists(path))
            continue;
        auto *item = new QListWidgetItem(QStringLiteral("%1\n%2").arg(QFileInfo(path).completeBaseName(),
                                                                     QDir::toNativeSeparators(QFileInfo(path).absolutePath())),
                                         m_recentList);
        item->setData(Qt::UserRole, path);
        item->setToolTip(path);
    }
}

void DMWelcomeWindowController::showWindow()
{
    if (!m_window)
        buildWindow();
    reloadRecentDocuments();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void DMWelcomeWindowController::close()
{
    if (m_window)
        m_window->hide();
}

bool DMWelcomeWindowController::eventFilter(QObject *watched, QEvent *event)
{
    // Return or Enter: on a recent document it opens that document; on a button it presses it;
    // anywhere else it is New Project, the button drawn as the default. The list's entry is
    // chosen here, before opening it reloads the list.
    if (event->type() == QEvent::KeyPress && (watched == m_window || watched == m_recentList)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            if (watched == m_recentList) {
                if (QListWidgetItem *item = m_recentList->currentItem()) {
                    openRecentDocument(item);
                    return true;
                }
                return false; // on to the window
            }
            if (m_newButton)
                m_newButton->click();
            return true;
        }
    }
    // The user closed it (close() only hides it): with no document open, that ends the
    // application instead of leaving a process without a window.
    if (watched == m_window && event->type() == QEvent::Close
        && DMDocumentController::sharedDocumentController().documents().isEmpty()) {
        DMApplication::terminate();
    }
    return QObject::eventFilter(watched, event);
}

bool DMWelcomeWindowController::isVisible() const
{
    return m_window && m_window->isVisible();
}
