#pragma once

#include "NBError.h"

#include <QByteArray>
#include <QDateTime>
#include <QIcon>
#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <functional>

// Told once, on the main thread, how an upload ended: (true, the shared file's link, no error) or
// (false, an empty URL, the error).
using FarseeEndBlock = std::function<void(bool success, const QUrl &url, const NBError &error)>;

// One upload of the sending list: the file sent, while it runs its bytes, its callback and its
// connection, and how it ended (the shared link and the file's address on the service, or the
// failure's description). Running while it has an end block; finished once it has a link or an
// error. The manager owns the records and announces every change of one under its "sendings".
class FarseeSending
{
public:
    // A record for the file name: title, kind and icon follow from it.
    explicit FarseeSending(const QString &filename = QString());

    QString filename;
    QString title;               // the file name without its extension
    QByteArray data;             // the bytes to upload; dropped when the upload ends
    FarseeEndBlock endBlock;     // present only while the upload runs
    QString filetype;            // "movie" or "picture", localized
    QIcon icon;                  // the desktop's icon for the file's extension
    QString connectionIdentifier;
    QDateTime sentDate;          // the start, then the end of the upload
    QString error;               // what went wrong
    double progress = 0;         // the upload's last reported fraction
    QUrl remoteURL;              // the shared link
    QUrl href;                   // the file's address on the service, the target of its deletion

    bool isInProgress() const { return bool(endBlock); }
    bool isFinished() const { return !remoteURL.isEmpty() || !error.isEmpty(); }

    // The localized kind and the icon of a file name's extension.
    static QString filetypeForFileName(const QString &filename);
    static QIcon iconForFileName(const QString &filename);

    // The sending-list file's form of a record: "filename", "title", "progress", "sentDate",
    // "error", "remoteURLString" and "hrefURLString"; absent values are left out.
    QVariantMap fileDictionary() const;
    // A record from that form; values of another type read as absent.
    static FarseeSending withFileDictionary(const QVariantMap &dictionary);

    // The list's order: unfinished before finished, each group by date sent, earliest first.
    static bool listOrderLess(const FarseeSending &a, const FarseeSending &b);
};
