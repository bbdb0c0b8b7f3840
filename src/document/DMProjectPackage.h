#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include "DMPropertyListNode.h"

#include <functional>
#include <optional>

// The project document package: a folder with the extension "hy2" holding "project.xml" (the
// project's dictionary as an XML property list, encrypted when the project has a password),
// "metadata.xml" (progress, title, version), the "Documents" folder with the copies of
// attached files and, for an encrypted project, the ".encryptedProject" marker.
//
// Writing never touches the existing package until the new one is complete: the new package is
// built in a hidden folder beside the destination (".NAME.hy2.saving-*"), forced to disk, and
// swapped with the old one in one atomic exchange where the file system has it (otherwise the
// old one is first renamed to ".NAME.hy2.previous-*"); only then is the old one removed. A
// failed save removes what it built and leaves the old package as it was; what a crashed save
// left beside the package is recovered or removed the next time the package is read.
class DMProjectPackage
{
public:
    static constexpr int kVersion = 1; // "version" in metadata.xml; later versions are refused
    // The largest "project.xml" and "metadata.xml" that are read; larger ones are refused
    // before anything is read (docs/file-format.md).
    static constexpr qint64 kMaximumProjectFileSize = qint64(128) << 20;
    static constexpr qint64 kMaximumMetadataFileSize = qint64(1) << 20;

    static const QString kProjectFileName;   // "project.xml"
    static const QString kMetadataFileName;  // "metadata.xml"
    static const QString kDocumentsFolderName; // "Documents"
    static const QString kEncryptedMarkerName; // ".encryptedProject"
    static const QString kExtension;         // "hy2"

    // Asked for the password of an encrypted package; false when the user cancels.
    using PasswordProvider = std::function<bool(QString *password)>;

    struct ReadResult
    {
        DMPropertyListNode project; // the parsed "project.xml", a dictionary
        QVariantMap metadata;
        QString password; // the password that opened it; empty when not encrypted
    };
    // The contents, or nullopt with *error set (a sentence for the user) for a missing package,
    // a missing, damaged or oversized project file, an entry that is not a regular file (a FIFO,
    // a device, a symbolic link), a later version, a refused or wrong password. Recovers from
    // an interrupted save first.
    static std::optional<ReadResult> read(const QString &packagePath, const PasswordProvider &passwordProvider,
                                          QString *error);

    // Tidies what a save that was killed left beside the package: with no package at the path,
    // the previous version that was set aside is put back; then every ".NAME.hy2.saving-*" and
    // ".NAME.hy2.previous-*" sibling that no running save holds is removed.
    static void recoverInterruptedSave(const QString &packagePath);

    struct Attachment
    {
        QString sourcePath; // a file or folder outside the package
        QString name;       // its name inside "Documents"
    };
    struct WriteRequest
    {
        // Asked once the attached documents are in place, with the names inside "Documents" of
        // those that could not be taken, for the project to write.
        std::function<QVariantMap(const QStringList &droppedDocuments)> projectDictionary;
        QVariantMap metadata;     // "version" is added
        QString password;         // empty: not encrypted
        QString originalPackage;  // the package whose "Documents" entries are carried over; may be empty
        QStringList keptDocuments; // names inside the original's "Documents" to carry over
        QList<Attachment> newDocuments;
    };
    struct WriteReport
    {
        QStringList droppedDocuments; // names not in the written "Documents"
        QStringList problems;         // for the user: documents that could not be taken or were left out
    };
    // False with *error set (naming the system's error) when any step fails; the destination is
    // then unchanged. An attached document that cannot be taken (missing, not a regular file or
    // folder, unreadable) does not fail the save: it is left out and listed in *report.
    static bool write(const QString &packagePath, const WriteRequest &request, QString *error,
                      WriteReport *report = nullptr);

    // The steps of write, in order.
    enum WriteStep {
        CreateFolder,
        CopyDocuments,
        WriteProject,
        WriteMarker,
        WriteMetadata,
        SyncPackage,      // the new package's folders forced to disk
        MoveOldAside,     // the atomic exchange, or the first rename without it
        MoveNewIntoPlace, // the second rename without the exchange
        SyncFolder,       // the destination's folder forced to disk
        RemoveOld,        // after the save has succeeded
        WriteStepCount
    };
    // A test can make a step before RemoveOld fail; -1 (the default) fails nothing.
    static void setFailingStepForTesting(int step);
    // Called as each step begins (a test stops a child process there and kills it).
    using StepHook = std::function<void(WriteStep step)>;
    static void setStepHookForTesting(StepHook hook);
    // False makes write use the two renames, as on a file system without the exchange.
    static void setAtomicExchangeForTesting(bool enabled);

    // The absolute path of "Documents" inside a package.
    static QString documentsFolderPath(const QString &packagePath);
    // True for a name that stays inside "Documents": one path component, not "." or "..".
    static bool isDocumentName(const QString &name);
};
