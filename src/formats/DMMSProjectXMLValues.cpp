#include "DMMSProjectXMLValues.h"

#include "DMStringAdditions.h"

#include <QLocale>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// A field of one or more decimal digits, read into *value; false for anything else.
bool readDigits(QStringView text, qint64 *value)
{
    if (text.isEmpty() || text.size() > 9)
        return false;
    qint64 v = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c.unicode() - u'0');
    }
    *value = v;
    return true;
}

// Splits the text at the separator into exactly `count` parts.
bool splitExactly(QStringView text, QChar separator, int count, QStringView *parts)
{
    int found = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text.at(i) != separator)
            continue;
        if (found == count)
            return false;
        parts[found++] = text.mid(start, i - start);
        start = i + 1;
    }
    return found == count;
}

} // namespace

DMDate DMDate_dateWithMSProjectFormat(QStringView text)
{
    text = text.trimmed();
    QStringView halves[2];
    QStringView day[3];
    QStringView time[3];
    if (!splitExactly(text, u'T', 2, halves) || !splitExactly(halves[0], u'-', 3, day)
        || !splitExactly(halves[1], u':', 3, time))
        return DMDate();
    // The seconds may carry a fraction ("08:00:00.000").
    if (const qsizetype dot = time[2].indexOf(u'.'); dot >= 0) {
        qint64 fraction = 0;
        if (dot + 1 < time[2].size() && !readDigits(time[2].mid(dot + 1).left(9), &fraction))
            return DMDate();
        time[2] = time[2].left(dot);
    }
    qint64 year = 0, month = 0, dayOfMonth = 0, hour = 0, minute = 0, second = 0;
    if (!readDigits(day[0], &year) || !readDigits(day[1], &month) || !readDigits(day[2], &dayOfMonth)
        || !readDigits(time[0], &hour) || !readDigits(time[1], &minute) || !readDigits(time[2], &second))
        return DMDate();
    if (year < 1 || year > 9999 || month < 1 || month > 12 || dayOfMonth < 1
        || dayOfMonth > DMDate::daysInMonth(year, int(month)) || hour > 23 || minute > 59 || second > 59)
        return DMDate();
    return DMDate(int(year), int(month), int(dayOfMonth), int(hour * 3600 + minute * 60 + second));
}

QString DMDate_MSProjectFormatString(const DMDate &date)
{
    return QString::asprintf("%d-%.2d-%.2dT%.2d:%.2d:%.2d", date.year(), date.month(), date.day(), date.hour(),
                             date.minute(), date.second());
}

bool MSXMLTimeSpanReader(QStringView text, int *years, int *months, int *days, int *hours, int *minutes,
                         int *seconds)
{
    int *outputs[] = {years, months, days, hours, minutes, seconds};
    for (int *output : outputs)
        if (output)
            *output = 0;

    // Larger values are no duration of a plan (more than a thousand years in any unit).
    constexpr double kLargest = 1e7;
    text = text.trimmed();
    if (text.isEmpty() || text.front().toUpper() != u'P')
        return false;
    double y = 0, mo = 0, w = 0, d = 0, h = 0, mi = 0, s = 0;
    bool inTime = false;
    bool haveNumber = false;
    bool anyPart = false;
    QString number;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text.at(i).toUpper();
        if ((c >= u'0' && c <= u'9') || c == u'.' || c == u',') {
            if (number.size() >= 30)
                return false;
            number.append(c == u',' ? QChar(u'.') : c);
            haveNumber = true;
            continue;
        }
        if (c == u'T') {
            if (inTime || haveNumber)
                return false;
            inTime = true;
            continue;
        }
        if (!haveNumber)
            return false;
        bool ok = false;
        const double value = QLocale::c().toDouble(number, &ok);
        number.clear();
        haveNumber = false;
        if (!ok || !std::isfinite(value) || value < 0 || value > kLargest)
            return false;
        double *part = nullptr;
        if (!inTime)
            part = c == u'Y' ? &y : c == u'M' ? &mo : c == u'W' ? &w : c == u'D' ? &d : nullptr;
        else
            part = c == u'H' ? &h : c == u'M' ? &mi : c == u'S' ? &s : nullptr;
        if (!part)
            return false;
        *part += value;
        anyPart = true;
    }
    if (haveNumber || !anyPart)
        return false;

    // Fractions move into the next smaller unit; a month's fraction counts 30 days.
    const double wholeYears = std::floor(y);
    mo += (y - wholeYears) * 12.0;
    const double wholeMonths = std::floor(mo);
    d += (mo - wholeMonths) * 30.0 + w * 7.0;
    const double wholeDays = std::floor(d);
    const double timeSeconds = (d - wholeDays) * 86400.0 + h * 3600.0 + mi * 60.0 + s;
    if (wholeDays > kLargest || timeSeconds > kLargest * 3600.0)
        return false;
    const qint64 total = std::llround(timeSeconds);
    const qint64 hourPart = total / 3600;
    if (hourPart > INT_MAX)
        return false;
    if (years)
        *years = int(wholeYears);
    if (months)
        *months = int(wholeMonths);
    if (days)
        *days = int(wholeDays);
    if (hours)
        *hours = int(hourPart);
    if (minutes)
        *minutes = int(total % 3600 / 60);
    if (seconds)
        *seconds = int(total % 60);
    return true;
}

QString MSXMLDurationString(qint64 seconds)
{
    return QStringLiteral("PT%1H%2M%3S").arg(seconds / 3600).arg(seconds % 3600 / 60).arg(seconds % 60);
}

int MSXMLTimeFormatToSecondOfDay(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty())
        return 0;
    QStringView parts[3];
    int count = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text.at(i) != u':')
            continue;
        if (count == 3)
            return -1;
        parts[count++] = text.mid(start, i - start);
        start = i + 1;
    }
    qint64 fields[3] = {0, 0, 0};
    for (int i = 0; i < count; ++i) {
        QStringView part = parts[i];
        if (i == 2)
            part = part.left(part.indexOf(u'.') < 0 ? part.size() : part.indexOf(u'.'));
        if (!readDigits(part, &fields[i]))
            return -1;
    }
    if (fields[1] > 59 || fields[2] > 59 || fields[0] > 24 || (fields[0] == 24 && (fields[1] || fields[2])))
        return -1;
    return int(fields[0] * 3600 + fields[1] * 60 + fields[2]);
}

int MSXMLLenientInteger(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+'))
        negative = text.at(i++) == u'-';
    qint64 value = 0;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i)
        value = std::min<qint64>(value * 10 + (text.at(i).unicode() - u'0'), qint64(INT_MAX) + 1);
    value = negative ? -value : value;
    return int(std::clamp<qint64>(value, INT_MIN, INT_MAX));
}

double MSXMLLenientDouble(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+'))
        ++i;
    auto digits = [&] {
        const qsizetype from = i;
        while (i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9')
            ++i;
        return i > from;
    };
    bool any = digits();
    if (i < text.size() && text.at(i) == u'.') {
        ++i;
        any = digits() || any;
    }
    if (!any)
        return 0.0;
    if (i < text.size() && (text.at(i) == u'e' || text.at(i) == u'E')) {
        const qsizetype mark = i++;
        if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+'))
            ++i;
        if (!digits())
            i = mark;
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(text.mid(start, i - start), &ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

QString MSXMLDecimalText(double value, int decimals)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

double MSXMLAmount(QStringView text)
{
    return MSXMLLenientDouble(text) / 100.0;
}

QString MSXMLAmountText(double amount)
{
    return MSXMLDecimalText(amount * 100.0);
}

QString MSXMLRateText(double ratePerHour)
{
    return MSXMLDecimalText(ratePerHour, 10);
}

double MSXMLRatePerHour(double amountPerDay, double dayHours)
{
    return amountPerDay / dayHours;
}

double MSXMLAmountPerDay(double ratePerHour, double dayHours)
{
    return std::round(ratePerHour * dayHours * 1e6) / 1e6;
}

// One reference per code point; the carriage return as a reference, so that readers do not fold
// it into a line feed.
QString MSXMLText(const QString &text)
{
    QString cleaned = text;
    for (qsizetype i = 0; i < cleaned.size(); ++i) {
        const char16_t c = cleaned.at(i).unicode();
        if ((c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0xFFFE || c == 0xFFFF)
            cleaned[i] = QChar(0xFFFD);
    }
    QString escaped = stringWithHTMLEntities(cleaned);
    escaped.replace(QLatin1Char('\r'), QLatin1String("&#13;"));
    return escaped;
}
