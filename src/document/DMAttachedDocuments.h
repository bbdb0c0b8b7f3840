#pragma once

#include "DMProjectPackage.h"

#include <QSet>
#include <QString>
#include <QVariantMap>

class DMProject;

// The project's attached-documents table (kDMProject_AttachedDocumentsTable): table key to a
// record with kDMProject_AttachedDocument_Path (the name inside the package's "Documents", or
// the outside path while kDMProject_AttachedDocument_PendingAttachment is on) and a reference
// count. Releasing never drops an entry, so an undone removal still finds its file; only an
// entry whose file cannot be had is dropped, when a package is read or saved.
//
// A pending entry names a file anywhere on the user's disks, to be copied into the package at
// the next save. Only the user's choice in this session makes one: a package is never written
// with pending entries, and those found in a package that is read are dropped, so a received
// package cannot make a save copy the user's files into it.
class DMAttachedDocuments
{
public:
    static const QString kReferenceCount; // "kDMProject_AttachedDocument_ReferenceCount"

    // Attaches the file: an entry for the same pending path, or a stored copy with the same
    // name and contents, is reused; otherwise a new pending entry is made under a key unique in
    // the table. The entry's reference count goes up. Returns the key (empty for no path).
    static QString addDocument(QVariantMap *table, const QString &path, const QString &documentsFolder,
                               bool *isNewEntry = nullptr);
    // Lowers the entry's reference count (not below 0).
    static void releaseDocument(QVariantMap *table, const QString &key);
    // Raises the count of an entry the table has (the opposite of releaseDocument).
    static void retainDocument(QVariantMap *table, const QString &key);
    // True for an entry that nothing refers to any more: its reference count is 0. An entry
    // without a count is taken to be referred to.
    static bool isUnreferenced(const QVariantMap &record);
    // The table with each entry's count set to the references the project holds: its own list
    // and the lists of its items and events. A document counts this way when it takes a
    // project, which no undo step can refer to yet; counts read from a file may be missing
    // (earlier versions) or stale.
    static QVariantMap tableCountingReferences(const QVariantMap &table, const DMProject &project);

    // The table with every stored entry that nothing refers to set aside: its file is copied
    // (hard-linked where possible) out of the package's "Documents" into a folder of its own
    // inside setAsideFolder, and the entry becomes a pending one of that copy, so that a save
    // leaves it out of the package while an undo that refers to it again still finds it. An
    // entry whose file cannot be set aside stays as it is.
    static QVariantMap tableWithUnreferencedSetAside(const QVariantMap &table, const QString &documentsFolder,
                                                     const QString &setAsideFolder);

    struct SavePlan
    {
        QVariantMap table; // the table once the package is written
        QStringList keptDocuments;
        QList<DMProjectPackage::Attachment> newDocuments;
    };
    // What a save copies: every stored document, and (with copyPending) every pending one whose
    // file still exists and that something refers to, under a name unique inside "Documents".
    static SavePlan planSave(const QVariantMap &table, bool copyPending);

    // The table as it may be taken from a package whose "Documents" folder is given: pending
    // entries are dropped, and so is every stored entry that does not name a regular file or a
    // real folder directly inside that folder (a path with "/" or "..", a missing file, a
    // symbolic link, a FIFO or device). Each drop adds a line to *problems.
    static QVariantMap tableReadFromPackage(const QVariant &table, const QString &documentsFolder,
                                            QStringList *problems);
    // The file an entry of the table names: a stored entry's name directly inside the given
    // "Documents" folder (a regular file or a real folder, never through a symbolic link), or a
    // pending entry's path as the user chose it in this session. Empty, with *error saying why,
    // for no entry or an entry that would lead elsewhere; such a file is never opened.
    static QString resolvedPath(const QVariant &entry, const QString &documentsFolder, QString *error);
    // The table without the stored entries of the dropped names; without pending entries too
    // unless withPending (the table written into a package has none).
    static QVariantMap tableWithoutEntries(const QVariantMap &table, const QStringList &droppedNames, bool withPending);

    // The files of items copied to the clipboard, by table key, as their project resolved them
    // when they were copied: kept in this process under the returned token, which the copy's
    // payload carries. The clipboard holds whatever any program put there, so a paste takes the
    // locations of files only from here. The latest few copies are kept (a drop between
    // documents passes its files directly and notes none).
    static QString noteCopiedDocuments(const QVariantMap &pathsByKey);
    // The files noted under the token; empty for a token of no recent copy of this process.
    static QVariantMap copiedDocuments(const QString &token);
};
