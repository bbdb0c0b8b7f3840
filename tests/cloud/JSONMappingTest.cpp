#include "DMPropertyList.h"
#include "NBAPIDeserializer.h"
#include "NBAPISerializer.h"

#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

enum class Record { Item, Account, List };

QString dateText(const QDateTime &date)
{
    return date.isValid() ? date.toUTC().toString(Qt::ISODate) : QString();
}

// The fields of what was read, flattened so that a row can name the ones it is about; {"nil"}
// when nothing was read.
QVariantMap read(Record record, const QByteArray &json)
{
    if (record == Record::List) {
        const auto items = NBAPIDeserializer::webItemArrayWithJSONArrayData(json);
        return items ? QVariantMap{{"count", items->size()}} : QVariantMap{{"nil", true}};
    }
    if (record == Record::Account) {
        const auto account = NBAPIDeserializer::accountWithJSONDictionaryData(json);
        if (!account)
            return {{"nil", true}};
        QVariantMap fields{{"email", account->email()},
                           {"type", account->type()},
                           {"alpha", account->isAlphaUser()},
                           {"domain", QString::fromLatin1(account->domain().toEncoded())},
                           {"expires", dateText(account->subscriptionExpiresAt())},
                           {"socket", bool(account->socket())}};
        if (const auto socket = account->socket()) {
            fields.insert("appID", socket->appID());
            fields.insert("channels", socket->channels() ? QVariant(*socket->channels()) : QVariant("nil"));
        }
        return fields;
    }
    const auto item = NBAPIDeserializer::webItemWithJSONDictionaryData(json);
    if (!item)
        return {{"nil", true}};
    return {{"name", item->name()},
            {"type", item->type()},
            {"viewCount", item->viewCount()},
            {"URL", QString::fromLatin1(item->URL().toEncoded())},
            {"remoteURL", QString::fromLatin1(item->remoteURL().toEncoded())},
            {"href", QString::fromLatin1(item->href().toEncoded())},
            {"private", item->isPrivate()},
            {"trashed", item->isTrashed()},
            {"createdAt", dateText(item->createdAt())},
            {"deletedAt", dateText(item->deletedAt())}};
}

struct MappingRow
{
    const char *name;
    Record record;
    QByteArray json;
    QVariantMap expected; // the fields this row is about
};

TEST(JSONMapping, AnswersMapByTheServiceRules)
{
    const QList<MappingRow> rows{
        {"type in capitals", Record::Item, R"({"item_type":"IMAGE"})", {{"type", 0}}},
        {"type outside the table", Record::Item, R"({"item_type":"spreadsheet"})", {{"type", 6}}},
        {"bookmark without name is named by its Unicode address", Record::Item,
         R"({"item_type":"bookmark","redirect_url":"http://b\u00fccher.example/a?q=1"})",
         {{"name", "http://b\u00fccher.example/a?q=1"}, {"remoteURL", "http://xn--bcher-kva.example/a?q=1"}}},
        {"bookmark keeps its own name", Record::Item,
         R"({"item_type":"bookmark","name":"Plan","redirect_url":"http://example.org/"})", {{"name", "Plan"}}},
        {"other kinds read remote_url", Record::Item,
         R"({"item_type":"text","remote_url":"https://files.example/x.txt","redirect_url":"http://no/"})",
         {{"remoteURL", "https://files.example/x.txt"}}},
        {"deleted_at null is not trashed", Record::Item, R"({"deleted_at":null})", {{"trashed", false}}},
        {"deleted_at date is trashed", Record::Item, R"({"deleted_at":"2024-01-02T03:04:05Z"})",
         {{"trashed", true}, {"deletedAt", "2024-01-02T03:04:05Z"}}},
        {"date without Z", Record::Item, R"({"created_at":"2024-01-02T03:04:05"})", {{"createdAt", ""}}},
        {"date with fractional seconds", Record::Item, R"({"created_at":"2024-01-02T03:04:05.250Z"})",
         {{"createdAt", ""}}},
        {"day that does not exist", Record::Item, R"({"created_at":"2023-02-30T03:04:05Z"})", {{"createdAt", ""}}},
        {"private given as a string", Record::Item, R"({"private":"true"})", {{"private", true}}},
        {"view count beyond doubles stays exact", Record::Item, R"({"view_counter":9007199254740993})",
         {{"viewCount", qint64(9007199254740993)}}},
        {"values of the wrong type read as absent", Record::Item, R"({"href":5,"name":["x"],"url":null})",
         {{"href", ""}, {"name", ""}, {"URL", ""}}},
        {"Unicode short link", Record::Item, R"({"url":"http://\u00e9t\u00e9.example/s/1"})",
         {{"URL", "http://xn--t-9fab.example/s/1"}}},
        {"a host IDNA refuses gives no link", Record::Item, R"({"url":"http://a b\u00e9.example/"})",
         {{"URL", ""}}},
        {"a NUL cannot cut a host short", Record::Item, R"({"url":"http://a\u0000b\u00e9.example/"})",
         {{"URL", ""}}},
        {"subscribed false", Record::Account, R"({"subscribed":false})", {{"type", 0}}},
        {"subscribed true", Record::Account, R"({"subscribed":true,"alpha":1})", {{"type", 1}, {"alpha", true}}},
        {"subscription end is a day", Record::Account, R"({"subscription_expires_at":"2025-12-31"})",
         {{"expires", "2025-12-31T00:00:00Z"}}},
        {"channels array leaves channels nil", Record::Account, R"({"socket":{"channels":[1,2]}})",
         {{"socket", true}, {"channels", "nil"}}},
        {"channels object is kept", Record::Account, R"({"socket":{"channels":{"a":"b"}}})",
         {{"channels", QVariantMap{{"a", "b"}}}}},
        {"app id read as 32 bits", Record::Account, R"({"socket":{"app_id":4294967301}})", {{"appID", 5}}},
        {"socket that is not an object", Record::Account, R"({"socket":"x"})", {{"socket", false}}},
        {"array where an object is expected", Record::Item, "[]", {{"nil", true}}},
        {"object where an array is expected", Record::List, "{}", {{"nil", true}}},
        {"list element that is not an object", Record::List, R"([{},3])", {{"nil", true}}},
        {"list in order", Record::List, R"([{},{}])", {{"count", 2}}},
        {"not JSON", Record::Account, "{\"email\":", {{"nil", true}}},
        {"invalid UTF-8", Record::Item, "{\"name\":\"\xC3\x28\"}", {{"nil", true}}},
        {"nesting too deep", Record::Item, "{\"a\":" + QByteArray(300, '[') + QByteArray(300, ']') + "}",
         {{"nil", true}}},
    };
    for (const MappingRow &row : rows) {
        const QVariantMap fields = read(row.record, row.json);
        for (auto it = row.expected.cbegin(); it != row.expected.cend(); ++it)
            EXPECT_EQ(fields.value(it.key()), it.value()) << row.name << ": " << qPrintable(it.key());
    }
}

TEST(JSONMapping, RequestBodiesEncodeAddressesAndRefuseWhatIsMissing)
{
    // The bodies the engine sends are checked against the stand-in service; here the edge cases.
    EXPECT_EQ(NBAPISerializer::bookmarkWithURLNamePrivate(QUrl("http://example.org/a b"), "A", false),
              R"({"item":{"name":"A","private":"false","redirect_url":"http://example.org/a%20b"}})");
    EXPECT_TRUE(NBAPISerializer::accountWithEmailPasswordAcceptTerms("a@b.c", "", true).isEmpty());
    EXPECT_TRUE(NBAPISerializer::itemWithName(QString()).isEmpty());
    EXPECT_TRUE(NBAPISerializer::bookmarkWithURLName(QUrl(), "A").isEmpty());
    EXPECT_TRUE(NBAPISerializer::JSONDataFromDictionary({{"colour", QColor(Qt::red)}}).isEmpty());
    EXPECT_EQ(NBAPISerializer::webItemTypeStringForType(NBWebItemTypeVideo), "video");
    EXPECT_EQ(NBAPISerializer::webItemTypeStringForType(NBWebItemTypeAll), "unknown");
}

TEST(JSONMapping, RecordsSurviveAPropertyListArchive)
{
    NBWebItem item("Plan \u00e9t\u00e9.pdf", NBWebItemTypeText, 42);
    item.setURL(QUrl("https://nb.example/s/abc"));
    item.setHref(QUrl("https://api.nb.example/items/7"));
    item.setRemoteURL(QUrl("https://files.example/a%20b.pdf"));
    item.setMimeType("application/pdf");
    item.setPrivate(true);
    item.setTrashed(true);
    item.setCreatedAt(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), QTimeZone::utc()));
    QImage icon(4, 4, QImage::Format_ARGB32);
    icon.fill(Qt::blue);
    item.setIcon(icon);

    NBAccount account("ann@example.org");
    account.setType(1);
    auto socket = std::make_shared<NBSocket>();
    socket->setChannels(QVariantMap{{"updates", "private-7"}});
    account.setSocket(socket);

    const auto throughPropertyList = [](const QVariantMap &archive) {
        QString error;
        const QByteArray data = DMPropertyList::dataWithPropertyList(archive, DMPropertyList::XML, &error);
        EXPECT_FALSE(data.isEmpty()) << qPrintable(error);
        return DMPropertyList::propertyListWithData(data).toMap();
    };
    const NBWebItem readItem = NBWebItem::webItemWithArchive(throughPropertyList(item.archive()));
    EXPECT_EQ(readItem.icon().convertToFormat(QImage::Format_ARGB32), icon);
    item.setIcon(readItem.icon());
    EXPECT_EQ(readItem, item);

    const NBAccount readAccount = NBAccount::accountWithArchive(throughPropertyList(account.archive()));
    EXPECT_EQ(readAccount.email(), "ann@example.org");
    EXPECT_EQ(readAccount.type(), 1);
    ASSERT_TRUE(readAccount.socket());
    EXPECT_EQ(*readAccount.socket(), *socket);
    EXPECT_EQ(NBAccount(account).socket(), socket); // a copy shares its socket
}

} // namespace
