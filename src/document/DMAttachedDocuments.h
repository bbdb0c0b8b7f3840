#pragma once

#include "DMProjectPackage.h"

#include <QSet>
#include <QString>
#include <QVariantMap>

// The project's attached-documents table (kDMProject_AttachedDocumentsTable): table key to a
// record with kDMProject_AttachedDocument_Path (the name inside the package's "Documents", or
// the outside path while kDMProject_AttachedDocument_PendingAttachment is on) and a reference
// count. Entries are never dropped, so an undone removal still finds its file.
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

    struct SavePlan
    {
        QVariantMap table; // the table once the package is written
        QStringList keptDocuments;
        QList<DMProjectPackage::Attachment> newDocuments;
    };
    // What a save copies: every stored document, and (with copyPending) every pending one whose
    // file still exists, under a name unique inside "Documents".
    static SavePlan planSave(const QVariantMap &table, bool copyPending);
};
