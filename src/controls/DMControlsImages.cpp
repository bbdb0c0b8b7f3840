#include "DMControlsImages.h"

#include "DMImageLibrary.h"

QImage DMControlsImages::imageNamed(const QString &name)
{
    registerGenerators();
    return DMImageLibrary::imageNamed(name);
}

void DMControlsImages::registerGenerators()
{
    static const bool registered = [] {
        registerProgressImages();
        registerScrollerImages();
        return true;
    }();
    (void)registered;
}

QImage DMControlsImages::blankImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}
