#include "NBUnicodeURL.h"

#include <idn2.h>

namespace {

struct HostRange
{
    qsizetype start = -1;
    qsizetype length = 0;
};

// Where the host of "scheme://[userinfo@]host[:port][/?#...]" lies; no range without "://".
// A bracketed IPv6 literal is not a name and is left out.
HostRange hostRange(const QString &string)
{
    const qsizetype schemeEnd = string.indexOf(QLatin1String("://"));
    if (schemeEnd <= 0)
        return {};
    const qsizetype authorityStart = schemeEnd + 3;
    qsizetype authorityEnd = authorityStart;
    while (authorityEnd < string.size() && string[authorityEnd] != u'/' && string[authorityEnd] != u'?'
           && string[authorityEnd] != u'#')
        ++authorityEnd;
    const qsizetype at = string.lastIndexOf(u'@', authorityEnd - 1);
    const qsizetype hostStart = at >= authorityStart ? at + 1 : authorityStart;
    if (hostStart < string.size() && string[hostStart] == u'[')
        return {};
    qsizetype hostEnd = hostStart;
    while (hostEnd < authorityEnd && string[hostEnd] != u':')
        ++hostEnd;
    return {hostStart, hostEnd - hostStart};
}

bool isASCII(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() > 0x7F)
            return false;
    }
    return true;
}

QString idnaConverted(const QString &host, bool toASCII)
{
    // libidn2 reads C strings: a NUL would cut the host short and convert another one.
    if (host.contains(QChar(0)))
        return {};
    char *output = nullptr;
    const QByteArray input = host.toUtf8();
    const int result = toASCII ? idn2_to_ascii_8z(input.constData(), &output, IDN2_NFC_INPUT | IDN2_NONTRANSITIONAL)
                               : idn2_to_unicode_8z8z(input.constData(), &output, 0);
    QString converted;
    if (result == IDN2_OK && output)
        converted = QString::fromUtf8(output);
    idn2_free(output);
    return converted;
}

} // namespace

QUrl NBURLWithString(const QString &string)
{
    if (string.isEmpty() || !isASCII(string))
        return {};
    QUrl url(string, QUrl::StrictMode);
    return url.isValid() ? url : QUrl();
}

QUrl NBURLWithUnicodeString(const QString &string)
{
    QString ascii = string;
    const HostRange range = hostRange(string);
    if (range.start >= 0) {
        const QString host = string.mid(range.start, range.length);
        if (!isASCII(host)) {
            const QString converted = idnaConverted(host, true);
            if (converted.isEmpty())
                return {};
            ascii.replace(range.start, range.length, converted);
        }
    }
    QString encoded;
    for (char byte : ascii.toUtf8()) {
        if (uchar(byte) > 0x7F)
            encoded += QLatin1Char('%') + QString::number(uchar(byte), 16).toUpper();
        else
            encoded += QLatin1Char(byte);
    }
    return NBURLWithString(encoded);
}

QString NBUnicodeAbsoluteString(const QUrl &url)
{
    QString string = QString::fromLatin1(url.toEncoded());
    const HostRange range = hostRange(string);
    if (range.start < 0)
        return string;
    const QString host = string.mid(range.start, range.length);
    if (!host.contains(QLatin1String("xn--"), Qt::CaseInsensitive))
        return string;
    const QString unicode = idnaConverted(host, false);
    if (!unicode.isEmpty())
        string.replace(range.start, range.length, unicode);
    return string;
}
