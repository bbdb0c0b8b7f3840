#include "DMProjectPackage.h"

#include "DMEncryptionContext.h"
#include "DMLocalizedString.h"
#include "DMPropertyList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <unistd.h>

const QString DMProjectPackage::kProjectFileName = QStringLiteral("project.xml");
const QString DMProjectPackage::kMetadataFileName = QStringLiteral("metadata.xml");
const QString DMProjectPackage::kDocumentsFolderName = QStringLiteral("Documents");
const QString DMProjectPackage::kEncryptedMarkerName = QStringLiteral(".encryptedProject");
const QString DMProjectPackage::kExtension = QStringLiteral("hy2");

namespace {

int gFailingStep = -1;

bool stepFails(DMProjectPackage::WriteStep step)
{
    return gFailingStep == int(step);
}

// Writes the bytes and forces them to disk, so the rename that publishes the package never
// exposes a file whose contents are still only in memory.
bool writeFileSynced(const QString &path, const QByteArray &data, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = file.errorString();
        return false;
    }
    if (file.write(data) != data.size() || !file.flush()) {
        *error = file.errorString();
        return false;
    }
    if (::fsync(file.handle()) != 0) {
        *error = DMLocalizedString("The file could not be written to disk.");
        return false;
    }
    return true;
}

// Copies a file or a folder tree; links are copied as the files they point to.
bool copyRecursively(const QString &source, const QString &destination, QString *error)
{
    const QFileInfo info(source);
    if (info.isDir()) {
        if (!QDir().mkpath(destination)) {
            *error = DMLocalizedString("A folder could not be created.");
            return false;
        }
        const QDir dir(source);
        const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QString &entry : entries)
            if (!copyRecursively(dir.filePath(entry), QDir(destination).filePath(entry), error))
                return false;
        return true;
    }
    if (!info.exists() || !QFile::copy(source, destination)) {
        *error = DMLocalizedString("The attached file \"%1\" could not be copied.").arg(info.fileName());
        return false;
    }
    return true;
}

QString siblingPath(const QString &packagePath, const char *purpose)
{
    const QFileInfo info(packagePath);
    return info.dir().filePath(QStringLiteral(".%1.%2-%3")
                                   .arg(info.fileName(), QLatin1String(purpose))
                                   .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0')));
}

bool isSafeName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".")
        && name != QLatin1String("..");
}

} // namespace

void DMProjectPackage::setFailingStepForTesting(int step)
{
    gFailingStep = step;
}

QString DMProjectPackage::documentsFolderPath(const QString &packagePath)
{
    return QDir(packagePath).filePath(kDocumentsFolderName);
}

std::optional<DMProjectPackage::ReadResult> DMProjectPackage::read(const QString &packagePath,
                                                                   const PasswordProvider &passwordProvider,
                                                                   QString *error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    const QFileInfo info(packagePath);
    if (!info.exists()) {
        *error = DMLocalizedString("The document doesn't exist.");
        return std::nullopt;
    }
    if (!info.isDir()) {
        *error = DMLocalizedString("The document is not a project package.");
        return std::nullopt;
    }
    const QDir dir(packagePath);
    ReadResult result;

    // Metadata first: a package of a later version is refused before its project is read.
    if (dir.exists(kMetadataFileName)) {
        QString plistError;
        const QVariant metadata = DMPropertyList::propertyListWithContentsOfFile(dir.filePath(kMetadataFileName), &plistError);
        if (metadata.metaType() != QMetaType::fromType<QVariantMap>()) {
            *error = DMLocalizedString("The document's description file is damaged.");
            return std::nullopt;
        }
        result.metadata = metadata.toMap();
        bool ok = true;
        const QVariant version = result.metadata.value(QStringLiteral("version"));
        const qint64 number = version.isValid() ? version.toLongLong(&ok) : kVersion;
        if (!ok || number > kVersion) {
            *error = DMLocalizedString("The document was saved by a later version of Halcyra.");
            return std::nullopt;
        }
    }

    QFile projectFile(dir.filePath(kProjectFileName));
    if (!projectFile.exists()) {
        *error = DMLocalizedString("The document has no project file.");
        return std::nullopt;
    }
    if (!projectFile.open(QIODevice::ReadOnly)) {
        *error = DMLocalizedString("The project file could not be read.");
        return std::nullopt;
    }
    QByteArray data = projectFile.readAll();
    projectFile.close();

    const bool encrypted = data.startsWith(DMEncryptionContext::magic()) || dir.exists(kEncryptedMarkerName);
    if (encrypted) {
        QString password;
        if (!passwordProvider || !passwordProvider(&password)) {
            error->clear(); // the user cancelled: nothing to explain
            return std::nullopt;
        }
        QString decryptError;
        const std::optional<QByteArray> plain = DMEncryptionContext(password).decryptData(data, &decryptError);
        if (!plain) {
            *error = decryptError;
            return std::nullopt;
        }
        data = *plain;
        result.password = password;
    }

    QString plistError;
    const QVariant plist = DMPropertyList::propertyListWithData(data, &plistError);
    if (plist.metaType() != QMetaType::fromType<QVariantMap>()) {
        *error = DMLocalizedString("The project file is damaged.");
        return std::nullopt;
    }
    result.projectDictionary = plist.toMap();
    return result;
}

bool DMProjectPackage::write(const QString &packagePath, const WriteRequest &request, QString *error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    const QString building = siblingPath(packagePath, "saving");
    auto fail = [&](const QString &message) {
        QDir(building).removeRecursively();
        *error = message;
        return false;
    };

    if (stepFails(CreateFolder) || !QDir().mkpath(building))
        return fail(DMLocalizedString("The document folder could not be created."));

    // Copies of the attached files.
    const QString documents = documentsFolderPath(building);
    if (stepFails(CopyDocuments) || !QDir().mkpath(documents))
        return fail(DMLocalizedString("The folder of attached documents could not be created."));
    QString copyError;
    for (const QString &name : request.keptDocuments) {
        if (!isSafeName(name))
            continue;
        const QString source = QDir(documentsFolderPath(request.originalPackage)).filePath(name);
        if (!QFileInfo::exists(source))
            continue; // already gone from the old package: nothing to keep
        if (!copyRecursively(source, QDir(documents).filePath(name), &copyError))
            return fail(copyError);
    }
    for (const Attachment &attachment : request.newDocuments) {
        if (!isSafeName(attachment.name) || !copyRecursively(attachment.sourcePath, QDir(documents).filePath(attachment.name), &copyError))
            return fail(copyError.isEmpty() ? DMLocalizedString("An attached document could not be copied.") : copyError);
    }

    // The project, encrypted when it has a password.
    QString plistError;
    QByteArray projectData = DMPropertyList::dataWithPropertyList(request.projectDictionary, DMPropertyList::XML, &plistError);
    if (projectData.isEmpty())
        return fail(DMLocalizedString("The project could not be written: %1").arg(plistError));
    if (!request.password.isEmpty()) {
        QString cryptError;
        const std::optional<QByteArray> encrypted = DMEncryptionContext(request.password).encryptData(projectData, &cryptError);
        if (!encrypted)
            return fail(cryptError);
        projectData = *encrypted;
    }
    QString writeError;
    if (stepFails(WriteProject) || !writeFileSynced(QDir(building).filePath(kProjectFileName), projectData, &writeError))
        return fail(DMLocalizedString("The project file could not be written."));
    if (!request.password.isEmpty())
        if (stepFails(WriteMarker) || !writeFileSynced(QDir(building).filePath(kEncryptedMarkerName), QByteArray(), &writeError))
            return fail(DMLocalizedString("The project file could not be written."));
    if (request.password.isEmpty() && stepFails(WriteMarker))
        return fail(DMLocalizedString("The project file could not be written."));

    QVariantMap metadata = request.metadata;
    metadata.insert(QStringLiteral("version"), qint64(kVersion));
    const QByteArray metadataData = DMPropertyList::dataWithPropertyList(metadata, DMPropertyList::XML, &plistError);
    if (stepFails(WriteMetadata) || metadataData.isEmpty()
        || !writeFileSynced(QDir(building).filePath(kMetadataFileName), metadataData, &writeError))
        return fail(DMLocalizedString("The document's description file could not be written."));

    // Swap: the old package aside, the new one in, then the old one away.
    const bool replacing = QFileInfo::exists(packagePath);
    const QString previous = siblingPath(packagePath, "previous");
    if (replacing && (stepFails(MoveOldAside) || !QDir().rename(packagePath, previous)))
        return fail(DMLocalizedString("The previous version of the document could not be moved aside."));
    if (!replacing && stepFails(MoveOldAside))
        return fail(DMLocalizedString("The previous version of the document could not be moved aside."));
    if (stepFails(MoveNewIntoPlace) || !QDir().rename(building, packagePath)) {
        if (replacing)
            QDir().rename(previous, packagePath);
        return fail(DMLocalizedString("The document could not be put in place."));
    }
    if (replacing)
        QDir(previous).removeRecursively();
    return true;
}
