#include "DMMultipartRequest.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(MultipartRequest, BoundaryIs36DigitsAndCapitals)
{
    const QByteArray &boundary = DMMultipartRequest::boundary();
    EXPECT_EQ(boundary.size(), 36);
    for (char c : boundary)
        EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) << c;
}

TEST(MultipartRequest, BodyHoldsExactlyOnePartPerEntry)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath("report.pdf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("%PDF\0\r\n", 7));
    file.close();

    const QVariantMap dictionary{{"a_title", QString("Plan ü")},
                                 {"b_file", QUrl::fromLocalFile(path)},
                                 {"c_data", QByteArray("raw")},
                                 {"d_number", 5}};
    const DMMultipartRequest request =
        requestForMultipartMessageWithURLHTTPMethodDictionary(QUrl("http://127.0.0.1:1/up"), "POST", dictionary);

    const QByteArray b = DMMultipartRequest::boundary();
    const QByteArray expected = "--" + b + "\r\n"
        "Content-Disposition: form-data; name=\"a_title\"\r\n\r\n"
        "Plan \xC3\xBC\r\n"
        "--" + b + "\r\n"
        "Content-Disposition: form-data; name=\"b_file\"; filename=\"report.pdf\"\r\n"
        "Content-Type: application/octet-stream\r\n\r\n"
        + QByteArray("%PDF\0\r\n", 7) + "\r\n"
        "--" + b + "\r\n"
        "Content-Disposition: form-data; name=\"c_data\"; filename=\"c_data\"\r\n"
        "Content-Type: application/octet-stream\r\n\r\n"
        "raw\r\n"
        "--" + b + "--\r\n";
    EXPECT_EQ(request.body, expected);
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.request.url(), QUrl("http://127.0.0.1:1/up"));
    EXPECT_EQ(request.request.rawHeader("Content-Type"), "multipart/form-data; boundary=" + b);
}

TEST(MultipartRequest, UnreadableFilesGiveEmptyPartsAndNamesCannotBreakHeaders)
{
    const QVariantMap dictionary{{"missing", QUrl::fromLocalFile("/nonexistent/folder/gone.txt")},
                                 {"web", QUrl("http://example.org/x/page.html")},
                                 {"evil\"\r\nX-Injected: 1", QByteArray("v")}};
    const QByteArray body = requestForMultipartMessageWithURLHTTPMethodDictionary(QUrl(), "PUT", dictionary).body;
    const QByteArray b = DMMultipartRequest::boundary();
    const QByteArray expected = "--" + b + "\r\n"
        "Content-Disposition: form-data; name=\"evil%22%0D%0AX-Injected: 1\"; filename=\"evil%22%0D%0AX-Injected: 1\"\r\n"
        "Content-Type: application/octet-stream\r\n\r\n"
        "v\r\n"
        "--" + b + "\r\n"
        "Content-Disposition: form-data; name=\"missing\"; filename=\"gone.txt\"\r\n"
        "Content-Type: application/octet-stream\r\n\r\n"
        "\r\n"
        "--" + b + "\r\n"
        "Content-Disposition: form-data; name=\"web\"; filename=\"page.html\"\r\n"
        "Content-Type: application/octet-stream\r\n\r\n"
        "\r\n"
        "--" + b + "--\r\n";
    EXPECT_EQ(body, expected);

    EXPECT_EQ(requestForMultipartMessageWithURLHTTPMethodDictionary(QUrl(), "POST", {}).body, "--" + b + "--\r\n");
}

} // namespace
