#include "DMAttachedDocuments.h"

#include "DMPackageFiles.h"
#include "DMProject.h"
#include "DMProjectEvent.h"
#include "DMProjectEventContainer.h"
#include "DMProjectItemTree.h"
#include "DMProjectKeys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QUuid>

const QString DMAttachedDocuments::kReferenceCount = QStringLiteral("kDMProject_AttachedDocument_ReferenceCount");

namespace {

QString uniqueName(const QString &fileName, const QSet<QString> &taken)
{
    if (!taken.contains(fileName))
        return fileName;
    const QFileInfo info(fileName);
    const QString base = info.completeBaseName().isEmpty() ? fileName : info.completeBaseName();
    const QString suffix = info.completeBaseName().isEmpty() || info.suffix().isEmpty()
        ? QString()
        : QLatin1Char('.') + info.suffix();
    for (int n = 2;; ++n) {
        const QString candidate = QStringLiteral("%1 %2%3").arg(base).arg(n).arg(suffix);
        if (!taken.contains(candidate))
            return candidate;
    }
}

bool sameContents(const QString &a, const QString &b)
{
    const QFileInfo infoA(a);
    const QFileInfo infoB(b);
    // The stored copy is compared only when it is a file of the package itself.
    if (infoA.isSymLink() || !infoA.isFile() || !infoB.isFile() || infoA.size() != infoB.size())
        return false;
    QFile fileA(a);
    QFile fileB(b);
    if (!fileA.open(QIODevice::ReadOnly) || !fileB.open(QIODevice::ReadOnly))
        return false;
    while (!fileA.atEnd())
        if (fileA.read(1 << 16) != fileB.read(1 << 16))
            return false;
    return true;
}

} // namespace

QString DMAttachedDocuments::addDocument(QVariantMap *table, const QString &path, const QString &documentsFolder,
                                         bool *isNewEntry)
{
    if (isNewEntry)
        *isNewEntry = false;
    if (!table || path.isEmpty())
        return QString();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QString fileName = QFileInfo(absolute).fileName();
    QString key;
    for (auto it = table->cbegin(); it != table->cend() && key.isEmpty(); ++it) {
        const QVariantMap record = it.value().toMap();
        const QString recordPath = record.value(kDMProject_AttachedDocument_Path).toString();
        if (record.value(kDMProject_AttachedDocument_PendingAttachment).toBool()) {
            if (recordPath == absolute)
                key = it.key();
        } else if (QFileInfo(recordPath).fileName() == fileName && !documentsFolder.isEmpty()
                   && sameContents(QDir(documentsFolder).filePath(recordPath), absolute)) {
            key = it.key();
        }
    }
    if (key.isEmpty()) {
        const QStringList keys = table->keys();
        key = uniqueName(fileName, QSet<QString>(keys.begin(), keys.end()));
        QVariantMap record;
        record.insert(kDMProject_AttachedDocument_Path, absolute);
        record.insert(kDMProject_AttachedDocument_PendingAttachment, true);
        record.insert(kReferenceCount, 0);
        table->insert(key, record);
        if (isNewEntry)
            *isNewEntry = true;
    }
    QVariantMap record = table->value(key).toMap();
    record.insert(kReferenceCount, record.value(kReferenceCount).toInt() + 1);
    table->insert(key, record);
    return key;
}

void DMAttachedDocuments::releaseDocument(QVariantMap *table, const QString &key)
{
    if (!table || !table->contains(key))
        return;
    QVariantMap record = table->value(key).toMap();
    record.insert(kReferenceCount, qMax(0, record.value(kReferenceCount).toInt() - 1));
    table->insert(key, record);
}

void DMAttachedDocuments::retainDocument(QVariantMap *table, const QString &key)
{
    if (!table || !table->contains(key))
        return;
    QVariantMap record = table->value(key).toMap();
    record.insert(kReferenceCount, record.value(kReferenceCount).toInt() + 1);
    table->insert(key, record);
}

bool DMAttachedDocuments::isUnreferenced(const QVariantMap &record)
{
    return record.contains(kReferenceCount) && record.value(kReferenceCount).toInt() <= 0;
}

QVariantMap DMAttachedDocuments::tableWithUnreferencedSetAside(const QVariantMap &table, const QString &documentsFolder,
                                                               const QString &setAsideFolder)
{
    QVariantMap result = table;
    if (documentsFolder.isEmpty() || setAsideFolder.isEmpty())
        return result;
    int next = 1;
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        QVariantMap record = it.value().toMap();
        if (record.value(kDMProject_AttachedDocument_PendingAttachment).toBool() || !isUnreferenced(record))
            continue;
        const QString name = record.value(kDMProject_AttachedDocument_Path).toString();
        if (!DMProjectPackage::isDocumentName(name))
            continue;
        QString folder;
        do
            folder = QDir(setAsideFolder).filePath(QString::number(next++));
        while (QFileInfo::exists(folder));
        if (!QDir().mkpath(folder))
            continue;
        QStringList created;
        const QString copy = QDir(folder).filePath(name);
        if (DMPackageFiles::copy(QDir(documentsFolder).filePath(name), copy, DMPackageFiles::LinkFiles, &created).status
            != DMPackageFiles::CopyResult::Copied) {
            DMPackageFiles::removeTree(folder);
            continue;
        }
        record.insert(kDMProject_AttachedDocument_Path, copy);
        record.insert(kDMProject_AttachedDocument_PendingAttachment, true);
        result.insert(it.key(), record);
    }
    return result;
}

QVariantMap DMAttachedDocuments::tableCountingReferences(const QVariantMap &table, const DMProject &project)
{
    QHash<QString, int> references;
    const auto count = [&references](const QVariant &keys) {
        for (const QVariant &key : keys.toList())
            ++references[key.toString()];
    };
    count(project.attribute(kDMProject_AttachedDocuments));
    const auto countItem = [&count](DMProjectItem &item) { count(item.attribute(kDMProjectItem_AttachedDocuments)); };
    DMProjectItem_forEachItem(project.tasks().list(), countItem);
    if (project.eventContainer())
        for (const auto &event : project.eventContainer()->events())
            countItem(*event);
    QVariantMap counted;
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        QVariantMap record = it.value().toMap();
        record.insert(kReferenceCount, references.value(it.key()));
        counted.insert(it.key(), record);
    }
    return counted;
}

DMAttachedDocuments::SavePlan DMAttachedDocuments::planSave(const QVariantMap &table, bool copyPending)
{
    SavePlan plan;
    plan.table = table;
    QSet<QString> taken;
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        const QVariantMap record = it.value().toMap();
        if (record.value(kDMProject_AttachedDocument_PendingAttachment).toBool())
            continue;
        const QString name = record.value(kDMProject_AttachedDocument_Path).toString();
        if (name.isEmpty() || taken.contains(name))
            continue;
        taken.insert(name);
        plan.keptDocuments.append(name);
    }
    if (!copyPending)
        return plan;
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        QVariantMap record = it.value().toMap();
        // A file that nothing refers to (attached, then undone or removed) is not copied.
        if (!record.value(kDMProject_AttachedDocument_PendingAttachment).toBool() || isUnreferenced(record))
            continue;
        const QString source = record.value(kDMProject_AttachedDocument_Path).toString();
        if (!QFileInfo::exists(source))
            continue; // stays pending: the file may come back
        // The table key is already unique among the entries and named after the file.
        const QString preferred = it.key().contains(QLatin1Char('/')) || it.key().startsWith(QLatin1Char('.'))
            ? QFileInfo(source).fileName()
            : it.key();
        const QString name = uniqueName(preferred, taken);
        taken.insert(name);
        plan.newDocuments.append({source, name});
        record.insert(kDMProject_AttachedDocument_Path, name);
        record.insert(kDMProject_AttachedDocument_PendingAttachment, false);
        plan.table.insert(it.key(), record);
    }
    return plan;
}

QVariantMap DMAttachedDocuments::tableReadFromPackage(const QVariant &stored, const QString &documentsFolder,
                                                     QStringList *problems)
{
    QVariantMap table;
    auto drop = [problems](const QString &key, const QString &why) {
        if (problems)
            problems->append(QStringLiteral("the attached document \"%1\" was dropped: %2").arg(key, why));
    };
    if (!stored.isValid())
        return table;
    if (stored.metaType() != QMetaType::fromType<QVariantMap>()) {
        if (problems)
            problems->append(QStringLiteral("the attached documents table is not a dictionary and was dropped"));
        return table;
    }
    const bool folderSound =
        !documentsFolder.isEmpty() && DMPackageFiles::kindOf(documentsFolder) == DMPackageFiles::Folder;
    const QVariantMap entries = stored.toMap();
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        if (it.value().metaType() != QMetaType::fromType<QVariantMap>()) {
            drop(it.key(), QStringLiteral("not a dictionary"));
            continue;
        }
        const QVariantMap record = it.value().toMap();
        const QString name = record.value(kDMProject_AttachedDocument_Path).toString();
        if (record.value(kDMProject_AttachedDocument_PendingAttachment).toBool()) {
            drop(it.key(), QStringLiteral("a pending attachment of \"%1\" is never read from a file").arg(name));
            continue;
        }
        if (!DMProjectPackage::isDocumentName(name)) {
            drop(it.key(), QStringLiteral("\"%1\" is not a name inside Documents").arg(name));
            continue;
        }
        if (!folderSound) {
            drop(it.key(), QStringLiteral("the package's Documents is not a folder"));
            continue;
        }
        switch (DMPackageFiles::kindOf(QDir(documentsFolder).filePath(name))) {
        case DMPackageFiles::RegularFile:
        case DMPackageFiles::Folder:
            table.insert(it.key(), record);
            break;
        case DMPackageFiles::Missing:
            drop(it.key(), QStringLiteral("\"%1\" is not in Documents").arg(name));
            break;
        case DMPackageFiles::SymbolicLink:
            drop(it.key(), QStringLiteral("\"%1\" is a symbolic link").arg(name));
            break;
        case DMPackageFiles::Other:
            drop(it.key(), QStringLiteral("\"%1\" is not a regular file or folder").arg(name));
            break;
        }
    }
    return table;
}

QString DMAttachedDocuments::resolvedPath(const QVariant &entry, const QString &documentsFolder, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return QString();
    };
    if (error)
        error->clear();
    if (entry.metaType() != QMetaType::fromType<QVariantMap>())
        return fail(QStringLiteral("The project has no record of this document."));
    const QVariantMap record = entry.toMap();
    const QString path = record.value(kDMProject_AttachedDocument_Path).toString();
    // Only the user's choice in this session makes a pending entry (none is read from a package).
    if (record.value(kDMProject_AttachedDocument_PendingAttachment).toBool()) {
        if (path.isEmpty() || !QFileInfo(path).isAbsolute())
            return fail(QStringLiteral("The document's location is unknown."));
        return QFileInfo(path).absoluteFilePath();
    }
    if (!DMProjectPackage::isDocumentName(path))
        return fail(QStringLiteral("\"%1\" does not lie inside the project's Documents folder.").arg(path));
    if (documentsFolder.isEmpty() || DMPackageFiles::kindOf(documentsFolder) != DMPackageFiles::Folder)
        return fail(QStringLiteral("The project has no Documents folder holding \"%1\".").arg(path));
    const QString file = QDir(documentsFolder).filePath(path);
    switch (DMPackageFiles::kindOf(file)) {
    case DMPackageFiles::RegularFile:
    case DMPackageFiles::Folder:
        return file;
    case DMPackageFiles::Missing:
        return fail(QStringLiteral("\"%1\" is not in the project's Documents folder.").arg(path));
    case DMPackageFiles::SymbolicLink:
        return fail(QStringLiteral("\"%1\" is a symbolic link, which may lead outside the project.").arg(path));
    case DMPackageFiles::Other:
        break;
    }
    return fail(QStringLiteral("\"%1\" is not a regular file or folder.").arg(path));
}

QVariantMap DMAttachedDocuments::tableWithoutEntries(const QVariantMap &table, const QStringList &droppedNames,
                                                    bool withPending)
{
    QVariantMap result;
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        const QVariantMap record = it.value().toMap();
        const bool pending = record.value(kDMProject_AttachedDocument_PendingAttachment).toBool();
        if (pending ? !withPending : droppedNames.contains(record.value(kDMProject_AttachedDocument_Path).toString()))
            continue;
        result.insert(it.key(), it.value());
    }
    return result;
}

namespace {

struct CopiedDocuments
{
    QString token;
    QVariantMap pathsByKey;
};

QList<CopiedDocuments> &recentCopies()
{
    static QList<CopiedDocuments> copies;
    return copies;
}

} // namespace

QString DMAttachedDocuments::noteCopiedDocuments(const QVariantMap &pathsByKey)
{
    constexpr qsizetype kKeptCopies = 8;
    QList<CopiedDocuments> &copies = recentCopies();
    const QString token = QUuid::createUuid().toString(QUuid::WithoutBraces);
    copies.append({token, pathsByKey});
    while (copies.size() > kKeptCopies)
        copies.removeFirst();
    return token;
}

QVariantMap DMAttachedDocuments::copiedDocuments(const QString &token)
{
    if (token.isEmpty())
        return {};
    for (const CopiedDocuments &copy : recentCopies())
        if (copy.token == token)
            return copy.pathsByKey;
    return {};
}
