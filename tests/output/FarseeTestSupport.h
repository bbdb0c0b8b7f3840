#pragma once

#include "DMUserDefaults.h"
#include "FakeModalUI.h"
#include "FarseeManager.h"
#include "NBAPIEngine.h"
#include "StandInService.h"
#include "TestSupport.h"

#include <QDesktopServices>
#include <QDir>
#include <QObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace halcyra::test {

// Catches the links the code hands to the web browser.
class BrowserCatcher : public QObject
{
    Q_OBJECT

public:
    BrowserCatcher()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open");
    }
    ~BrowserCatcher() override
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    }
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }
};

// How one upload ended, as its end block was told.
struct EndBlockCalls
{
    int count = 0;
    bool success = false;
    QUrl url;
    NBError error;

    FarseeEndBlock block()
    {
        return [this](bool ok, const QUrl &link, const NBError &failure) {
            ++count;
            success = ok;
            url = link;
            error = failure;
        };
    }
};

// Managers of a list file in a temporary folder, uploading to a stand-in of the service with
// the account the user defaults give; alerts go to a fake.
class FarseeTestBase : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DMUserDefaults::setStorageFileForTesting(folder.filePath(QStringLiteral("defaults.ini")));
        setAccount(service.email, service.password);
        DMModalUI::setInstance(&ui);
    }
    void TearDown() override
    {
        manager.reset();
        DMModalUI::setInstance(nullptr);
        DMUserDefaults::setStorageFileForTesting(folder.filePath(QStringLiteral("unused.ini")));
    }

    static void setAccount(const QString &email, const QString &password)
    {
        DMUserDefaults::standardUserDefaults().setObjectForKey(email, kFarseeAccountEmailKey);
        DMUserDefaults::standardUserDefaults().setObjectForKey(password, kFarseeAccountPasswordKey);
    }

    QString listPath() const { return folder.filePath(QStringLiteral("sendingList.plist")); }

    // A new manager of the list file, as after a restart.
    FarseeManager &restart()
    {
        manager.reset();
        manager = std::make_unique<FarseeManager>(listPath());
        manager->engine()->setBaseURL(QUrl(service.server.url()));
        return *manager;
    }

    // Sends the bytes and waits until the upload has ended.
    FarseeManager::Sending send(const QByteArray &data, const QString &name, EndBlockCalls &calls)
    {
        manager->sendDataWithNameWithEndBlock(data, name, calls.block());
        EXPECT_TRUE(waitFor([&] { return calls.count > 0; }, 5000)) << qPrintable(name);
        return sendingNamed(name);
    }

    FarseeManager::Sending sendingNamed(const QString &name) const
    {
        for (const FarseeManager::Sending &sending : manager->sendings()) {
            if (sending->filename == name)
                return sending;
        }
        return nullptr;
    }

    // Uploads whose first request is never answered: they stay running.
    void holdUploads() { service.overrides.insert(QStringLiteral("/items/new"), StandInResponse(200, {}, {}, true)); }

    QTemporaryDir folder;
    FakeModalUI ui;
    StandInService service;
    std::unique_ptr<FarseeManager> manager;
};

} // namespace halcyra::test
