#pragma once

#include "FarseeSending.h"

#include <QList>
#include <QString>

// The sending-list file: an XML property list whose root is an array of the records'
// dictionaries (FarseeSending::fileDictionary).
class FarseeSendingListFile
{
public:
    struct Contents
    {
        QList<FarseeSending> sendings;
        // Set when the file was there but could not be read: what happened to it, for the user.
        QString message;
        // Set when such a file could not be moved aside either: it must not be overwritten.
        bool keepFile = false;
    };

    // A missing file gives an empty list. A file that is not a property-list array is renamed
    // to "<name> (damaged).plist" (or "(damaged 2)" and on) beside it and gives an empty list
    // with a message; entries that are not dictionaries are skipped.
    static Contents read(const QString &path);

    // Writes atomically: the old file stays whole until the new one replaces it.
    static bool write(const QList<FarseeSending> &sendings, const QString &path, QString *error = nullptr);

    // The free name beside the file under which a damaged file is kept.
    static QString setAsidePath(const QString &path);
};
