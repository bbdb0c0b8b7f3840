#pragma once

#include <QImage>
#include <QString>

#include <functional>

// Images loaded by name: our own artwork in the resources (":/images/<name>.png" or ".svg"),
// or drawn by a generator registered under the name. Cached per name; a missing name gives a
// null image.
class DMImageLibrary
{
public:
    static QImage imageNamed(const QString &name);
    // Replaces what the name gave before; an empty generator unregisters it.
    static void registerGenerator(const QString &name, std::function<QImage()> generator);
    // A PNG (or other raster file), or an SVG drawn at its own size; null when unreadable.
    static QImage imageWithContentsOfFile(const QString &path);
};
