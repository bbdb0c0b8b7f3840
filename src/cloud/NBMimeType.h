#pragma once

#include <QString>

// The MIME type of a file name, from its extension through the shared MIME database;
// "application/octet-stream" when the name has no extension or the extension is not known.
QString NBMimeType(const QString &fileName);
