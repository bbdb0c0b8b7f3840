#include "DMDaysOffFile.h"

#include "DMDaysOffEntry.h"
#include "DMExchangeFile.h"

const QString DMDaysOffFile::kVersionKey = QStringLiteral("halcyra version");
const QString DMDaysOffFile::kDaysOffKey = QStringLiteral("days off");

QString DMDaysOffFile::applicationVersion()
{
    return DMExchangeFile::applicationVersion();
}

bool DMDaysOffFile::writeToFile(const QVariantList &entries, const QString &path, QString *error)
{
    return DMExchangeFile::writeToFile(kVersionKey, kDaysOffKey, entries, path, error);
}

bool DMDaysOffFile::readData(const QByteArray &data, Contents *contents, QString *error)
{
    QVariantList daysOff;
    if (!DMExchangeFile::readEntries(data, kVersionKey, kDaysOffKey, &daysOff, error))
        return false;
    Contents read;
    for (const QVariant &value : daysOff) {
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
    QByteArray data;
    return DMExchangeFile::readFile(path, kMaximumFileSize, &data, error) && readData(data, contents, error);
}
