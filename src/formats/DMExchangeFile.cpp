#include "DMExchangeFile.h"

#include "DMLocalizedString.h"
#include "DMPropertyList.h"
#include "DMRegularFile.h"

#include <QCoreApplication>
#include <QVariantMap>

namespace DMExchangeFile {

QString applicationVersion()
{
    const QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? QStringLiteral("unknown") : version;
}

bool writeToFile(const QString &versionKey, const QString &arrayKey, const QVariantList &entries, const QString &path,
                 QString *error)
{
    const QVariantMap root{{versionKey, applicationVersion()}, {arrayKey, entries}};
    return DMPropertyList::writePropertyListToFile(root, path, DMPropertyList::XML, error);
}

bool readEntries(const QByteArray &data, const QString &versionKey, const QString &arrayKey, QVariantList *entries,
                 QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    QString plistError;
    const QVariant root = DMPropertyList::propertyListWithData(data, &plistError);
    if (!root.isValid())
        return fail(plistError);
    if (root.typeId() != QMetaType::QVariantMap)
        return fail(QStringLiteral("the root is not a dictionary"));
    const QVariantMap dictionary = root.toMap();
    if (!dictionary.contains(versionKey) || !dictionary.contains(arrayKey))
        return fail(QStringLiteral("\"%1\" or \"%2\" is missing").arg(versionKey, arrayKey));
    const QVariant array = dictionary.value(arrayKey);
    if (array.typeId() != QMetaType::QVariantList)
        return fail(QStringLiteral("\"%1\" is not an array").arg(arrayKey));
    if (entries)
        *entries = array.toList();
    return true;
}

bool readFile(const QString &path, qint64 maxSize, QByteArray *data, QString *error)
{
    std::optional<QByteArray> read = DMRegularFile::read(path, maxSize, DMRegularFile::FollowLinks, error);
    if (!read)
        return false;
    *data = std::move(*read);
    return true;
}

QString writeFailureText(const QString &reason)
{
    const QString text = DMLocalizedString(
        "An error occured while writing the file.\nPlease check that you have all the necessary permissions to write in "
        "the specified folder and that there is sufficient free space on the drive.");
    return reason.isEmpty() ? text : text + QStringLiteral("\n\n") + reason;
}

} // namespace DMExchangeFile
