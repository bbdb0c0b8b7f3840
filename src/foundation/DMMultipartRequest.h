#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkRequest>
#include <QUrl>
#include <QVariantMap>

// A multipart form-data request: the request (URL and "Content-Type" header), its method and
// its body, ready for QNetworkAccessManager::sendCustomRequest(request, method, body).
struct DMMultipartRequest
{
    QNetworkRequest request;
    QByteArray method;
    QByteArray body;

    // The boundary a body is written with when none of its contents holds it: 36 decimal digits
    // and capital letters.
    static const QByteArray &boundary();
};

// A boundary that occurs in none of the contents, so that no byte of a part can end it early:
// the preferred one when it can be, else the preferred one followed by random hexadecimal digits
// (70 characters at most).
QByteArray multipartBoundaryNotIn(const QByteArray &preferred, const QList<QByteArray> &contents);

// One part per entry of the dictionary, in key order, each opened by "--", the boundary and
// CRLF and closed by CRLF; the body ends with "--", the boundary, "--" and CRLF. The boundary is
// one that no part holds (multipartBoundaryNotIn), named in the "Content-Type" header.
// - a QString: a form field named by the key;
// - a QUrl: a file part (name = key, filename = the file's last path component, content type
//   "application/octet-stream") holding the bytes of the local file; an unreadable or non-local
//   file gives an empty part, never a failure;
// - a QByteArray: a file part whose name and filename are both the key.
// Values of other types make no part. A '"', CR or LF in a name or file name is written as
// %22, %0D or %0A so that it cannot end the header early.
DMMultipartRequest requestForMultipartMessageWithURLHTTPMethodDictionary(const QUrl &url, const QByteArray &method,
                                                                         const QVariantMap &dictionary);

// The "Content-Disposition: form-data" header line of one part, CRLF included: the field's name
// and, for a file part (fileName given, possibly empty), its file name. Every multipart body is
// written through it, so that the escaping above holds for all of them.
QByteArray multipartContentDispositionLine(const QString &name, const QString *fileName = nullptr);
