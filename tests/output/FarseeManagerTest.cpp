#include "DMPropertyList.h"
#include "FarseeSendingListFile.h"
#include "FarseeTestSupport.h"
#include "NBJSON.h"

#include <QFile>
#include <QThread>

#include <thread>

using namespace halcyra::test;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

class FarseeManagerTest : public FarseeTestBase
{
protected:
    void SetUp() override
    {
        FarseeTestBase::SetUp();
        restart();
    }
};

TEST(FarseeSending, TitleAndKindFollowTheFileName)
{
    const struct
    {
        const char *name, *title, *kind;
    } rows[] = {
        {"Plan.pdf", "Plan", "picture"},
        {"Walkthrough.mov", "Walkthrough", "movie"},
        {"clip.MP4", "clip", "movie"},
        {"Orvesta-Harbour-2024-03-04-101500.jpeg", "Orvesta-Harbour-2024-03-04-101500", "picture"},
        {"archive.tar.gz", "archive.tar", "picture"},
        {"README", "README", "picture"},
        {".hidden", ".hidden", "picture"},
    };
    for (const auto &row : rows) {
        const FarseeSending sending(QString::fromUtf8(row.name));
        EXPECT_EQ(sending.title, QString::fromUtf8(row.title)) << row.name;
        EXPECT_EQ(sending.filetype, QString::fromUtf8(row.kind)) << row.name;
        EXPECT_FALSE(sending.icon.isNull()) << row.name;
    }
}

TEST_F(FarseeManagerTest, ShareUploadsTheBytesAndListsTheLinkAfterARestart)
{
    const QByteArray page = "%PDF-1.4 a page of the plan";
    EndBlockCalls shared;
    const FarseeManager::Sending sending = send(page, "Plan.pdf", shared);
    ASSERT_TRUE(sending);
    EXPECT_EQ(shared.count, 1);
    EXPECT_TRUE(shared.success) << qPrintable(shared.error.localizedDescription);
    const QVariantMap stored = service.items.rbegin()->second;
    EXPECT_EQ(shared.url, QUrl(stored.value("url").toString()));
    EXPECT_EQ(sending->remoteURL, shared.url);
    EXPECT_EQ(sending->href, QUrl(stored.value("href").toString()));
    EXPECT_EQ(sending->title, "Plan");
    EXPECT_FALSE(sending->isInProgress());
    EXPECT_TRUE(sending->data.isEmpty());
    EXPECT_EQ(manager->sendingCount(), 0);
    EXPECT_EQ(manager->progress(), 0.0);
    ASSERT_FALSE(service.lastUploadParts.isEmpty());
    EXPECT_EQ(service.lastUploadParts.last().content, page);

    // A failed upload is listed with its error until the next start.
    service.overrides.insert("/storage", jsonResponse(503, QVariantList{"Storage is down"}));
    EndBlockCalls failed;
    const FarseeManager::Sending failure = send("other bytes", "Chart.jpeg", failed);
    ASSERT_TRUE(failure);
    EXPECT_FALSE(failed.success);
    EXPECT_TRUE(failed.url.isEmpty());
    EXPECT_EQ(failed.error.code, NBAPIEngineErrorHTTPStatus);
    EXPECT_FALSE(failure->error.isEmpty());
    EXPECT_TRUE(failure->remoteURL.isEmpty());
    EXPECT_EQ(manager->sendings().size(), 2);

    restart();
    ASSERT_EQ(manager->sendings().size(), 1);
    const FarseeSending &again = *manager->sendings().first();
    EXPECT_EQ(again.filename, "Plan.pdf");
    EXPECT_EQ(again.title, "Plan");
    EXPECT_EQ(again.filetype, "picture");
    EXPECT_EQ(again.remoteURL, shared.url);
    EXPECT_EQ(again.href, QUrl(stored.value("href").toString()));
    EXPECT_EQ(again.sentDate.toSecsSinceEpoch(), sending->sentDate.toSecsSinceEpoch());
    // The file is an XML property list that names the links as text.
    const QVariantList file = DMPropertyList::propertyListWithContentsOfFile(listPath()).toList();
    ASSERT_EQ(file.size(), 1);
    EXPECT_EQ(file.first().toMap().value("remoteURLString"), shared.url.toString());
    EXPECT_TRUE(readFile(listPath()).startsWith("<?xml"));
}

TEST_F(FarseeManagerTest, AccountComesFromTheUserDefaultsAndShareOpensTheLinkOrShowsTheError)
{
    setAccount(service.email, QString());
    EndBlockCalls refused;
    send("bytes", "Plan.pdf", refused);
    EXPECT_FALSE(refused.success);
    EXPECT_EQ(refused.error.code, NBAPIEngineErrorNotReady);
    EXPECT_TRUE(service.server.requests.isEmpty());

    // Set in the preferences while the manager runs: the next upload signs in with it.
    setAccount(service.email, service.password);
    EndBlockCalls shared;
    send("bytes", "Chart.pdf", shared);
    EXPECT_TRUE(shared.success) << qPrintable(shared.error.localizedDescription);

    // Sharing opens the link, or shows why there is none.
    BrowserCatcher browser;
    manager->shareData("page", "Orvesta-Harbour-2024-03-04-101500.pdf", nullptr);
    ASSERT_TRUE(waitFor([&] { return !browser.opened.isEmpty(); }, 5000));
    EXPECT_EQ(browser.opened.first(), sendingNamed("Orvesta-Harbour-2024-03-04-101500.pdf")->remoteURL);
    EXPECT_TRUE(ui.alerts.isEmpty());

    setAccount(QString(), QString());
    manager->shareData("page", "Orvesta-Harbour-2024-03-04-101600.pdf", nullptr);
    ASSERT_TRUE(waitFor([&] { return !ui.alerts.isEmpty(); }));
    EXPECT_EQ(ui.alerts.first().messageText, "The file could not be shared.");
    // The cause first, then the advice.
    const NBError cause = NBError::notReadyError(NBAPIRequestTypeUploadParameters);
    EXPECT_TRUE(ui.alerts.first().informativeText.startsWith(cause.localizedDescription));
    EXPECT_EQ(browser.opened.size(), 1);

    const NBError error = FarseeManager::shareError("Plan.pdf", cause);
    EXPECT_EQ(error.domain, "Orvesta error");
    EXPECT_EQ(error.code, -1);
    EXPECT_EQ(error.userInfo.value("NSFilePath"), "Plan.pdf");
}

TEST_F(FarseeManagerTest, OverallProgressWeighsTheRunningUploadsByTheirSize)
{
    holdUploads();
    QList<DMChange> progressChanges;
    DMObservation observation = manager->observe("progress", [&](const DMChange &change, DMObservable *) {
        progressChanges.append(change);
    });
    EXPECT_EQ(manager->progress(), 0.0);
    EndBlockCalls small, large;
    manager->sendDataWithNameWithEndBlock(QByteArray(1000, 'a'), "Small.pdf", small.block());
    manager->sendDataWithNameWithEndBlock(QByteArray(3000, 'b'), "Large.pdf", large.block());
    ASSERT_TRUE(waitFor([&] { return manager->sendingCount() == 2; }));
    const QString smallId = sendingNamed("Small.pdf")->connectionIdentifier;
    const QString largeId = sendingNamed("Large.pdf")->connectionIdentifier;
    EXPECT_NE(smallId, largeId);

    manager->fileUploadDidProgressConnectionIdentifierUserInfo(0.5, smallId, {});
    manager->fileUploadDidProgressConnectionIdentifierUserInfo(0.25, largeId, {});
    EXPECT_DOUBLE_EQ(manager->progress(), 0.3125);
    EXPECT_DOUBLE_EQ(sendingNamed("Small.pdf")->progress, 0.5);
    EXPECT_FALSE(progressChanges.isEmpty());
    // An identifier of no running upload changes nothing.
    manager->fileUploadDidProgressConnectionIdentifierUserInfo(0.9, "unknown", {});
    EXPECT_DOUBLE_EQ(manager->progress(), 0.3125);

    // When the small one ends, the large one alone makes the progress.
    NBWebItem item;
    item.setURL(QUrl("http://example.org/s/9"));
    item.setHref(QUrl("http://example.org/items/9"));
    manager->fileUploadDidSucceedWithResultingItemConnectionIdentifierUserInfo(&item, smallId, {});
    EXPECT_EQ(small.count, 1);
    EXPECT_DOUBLE_EQ(manager->progress(), 0.25);
    EXPECT_EQ(manager->sendingCount(), 1);
    // A second report for the same upload reaches nobody.
    manager->fileUploadDidSucceedWithResultingItemConnectionIdentifierUserInfo(&item, smallId, {});
    EXPECT_EQ(small.count, 1);

    // A success without a link is a failure.
    manager->fileUploadDidSucceedWithResultingItemConnectionIdentifierUserInfo(nullptr, largeId, {});
    EXPECT_EQ(large.count, 1);
    EXPECT_FALSE(large.success);
    EXPECT_EQ(manager->progress(), 0.0);
}

TEST_F(FarseeManagerTest, AStalledUploadEndsWithAnError)
{
    manager->engine()->setTimeoutInterval(0.3);
    service.server.stallPath = "/storage";
    EndBlockCalls calls;
    const FarseeManager::Sending sending = send(QByteArray(16 * 1024 * 1024, 'x'), "Big.pdf", calls);
    EXPECT_EQ(calls.count, 1);
    EXPECT_FALSE(calls.success);
    EXPECT_EQ(calls.error.code, NBURLErrorTimedOut);
    ASSERT_TRUE(sending);
    EXPECT_EQ(sending->error, calls.error.localizedDescription);
    EXPECT_EQ(manager->sendingCount(), 0);
    runUntilIdle();
    EXPECT_EQ(calls.count, 1);
}

TEST_F(FarseeManagerTest, DeletingRemovesAtOnceAndDeletesOnlyWhatTheServiceHolds)
{
    EndBlockCalls shared, failed;
    const FarseeManager::Sending done = send("page", "Plan.pdf", shared);
    service.overrides.insert("/storage", jsonResponse(500, QVariantList{"No"}));
    const FarseeManager::Sending broken = send("page", "Chart.pdf", failed);
    service.overrides.clear();
    holdUploads();
    EndBlockCalls running;
    manager->sendDataWithNameWithEndBlock("page", "Notes.pdf", running.block());
    ASSERT_TRUE(waitFor([&] { return service.server.requests.last().url.path() == "/items/new"; }));
    const FarseeManager::Sending unfinished = sendingNamed("Notes.pdf");
    service.overrides.clear();

    QList<DMChange> removals;
    DMObservation observation = manager->observe("sendings", [&](const DMChange &change, DMObservable *) {
        if (change.kind == DMChange::Removal && !change.prior)
            removals.append(change);
    });
    const int itemNumber = service.items.rbegin()->first;

    // The failed upload has no address on the service: removed here, nothing sent.
    service.server.requests.clear();
    manager->setDictionaryDeleted(broken);
    EXPECT_FALSE(manager->sendings().contains(broken));
    ASSERT_EQ(removals.size(), 1);
    EXPECT_EQ(removals.first().indexes, QList<qsizetype>{1});
    // The running upload stops, and its end block hears so once.
    manager->setDictionaryDeleted(unfinished);
    EXPECT_EQ(running.count, 1);
    EXPECT_FALSE(running.success);
    EXPECT_EQ(manager->sendingCount(), 0);
    runUntilIdle();
    EXPECT_TRUE(service.server.requests.isEmpty());
    EXPECT_EQ(running.count, 1);

    // The shared file is deleted on the service too, after it left the list.
    manager->setDictionaryDeleted(done);
    EXPECT_TRUE(manager->sendings().isEmpty());
    ASSERT_TRUE(waitFor([&] { return !NBJSONIsNull(service.items[itemNumber].value("deleted_at")); }));
    EXPECT_EQ(service.server.requests.last().method, "DELETE");
    EXPECT_EQ(service.server.requests.last().url.path(), done->href.path());

    // Deleting it again, or a record of no list, changes nothing.
    manager->setDictionaryDeleted(done);
    manager->setDictionaryDeleted(std::make_shared<FarseeSending>("Other.pdf"));
    EXPECT_EQ(removals.size(), 3);
    restart();
    EXPECT_TRUE(manager->sendings().isEmpty());
}

TEST_F(FarseeManagerTest, ChangesCloseTogetherAreWrittenOnce)
{
    ManualClock clock;
    holdUploads();
    EndBlockCalls first, second;
    manager->sendDataWithNameWithEndBlock("1", "One.pdf", first.block());
    manager->sendDataWithNameWithEndBlock("2", "Two.pdf", second.block());
    ASSERT_TRUE(waitFor([&] { return manager->sendingCount() == 2; }));
    clock.advance(150); // the starts' own save
    QFile::remove(listPath());

    NBWebItem item;
    for (const char *name : {"One.pdf", "Two.pdf"}) {
        item.setURL(QUrl(QStringLiteral("http://example.org/s/") + name));
        manager->fileUploadDidSucceedWithResultingItemConnectionIdentifierUserInfo(
            &item, sendingNamed(name)->connectionIdentifier, {});
        clock.advance(40);
    }
    EXPECT_FALSE(QFile::exists(listPath()));
    clock.advance(20); // 0.1 s after the first change
    ASSERT_TRUE(QFile::exists(listPath()));
    EXPECT_EQ(DMPropertyList::propertyListWithContentsOfFile(listPath()).toList().size(), 2);
    QFile::remove(listPath());
    clock.advance(200);
    EXPECT_FALSE(QFile::exists(listPath())); // no second write is pending
}

TEST_F(FarseeManagerTest, ADamagedListIsSetAsideAndTheListStartsEmpty)
{
    EndBlockCalls shared;
    send("page", "Plan.pdf", shared);
    manager.reset();
    const QByteArray damaged = readFile(listPath()).left(120);
    writeFile(listPath(), damaged);
    writeFile(folder.filePath("notes.txt"), "mine");

    restart();
    EXPECT_TRUE(manager->sendings().isEmpty());
    EXPECT_FALSE(manager->loadMessage().isEmpty());
    const QString aside = folder.filePath("sendingList (damaged).plist");
    EXPECT_EQ(readFile(aside), damaged);
    EXPECT_FALSE(QFile::exists(listPath()));
    EXPECT_EQ(readFile(folder.filePath("notes.txt")), "mine");
    ASSERT_TRUE(waitFor([&] { return !ui.alerts.isEmpty(); }));
    EXPECT_TRUE(ui.alerts.first().informativeText.contains("sendingList (damaged).plist"));

    // The list goes on from empty; the set-aside file stays.
    EndBlockCalls again;
    send("page", "Chart.pdf", again);
    manager->saveList();
    EXPECT_EQ(FarseeSendingListFile::read(listPath()).sendings.size(), 1);
    EXPECT_EQ(readFile(aside), damaged);

    // A property list of another shape is damaged too, and is kept under the next free name.
    DMPropertyList::writePropertyListToFile(QVariantMap{{"filename", "Plan.pdf"}}, listPath());
    FarseeSendingListFile::Contents contents = FarseeSendingListFile::read(listPath());
    EXPECT_TRUE(contents.sendings.isEmpty());
    EXPECT_TRUE(QFile::exists(folder.filePath("sendingList (damaged 2).plist")));

    // Entries of another type are skipped, values of another type read as absent.
    DMPropertyList::writePropertyListToFile(
        QVariantList{"text", QVariantMap{{"filename", "Plan.pdf"}, {"title", 5}, {"sentDate", "today"},
                                         {"remoteURLString", "http://example.org/s/1"}}},
        listPath());
    contents = FarseeSendingListFile::read(listPath());
    EXPECT_TRUE(contents.message.isEmpty());
    ASSERT_EQ(contents.sendings.size(), 1);
    EXPECT_EQ(contents.sendings.first().title, "Plan");
    EXPECT_FALSE(contents.sendings.first().sentDate.isValid());
}

TEST_F(FarseeManagerTest, SendingFromAnotherThreadEndsOnTheMainThread)
{
    EndBlockCalls calls;
    QThread *endThread = nullptr;
    std::thread sender([&] {
        manager->sendDataWithNameWithEndBlock("page", "Plan.pdf", [&](bool ok, const QUrl &url, const NBError &e) {
            endThread = QThread::currentThread();
            calls.block()(ok, url, e);
        });
    });
    sender.join();
    ASSERT_TRUE(waitFor([&] { return calls.count > 0; }, 5000));
    EXPECT_TRUE(calls.success);
    EXPECT_EQ(endThread, QThread::currentThread());
}

TEST_F(FarseeManagerTest, SendFileUsesTheFileNameAndReportsAnUnreadableFile)
{
    const QString path = folder.filePath("Harbour plan.pdf");
    writeFile(path, "%PDF the plan");
    EndBlockCalls shared;
    manager->sendFileWithEndBlock(QUrl::fromLocalFile(path), shared.block());
    ASSERT_TRUE(waitFor([&] { return shared.count > 0; }, 5000));
    EXPECT_TRUE(shared.success);
    ASSERT_TRUE(sendingNamed("Harbour plan.pdf"));
    EXPECT_EQ(service.lastUploadParts.last().content, "%PDF the plan");

    EndBlockCalls missing;
    manager->sendFileWithEndBlock(QUrl::fromLocalFile(folder.filePath("gone.pdf")), missing.block());
    ASSERT_TRUE(waitFor([&] { return missing.count > 0; }));
    EXPECT_FALSE(missing.success);
    EXPECT_TRUE(missing.error.localizedDescription.contains("gone.pdf"));
    EXPECT_EQ(manager->sendings().size(), 1);
}

} // namespace
