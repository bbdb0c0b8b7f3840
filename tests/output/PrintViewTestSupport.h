#pragma once

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSizeF>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <initializer_list>

#include <gtest/gtest.h>

// Reading PDF output the way another program does: poppler-utils' pdfinfo and pdftoppm.
namespace printtest {

inline QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline QString writeFile(const QTemporaryDir &folder, const QString &name, const QByteArray &data)
{
    const QString path = folder.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(data);
    return path;
}

inline int pdfPageCount(const QString &path)
{
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run(QStringLiteral("pdfinfo"), {path}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The size of the first page in points, as pdfinfo prints it (two decimals).
inline QSizeF pdfPageSize(const QString &path)
{
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts"))
                                              .match(run(QStringLiteral("pdfinfo"), {path}));
    return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()) : QSizeF();
}

// One page at the given resolution (72: one pixel a point).
inline QImage pdfPageImage(const QString &path, int page, int dpi = 72)
{
    const QString stem = path + QStringLiteral("-page%1").arg(page);
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi),
                                     QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                     QString::number(page), QStringLiteral("-singlefile"), path, stem});
    return QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// An image whose pixels are points (72 dots per inch).
inline QImage pointImage(int width, int height, const QColor &fill = Qt::white)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(2835);
    image.fill(fill);
    return image;
}

inline void paint(QImage &image, const std::function<void(QPainter &)> &draw)
{
    QPainter painter(&image);
    draw(painter);
}

inline bool near(QRgb pixel, const QColor &colour, int tolerance = 40)
{
    return std::abs(qRed(pixel) - colour.red()) <= tolerance && std::abs(qGreen(pixel) - colour.green()) <= tolerance
           && std::abs(qBlue(pixel) - colour.blue()) <= tolerance;
}

// A pixel and the colour expected there.
struct Probe
{
    int x;
    int y;
    QColor colour;
};

inline void expectColours(const QImage &image, std::initializer_list<Probe> probes)
{
    for (const Probe &probe : probes)
        EXPECT_TRUE(near(image.pixel(probe.x, probe.y), probe.colour))
            << "at " << probe.x << ", " << probe.y << ": " << std::hex << image.pixel(probe.x, probe.y);
}

} // namespace printtest
