#include "DMSaveFile.h"

#include <QSaveFile>

bool DMSaveFile_write(const QString &path, const QByteArray &data, QString *error)
{
    return DMSaveFile_write(path, [&data](QIODevice &device) { return device.write(data) == data.size(); }, error);
}

bool DMSaveFile_write(const QString &path, const std::function<bool(QIODevice &)> &write, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && write(file) && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false; // the temporary file goes with the object
}
