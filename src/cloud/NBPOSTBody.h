#pragma once

#include <QByteArray>
#include <QString>

// The multipart form-data body of an upload to the service's storage. Each part is written with
// its closing boundary line, so a body is always a complete list of parts; finalizeHTTPBody turns
// the last boundary line into the closing one. Names and file names are escaped by
// multipartContentDispositionLine, so that no name can add a header or a part.
namespace NBPOSTBody {

// "-----NBRequestBoundary-----": the boundary of a body whose parts do not hold it. A body whose
// parts may hold it is written with one that they do not (multipartBoundaryNotIn).
const QByteArray &boundary();

// A form field: the opening boundary line when the body is empty, the field's header, its value
// in UTF-8 and the boundary line.
void addToHTTPBodyValueForKey(QByteArray *body, const QString &value, const QString &key,
                              const QByteArray &boundary = NBPOSTBody::boundary());

// A file part: the file name is "UnknownFileName" when empty, the MIME type
// "application/octet-stream" when empty.
void addToHTTPBodyFileDataFileNameMimeTypeForKey(QByteArray *body, const QByteArray &data, const QString &fileName,
                                                 const QString &mimeType, const QString &key,
                                                 const QByteArray &boundary = NBPOSTBody::boundary());

// Replaces the CRLF that ends the body by "--" CRLF, closing the last boundary line.
void finalizeHTTPBody(QByteArray *body);

} // namespace NBPOSTBody
