#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

// Writes a file whole or not at all: the bytes go to a temporary file beside the path, which
// takes the path's place only once every byte is written. On failure the file at the path is as
// it was, and *error (when given) holds the reason.
bool DMSaveFile_write(const QString &path, const QByteArray &data, QString *error = nullptr);

// The same for a file written in pieces: write puts its bytes on the device and answers whether
// it could; false gives up the file, with the device's reason.
bool DMSaveFile_write(const QString &path, const std::function<bool(QIODevice &)> &write, QString *error = nullptr);
