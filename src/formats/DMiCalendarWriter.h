#pragma once

#include "DMDate.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUrl>

class QIODevice;

// Writes iCalendar text (content lines "NAME;PARAMETERS:VALUE") one line at a time to a growing
// byte buffer or an open device, folding each line at 75 octets (never inside a UTF-8 sequence)
// and ending it with CR LF. It keeps no component stack: matching BEGIN and END lines are the
// caller's. Text values go through DMiCalendar_TEXT; values that the format does not escape
// (UIDs, statuses, addresses, URLs) lose their control characters, so no value starts a line of
// its own. Numbers do not depend on the user's locale.
class DMiCalendarWriter
{
public:
    // The buffer or the device is not owned and must outlive the writer; the device must be open
    // for writing. A null output writes nothing.
    explicit DMiCalendarWriter(QByteArray *buffer);
    explicit DMiCalendarWriter(QIODevice *device);

    // True once a write to the device failed (a full disk): the output is then incomplete.
    bool hasWriteError() const { return m_writeError; }

    void beginNode(const QString &name);
    void endNode(const QString &name);

    void setVERSION(const QString &version);
    void setPRODID_CompanyProduct(const QString &company, const QString &product);
    // A URL attachment; binary attachments are not written (a warning is logged).
    void setATTACHBinary(const QUrl &url, bool binary);
    // Lists: each value is escaped on its own, the values separated by commas.
    void setCATEGORIES(const QStringList &values);
    void setRESOURCES(const QStringList &values);
    void setCLASS(const QString &value);
    void setCOMMENT(const QString &text);
    void setDESCRIPTION(const QString &text);
    void setSUMMARY(const QString &text);
    void setCONTACT(const QString &text);
    void setGEO_latitudeNorthLongitudeEast(double latitude, double longitude);
    void setPERCENT_COMPLETE(int percent); // clamped to 0...100
    void setPRIORITY(int priority);
    void setSTATUS(const QString &status);
    void setUID(const QString &uid);
    void setURL(const QUrl &url);
    // Calendar dates and times, wall-clock times of the local time zone, written as the instants
    // they are in UTC ("20240304T070000Z" for 08:00 in Berlin), so that a calendar in another
    // zone shows them at the right moment.
    void setDTSTART(const DMDate &date);
    void setDTEND(const DMDate &date);
    void setDUE(const DMDate &date);
    // Instants, which the format wants in UTC ("20240304T070000Z").
    void setDTSTAMP(const QDateTime &instant);
    void setCOMPLETED(const QDateTime &instant);
    void setCREATED(const QDateTime &instant);
    void setLAST_MODIFIED(const QDateTime &instant);
    // The signed total of the four parts: "+P1DT2H0M0S"; a total of zero or less reads "-P...".
    void setDURATION_daysHoursMinutesSeconds(int days, int hours, int minutes, int seconds);
    // Common names are quoted parameter values; the characters a parameter cannot hold (double
    // quote, line breaks) are written as "^'" and "^n", and "^" as "^^". The address is written
    // as a mailto URI, percent-encoded (DMiCalendar_mailtoAddress).
    void setATTENDEE_commonNameEmail(const QString &commonName, const QString &email);
    void setORGANIZER_commonNameEmail(const QString &commonName, const QString &email);
    // "RELATED-TO;<relation>:<uid>", the relation being a parameter such as "RELTYPE=PARENT"; the
    // UID is a text value, written without angle brackets so that it matches the related UID.
    void setRELATED_TO_relationRelatedItem(const QString &relation, const QString &uid);

    // One content line, folded; a length of 0 or less writes nothing.
    void _writeLineLength(const char *bytes, qsizetype length);

    // The folding width: octets of a physical line, without its CR LF.
    static constexpr qsizetype kLineOctets = 75;

private:
    void writeLine(const QString &line);
    void output(const char *bytes, qsizetype length);

    QByteArray *m_buffer = nullptr;
    QIODevice *m_device = nullptr;
    bool m_writeError = false;
};

// A text value as the iCalendar format escapes it: backslash, semicolon and comma get a
// backslash, a line break (CR LF, LF or CR) becomes "\N"; control characters that a text cannot
// hold are dropped; every other character, colons, quotes and letters of any script included,
// is kept. A null text gives an empty text.
QString DMiCalendar_TEXT(const QString &text);

// Whether the text is an e-mail address a calendar can invite: a local part and a domain joined
// by one "@", without white space, control characters or the characters that delimit addresses
// ("\"(),:;<>[\\]").
bool DMiCalendar_isMailAddress(const QString &address);
// The address as the part of a mailto URI after the colon: UTF-8, every character other than
// letters, digits and "@.!$&'*+-=^_`{|}~" percent-encoded.
QString DMiCalendar_mailtoAddress(const QString &address);
