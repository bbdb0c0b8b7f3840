// The iCalendar writer: folding, escaping, the value forms and write failures.
#include "DMiCalendarWriter.h"

#include <QBuffer>
#include <QLocale>
#include <QStringDecoder>
#include <QTimeZone>

#include <ctime>

#include <gtest/gtest.h>

namespace {

QByteArray written(const std::function<void(DMiCalendarWriter &)> &write)
{
    QByteArray bytes;
    DMiCalendarWriter writer(&bytes);
    write(writer);
    return bytes;
}

// The physical lines, without their CR LF; fails when a line does not end with CR LF.
QList<QByteArray> physicalLines(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    EXPECT_TRUE(lines.last().isEmpty()) << "the output ends with a line break";
    lines.removeLast();
    for (QByteArray &line : lines) {
        EXPECT_TRUE(line.endsWith('\r'));
        line.chop(1);
    }
    return lines;
}

// The content lines with their folds undone.
QStringList contentLines(const QByteArray &bytes)
{
    QStringList lines;
    for (const QByteArray &line : physicalLines(bytes)) {
        if (line.startsWith(' ') && !lines.isEmpty())
            lines.last() += QString::fromUtf8(line.mid(1));
        else
            lines.append(QString::fromUtf8(line));
    }
    return lines;
}

QString line(const std::function<void(DMiCalendarWriter &)> &write)
{
    return contentLines(written(write)).value(0);
}

} // namespace

TEST(ICalendarWriter, FoldsAt75OctetsWithCRLF)
{
    const QByteArray exact(75, 'a');
    EXPECT_EQ(written([&](DMiCalendarWriter &w) { w._writeLineLength(exact.constData(), exact.size()); }), exact + "\r\n");
    const QByteArray longer(76, 'b');
    EXPECT_EQ(written([&](DMiCalendarWriter &w) { w._writeLineLength(longer.constData(), longer.size()); }),
              QByteArray(75, 'b') + "\r\n b\r\n");
    EXPECT_TRUE(written([](DMiCalendarWriter &w) { w._writeLineLength("x", 0); }).isEmpty());
}

TEST(ICalendarWriter, FoldingNeverSplitsACharacter)
{
    // 500 characters of one, two, three and four bytes each.
    QString title;
    const QString pieces[] = {QStringLiteral("a"), QStringLiteral("\u00fc"), QStringLiteral("\u20ac"), QStringLiteral("\U0001F600")};
    for (int i = 0; i < 500; ++i)
        title += pieces[i % 4];
    const QByteArray bytes = written([&](DMiCalendarWriter &w) { w.setSUMMARY(title); });
    const QList<QByteArray> lines = physicalLines(bytes);
    ASSERT_GT(lines.size(), 10);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), 75) << "line " << i;
        EXPECT_EQ(lines[i].startsWith(' '), i > 0);
        QStringDecoder strict(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = strict(i > 0 ? lines[i].mid(1) : lines[i]);
        EXPECT_FALSE(strict.hasError()) << "line " << i << " is whole UTF-8";
        EXPECT_FALSE(decoded.contains(QChar::ReplacementCharacter));
    }
    EXPECT_EQ(contentLines(bytes), QStringList{QStringLiteral("SUMMARY:") + title});
}

TEST(ICalendarWriter, TextKeepsEveryCharacterAndEscapesOnlyWhatTheFormatEscapes)
{
    // a, colon, b, semicolon, c, comma, d, backslash, e, line feed, x.
    EXPECT_EQ(DMiCalendar_TEXT(QStringLiteral("a:b;c,d\\e\nx")), QStringLiteral("a:b\\;c\\,d\\\\e\\Nx"));
    EXPECT_EQ(DMiCalendar_TEXT(QStringLiteral("\"Caf\u00e9\" \u00fc\u00ff\u00fe \uF8FF\U0001F600\ttab")),
              QStringLiteral("\"Caf\u00e9\" \u00fc\u00ff\u00fe \uF8FF\U0001F600\ttab"));
    EXPECT_EQ(DMiCalendar_TEXT(QStringLiteral("one\r\ntwo\rthree")), QStringLiteral("one\\Ntwo\\Nthree"));
    EXPECT_EQ(DMiCalendar_TEXT(QStringLiteral("bell\x07 nul") + QChar(0) + QStringLiteral(" del\x7f")), QStringLiteral("bell nul del"));
    EXPECT_EQ(DMiCalendar_TEXT(QString()), QString());
}

TEST(ICalendarWriter, NoValueStartsALineOfItsOwn)
{
    const QString hostile = QStringLiteral("Title\r\nEND:VEVENT\nBEGIN:VEVENT");
    for (const auto &write : std::initializer_list<std::function<void(DMiCalendarWriter &)>>{
             [&](DMiCalendarWriter &w) { w.setSUMMARY(hostile); },
             [&](DMiCalendarWriter &w) { w.setUID(hostile); },
             [&](DMiCalendarWriter &w) { w.setSTATUS(hostile); },
             [&](DMiCalendarWriter &w) { w.setRESOURCES({hostile, hostile}); },
             [&](DMiCalendarWriter &w) { w.setATTENDEE_commonNameEmail(hostile, hostile); },
             [&](DMiCalendarWriter &w) { w.setRELATED_TO_relationRelatedItem(hostile, hostile); }})
        EXPECT_EQ(contentLines(written(write)).size(), 1);
}

TEST(ICalendarWriter, ListsEscapeEachValue)
{
    EXPECT_EQ(line([](DMiCalendarWriter &w) { w.setRESOURCES({QStringLiteral("Crane, big"), QStringLiteral("Van;2")}); }),
              QStringLiteral("RESOURCES:Crane\\, big,Van\\;2"));
    EXPECT_EQ(line([](DMiCalendarWriter &w) { w.setCATEGORIES({QStringLiteral("One")}); }), QStringLiteral("CATEGORIES:One"));
    EXPECT_EQ(line([](DMiCalendarWriter &w) { w.setRESOURCES({}); }), QStringLiteral("RESOURCES:"));
}

TEST(ICalendarWriter, ParametersAndAddresses)
{
    EXPECT_EQ(line([](DMiCalendarWriter &w) { w.setATTENDEE_commonNameEmail(QStringLiteral("Ada \"A\" L, \u00e9\n2^"), QStringLiteral("ada@x.org")); }),
              QStringLiteral("ATTENDEE;CN=\"Ada ^'A^' L, \u00e9^n2^^\":MAILTO:ada@x.org"));
    EXPECT_EQ(line([](DMiCalendarWriter &w) { w.setATTENDEE_commonNameEmail(QString(), QStringLiteral("b@x.org")); }),
              QStringLiteral("ATTENDEE:MAILTO:b@x.org"));
    EXPECT_EQ(line([](DMiCalendarWriter &w) { w.setORGANIZER_commonNameEmail(QStringLiteral("Bo; Co"), QStringLiteral("b@x.org")); }),
              QStringLiteral("ORGANIZER;CN=\"Bo; Co\":MAILTO:b@x.org"));
    EXPECT_EQ(line([](DMiCalendarWriter &w) { w.setRELATED_TO_relationRelatedItem(QStringLiteral("RELTYPE=PARENT"), QStringLiteral("U-1")); }),
              QStringLiteral("RELATED-TO;RELTYPE=PARENT:U-1"));
    EXPECT_EQ(line([](DMiCalendarWriter &w) { w.setPRODID_CompanyProduct(QStringLiteral("qelm"), QStringLiteral("Halcyra2")); }),
              QStringLiteral("PRODID:-//qelm//NONSGML Halcyra2//EN"));
}

TEST(ICalendarWriter, NumbersDatesAndDurations)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(line([](DMiCalendarWriter &w) { w.setGEO_latitudeNorthLongitudeEast(52.5, -13.25); }),
              QStringLiteral("GEO:52.500000;-13.250000"));
    QLocale::setDefault(saved);
    EXPECT_EQ(line([](DMiCalendarWriter &w) { w.setPERCENT_COMPLETE(-5); }), QStringLiteral("PERCENT-COMPLETE:0"));
    EXPECT_EQ(line([](DMiCalendarWriter &w) { w.setPERCENT_COMPLETE(250); }), QStringLiteral("PERCENT-COMPLETE:100"));
    EXPECT_EQ(line([](DMiCalendarWriter &w) { w.setDURATION_daysHoursMinutesSeconds(1, 2, 0, 0); }), QStringLiteral("DURATION:+P1DT2H0M0S"));
    EXPECT_EQ(line([](DMiCalendarWriter &w) { w.setDURATION_daysHoursMinutesSeconds(0, 0, 0, 0); }), QStringLiteral("DURATION:-P0DT0H0M0S"));
    // Parts of mixed signs make one signed duration.
    EXPECT_EQ(line([](DMiCalendarWriter &w) { w.setDURATION_daysHoursMinutesSeconds(1, -2, 0, 0); }), QStringLiteral("DURATION:+P0DT22H0M0S"));
    EXPECT_EQ(line([](DMiCalendarWriter &w) { w.setDURATION_daysHoursMinutesSeconds(0, -1, -30, 0); }), QStringLiteral("DURATION:-P0DT1H30M0S"));
    EXPECT_EQ(line([](DMiCalendarWriter &w) { w.setDTSTAMP(QDateTime(QDate(2024, 3, 4), QTime(9, 0), QTimeZone(3600))); }),
              QStringLiteral("DTSTAMP:20240304T080000Z"));
}

// Wall-clock times of the local zone become UTC instants: in winter, in summer, and in the hour
// the change to summer time skips (read with the winter offset).
TEST(ICalendarWriter, DatesAreWrittenInUTC)
{
    const QByteArray savedZone = qgetenv("TZ");
    qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    tzset();
    EXPECT_EQ(line([](DMiCalendarWriter &w) { w.setDTSTART(DMDate(2024, 3, 4, 8 * 3600 + 5)); }), QStringLiteral("DTSTART:20240304T070005Z"));
    EXPECT_EQ(line([](DMiCalendarWriter &w) { w.setDTEND(DMDate(2024, 7, 1, 12 * 3600)); }), QStringLiteral("DTEND:20240701T100000Z"));
    EXPECT_EQ(line([](DMiCalendarWriter &w) { w.setDUE(DMDate(2024, 3, 31, 2 * 3600 + 1800)); }), QStringLiteral("DUE:20240331T013000Z"));
    EXPECT_EQ(line([](DMiCalendarWriter &w) { w.setDUE(DMDate(2024, 1, 1, 0)); }), QStringLiteral("DUE:20231231T230000Z"));
    if (savedZone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", savedZone);
    tzset();
}

// Only an address can be invited; any text is written as a valid, percent-encoded mailto.
TEST(ICalendarWriter, MailAddresses)
{
    for (const char *address : {"ada@example.org", "o'neil+x@b.example", "bo@localhost", "\xc3\xa9mile@caf\xc3\xa9.fr"})
        EXPECT_TRUE(DMiCalendar_isMailAddress(QString::fromUtf8(address))) << address;
    for (const char *address : {"", "Bob, \"the builder\"@localhost", "ada", "a@b@c", "a b@c.org", "<a@b.org>", "a@", "@b.org", "a@b.org\n"})
        EXPECT_FALSE(DMiCalendar_isMailAddress(QString::fromUtf8(address))) << address;
    EXPECT_EQ(line([](DMiCalendarWriter &w) { w.setATTENDEE_commonNameEmail(QStringLiteral("Bob"), QStringLiteral("Bob, \"the builder\"@localhost")); }),
              QStringLiteral("ATTENDEE;CN=\"Bob\":MAILTO:Bob%2C%20%22the%20builder%22@localhost"));
    EXPECT_EQ(DMiCalendar_mailtoAddress(QStringLiteral("\u00e9mile@x.fr?subject=a#b")), QStringLiteral("%C3%A9mile@x.fr%3Fsubject=a%23b"));
}

TEST(ICalendarWriter, AFailingDeviceIsReported)
{
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    DMiCalendarWriter writer(&readOnly);
    writer.beginNode(QStringLiteral("VCALENDAR"));
    EXPECT_TRUE(writer.hasWriteError());

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    DMiCalendarWriter fine(&buffer);
    fine.beginNode(QStringLiteral("VCALENDAR"));
    EXPECT_FALSE(fine.hasWriteError());
    EXPECT_EQ(bytes, QByteArray("BEGIN:VCALENDAR\r\n"));
}
