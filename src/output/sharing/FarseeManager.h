#pragma once

#include "DMDelayedCall.h"
#include "DMObservable.h"
#include "FarseeSending.h"
#include "NBAPIEngineDelegate.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <memory>

class FarseeListView;
class NBAPIEngine;
class QWidget;

// The user defaults that hold the account of the cloud file-sharing service.
inline const QString kFarseeAccountEmailKey = QStringLiteral("NimbrelAccountEmail");
inline const QString kFarseeAccountPasswordKey = QStringLiteral("NimbrelAccountPassword");

// Uploads exported pages to the cloud file-sharing service and keeps the sending list: every
// upload of this run, and the successful ones of earlier runs, read from and written to
// "sendingList.plist" in the support folder. The list is shown by a FarseeListView.
//
// Observable keys: "sendings" (insertions, removals, and replacements for a record changed in
// place), "editedSendings" (the records the list shows), "sendingCount", "progress" and
// "sendingViewContainer". Everything runs on the main thread; sendDataWithNameWithEndBlock may be
// called from any thread.
class FarseeManager : public QObject, public DMObservable, public NBAPIEngineDelegate
{
    Q_OBJECT

public:
    using Sending = std::shared_ptr<FarseeSending>;

    // The process's manager, made on first use with the list at sendingSavePath().
    static FarseeManager &sharedManager();
    // A manager of its own list file (tests and tools); its engine uses the default base URL.
    explicit FarseeManager(const QString &savePath, QObject *parent = nullptr);
    // Cancels the running uploads and saves the list (not an empty one of a manager that is not
    // the shared one).
    ~FarseeManager() override;

    // The application's support folder (made when missing) and the list file in it.
    static QString appSupportPath();
    static QString sendingSavePath();

    // Uploads the bytes under the file name and adds them to the list; the end block is told
    // how it ended.
    void sendDataWithNameWithEndBlock(const QByteArray &data, const QString &name, FarseeEndBlock endBlock);
    // The file's bytes under its name; a file that cannot be read ends at once with an error.
    void sendFileWithEndBlock(const QUrl &fileURL, FarseeEndBlock endBlock);
    // What the Share commands call: uploads the bytes; on success opens the link in the web
    // browser, on failure shows the sharing error attached to the window (may be null).
    void shareData(const QByteArray &data, const QString &fileName, QWidget *window);
    // The error a Share command shows for a failed upload of the file.
    static NBError shareError(const QString &fileName, const NBError &cause);

    // Every record, in the order they were added.
    QList<Sending> sendings() const { return m_sendings; }
    // The records the list shows (not those being deleted), and the same in the list's order.
    QList<Sending> editedSendings() const;
    QList<Sending> arrangedSendings() const;
    QList<Sending> sendingInProgress() const;
    int sendingCount() const { return int(sendingInProgress().size()); }
    // The part of the running uploads' bytes sent so far; 0 with none.
    double progress() const { return m_progress; }

    // Removes the record from the list at once and deletes its file on the service when it has
    // an address there; a running upload is stopped and its end block told so.
    void setDictionaryDeleted(const Sending &sending);

    // The view that hosts the list: the first one gets the list view, sized to it.
    QWidget *sendingViewContainer() const;
    void setSendingViewContainer(QWidget *container);
    FarseeListView *listView() const;
    // The window of the sending list ("Sending List"), made on first use and brought to front.
    QWidget *showSendingWindow();

    // Writes the list now; or within 0.1 s, so that changes close together are written once.
    void saveList();
    void setNeedSave();
    QString savePath() const { return m_savePath; }
    // What went wrong when the list file was read, or empty.
    QString loadMessage() const { return m_loadMessage; }

    NBAPIEngine *engine() const { return m_engine.get(); }

    // Engine callbacks.
    void fileUploadDidProgressConnectionIdentifierUserInfo(double progress, const QString &identifier,
                                                           const QVariant &userInfo) override;
    void fileUploadDidSucceedWithResultingItemConnectionIdentifierUserInfo(const NBWebItem *item,
                                                                           const QString &identifier,
                                                                           const QVariant &userInfo) override;
    void requestDidFailWithErrorConnectionIdentifierUserInfo(const NBError &error, const QString &identifier,
                                                             const QVariant &userInfo) override;

private:
    void loadList();
    void startSending(const Sending &sending);
    // Gives the engine the account of the user defaults, as they are now.
    void applyAccount();
    void updateProgress();
    // Ends every running record of the identifier: fills it in, announces the changes, saves,
    // then calls the end blocks.
    void finishSendings(const QString &identifier, const std::function<void(FarseeSending &)> &fill, bool success,
                        const QUrl &url, const NBError &error);
    QList<qsizetype> indexesOf(const std::function<bool(const FarseeSending &)> &test) const;

    QString m_savePath;
    std::unique_ptr<NBAPIEngine> m_engine;
    QList<Sending> m_sendings;
    QList<Sending> m_deleting;
    double m_progress = 0;
    DMDelayedCalls m_saveTimer;
    QString m_loadMessage;
    bool m_keepListFile = false;
    QPointer<QWidget> m_sendingViewContainer;
    QPointer<FarseeListView> m_listView;
    QPointer<QWidget> m_window;
};
