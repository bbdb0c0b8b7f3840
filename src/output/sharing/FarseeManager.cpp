#include "FarseeManager.h"

#include "DMLocalizedString.h"
#include "DMUserDefaults.h"
#include "FarseeListView.h"
#include "NBAPIEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QString kSendingsKey = QStringLiteral("sendings");
const QString kEditedSendingsKey = QStringLiteral("editedSendings");
const QString kSendingCountKey = QStringLiteral("sendingCount");
const QString kProgressKey = QStringLiteral("progress");

QPointer<FarseeManager> sharedInstance;

} // namespace

FarseeManager &FarseeManager::sharedManager()
{
    if (!sharedInstance) {
        // Owned by the application. Its list is saved, its requests stopped and its window
        // closed while the event loop ends, before the application's own clean-up.
        FarseeManager *manager = new FarseeManager(sendingSavePath(), QCoreApplication::instance());
        sharedInstance = manager;
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, manager, [manager] {
            manager->m_engine->cancelAllConnections();
            manager->saveList();
            delete manager->m_listView;
            delete manager->m_window;
        });
    }
    return *sharedInstance;
}

FarseeManager::FarseeManager(const QString &savePath, QObject *parent)
    : QObject(parent)
    , m_savePath(savePath)
    , m_engine(std::make_unique<NBAPIEngine>(this))
{
    applyAccount();
    loadList();
}

FarseeManager::~FarseeManager()
{
    // No callback of the engine may reach a half-destroyed manager.
    m_engine->setDelegate(nullptr);
    m_engine->cancelAllConnections();
    // A change still waiting to be written is written, an emptied list included.
    if (this == sharedInstance || !m_sendings.isEmpty() || m_saveTimer.pendingCount() > 0)
        saveList();
    delete m_listView;
    delete m_window;
}

QString FarseeManager::appSupportPath()
{
    static const QString path = [] {
        QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        if (base.isEmpty())
            base = QDir::home().filePath(QStringLiteral(".local/share"));
        QString name = QCoreApplication::applicationName();
        if (name.isEmpty())
            name = QStringLiteral("Glimmet");
        const QString folder = QDir(base).filePath(name);
        QDir().mkpath(folder);
        return folder;
    }();
    return path;
}

QString FarseeManager::sendingSavePath()
{
    return QDir(appSupportPath()).filePath(QStringLiteral("sendingList.plist"));
}

void FarseeManager::applyAccount()
{
    const DMUserDefaults &defaults = DMUserDefaults::standardUserDefaults();
    m_engine->setEmail(defaults.stringForKey(kFarseeAccountEmailKey));
    m_engine->setPassword(defaults.stringForKey(kFarseeAccountPasswordKey));
}

// ---- Sending ----

void FarseeManager::sendDataWithNameWithEndBlock(const QByteArray &data, const QString &name, FarseeEndBlock endBlock)
{
    // On the next pass of the main loop, whichever thread calls: the record's icon too is made
    // there.
    QMetaObject::invokeMethod(
        this,
        [this, data, name, endBlock = std::move(endBlock)]() mutable {
            auto sending = std::make_shared<FarseeSending>(name);
            sending->data = data;
            // Running records are told apart by their end block: every upload has one.
            sending->endBlock = endBlock ? std::move(endBlock) : [](bool, const QUrl &, const NBError &) {};
            startSending(sending);
        },
        Qt::QueuedConnection);
}

void FarseeManager::sendFileWithEndBlock(const QUrl &fileURL, FarseeEndBlock endBlock)
{
    const QString path = fileURL.toLocalFile();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        NBError error;
        error.domain = NBURLErrorDomain;
        error.code = int(QNetworkReply::ContentNotFoundError);
        error.localizedDescription =
            DMLocalizedString("The file \"%1\" could not be read: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        QMetaObject::invokeMethod(
            this, [endBlock, error] { if (endBlock) endBlock(false, QUrl(), error); }, Qt::QueuedConnection);
        return;
    }
    sendDataWithNameWithEndBlock(file.readAll(), QFileInfo(path).fileName(), std::move(endBlock));
}

void FarseeManager::startSending(const Sending &sending)
{
    applyAccount();
    const QList<qsizetype> inserted{m_sendings.size()};
    willChangeList(kSendingsKey, DMChange::Insertion, inserted);
    willChangeValueForKey(kEditedSendingsKey);
    sending->connectionIdentifier = m_engine->uploadFileWithNameFileDataUserInfo(sending->filename, sending->data);
    sending->sentDate = QDateTime::currentDateTimeUtc();
    sending->error.clear();
    m_sendings.append(sending);
    didChangeValueForKey(kEditedSendingsKey);
    didChangeList(kSendingsKey, DMChange::Insertion, inserted);
    setNeedSave();
    updateProgress();
    willChangeValueForKey(kSendingCountKey);
    didChangeValueForKey(kSendingCountKey);
}

// ---- Engine events ----

void FarseeManager::fileUploadDidProgressConnectionIdentifierUserInfo(double progress, const QString &identifier,
                                                                       const QVariant &)
{
    const QList<qsizetype> changed = indexesOf([&identifier](const FarseeSending &sending) {
        return sending.isInProgress() && sending.connectionIdentifier == identifier;
    });
    if (changed.isEmpty())
        return;
    willChangeList(kSendingsKey, DMChange::Replacement, changed);
    for (qsizetype index : changed)
        m_sendings[index]->progress = progress;
    didChangeList(kSendingsKey, DMChange::Replacement, changed);
    updateProgress();
}

void FarseeManager::fileUploadDidSucceedWithResultingItemConnectionIdentifierUserInfo(const NBWebItem *item,
                                                                                       const QString &identifier,
                                                                                       const QVariant &)
{
    const QUrl link = item ? item->URL() : QUrl();
    const QUrl href = item ? item->href() : QUrl();
    if (link.isEmpty()) {
        // A success without a link to hand out is no share at all.
        NBError error = NBError::badServerResponseError(NBAPIRequestTypeUploadFile);
        finishSendings(identifier, [&error](FarseeSending &sending) { sending.error = error.localizedDescription; },
                       false, QUrl(), error);
        return;
    }
    finishSendings(
        identifier,
        [&link, &href](FarseeSending &sending) {
            sending.remoteURL = link;
            sending.href = href;
        },
        true, link, NBError());
}

void FarseeManager::requestDidFailWithErrorConnectionIdentifierUserInfo(const NBError &error,
                                                                        const QString &identifier, const QVariant &)
{
    // Failed deletions on the service match no running record and end here.
    const QString description =
        error.localizedDescription.isEmpty() ? DMLocalizedString("The upload failed.") : error.localizedDescription;
    finishSendings(identifier, [&description](FarseeSending &sending) { sending.error = description; }, false,
                   QUrl(), error);
}

void FarseeManager::finishSendings(const QString &identifier, const std::function<void(FarseeSending &)> &fill,
                                   bool success, const QUrl &url, const NBError &error)
{
    const QList<qsizetype> changed = indexesOf([&identifier](const FarseeSending &sending) {
        return sending.isInProgress() && sending.connectionIdentifier == identifier;
    });
    if (changed.isEmpty())
        return;
    QList<FarseeEndBlock> endBlocks;
    willChangeList(kSendingsKey, DMChange::Replacement, changed);
    for (qsizetype index : changed) {
        FarseeSending &sending = *m_sendings[index];
        endBlocks.append(std::move(sending.endBlock));
        sending.endBlock = nullptr;
        sending.data.clear();
        sending.sentDate = QDateTime::currentDateTimeUtc();
        fill(sending);
    }
    didChangeList(kSendingsKey, DMChange::Replacement, changed);
    updateProgress();
    setNeedSave();
    willChangeValueForKey(kSendingCountKey);
    didChangeValueForKey(kSendingCountKey);
    // Last: an end block may show a window, run a modal loop or send again.
    for (const FarseeEndBlock &endBlock : endBlocks)
        endBlock(success, url, error);
}

QList<qsizetype> FarseeManager::indexesOf(const std::function<bool(const FarseeSending &)> &test) const
{
    QList<qsizetype> indexes;
    for (qsizetype index = 0; index < m_sendings.size(); ++index) {
        if (test(*m_sendings[index]))
            indexes.append(index);
    }
    return indexes;
}

void FarseeManager::updateProgress()
{
    double total = 0;
    double done = 0;
    for (const Sending &sending : m_sendings) {
        if (!sending->isInProgress())
            continue;
        total += double(sending->data.size());
        done += sending->progress * double(sending->data.size());
    }
    const double progress = total > 0 ? done / total : 0.0;
    if (progress == m_progress)
        return;
    willChangeValueForKey(kProgressKey);
    m_progress = progress;
    didChangeValueForKey(kProgressKey);
}

// ---- The list ----

QList<FarseeManager::Sending> FarseeManager::editedSendings() const
{
    QList<Sending> shown;
    for (const Sending &sending : m_sendings) {
        if (!m_deleting.contains(sending))
            shown.append(sending);
    }
    return shown;
}

QList<FarseeManager::Sending> FarseeManager::arrangedSendings() const
{
    QList<Sending> arranged = editedSendings();
    std::stable_sort(arranged.begin(), arranged.end(),
                     [](const Sending &a, const Sending &b) { return FarseeSending::listOrderLess(*a, *b); });
    return arranged;
}

QList<FarseeManager::Sending> FarseeManager::sendingInProgress() const
{
    QList<Sending> running;
    for (const Sending &sending : m_sendings) {
        if (sending->isInProgress())
            running.append(sending);
    }
    return running;
}

void FarseeManager::setDictionaryDeleted(const Sending &sending)
{
    if (!sending || !m_sendings.contains(sending) || m_deleting.contains(sending))
        return;
    m_deleting.append(sending);
    willChangeValueForKey(kEditedSendingsKey);
    const QList<Sending> deleted = m_deleting;
    const QList<qsizetype> removed =
        indexesOf([&deleted](const FarseeSending &record) {
            return std::any_of(deleted.begin(), deleted.end(), [&record](const Sending &d) { return d.get() == &record; });
        });
    willChangeList(kSendingsKey, DMChange::Removal, removed);
    for (auto index = removed.rbegin(); index != removed.rend(); ++index)
        m_sendings.removeAt(*index);
    didChangeList(kSendingsKey, DMChange::Removal, removed);
    setNeedSave();
    m_deleting.clear();
    didChangeValueForKey(kEditedSendingsKey);

    QList<FarseeEndBlock> stopped;
    for (const Sending &record : deleted) {
        if (record->isInProgress()) {
            m_engine->cancelConnection(record->connectionIdentifier);
            stopped.append(std::move(record->endBlock));
            record->endBlock = nullptr;
            record->data.clear();
        }
    }
    if (!stopped.isEmpty()) {
        updateProgress();
        willChangeValueForKey(kSendingCountKey);
        didChangeValueForKey(kSendingCountKey);
    }
    // A record without an address on the service (a failed or stopped upload) has nothing to
    // delete there.
    applyAccount();
    for (const Sending &record : deleted) {
        if (!record->href.isEmpty())
            m_engine->deleteItemAtHrefUserInfo(record->href);
    }
    NBError cancelled;
    cancelled.domain = NBURLErrorDomain;
    cancelled.code = int(QNetworkReply::OperationCanceledError);
    cancelled.localizedDescription = DMLocalizedString("The upload was stopped.");
    for (const FarseeEndBlock &endBlock : stopped)
        endBlock(false, QUrl(), cancelled);
}
