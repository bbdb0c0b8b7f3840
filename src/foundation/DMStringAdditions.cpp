#include "DMStringAdditions.h"

#include "DMLocalizedString.h"

#include <algorithm>
#include <cmath>

quint64 pointerValue(const QString &text)
{
    quint64 value = 0;
    for (QChar character : text) {
        const char16_t unit = character.unicode();
        const quint64 digit = (unit >= u'0' && unit <= u'9') ? quint64(unit - u'0') : 0;
        value = value * 10 + digit;
    }
    return value;
}

QString stringWithHTMLEntities(const QString &text)
{
    if (text.isNull())
        return QString();
    QString out;
    bool changed = false;
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t unit = text.at(i).unicode();
        const char *entity = nullptr;
        switch (unit) {
        case u'"': entity = "&quot;"; break;
        case u'&': entity = "&amp;"; break;
        case u'<': entity = "&lt;"; break;
        case u'>': entity = "&gt;"; break;
        default: break;
        }
        if (!entity && unit <= 159) {
            if (changed)
                out.append(QChar(unit));
            continue;
        }
        if (!changed) {
            out.reserve(length + 16);
            out.append(QStringView(text).first(i));
            changed = true;
        }
        if (entity) {
            out.append(QLatin1StringView(entity));
            continue;
        }
        char32_t codePoint = unit;
        if (QChar::isHighSurrogate(unit) && i + 1 < length && QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            codePoint = QChar::surrogateToUcs4(unit, text.at(i + 1).unicode());
            ++i;
        } else if (QChar::isSurrogate(unit)) {
            codePoint = 0xFFFD;
        }
        out.append(QLatin1StringView("&#"));
        out.append(QString::number(quint32(codePoint)));
        out.append(QLatin1Char(';'));
    }
    return changed ? out : text;
}

namespace {

// The value with that many decimals (0 to 15), halves away from zero, independent of the locale.
QString fixedDecimals(double value, int decimals)
{
    decimals = std::clamp(decimals, 0, 15);
    if (!std::isfinite(value))
        return QString::number(value);
    const double scale = std::pow(10.0, decimals);
    const double scaled = std::round(value * scale);
    // Rounding to zero must not print "-0"; adding +0.0 turns -0.0 into 0.0.
    const double rounded = (std::isfinite(scaled) ? scaled / scale : value) + 0.0;
    return QString::number(rounded, 'f', decimals);
}

} // namespace

QString dataStringForValue(int decimals, double value)
{
    const char *unit = "B";
    double shown = value;
    if (value >= 1073741824.0) {
        unit = "GB";
        shown = value / 1073741824.0;
    } else if (value >= 1048576.0) {
        unit = "MB";
        shown = value / 1048576.0;
    } else if (value >= 1024.0) {
        unit = "KB";
        shown = value / 1024.0;
    }
    return fixedDecimals(shown, decimals) + QLatin1Char(' ') + DMLocalizedString(unit);
}

QString dataRateStringForRate(float bytesPerSecond)
{
    const double rate = double(bytesPerSecond);
    const char *unit = "B/s";
    double shown = rate;
    if (rate >= 1000000.0) {
        unit = "MB/s";
        shown = rate / 1000000.0;
    } else if (rate >= 1000.0) {
        unit = "KB/s";
        shown = rate / 1000.0;
    }
    return fixedDecimals(shown, 1) + QLatin1Char(' ') + DMLocalizedString(unit);
}

QString fileNameForTitle(const QString &title, const QString &fallback, const QString &extension)
{
    QString name;
    for (const QChar c : title)
        name += (c.unicode() < 0x20 || c.unicode() == 0x7F || c == QLatin1Char('/') || c == QLatin1Char('\\')) ? QLatin1Char('_') : c;
    name = name.trimmed();
    while (name.contains(QLatin1String("..")))
        name.replace(QLatin1String(".."), QLatin1String("."));
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    // File names hold 255 bytes: keep room for the extension, and cut between characters.
    while (name.toUtf8().size() > 200)
        name.chop(name.size() > 1 && name.at(name.size() - 1).isLowSurrogate() ? 2 : 1);
    if (name.trimmed().isEmpty())
        name = fallback;
    return name + QLatin1Char('.') + extension;
}
