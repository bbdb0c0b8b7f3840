#include "NBAPIDeserializer.h"
#include "NBMimeType.h"
#include "NBPOSTBody.h"

#include <gtest/gtest.h>

namespace {

TEST(POSTBody, PartsCloseWithTheBoundaryAndTheLastOneClosesTheBody)
{
    QByteArray body;
    NBPOSTBody::addToHTTPBodyValueForKey(&body, "\u00e9t\u00e9", "key");
    NBPOSTBody::addToHTTPBodyFileDataFileNameMimeTypeForKey(&body, QByteArray("a\0b", 3), QString(), QString(), "file");
    NBPOSTBody::finalizeHTTPBody(&body);
    static const char expected[] = "-------NBRequestBoundary-----\r\n"
                                   "Content-Disposition: form-data; name=\"key\"\r\n\r\n"
                                   "\xC3\xA9t\xC3\xA9\r\n-------NBRequestBoundary-----\r\n"
                                   "Content-Disposition: form-data; name=\"file\"; filename=\"UnknownFileName\"\r\n"
                                   "Content-Type: application/octet-stream\r\n\r\n"
                                   "a\0b\r\n-------NBRequestBoundary-------\r\n";
    EXPECT_EQ(body, QByteArray(expected, sizeof(expected) - 1));

    QByteArray empty;
    NBPOSTBody::finalizeHTTPBody(&empty);
    EXPECT_TRUE(empty.isEmpty());
}

TEST(POSTBody, MimeTypesComeFromTheExtension)
{
    EXPECT_EQ(NBMimeType("Plan.pdf"), "application/pdf");
    EXPECT_EQ(NBMimeType("Chart.JPG"), "image/jpeg");
    EXPECT_EQ(NBMimeType("Makefile"), "application/octet-stream");
    EXPECT_EQ(NBMimeType("data.zz-unknown-extension"), "application/octet-stream");
}

TEST(POSTBody, StorageRequestNeedsAnAddressAndFields)
{
    const QByteArray file("%PDF");
    const auto request = NBAPIDeserializer::URLRequestWithS3ParametersDictionaryData(
        R"({"url":"https://store.example/up","params":{"key":"k","size":5,"skip":null}})", "Re\u0301sume\u0301.pdf", file);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->method, "POST");
    EXPECT_EQ(request->request.url(), QUrl("https://store.example/up"));
    EXPECT_EQ(request->request.rawHeader("Content-Type"),
              "multipart/form-data; boundary=-----NBRequestBoundary-----; charset=UTF-8");
    EXPECT_TRUE(request->body.contains("name=\"size\"\r\n\r\n5\r\n"));
    EXPECT_FALSE(request->body.contains("skip"));
    EXPECT_TRUE(request->body.contains("filename=\"R\xC3\xA9sum\xC3\xA9.pdf\"\r\nContent-Type: application/pdf"));

    for (const QByteArray &answer : {QByteArray(R"({"params":{"key":"k"}})"),
                                     QByteArray(R"({"url":"https://s.example/","params":{}})"),
                                     QByteArray(R"({"url":null,"params":{"key":"k"}})"),
                                     QByteArray(R"({"url":"https://s.example/","params":null})"), QByteArray("[]")})
        EXPECT_FALSE(NBAPIDeserializer::URLRequestWithS3ParametersDictionaryData(answer, "a.pdf", file)) << answer.data();
}

} // namespace
