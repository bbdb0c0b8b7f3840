#pragma once

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QList>
#include <QPair>
#include <QRectF>
#include <QRegularExpression>
#include <QSizeF>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
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

// The document's title, as pdfinfo reads it.
inline QString pdfTitle(const QString &path)
{
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Title:[ \\t]*([^\\n]*)")).match(run(QStringLiteral("pdfinfo"), {path}));
    return match.hasMatch() ? match.captured(1).trimmed() : QString();
}

// The text of a page (from 1), or of every page with page 0, as pdftotext reads it.
inline QString pdfText(const QString &path, int page = 0)
{
    QStringList arguments;
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    return run(QStringLiteral("pdftotext"), arguments << path << QStringLiteral("-"));
}

// The words pdftotext reads on a page (from 1), with their boxes in points from the page's top left.
inline QList<QPair<QString, QRectF>> pdfWords(const QString &path, int page = 1)
{
    QList<QPair<QString, QRectF>> words;
    const QString xml = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
                                                          QStringLiteral("-l"), QString::number(page), path, QStringLiteral("-")});
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    for (auto it = word.globalMatch(xml); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        words.append({m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                            QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return words;
}

// The number of bitmap images the PDF holds, as pdfimages lists them.
inline int pdfImageCount(const QString &path)
{
    const QStringList lines = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path}).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return std::max(0, int(lines.size()) - 2); // a heading and a rule
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
