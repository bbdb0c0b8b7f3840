#include "DMiCalendarWriter.h"

#include <QIODevice>
#include <QRegularExpression>
#include <QtDebug>

namespace {

bool isDroppedControl(char16_t c)
{
    return (c < 0x20 && c != u'\t') || c == 0x7F;
}

// A value the format does not escape: its control characters go, so that it stays on its line.
QString plainValue(const QString &text)
{
    QString value;
    value.reserve(text.size());
    for (const QChar c : text)
        if (c.unicode() >= 0x20 && c.unicode() != 0x7F)
            value += c;
    return value;
}

// A parameter value in double quotes, with the characters a parameter cannot hold encoded as
// "^'" (double quote) and "^n" (line break), and "^" itself as "^^".
QString quotedParameter(const QString &text)
{
    QString value = QStringLiteral("\"");
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u'^')
            value += QLatin1String("^^");
        else if (c == u'"')
            value += QLatin1String("^'");
        else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            value += QLatin1String("^n");
        } else if (!isDroppedControl(c))
            value += QChar(c);
    }
    return value + QLatin1Char('"');
}

QString instantValue(const QDateTime &instant)
{
    return instant.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
}

// The instant of a wall-clock time of the local zone. A time that the zone skips (the hour of a
// change to summer time) is read with the offset in force before the change, as clocks do.
QString dateValue(const DMDate &date)
{
    const QDate day = QDate::fromJulianDay(date.julianDay());
    const QTime time = QTime::fromMSecsSinceStartOfDay(date.secondOfDay() * 1000);
    const QDateTime local(day, time, Qt::LocalTime);
    if (local.isValid() && local.date() == day && local.time() == time)
        return instantValue(local);
    const QDateTime asUTC(day, time, Qt::UTC);
    return instantValue(asUTC.addSecs(-asUTC.addSecs(-3 * 3600).toLocalTime().offsetFromUtc()));
}

QString escapedList(const QStringList &values)
{
    QStringList escaped;
    escaped.reserve(values.size());
    for (const QString &value : values)
        escaped.append(DMiCalendar_TEXT(value));
    return escaped.join(QLatin1Char(','));
}

} // namespace

QString DMiCalendar_TEXT(const QString &text)
{
    QString value;
    value.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        switch (c) {
        case u'\\':
            value += QLatin1String("\\\\");
            break;
        case u';':
            value += QLatin1String("\\;");
            break;
        case u',':
            value += QLatin1String("\\,");
            break;
        case u'\r':
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            value += QLatin1String("\\N");
            break;
        case u'\n':
            value += QLatin1String("\\N");
            break;
        default:
            if (!isDroppedControl(c))
                value += QChar(c);
        }
    }
    return value;
}

bool DMiCalendar_isMailAddress(const QString &address)
{
    static const QRegularExpression pattern(QStringLiteral("^[^\\s\"(),:;<>@\\[\\\\\\]]+@[^\\s\"(),:;<>@\\[\\\\\\]]+$"));
    for (const QChar c : address)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    return pattern.match(address).hasMatch();
}

QString DMiCalendar_mailtoAddress(const QString &address)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(address, "@.!$&'*+=^_`{|}~"));
}

DMiCalendarWriter::DMiCalendarWriter(QByteArray *buffer) : m_buffer(buffer) {}

DMiCalendarWriter::DMiCalendarWriter(QIODevice *device) : m_device(device) {}

void DMiCalendarWriter::output(const char *bytes, qsizetype length)
{
    if (m_buffer) {
        m_buffer->append(bytes, length);
    } else if (m_device && !m_writeError) {
        if (m_device->write(bytes, length) != length)
            m_writeError = true;
    }
}

void DMiCalendarWriter::_writeLineLength(const char *bytes, qsizetype length)
{
    if (!bytes || length <= 0)
        return;
    // Physical lines of at most 75 octets, the continuation's leading blank included, cut only
    // before the first byte of a UTF-8 sequence.
    char line[kLineOctets + 3];
    qsizetype start = 0;
    bool first = true;
    while (start < length) {
        const qsizetype room = first ? kLineOctets : kLineOctets - 1;
        qsizetype end = qMin(length, start + room);
        while (end < length && end > start + 1 && (uchar(bytes[end]) & 0xC0) == 0x80)
            --end;
        qsizetype n = 0;
        if (!first)
            line[n++] = ' ';
        memcpy(line + n, bytes + start, size_t(end - start));
        n += end - start;
        line[n++] = '\r';
        line[n++] = '\n';
        output(line, n);
        start = end;
        first = false;
    }
}

void DMiCalendarWriter::writeLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    _writeLineLength(bytes.constData(), bytes.size());
}

void DMiCalendarWriter::beginNode(const QString &name)
{
    writeLine(QStringLiteral("BEGIN:") + plainValue(name));
}

void DMiCalendarWriter::endNode(const QString &name)
{
    writeLine(QStringLiteral("END:") + plainValue(name));
}

void DMiCalendarWriter::setVERSION(const QString &version)
{
    writeLine(QStringLiteral("VERSION:") + DMiCalendar_TEXT(version));
}

void DMiCalendarWriter::setPRODID_CompanyProduct(const QString &company, const QString &product)
{
    writeLine(QStringLiteral("PRODID:-//%1//NONSGML %2//EN").arg(DMiCalendar_TEXT(company), DMiCalendar_TEXT(product)));
}

void DMiCalendarWriter::setATTACHBinary(const QUrl &url, bool binary)
{
    if (binary) {
        qWarning("Binary attachment not supported yet");
        return;
    }
    writeLine(QStringLiteral("ATTACH:") + plainValue(url.toString(QUrl::FullyEncoded)));
}

void DMiCalendarWriter::setCATEGORIES(const QStringList &values)
{
    writeLine(QStringLiteral("CATEGORIES:") + escapedList(values));
}

void DMiCalendarWriter::setRESOURCES(const QStringList &values)
{
    writeLine(QStringLiteral("RESOURCES:") + escapedList(values));
}

void DMiCalendarWriter::setCLASS(const QString &value)
{
    writeLine(QStringLiteral("CLASS:") + DMiCalendar_TEXT(value));
}

void DMiCalendarWriter::setCOMMENT(const QString &text)
{
    writeLine(QStringLiteral("COMMENT:") + DMiCalendar_TEXT(text));
}

void DMiCalendarWriter::setDESCRIPTION(const QString &text)
{
    writeLine(QStringLiteral("DESCRIPTION:") + DMiCalendar_TEXT(text));
}

void DMiCalendarWriter::setSUMMARY(const QString &text)
{
    writeLine(QStringLiteral("SUMMARY:") + DMiCalendar_TEXT(text));
}

void DMiCalendarWriter::setCONTACT(const QString &text)
{
    writeLine(QStringLiteral("CONTACT:") + DMiCalendar_TEXT(text));
}

void DMiCalendarWriter::setGEO_latitudeNorthLongitudeEast(double latitude, double longitude)
{
    writeLine(QStringLiteral("GEO:%1;%2").arg(QString::number(latitude, 'f', 6), QString::number(longitude, 'f', 6)));
}

void DMiCalendarWriter::setPERCENT_COMPLETE(int percent)
{
    writeLine(QStringLiteral("PERCENT-COMPLETE:%1").arg(qBound(0, percent, 100)));
}

void DMiCalendarWriter::setPRIORITY(int priority)
{
    writeLine(QStringLiteral("PRIORITY:%1").arg(priority));
}

void DMiCalendarWriter::setSTATUS(const QString &status)
{
    writeLine(QStringLiteral("STATUS:") + plainValue(status));
}

void DMiCalendarWriter::setUID(const QString &uid)
{
    writeLine(QStringLiteral("UID:") + plainValue(uid));
}

void DMiCalendarWriter::setURL(const QUrl &url)
{
    writeLine(QStringLiteral("URL:") + plainValue(url.toString(QUrl::FullyEncoded)));
}

void DMiCalendarWriter::setDTSTART(const DMDate &date)
{
    writeLine(QStringLiteral("DTSTART:") + dateValue(date));
}

void DMiCalendarWriter::setDTEND(const DMDate &date)
{
    writeLine(QStringLiteral("DTEND:") + dateValue(date));
}

void DMiCalendarWriter::setDUE(const DMDate &date)
{
    writeLine(QStringLiteral("DUE:") + dateValue(date));
}

void DMiCalendarWriter::setDTSTAMP(const QDateTime &instant)
{
    writeLine(QStringLiteral("DTSTAMP:") + instantValue(instant));
}

void DMiCalendarWriter::setCOMPLETED(const QDateTime &instant)
{
    writeLine(QStringLiteral("COMPLETED:") + instantValue(instant));
}

void DMiCalendarWriter::setCREATED(const QDateTime &instant)
{
    writeLine(QStringLiteral("CREATED:") + instantValue(instant));
}

void DMiCalendarWriter::setLAST_MODIFIED(const QDateTime &instant)
{
    writeLine(QStringLiteral("LAST-MODIFIED:") + instantValue(instant));
}

void DMiCalendarWriter::setDURATION_daysHoursMinutesSeconds(int days, int hours, int minutes, int seconds)
{
    // Parts of mixed signs are summed first: a duration has one sign, in front.
    const qint64 total = qint64(days) * 86400 + qint64(hours) * 3600 + qint64(minutes) * 60 + seconds;
    const qint64 magnitude = total < 0 ? -total : total;
    writeLine(QStringLiteral("DURATION:%1P%2DT%3H%4M%5S")
                  .arg(total > 0 ? QLatin1Char('+') : QLatin1Char('-'))
                  .arg(magnitude / 86400)
                  .arg(magnitude % 86400 / 3600)
                  .arg(magnitude % 3600 / 60)
                  .arg(magnitude % 60));
}

void DMiCalendarWriter::setATTENDEE_commonNameEmail(const QString &commonName, const QString &email)
{
    if (commonName.isEmpty())
        writeLine(QStringLiteral("ATTENDEE:MAILTO:") + DMiCalendar_mailtoAddress(email));
    else
        writeLine(QStringLiteral("ATTENDEE;CN=%1:MAILTO:%2").arg(quotedParameter(commonName), DMiCalendar_mailtoAddress(email)));
}

void DMiCalendarWriter::setORGANIZER_commonNameEmail(const QString &commonName, const QString &email)
{
    if (commonName.isEmpty())
        writeLine(QStringLiteral("ORGANIZER:MAILTO:") + DMiCalendar_mailtoAddress(email));
    else
        writeLine(QStringLiteral("ORGANIZER;CN=%1:MAILTO:%2").arg(quotedParameter(commonName), DMiCalendar_mailtoAddress(email)));
}

void DMiCalendarWriter::setRELATED_TO_relationRelatedItem(const QString &relation, const QString &uid)
{
    if (relation.isEmpty())
        writeLine(QStringLiteral("RELATED-TO:") + DMiCalendar_TEXT(uid));
    else
        writeLine(QStringLiteral("RELATED-TO;%1:%2").arg(plainValue(relation), DMiCalendar_TEXT(uid)));
}
