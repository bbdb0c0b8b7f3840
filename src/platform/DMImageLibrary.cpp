#include "DMImageLibrary.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

namespace {

struct Library
{
    QHash<QString, QImage> cache;
    QHash<QString, std::function<QImage()>> generators;
};

Library &library()
{
    static Library instance;
    return instance;
}

} // namespace

QImage DMImageLibrary::imageNamed(const QString &name)
{
    Library &lib = library();
    if (auto cached = lib.cache.constFind(name); cached != lib.cache.constEnd())
        return cached.value();
    QImage image;
    if (auto generator = lib.generators.constFind(name); generator != lib.generators.constEnd())
        image = generator.value()();
    else
        for (const char *extension : {".png", ".svg"})
            if (image = imageWithContentsOfFile(QStringLiteral(":/images/") + name + QLatin1String(extension)); !image.isNull())
                break;
    lib.cache.insert(name, image); // a missing image is remembered too
    return image;
}

void DMImageLibrary::registerGenerator(const QString &name, std::function<QImage()> generator)
{
    Library &lib = library();
    lib.cache.remove(name);
    if (generator)
        lib.generators.insert(name, std::move(generator));
    else
        lib.generators.remove(name);
}

QImage DMImageLibrary::imageWithContentsOfFile(const QString &path)
{
    if (!path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive))
        return QImage(path);
    if (!QFile::exists(path))
        return QImage();
    QSvgRenderer renderer(path);
    if (!renderer.isValid() || renderer.defaultSize().isEmpty())
        return QImage();
    QImage image(renderer.defaultSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    return image;
}
