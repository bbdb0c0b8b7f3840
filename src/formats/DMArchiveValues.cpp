#include "DMArchiveValues.h"

#include <QLocale>
#include <QList>

#include <algorithm>
#include <cmath>

namespace {

// Up to `most` decimal numbers separated by white space, ending at a NUL byte or the end.
bool componentsOf(const QByteArray &text, int most, QList<double> *values)
{
    const qsizetype end = text.indexOf('\0') < 0 ? text.size() : text.indexOf('\0');
    const QList<QByteArray> parts = text.left(end).simplified().split(' ');
    if (parts.isEmpty() || parts.size() > most)
        return false;
    for (const QByteArray &part : parts) {
        bool ok = false;
        const double value = QLocale::c().toDouble(QString::fromLatin1(part), &ok);
        if (!ok || !std::isfinite(value))
            return false;
        values->append(std::clamp(value, 0.0, 1.0));
    }
    return true;
}

} // namespace

QColor DMArchive_colorWithComponents(int colorSpace, const QByteArray &rgb, const QByteArray &white,
                                     const QByteArray &cmyk)
{
    QList<double> c;
    switch (colorSpace) {
    case 1:
    case 2:
        if (!componentsOf(rgb, 4, &c) || c.size() < 3)
            return QColor();
        return QColor::fromRgbF(float(c[0]), float(c[1]), float(c[2]), float(c.size() > 3 ? c[3] : 1.0));
    case 3:
    case 4:
        if (!componentsOf(white, 2, &c))
            return QColor();
        return QColor::fromRgbF(float(c[0]), float(c[0]), float(c[0]), float(c.size() > 1 ? c[1] : 1.0));
    case 5:
        if (!componentsOf(cmyk, 5, &c) || c.size() < 4)
            return QColor();
        return QColor::fromCmykF(float(c[0]), float(c[1]), float(c[2]), float(c[3]), float(c.size() > 4 ? c[4] : 1.0)).toRgb();
    default:
        return QColor();
    }
}

bool DMArchive_rectFromString(QStringView text, QRectF *rect)
{
    QString digits;
    for (QChar c : text)
        digits.append(c == u'{' || c == u'}' || c == u',' ? QChar(u' ') : c);
    const QStringList parts = digits.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 4 || text.count(u'{') != 3 || text.count(u'}') != 3)
        return false;
    double values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = QLocale::c().toDouble(parts.at(i), &ok);
        if (!ok || !std::isfinite(values[i]))
            return false;
    }
    *rect = QRectF(values[0], values[1], values[2], values[3]);
    return true;
}

QDateTime DMArchive_dateWithReferenceSeconds(double seconds, const QTimeZone &zone)
{
    // 2001-01-01 to 9999-12-31 is about 2.5e11 seconds; earlier than year 1 is as far back.
    constexpr double kLimit = 2.5e11;
    constexpr qint64 kReferenceDate = 978307200; // 2001-01-01 in seconds since 1970
    if (!std::isfinite(seconds) || std::fabs(seconds) > kLimit)
        return QDateTime();
    const qint64 msecs = kReferenceDate * 1000 + std::llround(seconds * 1000.0);
    return zone.isValid() ? QDateTime::fromMSecsSinceEpoch(msecs, zone)
                          : QDateTime::fromMSecsSinceEpoch(msecs, Qt::LocalTime);
}
