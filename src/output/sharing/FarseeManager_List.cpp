// The manager's list file and list view.
#include "FarseeManager.h"

#include "DMLocalizedString.h"
#include "DMModalUI.h"
#include "FarseeListView.h"
#include "FarseeSendingListFile.h"

#include <QTimer>

#include <algorithm>

namespace {

const QString kSendingViewContainerKey = QStringLiteral("sendingViewContainer");

constexpr double kSaveDelay = 0.1;

} // namespace

// ---- The list file ----

void FarseeManager::loadList()
{
    FarseeSendingListFile::Contents contents = FarseeSendingListFile::read(m_savePath);
    m_keepListFile = contents.keepFile;
    m_loadMessage = contents.message;
    for (FarseeSending &sending : contents.sendings)
        m_sendings.append(std::make_shared<FarseeSending>(std::move(sending)));
    if (m_loadMessage.isEmpty())
        return;
    qWarning("%s", qPrintable(m_loadMessage));
    // Told once the caller that made the manager has returned to the event loop.
    QTimer::singleShot(0, this, [message = m_loadMessage] {
        DMModalUI::Alert alert;
        alert.title = DMLocalizedString("Sending List");
        alert.messageText = DMLocalizedString("The sending list was damaged.");
        alert.informativeText = message;
        DMModalUI::instance().runAlert(alert);
    });
}

void FarseeManager::setNeedSave()
{
    if (m_saveTimer.pendingCount() > 0)
        return;
    m_saveTimer.performAfterDelay(kSaveDelay, [this] { saveList(); });
}

void FarseeManager::saveList()
{
    m_saveTimer.cancelAll();
    if (m_keepListFile)
        return;
    QList<FarseeSending> savable;
    for (const Sending &sending : m_sendings) {
        if (!sending->remoteURL.isEmpty())
            savable.append(*sending);
    }
    std::stable_sort(savable.begin(), savable.end(), &FarseeSending::listOrderLess);
    QString error;
    if (!FarseeSendingListFile::write(savable, m_savePath, &error))
        qWarning("The sending list could not be saved to %s: %s", qPrintable(m_savePath), qPrintable(error));
}

// ---- The list view ----

void FarseeManager::setSendingViewContainer(QWidget *container)
{
    if (container == m_sendingViewContainer)
        return;
    willChangeValueForKey(kSendingViewContainerKey);
    m_sendingViewContainer = container;
    didChangeValueForKey(kSendingViewContainerKey);
    if (!container || m_listView)
        return;
    m_listView = new FarseeListView(this, container);
    m_listView->setGeometry(container->rect());
    m_listView->followSizeOf(container);
    m_listView->show();
}

QWidget *FarseeManager::sendingViewContainer() const
{
    return m_sendingViewContainer;
}

FarseeListView *FarseeManager::listView() const
{
    return m_listView;
}

QWidget *FarseeManager::showSendingWindow()
{
    // The list is shown where it already is; the window hosts it when no other view does.
    if (!m_listView) {
        delete m_window;
        m_window = new QWidget(nullptr, Qt::Window);
        m_window->setObjectName(QStringLiteral("FarseeWindow"));
        m_window->setWindowTitle(DMLocalizedString("Sending List"));
        m_window->resize(460, 360);
        setSendingViewContainer(m_window);
    }
    QWidget *window = m_listView->window();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
