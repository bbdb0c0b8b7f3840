#include "FarseeSendingListFile.h"

#include "DMLocalizedString.h"
#include "DMPropertyList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

FarseeSendingListFile::Contents FarseeSendingListFile::read(const QString &path)
{
    Contents contents;
    if (!QFileInfo::exists(path))
        return contents;
    QString error;
    const QVariant root = DMPropertyList::propertyListWithContentsOfFile(path, &error);
    if (root.typeId() == QMetaType::QVariantList) {
        for (const QVariant &entry : root.toList()) {
            if (entry.typeId() == QMetaType::QVariantMap)
                contents.sendings.append(FarseeSending::withFileDictionary(entry.toMap()));
        }
        return contents;
    }
    if (error.isEmpty())
        error = DMLocalizedString("It does not hold a list.");
    const QString aside = setAsidePath(path);
    if (QFile::rename(path, aside)) {
        contents.message = DMLocalizedString("The list of shared files could not be read (%1). It was set aside as "
                                             "\"%2\", and the list starts empty.")
                               .arg(error, QDir::toNativeSeparators(aside));
    } else {
        contents.keepFile = true;
        contents.message = DMLocalizedString("The list of shared files could not be read (%1), nor set aside. It is "
                                             "left as it is at \"%2\", and the list starts empty.")
                               .arg(error, QDir::toNativeSeparators(path));
    }
    return contents;
}

bool FarseeSendingListFile::write(const QList<FarseeSending> &sendings, const QString &path, QString *error)
{
    QVariantList list;
    for (const FarseeSending &sending : sendings)
        list.append(sending.fileDictionary());
    return DMPropertyList::writePropertyListToFile(list, path, DMPropertyList::XML, error);
}

QString FarseeSendingListFile::setAsidePath(const QString &path)
{
    const QFileInfo info(path);
    const QDir folder = info.dir();
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QString candidate = folder.filePath(base + QStringLiteral(" (damaged)") + suffix);
    for (int number = 2; QFileInfo::exists(candidate); ++number)
        candidate = folder.filePath(base + QStringLiteral(" (damaged %1)").arg(number) + suffix);
    return candidate;
}
