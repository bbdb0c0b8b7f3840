#include "NBMimeType.h"

#include <QFileInfo>
#include <QMimeDatabase>

QString NBMimeType(const QString &fileName)
{
    const QString fallback = QStringLiteral("application/octet-stream");
    if (QFileInfo(fileName).suffix().isEmpty())
        return fallback;
    const QList<QMimeType> types = QMimeDatabase().mimeTypesForFileName(fileName);
    return types.isEmpty() ? fallback : types.first().name();
}
