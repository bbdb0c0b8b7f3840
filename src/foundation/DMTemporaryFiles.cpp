#include "DMTemporaryFiles.h"

#include <QCoreApplication>
#include <QDir>

#include <atomic>
#include <chrono>

QString temporaryFilePathWithExtension(const QString &extension)
{
    static std::atomic<quint32> counter{0};
    const quint32 number = ++counter;

    QString identifier = QCoreApplication::organizationDomain();
    if (identifier.isEmpty())
        identifier = QStringLiteral("org.halcyra.Halcyra");
    identifier.replace(QLatin1Char('.'), QLatin1Char('_'));
    identifier.replace(QLatin1Char('/'), QLatin1Char('_')); // the name must stay in the folder

    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now);
    const auto microseconds = std::chrono::duration_cast<std::chrono::microseconds>(now - seconds);

    const QString name = QStringLiteral("%1_temp_%2_%3_%4.%5")
                             .arg(identifier)
                             .arg(quint64(seconds.count()), 0, 16)
                             .arg(quint64(microseconds.count()), 0, 16)
                             .arg(number, 0, 16)
                             .arg(extension);
    return QDir(QDir::tempPath()).filePath(name);
}
