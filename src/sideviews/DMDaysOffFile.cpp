#include "DMDaysOffFile.h"

#include "DMDaysOffEntry.h"
#include "DMPropertyList.h"

#include <QCoreApplication>
#include <QFile>

const QString DMDaysOffFile::kVersionKey = QStringLiteral("halcyra version");
const QString DMDaysOffFile::kDaysOffKey = QStringLiteral("days off");

QString DMDaysOffFile::applicationVersion()
{
    const QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? QStringLiteral("unknown") : version;
}

bool DMDaysOffFile::writeToFile(const QVariantList &entries, const QString &path, QString *error)
{
    const QVariantMap root{{kVersionKey, applicationVersion()}, {kDaysOffKey, entries}};
    return DMPropertyList::writePropertyListToFile(root, path, DMPropertyList::XML, error);
}

bool DMDaysOffFile::readData(const QByteArray &data, Contents *contents, QString *error)
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
    if (root.metaType().id() != QMetaType::QVariantMap)
        return fail(QStringLiteral("the root is not a dictionary"));
    const QVariantMap dictionary = root.toMap();
    if (!dictionary.contains(kVersionKey) || !dictionary.contains(kDaysOffKey))
        return fail(QStringLiteral("\"%1\" or \"%2\" is missing").arg(kVersionKey, kDaysOffKey));
    const QVariant daysOff = dictionary.value(kDaysOffKey);
    if (daysOff.metaType().id() != QMetaType::QVariantList)
        return fail(QStringLiteral("\"%1\" is not an array").arg(kDaysOffKey));

    Contents read;
    for (const QVariant &value : daysOff.toList()) {
        if (const auto entry = DMDaysOffEntry::validatedEntry(value))
            read.entries.append(entry->dictionary());
        else
            ++read.skippedCount;
    }
    if (contents)
        *contents = std::move(read);
    return true;
}

bool DMDaysOffFile::readFromFile(const QString &path, Contents *contents, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return readData(file.readAll(), contents, error);
}
