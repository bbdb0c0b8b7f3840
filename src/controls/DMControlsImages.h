#pragma once

#include <QColor>
#include <QImage>
#include <QString>

// The artwork of the image-drawn controls (progress views, scrollers, background boxes), drawn by
// generators registered with DMImageLibrary under the names the controls load.
class DMControlsImages
{
public:
    // Registers the generators once, then asks the library (which caches every image).
    static QImage imageNamed(const QString &name);
    static void registerGenerators();

    // A transparent image of the given size in device-independent pixels.
    static QImage blankImage(int width, int height);

private:
    static void registerProgressImages();
    static void registerScrollerImages();
};
