#include "DMUserDefaults.h"
#include "NBAPIEngine.h"
#include "NBAPIEngineDelegate.h"
#include "StandInService.h"
#include "TestSupport.h"

#include <QUrlQuery>

#include <gtest/gtest.h>

using halcyra::test::runUntilIdle;
using halcyra::test::waitFor;

namespace {

// One callback as the delegate received it.
struct Event
{
    Event(const QString &kind = {}, const QString &identifier = {}, const QVariant &userInfo = {})
        : kind(kind), identifier(identifier), userInfo(userInfo)
    {
    }

    QString kind; // "succeed", "fail", "progress" or the kind's own callback
    QString identifier;
    QVariant userInfo;
    NBError error;
    double progress = 0;
    std::optional<NBWebItem> item;
    std::optional<NBAccount> account;
    std::optional<QList<NBWebItem>> items;
    bool nullResult = false;

    bool isFinal() const { return kind != QLatin1String("succeed") && kind != QLatin1String("progress"); }
};

// Each callback is recorded under its kind; the item and account callbacks keep their result.
class RecordingDelegate : public NBAPIEngineDelegate
{
public:
    QList<Event> events;

    using Id = const QString &;
    using Info = const QVariant &;
    using Item = const NBWebItem *;
    using Account = const NBAccount *;
    void requestDidSucceedWithConnectionIdentifierUserInfo(Id id, Info info) override
    {
        events.append(Event("succeed", id, info));
    }
    void requestDidFailWithErrorConnectionIdentifierUserInfo(const NBError &error, Id id, Info info) override
    {
        events.append(Event("fail", id, info));
        events.last().error = error;
    }
    void fileUploadDidProgressConnectionIdentifierUserInfo(double progress, Id id, Info info) override
    {
        events.append(Event("progress", id, info));
        events.last().progress = progress;
    }
    void itemListRetrievalSucceededConnectionIdentifierUserInfo(const QList<NBWebItem> *items, Id id, Info info) override
    {
        events.append(Event("itemList", id, info));
        if (items)
            events.last().items = *items;
    }
    void storeProductInformationRetrievalSucceededConnectionIdentifierUserInfo(const QVariantList *products, Id id,
                                                                               Info info) override
    {
        events.append(Event("products", id, info));
        events.last().nullResult = !products;
    }
    void itemUpdateDidSucceedConnectionIdentifierUserInfo(Item i, Id id, Info info) override { add("itemUpdate", i, id, info); }
    void itemDeletionDidSucceedConnectionIdentifierUserInfo(Item i, Id id, Info info) override { add("itemDeletion", i, id, info); }
    void itemRestorationDidSucceedConnectionIdentifierUserInfo(Item i, Id id, Info info) override { add("itemRestoration", i, id, info); }
    void linkBookmarkDidSucceedWithResultingItemConnectionIdentifierUserInfo(Item i, Id id, Info info) override { add("bookmark", i, id, info); }
    void itemInformationRetrievalSucceededConnectionIdentifierUserInfo(Item i, Id id, Info info) override { add("itemInformation", i, id, info); }
    void fileUploadDidSucceedWithResultingItemConnectionIdentifierUserInfo(Item i, Id id, Info info) override { add("upload", i, id, info); }
    void accountCreationSucceededConnectionIdentifierUserInfo(Account a, Id id, Info info) override { add("accountCreation", a, id, info); }
    void accountInformationRetrievalSucceededConnectionIdentifierUserInfo(Account a, Id id, Info info) override { add("accountInformation", a, id, info); }

private:
    void add(const char *kind, Item item, Id id, Info info)
    {
        events.append(Event(kind, id, info));
        events.last().nullResult = !item;
        if (item)
            events.last().item = *item;
    }
    void add(const char *kind, Account account, Id id, Info info)
    {
        events.append(Event(kind, id, info));
        events.last().nullResult = !account;
        if (account)
            events.last().account = *account;
    }
};

class APIEngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        engine.setBaseURL(QUrl(service.server.url()));
        engine.setEmail("Ann@Example.org"); // the service knows the address in lower case
        engine.setPassword("secret");
    }

    // The callbacks of one request once its final one arrived (or after two seconds).
    QList<Event> outcome(const QString &identifier)
    {
        const auto ofRequest = [&] {
            QList<Event> events;
            for (const Event &event : delegate.events) {
                if (event.identifier == identifier)
                    events.append(event);
            }
            return events;
        };
        waitFor([&] { return !ofRequest().isEmpty() && ofRequest().last().isFinal(); });
        runUntilIdle(); // a second final callback would show here
        return ofRequest();
    }

    Event finalEvent(const QString &identifier)
    {
        const QList<Event> events = outcome(identifier);
        EXPECT_EQ(std::count_if(events.begin(), events.end(), [](const Event &e) { return e.isFinal(); }), 1);
        return events.isEmpty() ? Event() : events.last();
    }

    StandInService service;
    RecordingDelegate delegate;
    NBAPIEngine engine{&delegate};
};

TEST_F(APIEngineTest, EachRequestSendsItsMethodURLAndBody)
{
    const QVariantMap stored = service.addItem("Plan.pdf");
    NBWebItem item;
    item.setHref(QUrl(stored.value("href").toString()));
    item.setURL(QUrl(stored.value("url").toString()));
    const QString itemPath = item.href().path();

    struct Row
    {
        const char *name;
        std::function<QString()> call;
        QByteArray method;
        QString pathAndQuery;
        QByteArray body;
        const char *callback;
    };
    const QList<Row> rows{
        {"account", [&] { return engine.getAccountInformationWithUserInfo(7); }, "GET", "/account", "",
         "accountInformation"},
        {"list", [&] { return engine.getItemListStartingAtPageOfTypeItemsPerPageUserInfo(2, NBWebItemTypeImage, 10, 7); },
         "GET", "/items?page=2&per_page=10&deleted=false&type=image", "", "itemList"},
        {"rename", [&] { return engine.changeNameOfItemToNameUserInfo(item, "Chart.pdf", 7); }, "PUT", itemPath,
         R"({"item":{"name":"Chart.pdf"}})", "itemUpdate"},
        {"privacy", [&] { return engine.changePrivacyOfItemToPrivateUserInfo(item, true, 7); }, "PUT", itemPath,
         R"({"item":{"private":"true"}})", "itemUpdate"},
        {"delete", [&] { return engine.deleteItemUserInfo(item, 7); }, "DELETE", itemPath, "", "itemDeletion"},
        {"restore", [&] { return engine.restoreItemUserInfo(item, 7); }, "PUT", itemPath,
         R"({"deleted":true,"item":{"deleted_at":null}})", "itemRestoration"},
        {"bookmark",
         [&] {
             return engine.bookmarkLinkWithURLNameOptionsUserInfo(
                 QUrl("http://example.org/"), "", {{NBAPIEngineUploadOptionPrivacyKey, "public"}}, 7);
         },
         "POST", "/items", R"({"item":{"name":"http://example.org/","private":"false","redirect_url":"http://example.org/"}})",
         "bookmark"},
        {"item information", [&] { return engine.getItemInformationUserInfo(item, 7); }, "GET", item.URL().path(), "",
         "itemInformation"},
        {"register", [&] { return engine.createAccountWithEmailPasswordAcceptTermsUserInfo("new@example.org", "pw", true, 7); },
         "POST", "/register", R"({"user":{"accept_tos":true,"email":"new@example.org","password":"pw"}})",
         "accountCreation"},
        {"store products", [&] { return engine.getStoreProductsWithUserInfo(7); }, "GET", "/purchases", "", "products"},
    };
    for (const Row &row : rows) {
        service.server.requests.clear();
        const QString identifier = row.call();
        const QList<Event> events = outcome(identifier);
        ASSERT_EQ(events.size(), 2) << row.name;
        EXPECT_EQ(events[0].kind, "succeed") << row.name;
        EXPECT_EQ(events[1].kind, row.callback) << row.name << " " << qPrintable(events[1].error.localizedDescription);
        EXPECT_EQ(events[1].userInfo, 7) << row.name;
        const StandInRequest &request = service.server.requests.last();
        EXPECT_EQ(request.method, row.method) << row.name;
        EXPECT_EQ(QUrl::fromPercentEncoding(request.url.toEncoded()), row.pathAndQuery) << row.name;
        EXPECT_EQ(request.body, row.body) << row.name;
        EXPECT_EQ(request.headers.value("accept"), "application/json") << row.name;
        EXPECT_EQ(request.headers.value("content-type"), row.body.isEmpty() ? "" : "application/json") << row.name;
    }
    // The results are the service's records.
    EXPECT_EQ(service.items.at(1).value("name"), "Chart.pdf");
    EXPECT_EQ(service.items.at(1).value("private"), "true");
    EXPECT_EQ(delegate.events[1].account->email(), "ann@example.org");
    EXPECT_EQ(delegate.events[3].items->size(), 1);
}

TEST_F(APIEngineTest, UploadSendsParametersThenTheFileAndAHostileNameStaysOnePart)
{
    const QByteArray file(300000, 'x');
    const QString identifier = engine.uploadFileWithNameFileDataOptionsUserInfo(
        "Re\u0301sume\u0301.pdf", file, {{NBAPIEngineUploadOptionPrivacyKey, "private"}}, "context");
    const QList<Event> events = outcome(identifier);
    ASSERT_GE(events.size(), 3);
    EXPECT_EQ(events.last().kind, "upload");
    EXPECT_EQ(events.last().item->name(), "R\u00e9sum\u00e9.pdf");
    EXPECT_EQ(events[events.size() - 2].kind, "succeed");
    QList<double> progress;
    for (const Event &event : events) {
        EXPECT_EQ(event.userInfo, "context");
        if (event.kind == QLatin1String("progress"))
            progress.append(event.progress);
    }
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_DOUBLE_EQ(progress.last(), 1.0);

    ASSERT_EQ(service.server.requests.size(), 3); // parameters (challenged, then answered) and storage
    EXPECT_EQ(QUrlQuery(service.server.requests[1].url).queryItemValue("item[private]"), "true");
    EXPECT_EQ(service.server.requests[2].headers.value("content-type"),
              "multipart/form-data; boundary=-----NBRequestBoundary-----; charset=UTF-8");
    const QList<StandInService::Part> &parts = service.lastUploadParts;
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(parts[0].content, "public-read");
    EXPECT_EQ(parts[1].content, "uploads/${filename}");
    EXPECT_EQ(parts[2].headers.value("content-type"), "application/pdf");
    EXPECT_EQ(parts[2].content, file);

    // A file that holds the usual boundary is sent with another one, and arrives whole.
    const QByteArray lookalike = "a\r\n-------NBRequestBoundary-------\r\nContent-Disposition: form-data; name=\"key\"\r\n\r\nz";
    EXPECT_EQ(finalEvent(engine.uploadFileWithNameFileDataUserInfo("b.bin", lookalike)).kind, "upload");
    const QByteArray contentType = service.server.requests.last().headers.value("content-type");
    EXPECT_NE(contentType, "multipart/form-data; boundary=-----NBRequestBoundary-----; charset=UTF-8");
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(parts[0].content, "public-read");
    EXPECT_EQ(parts[2].content, lookalike);

    // A hostile file name stays one file part.
    const QString hostile = "a.pdf\"\r\nContent-Type: text/html\r\n\r\n-------NBRequestBoundary-----\r\n"
                            "Content-Disposition: form-data; name=\"key\"\r\n\r\nstolen";
    EXPECT_EQ(finalEvent(engine.uploadFileWithNameFileDataUserInfo(hostile, "data")).kind, "upload");
    ASSERT_EQ(parts.size(), 3); // the same record, of the second upload
    EXPECT_EQ(parts[1].content, "uploads/${filename}");
    const QByteArray disposition = parts[2].headers.value("content-disposition");
    EXPECT_TRUE(disposition.startsWith("form-data; name=\"file\"; filename=\"a.pdf%22%0D%0AContent-Type"));
    EXPECT_EQ(parts[2].headers.value("content-type"), "application/octet-stream");
    EXPECT_EQ(parts[2].content, "data");
}

TEST_F(APIEngineTest, UploadLimitsOfTheFirstAnswer)
{
    constexpr qint64 kMegabyte = 1048576;
    const QByteArray file(2 * kMegabyte + 1, 'x');
    struct Row
    {
        const char *name;
        std::optional<qint64> remaining;
        std::optional<qint64> maximum;
        int code; // 0: uploaded
        QString message;
    };
    const QList<Row> rows{
        {"no limits sent", {}, {}, 0, {}},
        {"last upload of the day", 1, file.size(), 0, {}},
        {"no uploads left", 0, {}, NBAPIEngineErrorUploadLimit,
         "You've reached the daily upload limit allowed by the Free plan. Grab one of our snazzy Pro plans and never "
         "see this message again."},
        {"one byte too large", {}, file.size() - 1, NBAPIEngineErrorFileTooLarge,
         "This file is too large. You can upload files up to 2MB but this file is 2MB."},
    };
    for (const Row &row : rows) {
        service.uploadsRemaining = row.remaining;
        service.maximumUploadSize = row.maximum;
        const Event event = finalEvent(engine.uploadFileWithNameFileDataUserInfo("big.bin", file));
        if (row.code == 0) {
            EXPECT_EQ(event.kind, "upload") << row.name;
            continue;
        }
        ASSERT_EQ(event.kind, "fail") << row.name;
        EXPECT_EQ(event.error.domain, NBAPIEngineErrorDomain) << row.name;
        EXPECT_EQ(event.error.code, row.code) << row.name;
        EXPECT_EQ(event.error.requestType(), NBAPIRequestTypeUploadParameters) << row.name;
        EXPECT_EQ(event.error.statusCode(), 200) << row.name;
        EXPECT_EQ(event.error.messages(), QStringList{row.message}) << row.name;
        EXPECT_EQ(event.error.recoverySuggestion, row.message) << row.name;
    }
}

TEST_F(APIEngineTest, AnswersThatAreNotSuccessesFailOnce)
{
    struct Row
    {
        const char *name;
        QString path;
        StandInResponse response;
        QString domain;
        int code;
        qint64 requestType;
    };
    const QList<Row> rows{
        {"service refuses with messages", "/account", jsonResponse(422, QVariantList{"Name taken", "Too short"}),
         NBAPIEngineErrorDomain, -1, NBAPIRequestTypeGetAccountInformation},
        {"server error", "/account", {500, "oops"}, NBAPIEngineErrorDomain, -1, NBAPIRequestTypeGetAccountInformation},
        {"bad JSON", "/account", {200, "{\"email\":"}, NBURLErrorDomain, NBURLErrorBadServerResponse,
         NBAPIRequestTypeGetAccountInformation},
        {"account without e-mail", "/account", jsonResponse(201, QVariantMap{{"subscribed", true}}), NBURLErrorDomain,
         NBURLErrorBadServerResponse, NBAPIRequestTypeGetAccountInformation},
        {"empty success", "/account", {200, ""}, NBURLErrorDomain, NBURLErrorBadServerResponse,
         NBAPIRequestTypeGetAccountInformation},
        {"upload answer not an object", "/items/new", jsonResponse(200, QVariantList{}), NBURLErrorDomain,
         NBURLErrorBadServerResponse, NBAPIRequestTypeUploadParameters},
        {"upload answer without params", "/items/new", jsonResponse(200, QVariantMap{{"url", "http://127.0.0.1:1/"}}),
         NBURLErrorDomain, NBURLErrorBadServerResponse, NBAPIRequestTypeUploadFile},
    };
    for (const Row &row : rows) {
        service.overrides = {{row.path, row.response}};
        const QString identifier = row.path == QLatin1String("/account")
            ? engine.getAccountInformationWithUserInfo()
            : engine.uploadFileWithNameFileDataUserInfo("a.pdf", "x");
        const Event event = finalEvent(identifier);
        ASSERT_EQ(event.kind, "fail") << row.name;
        EXPECT_EQ(event.error.domain, row.domain) << row.name;
        EXPECT_EQ(event.error.code, row.code) << row.name;
        EXPECT_EQ(event.error.requestType(), row.requestType) << row.name;
    }
    const Event refused = delegate.events.first();
    EXPECT_EQ(refused.error.statusCode(), 422);
    EXPECT_EQ(refused.error.messages(), QStringList({"Name taken", "Too short"}));
    EXPECT_EQ(refused.error.recoverySuggestion, "\u2022 Name taken\n\u2022 Too short\n");

    // An answer longer than the engine reads ends the request with a clear error, the account
    // answer as the upload's first step.
    engine.setMaximumAnswerSize(1000);
    const QVariantMap large{{"email", "ann@example.org"}, {"padding", QString(2000, QLatin1Char('x'))}};
    for (const QString path : {"/account", "/items/new"}) {
        service.overrides = {{path, jsonResponse(200, large)}};
        const Event tooLarge = finalEvent(path == QLatin1String("/account") ? engine.getAccountInformationWithUserInfo()
                                                                           : engine.uploadFileWithNameFileDataUserInfo("a.pdf", "x"));
        ASSERT_EQ(tooLarge.kind, "fail") << qPrintable(path);
        EXPECT_EQ(tooLarge.error.domain, NBURLErrorDomain);
        EXPECT_EQ(tooLarge.error.code, NBURLErrorDataLengthExceedsMaximum);
        EXPECT_TRUE(tooLarge.error.localizedDescription.contains(QStringLiteral("larger than"))) << qPrintable(path);
    }
    engine.setMaximumAnswerSize(NBAPIEngine::kDefaultMaximumAnswerSize);

    // 304 is a success, and its empty body a result of nothing.
    service.overrides = {{"/account", {304, ""}}};
    const QList<Event> notModified = outcome(engine.getAccountInformationWithUserInfo());
    ASSERT_EQ(notModified.size(), 2);
    EXPECT_EQ(notModified[1].kind, "accountInformation");
    EXPECT_TRUE(notModified[1].nullResult);
}

TEST_F(APIEngineTest, CallsThatCannotBeSentFailOnTheNextPassWithTheirOwnIdentifier)
{
    const auto refusalCode = [&](const QString &identifier) {
        EXPECT_FALSE(identifier.isEmpty());
        EXPECT_TRUE(delegate.events.isEmpty() || delegate.events.last().identifier != identifier); // not at once
        const Event event = finalEvent(identifier);
        EXPECT_EQ(event.kind, "fail");
        EXPECT_EQ(event.userInfo, "mine");
        return event.error.code;
    };
    EXPECT_EQ(refusalCode(engine.deleteItemUserInfo(NBWebItem("no href"), "mine")), NBAPIEngineErrorInvalidRequest);
    EXPECT_EQ(refusalCode(engine.changeNameOfItemAtHrefToNameUserInfo(QUrl(service.server.url("/items/1")), "", "mine")),
              NBAPIEngineErrorInvalidRequest);
    EXPECT_EQ(refusalCode(engine.getItemInformationUserInfo(NBWebItem(), "mine")), NBAPIEngineErrorInvalidRequest);
    engine.setPassword(QString());
    EXPECT_FALSE(engine.isReady());
    EXPECT_EQ(refusalCode(engine.getAccountInformationWithUserInfo("mine")), NBAPIEngineErrorNotReady);
    EXPECT_EQ(refusalCode(engine.uploadFileWithNameFileDataUserInfo("a.pdf", "x", "mine")), NBAPIEngineErrorNotReady);
    EXPECT_EQ(refusalCode(engine.createAccountWithEmailPasswordAcceptTermsUserInfo("a@b.c", "", true, "mine")),
              NBAPIEngineErrorInvalidRequest);
    EXPECT_TRUE(service.server.requests.isEmpty());

    // A refusal cancelled before the loop runs is never reported.
    delegate.events.clear();
    engine.cancelConnection(engine.getAccountInformationWithUserInfo());
    runUntilIdle();
    EXPECT_TRUE(delegate.events.isEmpty());
}

TEST_F(APIEngineTest, StalledRequestsEndWithATimeout)
{
    engine.setTimeoutInterval(0.2);
    service.overrides = {{"/account", StandInResponse(200, "", {}, true)}};
    Event event = finalEvent(engine.getAccountInformationWithUserInfo());
    EXPECT_EQ(event.error.domain, NBURLErrorDomain);
    EXPECT_EQ(event.error.code, NBURLErrorTimedOut);

    // The storage stops reading the file: the upload stalls part way and times out.
    service.server.stallPath = "/storage";
    const QString identifier = engine.uploadFileWithNameFileDataUserInfo("big.bin", QByteArray(48 * 1048576, 'x'));
    ASSERT_TRUE(waitFor([&] { return !outcome(identifier).isEmpty() && outcome(identifier).last().isFinal(); }, 10000));
    const QList<Event> events = outcome(identifier);
    EXPECT_EQ(events.last().error.code, NBURLErrorTimedOut);
    EXPECT_EQ(events.last().error.requestType(), NBAPIRequestTypeUploadFile);
    EXPECT_LT(events[events.size() - 2].progress, 1.0);
    EXPECT_TRUE(engine.connectionIdentifiers().isEmpty());
}

TEST_F(APIEngineTest, CancelledUploadsStopWithoutCallback)
{
    service.overrides = {{"/items/new", StandInResponse(200, "", {}, true)}};
    const QString first = engine.uploadFileWithNameFileDataUserInfo("a.pdf", "x", "ctx");
    ASSERT_TRUE(waitFor([&] { return service.server.requests.size() == 1; }));
    EXPECT_EQ(engine.userInfoForConnectionIdentifier(first), "ctx");
    EXPECT_EQ(engine.requestTypeForConnectionIdentifier(first), NBAPIRequestTypeUploadParameters);
    engine.cancelConnection(first);

    service.overrides.clear();
    service.server.stallPath = "/storage";
    const QString second = engine.uploadFileWithNameFileDataUserInfo("a.pdf", QByteArray(48 * 1048576, 'x'));
    ASSERT_TRUE(waitFor([&] { return engine.requestTypeForConnectionIdentifier(second) == NBAPIRequestTypeUploadFile; }));
    engine.cancelAllConnections();
    EXPECT_TRUE(engine.connectionIdentifiers().isEmpty());
    EXPECT_EQ(engine.requestTypeForConnectionIdentifier(second), 0);
    runUntilIdle();
    for (const Event &event : delegate.events)
        EXPECT_EQ(event.kind, "progress");
}

TEST_F(APIEngineTest, CredentialsGoOnlyToTheBaseHostAndOnlyOnce)
{
    // A wrong password is tried once: the second challenge ends the request.
    engine.setPassword("wrong");
    Event event = finalEvent(engine.getAccountInformationWithUserInfo());
    EXPECT_EQ(event.error.code, -1);
    EXPECT_EQ(event.error.statusCode(), 401);
    EXPECT_EQ(service.server.requests.size(), 2);
    // What the user may be shown holds no password.
    for (const QString &text : {event.error.localizedDescription, event.error.recoverySuggestion})
        EXPECT_FALSE(text.contains(QStringLiteral("wrong"))) << qPrintable(text);

    // A redirect to another host that challenges gets no credentials, even after the base host
    // accepted them.
    engine.setPassword("secret");
    EXPECT_EQ(finalEvent(engine.getAccountInformationWithUserInfo()).kind, "accountInformation");
    StandInServer other(
        [](const StandInRequest &) {
            return StandInResponse{401, "[]", {{"WWW-Authenticate", "Basic realm=\"StandIn\""}}, false};
        },
        QHostAddress("127.0.0.2"));
    service.overrides = {{"/account", {302, "", {{"Location", other.url("/account").toLatin1()}}}}};
    event = finalEvent(engine.getAccountInformationWithUserInfo());
    EXPECT_EQ(event.error.statusCode(), 401);
    ASSERT_FALSE(other.requests.isEmpty());
    for (const StandInRequest &request : other.requests)
        EXPECT_FALSE(request.headers.contains("authorization"));

    // Only the base URL's scheme, host and port, and plain HTTP only on a loopback host.
    const QList<std::tuple<const char *, const char *, bool>> rows{
        {"https://api.example.com", "https://API.example.com/items/1", true},
        {"https://api.example.com", "https://api.example.com:443/x", true},
        {"https://api.example.com", "http://api.example.com/x", false},
        {"https://api.example.com", "https://files.example.com/x", false},
        {"https://api.example.com", "https://api.example.com:8443/x", false},
        {"http://api.example.com", "http://api.example.com/x", false},
        {"http://127.0.0.1:8080", "http://127.0.0.1:8080/x", true},
        {"http://localhost:8080", "http://localhost:8080/x", true},
        {"http://127.0.0.1:8080", "http://127.0.0.1:8081/x", false},
    };
    for (const auto &[base, challenger, answered] : rows) {
        engine.setBaseURL(QUrl(base));
        EXPECT_EQ(engine.mayAnswerChallengeFromURL(QUrl(challenger)), answered) << base << " " << challenger;
    }
}

TEST_F(APIEngineTest, CookiesOfTheBaseURLAreClearedOnRequest)
{
    service.overrides = {{"/purchases", {200, "[]", {{"Set-Cookie", "session=1; Path=/"}}}}};
    for (bool clears : {false, false, true}) {
        engine.setClearsCookies(clears);
        EXPECT_EQ(finalEvent(engine.getStoreProductsWithUserInfo()).kind, "products");
    }
    ASSERT_EQ(service.server.requests.size(), 3);
    EXPECT_FALSE(service.server.requests[0].headers.contains("cookie"));
    EXPECT_EQ(service.server.requests[1].headers.value("cookie"), "session=1");
    EXPECT_FALSE(service.server.requests[2].headers.contains("cookie"));
}

TEST(APIEngine, BaseURLComesFromTheUserDefault)
{
    DMUserDefaults &defaults = DMUserDefaults::standardUserDefaults();
    defaults.setObjectForKey("http://127.0.0.1:5000/", "NimbrelBaseURL");
    EXPECT_EQ(NBAPIEngine().baseURL(), QUrl("http://127.0.0.1:5000"));
    defaults.setObjectForKey("", "NimbrelBaseURL");
    EXPECT_EQ(NBAPIEngine().baseURL().scheme(), "https");
    defaults.removeObjectForKey("NimbrelBaseURL");
}

} // namespace
