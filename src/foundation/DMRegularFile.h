#pragma once

#include "DMFileDescriptor.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

struct stat;

// Reads files that come from elsewhere: the entries of a project package, and the files a user
// picks to import, to take a vCard or a picture from, or to attach. Only a regular file is
// opened for reading; a FIFO, a device, a socket or a folder is refused before anything is read,
// so a FIFO never makes the reader wait, and no more than a bound suited to the file's kind is
// read, also from a file that grows while it is read. Refusals are sentences naming the file.
class DMRegularFile
{
public:
    enum Links {
        RefuseLinks, // an entry of a package: a symbolic link is refused, even one to a good file
        FollowLinks  // a file the user picked: a link is followed, and taken only to a regular file
    };

    // The bytes of the file, at most maxSize of them. nullopt with *error set when it is not a
    // regular file ("\"x\" is not a regular file." for a package entry, "\"x\" is not a file that
    // Halcyra can read." for a picked one), is larger ("\"x\" is larger than 16 MB.") or cannot be
    // read ("\"x\" could not be read: Permission denied"); *missing tells an absent file apart.
    static std::optional<QByteArray> read(const QString &path, qint64 maxSize, Links links, QString *error,
                                          bool *missing = nullptr);

    // True when the user may attach what is at the path: a regular file that opens for reading,
    // or a folder that can be listed (a link is followed to either). False with *error set for
    // anything else (a FIFO, a device, a socket, an unreadable file); nothing is read.
    static bool isAttachable(const QString &path, QString *error);

    // Opens for reading the file or folder that `seen` (the path's stat, or lstat for RefuseLinks)
    // describes, and makes sure that what opened is that very one, of the same type: the entry
    // may have been replaced since it was looked at. Opening a FIFO does not wait for a writer,
    // and RefuseLinks does not follow a symbolic link. An invalid descriptor, with *error naming
    // the file as `name`, when it does not open or is not the one seen.
    static DMFileDescriptor openSeen(const QString &path, const struct stat &seen, Links links, const QString &name,
                                     QString *error);

    // The refusal of something that is not a regular file, worded for a package entry or for a
    // picked file; and the one of a file that cannot be read, with the system's reason.
    static QString notRegularMessage(const QString &name, Links links);
    static QString unreadableMessage(const QString &name, int number);
    // The system's text for an errno value ("No space left on device").
    static QString systemError(int number);

    // Called with the path before each file is read; a test makes it throw to stand for a
    // reader that runs out of memory. An empty function removes it.
    static void setReadHookForTesting(std::function<void(const QString &path)> hook);
};
