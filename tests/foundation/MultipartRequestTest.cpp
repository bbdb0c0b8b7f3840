#include "DMMultipartRequest.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// One part of a body: the boundary line, the headers of the named entry (with a file name and
// a content type for data and files) and its contents.
QByteArray part(const QByteArray &name, const QByteArray &contents, const QByteArray &filename = {})
{
    QByteArray text = "--" + DMMultipartRequest::boundary() + "\r\nContent-Disposition: form-data; name=\"" + name + '"';
    if (!filename.isEmpty())
        text += "; filename=\"" + filename + "\"\r\nContent-Type: application/octet-stream";
    return text + "\r\n\r\n" + contents + "\r\n";
}

const QByteArray kEnd = "--" + DMMultipartRequest::boundary() + "--\r\n";

TEST(MultipartRequest, BodyHoldsExactlyOnePartPerEntry)
{
    const QByteArray &boundary = DMMultipartRequest::boundary();
    EXPECT_EQ(boundary.size(), 36);
    for (char c : boundary)
        EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) << c;

    QTemporaryDir folder;
    QFile file(folder.filePath("report.pdf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray pdf("%PDF\0\r\n", 7);
    file.write(pdf);
    file.close();

    const QVariantMap dictionary{{"a_title", QString("Plan ü")},
                                 {"b_file", QUrl::fromLocalFile(file.fileName())},
                                 {"c_data", QByteArray("raw")},
                                 {"d_number", 5}};
    const DMMultipartRequest request =
        requestForMultipartMessageWithURLHTTPMethodDictionary(QUrl("http://127.0.0.1:1/up"), "POST", dictionary);
    EXPECT_EQ(request.body, part("a_title", "Plan \xC3\xBC") + part("b_file", pdf, "report.pdf")
                                + part("c_data", "raw", "c_data") + kEnd);
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.request.url(), QUrl("http://127.0.0.1:1/up"));
    EXPECT_EQ(request.request.rawHeader("Content-Type"), "multipart/form-data; boundary=" + boundary);
}

TEST(MultipartRequest, UnreadableFilesGiveEmptyPartsAndNamesCannotBreakHeaders)
{
    const QVariantMap dictionary{{"missing", QUrl::fromLocalFile("/nonexistent/folder/gone.txt")},
                                 {"web", QUrl("http://example.org/x/page.html")},
                                 {"evil\"\r\nX-Injected: 1", QByteArray("v")}};
    const QByteArray escaped = "evil%22%0D%0AX-Injected: 1";
    EXPECT_EQ(requestForMultipartMessageWithURLHTTPMethodDictionary(QUrl(), "PUT", dictionary).body,
              part(escaped, "v", escaped) + part("missing", "", "gone.txt") + part("web", "", "page.html") + kEnd);
    EXPECT_EQ(requestForMultipartMessageWithURLHTTPMethodDictionary(QUrl(), "POST", {}).body, kEnd);
}

} // namespace

namespace {

TEST(MultipartRequest, ContentsHoldingTheBoundaryGetAnotherOne)
{
    const QByteArray &usual = DMMultipartRequest::boundary();
    const QByteArray pdf = "%PDF\r\n--" + usual + "\r\nContent-Disposition: form-data; name=\"x\"\r\n\r\nforged\r\n--" + usual + "--";
    const DMMultipartRequest request =
        requestForMultipartMessageWithURLHTTPMethodDictionary(QUrl(), "POST", {{"file", pdf}, {"title", QString("Plan")}});
    const QByteArray header = request.request.rawHeader("Content-Type");
    ASSERT_TRUE(header.startsWith("multipart/form-data; boundary="));
    const QByteArray boundary = header.mid(header.indexOf('=') + 1);
    EXPECT_NE(boundary, usual);
    EXPECT_LE(boundary.size(), 70);
    EXPECT_FALSE(pdf.contains(boundary));
    // Cut at the new boundary, the body gives back the two parts whole.
    EXPECT_EQ(request.body.count("--" + boundary), 3);
    EXPECT_TRUE(request.body.contains("filename=\"file\"\r\nContent-Type: application/octet-stream\r\n\r\n" + pdf + "\r\n--" + boundary + "\r\n"));
    EXPECT_TRUE(request.body.endsWith("Plan\r\n--" + boundary + "--\r\n"));

    EXPECT_EQ(multipartBoundaryNotIn(usual, {"plain", "text"}), usual);
}

} // namespace
