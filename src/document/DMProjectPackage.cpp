#include "DMProjectPackage.h"

#include "DMEncryptionContext.h"
#include "DMLocalizedString.h"
#include "DMPackageFiles.h"
#include "DMPropertyList.h"
#include "DMRegularFile.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <memory>
#include <vector>

const QString DMProjectPackage::kProjectFileName = QStringLiteral("project.xml");
const QString DMProjectPackage::kMetadataFileName = QStringLiteral("metadata.xml");
const QString DMProjectPackage::kDocumentsFolderName = QStringLiteral("Documents");
const QString DMProjectPackage::kEncryptedMarkerName = QStringLiteral(".encryptedProject");
const QString DMProjectPackage::kExtension = QStringLiteral("hy2");

namespace {

int gFailingStep = -1;
DMProjectPackage::StepHook gStepHook;
bool gExchangeEnabled = true;

void reachStep(DMProjectPackage::WriteStep step)
{
    if (gStepHook)
        gStepHook(step);
}

// Tells the test hook that the step begins and whether a test makes it fail.
bool stepFails(DMProjectPackage::WriteStep step)
{
    reachStep(step);
    return gFailingStep == int(step);
}

QString siblingPrefix(const QString &packagePath, const char *purpose)
{
    const QFileInfo info(packagePath);
    return QStringLiteral(".%1.%2-").arg(info.fileName(), QLatin1String(purpose));
}

QString siblingPath(const QString &packagePath, const char *purpose)
{
    return QFileInfo(packagePath).dir().filePath(
        siblingPrefix(packagePath, purpose)
        + QStringLiteral("%1").arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0')));
}

} // namespace

void DMProjectPackage::setFailingStepForTesting(int step)
{
    gFailingStep = step;
}

void DMProjectPackage::setStepHookForTesting(StepHook hook)
{
    gStepHook = std::move(hook);
}

void DMProjectPackage::setAtomicExchangeForTesting(bool enabled)
{
    gExchangeEnabled = enabled;
}

bool DMProjectPackage::isDocumentName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0))
        && name != QLatin1String(".") && name != QLatin1String("..");
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
    recoverInterruptedSave(packagePath);
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
    bool missing = false;
    const std::optional<QByteArray> metadataData = DMRegularFile::read(
        dir.filePath(kMetadataFileName), kMaximumMetadataFileSize, DMRegularFile::RefuseLinks, error, &missing);
    if (!metadataData && !missing)
        return std::nullopt;
    if (metadataData) {
        QString plistError;
        const QVariant metadata = DMPropertyList::propertyListWithData(*metadataData, &plistError);
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

    std::optional<QByteArray> projectData = DMRegularFile::read(
        dir.filePath(kProjectFileName), kMaximumProjectFileSize, DMRegularFile::RefuseLinks, error, &missing);
    if (!projectData) {
        if (missing)
            *error = DMLocalizedString("The document has no project file.");
        return std::nullopt;
    }
    QByteArray data = std::move(*projectData);

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
    // The items, the bulk of a large project, are parsed in parts on several threads.
    result.project = DMPropertyListNode::parse(data, &plistError, "tasks");
    if (!result.project.isDictionary()) {
        *error = DMLocalizedString("The project file is damaged.");
        return std::nullopt;
    }
    return result;
}

void DMProjectPackage::recoverInterruptedSave(const QString &packagePath)
{
    const QString destination = QFileInfo(packagePath).absoluteFilePath();
    const QDir folder = QFileInfo(destination).dir();
    const QString savingPrefix = siblingPrefix(destination, "saving");
    const QString previousPrefix = siblingPrefix(destination, "previous");
    // Each sibling is locked while it is handled, so one that a running save holds is skipped.
    std::vector<std::unique_ptr<DMPackageFiles::FolderLock>> locks;
    QStringList leftovers;
    QString newestPrevious;
    QDateTime newestTime;
    const QStringList entries = folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        const bool previous = entry.startsWith(previousPrefix);
        if (!previous && !entry.startsWith(savingPrefix))
            continue;
        const QString path = folder.filePath(entry);
        auto lock = std::make_unique<DMPackageFiles::FolderLock>(path, false);
        if (lock->isHeldElsewhere())
            continue;
        locks.push_back(std::move(lock));
        leftovers.append(path);
        const QDateTime modified = QFileInfo(path).lastModified();
        if (previous && DMPackageFiles::kindOf(path) == DMPackageFiles::Folder
            && (newestPrevious.isEmpty() || modified > newestTime)) {
            newestPrevious = path;
            newestTime = modified;
        }
    }
    if (leftovers.isEmpty())
        return;

    // Killed between the two renames of a save without the atomic exchange: the old package
    // waits beside the path. The new one may be incomplete, so the old one comes back.
    if (DMPackageFiles::kindOf(destination) == DMPackageFiles::Missing && !newestPrevious.isEmpty()) {
        QString problem;
        if (DMPackageFiles::rename(newestPrevious, destination, &problem)) {
            leftovers.removeOne(newestPrevious);
            qInfo().noquote() << "Restored" << destination << "from an interrupted save";
        } else {
            qWarning().noquote() << "Could not restore" << destination << "from" << newestPrevious << ":" << problem;
        }
    }
    for (const QString &path : std::as_const(leftovers)) {
        if (DMPackageFiles::removeTree(path))
            qInfo().noquote() << "Removed" << path << "left by an interrupted save";
        else
            qWarning().noquote() << "Could not remove" << path << "left by an interrupted save";
    }
    DMPackageFiles::sync(folder.absolutePath(), nullptr);
}

bool DMProjectPackage::write(const QString &packagePath, const WriteRequest &request, QString *error,
                             WriteReport *report)
{
    QString ignored;
    if (!error)
        error = &ignored;
    WriteReport ignoredReport;
    if (!report)
        report = &ignoredReport;
    *report = WriteReport();
    const QString destination = QFileInfo(packagePath).absoluteFilePath();
    const QString parent = QFileInfo(destination).absolutePath();
    const DMPackageFiles::Kind existing = DMPackageFiles::kindOf(destination);
    const bool replacing = existing != DMPackageFiles::Missing;
    QString problem;

    // The old package is removed once the new one is in place. One that this process may not
    // change is refused now, before anything is written, instead of being replaced and then
    // left behind as a hidden copy that cannot be removed.
    if (existing == DMPackageFiles::Folder
        && (!DMPackageFiles::isWritable(destination, &problem)
            || (DMPackageFiles::kindOf(documentsFolderPath(destination)) == DMPackageFiles::Folder
                && !DMPackageFiles::isWritable(documentsFolderPath(destination), &problem)))) {
        *error = DMLocalizedString("The document \"%1\" cannot be changed: %2")
                     .arg(QFileInfo(destination).fileName(), problem);
        return false;
    }

    const QString building = siblingPath(destination, "saving");
    QString previous; // without the exchange: where the old package waits for the new one
    enum { NotSwapped, Exchanged, OldAside, NewInPlace } swap = NotSwapped;
    auto fail = [&](const QString &message) {
        QString ignoredProblem;
        bool restored = true;
        switch (swap) {
        case Exchanged:
            restored = DMPackageFiles::exchange(building, destination, &ignoredProblem).value_or(false);
            break;
        case NewInPlace:
            restored = DMPackageFiles::rename(destination, building, &ignoredProblem);
            [[fallthrough]];
        case OldAside:
            if (restored && !previous.isEmpty())
                restored = DMPackageFiles::rename(previous, destination, &ignoredProblem);
            break;
        case NotSwapped:
            break;
        }
        // Should the old package not have come back, the hidden folder may hold it: the next
        // read of the package sorts that out.
        if (restored)
            DMPackageFiles::removeTree(building);
        DMPackageFiles::sync(parent, nullptr);
        *error = message;
        return false;
    };

    if (stepFails(CreateFolder))
        return fail(DMLocalizedString("The document folder could not be created."));
    if (!DMPackageFiles::makeFolder(building, &problem))
        return fail(problem);
    const DMPackageFiles::FolderLock buildingLock(building, false);
    QStringList folders{building}; // forced to disk before the swap

    // Copies of the attached files.
    const QString documents = documentsFolderPath(building);
    if (stepFails(CopyDocuments))
        return fail(DMLocalizedString("The folder of attached documents could not be created."));
    if (!DMPackageFiles::makeFolder(documents, &problem))
        return fail(problem);
    folders.append(documents);
    // Stored documents are taken only from a real "Documents" folder of the original package,
    // never through a symbolic link; they are hard-linked where possible, as they do not change.
    const QString originalDocuments =
        request.originalPackage.isEmpty() ? QString() : documentsFolderPath(request.originalPackage);
    const bool originalSound =
        !originalDocuments.isEmpty() && DMPackageFiles::kindOf(originalDocuments) == DMPackageFiles::Folder;
    auto take = [&](const QString &name, const QString &source, int options) {
        const DMPackageFiles::CopyResult copied =
            DMPackageFiles::copy(source, QDir(documents).filePath(name), options, &folders);
        if (copied.status == DMPackageFiles::CopyResult::Failed) {
            problem = copied.message;
            return false;
        }
        if (copied.status == DMPackageFiles::CopyResult::Refused) {
            report->droppedDocuments.append(name);
            report->problems.append(copied.message);
        }
        for (const QString &leftOut : copied.leftOut)
            report->problems.append(DMLocalizedString("Left out of \"%1\": %2").arg(name, leftOut));
        return true;
    };
    for (const QString &name : request.keptDocuments) {
        const QString source = originalSound && isDocumentName(name) ? QDir(originalDocuments).filePath(name) : QString();
        if (source.isEmpty() || DMPackageFiles::kindOf(source) == DMPackageFiles::Missing) {
            qInfo().noquote() << "Saving" << destination << ": the attached document" << name
                              << "is not in the package and was dropped";
            report->droppedDocuments.append(name);
            continue;
        }
        if (!take(name, source, DMPackageFiles::LinkFiles))
            return fail(problem);
    }
    for (const Attachment &attachment : request.newDocuments) {
        if (!isDocumentName(attachment.name)) {
            report->droppedDocuments.append(attachment.name);
            continue;
        }
        if (!take(attachment.name, attachment.sourcePath, DMPackageFiles::FollowSourceLink))
            return fail(problem);
    }

    // The project, encrypted when it has a password.
    const QVariantMap projectDictionary =
        request.projectDictionary ? request.projectDictionary(report->droppedDocuments) : QVariantMap();
    QString plistError;
    QByteArray projectData = DMPropertyList::dataWithPropertyList(projectDictionary, DMPropertyList::CompactXML, &plistError);
    if (projectData.isEmpty())
        return fail(DMLocalizedString("The project could not be written: %1").arg(plistError));
    if (!request.password.isEmpty()) {
        QString cryptError;
        const std::optional<QByteArray> encrypted = DMEncryptionContext(request.password).encryptData(projectData, &cryptError);
        if (!encrypted)
            return fail(cryptError);
        projectData = *encrypted;
    }
    if (stepFails(WriteProject))
        return fail(DMLocalizedString("The project file could not be written."));
    if (!DMPackageFiles::writeNewFile(QDir(building).filePath(kProjectFileName), projectData, &problem))
        return fail(problem);
    if (stepFails(WriteMarker))
        return fail(DMLocalizedString("The project file could not be written."));
    if (!request.password.isEmpty()
        && !DMPackageFiles::writeNewFile(QDir(building).filePath(kEncryptedMarkerName), QByteArray(), &problem))
        return fail(problem);

    QVariantMap metadata = request.metadata;
    metadata.insert(QStringLiteral("version"), qint64(kVersion));
    const QByteArray metadataData = DMPropertyList::dataWithPropertyList(metadata, DMPropertyList::XML, &plistError);
    if (stepFails(WriteMetadata) || metadataData.isEmpty())
        return fail(DMLocalizedString("The document's description file could not be written."));
    if (!DMPackageFiles::writeNewFile(QDir(building).filePath(kMetadataFileName), metadataData, &problem))
        return fail(problem);

    // Every folder's entries on disk before the new package can take the old one's place.
    if (stepFails(SyncPackage))
        return fail(DMLocalizedString("The document could not be written to disk."));
    for (const QString &folder : std::as_const(folders))
        if (!DMPackageFiles::sync(folder, &problem))
            return fail(problem);

    // The swap: one atomic exchange, so that a crash at any moment leaves either the old or the
    // new package at the path. Without it, the old one goes aside first; reading puts it back
    // should the process die before the new one is in place.
    std::optional<DMPackageFiles::FolderLock> oldLock;
    if (stepFails(MoveOldAside))
        return fail(DMLocalizedString("The previous version of the document could not be moved aside."));
    if (replacing) {
        oldLock.emplace(destination, false);
        const std::optional<bool> exchanged =
            gExchangeEnabled ? DMPackageFiles::exchange(building, destination, &problem) : std::nullopt;
        if (exchanged && !*exchanged)
            return fail(DMLocalizedString("The document could not be put in place: %1").arg(problem));
        if (exchanged) {
            swap = Exchanged;
        } else {
            previous = siblingPath(destination, "previous");
            if (!DMPackageFiles::rename(destination, previous, &problem)) {
                previous.clear();
                return fail(DMLocalizedString("The previous version of the document could not be moved aside: %1")
                                .arg(problem));
            }
            swap = OldAside;
        }
    }
    if (stepFails(MoveNewIntoPlace))
        return fail(DMLocalizedString("The document could not be put in place."));
    if (swap != Exchanged) {
        if (!DMPackageFiles::rename(building, destination, &problem))
            return fail(DMLocalizedString("The document could not be put in place: %1").arg(problem));
        swap = NewInPlace;
    }
    if (stepFails(SyncFolder))
        return fail(DMLocalizedString("The document could not be written to disk."));
    if (!DMPackageFiles::sync(parent, &problem))
        return fail(problem);

    // Saved. The old package is only tidied away now; what a crash leaves of it here is
    // removed the next time the package is read.
    reachStep(RemoveOld);
    const QString old = swap == Exchanged ? building : previous;
    if (!old.isEmpty() && !DMPackageFiles::removeTree(old))
        qWarning().noquote() << "Saving" << destination << ": the previous version in" << old << "could not be removed";
    return true;
}
