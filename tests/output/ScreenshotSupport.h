#pragma once

#include <QDir>
#include <QImage>
#include <QString>

namespace halcyra::test {

// The folder of pictures for review, named by HALCYRA_SCREENS_DIR; empty when unset (the picture
// tests skip then).
inline QString screensFolder()
{
    return qEnvironmentVariable("HALCYRA_SCREENS_DIR");
}

inline void saveScreen(const QImage &image, const QString &name)
{
    QDir().mkpath(screensFolder());
    image.save(QDir(screensFolder()).filePath(name));
}

} // namespace halcyra::test
