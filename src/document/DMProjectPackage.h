#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <optional>

// The project document package: a folder with the extension "hy2" holding "project.xml" (the
// project's dictionary as an XML property list, encrypted when the project has a password),
// "metadata.xml" (progress, title, version), the "Documents" folder with the copies of
// attached files and, for an encrypted project, the ".encryptedProject" marker.
//
// Writing never touches the existing package until the new one is complete: the new package
// is built in a hidden folder beside the destination, the old one is moved aside, the new one
// renamed into place and only then the old one removed. Any failure removes what was built
// and leaves the old package exactly as it was.
class DMProjectPackage
{
public:
    static constexpr int kVersion = 1; // "version" in metadata.xml; later versions are refused

    static const QString kProjectFileName;   // "project.xml"
    static const QString kMetadataFileName;  // "metadata.xml"
    static const QString kDocumentsFolderName; // "Documents"
    static const QString kEncryptedMarkerName; // ".encryptedProject"
    static const QString kExtension;         // "hy2"

    // Asked for the password of an encrypted package; false when the user cancels.
    using PasswordProvider = std::function<bool(QString *password)>;

    struct ReadResult
    {
        QVariantMap projectDictionary;
        QVariantMap metadata;
        QString password; // the password that opened it; empty when not encrypted
    };
    // The contents, or nullopt with *error set (a sentence for the user) for a missing package,
    // a missing or damaged project file, a later version, a refused or wrong password.
    static std::optional<ReadResult> read(const QString &packagePath, const PasswordProvider &passwordProvider,
                                          QString *error);

    struct Attachment
    {
        QString sourcePath; // a file or folder outside the package
        QString name;       // its name inside "Documents"
    };
    struct WriteRequest
    {
        QVariantMap projectDictionary;
        QVariantMap metadata;     // "version" is added
        QString password;         // empty: not encrypted
        QString originalPackage;  // the package whose "Documents" entries are carried over; may be empty
        QStringList keptDocuments; // names inside the original's "Documents" to carry over
        QList<Attachment> newDocuments;
    };
    // False with *error set when any step fails; the destination is then unchanged.
    static bool write(const QString &packagePath, const WriteRequest &request, QString *error);

    // The steps of write, in order; a test can make one of them fail.
    enum WriteStep {
        CreateFolder,
        CopyDocuments,
        WriteProject,
        WriteMarker,
        WriteMetadata,
        MoveOldAside,
        MoveNewIntoPlace,
        WriteStepCount
    };
    // -1 (the default) fails nothing.
    static void setFailingStepForTesting(int step);

    // The absolute path of "Documents" inside a package.
    static QString documentsFolderPath(const QString &packagePath);
};
