#pragma once

#include "DMFileDescriptor.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The file operations behind project packages. A package may come from anyone, so they never
// open a FIFO or a device, never follow a symbolic link found inside a package, and name the
// system's own error ("No space left on device") when they fail. Its files are read with
// DMRegularFile, refusing links.
class DMPackageFiles
{
public:
    // What is at a path, without following a symbolic link there.
    enum Kind { Missing, RegularFile, Folder, SymbolicLink, Other };
    static Kind kindOf(const QString &path);

    // Creates the file (it must not exist), writes the bytes and forces them to disk.
    static bool writeNewFile(const QString &path, const QByteArray &data, QString *error);
    static bool makeFolder(const QString &path, QString *error);
    // Forces a folder's entries (or a file's contents) to disk.
    static bool sync(const QString &path, QString *error);

    struct CopyResult
    {
        enum Status {
            Copied,
            Refused, // the source cannot be taken: not a file or folder, unreadable...
            Failed   // writing the destination failed: the disk is full...
        };
        Status status = Copied;
        QString message;     // why, for Refused and Failed
        QStringList leftOut; // entries inside a copied folder that were not taken, with why
    };
    enum CopyOption {
        FollowSourceLink = 1, // the source itself may be a symbolic link (a file the user chose)
        LinkFiles = 2         // regular files are hard-linked where the file system allows it
    };
    // Copies a regular file or a folder tree to destination, which must not exist. Inside a
    // folder, symbolic links, FIFOs, devices and sockets are left out, never followed or
    // opened. Every copied file is forced to disk; every folder made is appended to
    // *createdFolders so the caller can sync it.
    static CopyResult copy(const QString &source, const QString &destination, int options,
                           QStringList *createdFolders);

    // Removes a file or folder tree without following any symbolic link in it. False when
    // something could not be removed.
    static bool removeTree(const QString &path);

    // Swaps the two entries in one atomic step. nullopt when the file system cannot, false
    // with *error set when it failed for another reason.
    static std::optional<bool> exchange(const QString &first, const QString &second, QString *error);
    static bool rename(const QString &from, const QString &to, QString *error);

    // True when the process may change the folder's entries; false with *error set otherwise
    // (a read-only folder, file system or immutable flag).
    static bool isWritable(const QString &path, QString *error);

    // An exclusive advisory lock on a folder, held while the object lives and released by the
    // system when the process dies, so a crashed save never leaves a stale lock.
    class FolderLock
    {
    public:
        // wait false: gives up at once when another process holds it.
        FolderLock(const QString &path, bool wait);
        // True when another process holds the lock.
        bool isHeldElsewhere() const { return m_heldElsewhere; }

    private:
        DMFileDescriptor m_descriptor;
        bool m_heldElsewhere = false;
    };
};
