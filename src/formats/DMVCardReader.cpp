#include "DMVCardReader.h"

#include "DMLocalizedString.h"
#include "DMRegularFile.h"

#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

// One unfolded content line: [group.]NAME;param=value;...:value
struct ContentLine
{
    QByteArray name; // upper case, without its group
    QStringList types;
    QByteArray encoding; // upper case: "QUOTED-PRINTABLE", "B", "BASE64"
    QByteArray charset;
    QByteArray valueKind; // VALUE=, upper case: "URI", "URL", "TEXT"
    int preference = 100;
    QByteArray value;
};

// Physical lines (CRLF, LF or CR) joined into logical ones: a line that begins with a blank or a
// tab continues the one before without that character, and a quoted-printable value that ends
// with "=" continues on the next line (the soft line break of older writers).
QList<QByteArray> unfoldedLines(const QByteArray &data)
{
    QByteArray text = data;
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    QList<QByteArray> lines;
    // Where the name and parameters of the current logical line end (its first colon), looked
    // for only in what was added since the last look, so that long lines cost no more than once.
    qsizetype colon = -1;
    qsizetype searched = 0;
    bool quotedPrintable = false;
    bool softBreak = false;
    for (const QByteArray &physical : text.split('\n')) {
        if (!lines.isEmpty() && (softBreak || physical.startsWith(' ') || physical.startsWith('\t'))) {
            lines.last().append(softBreak ? physical : physical.mid(1));
        } else {
            lines.append(physical);
            colon = -1;
            searched = 0;
            quotedPrintable = false;
        }
        QByteArray &line = lines.last();
        if (colon < 0) {
            colon = line.indexOf(':', searched);
            searched = line.size();
            if (colon > 0)
                quotedPrintable = line.left(colon).toUpper().contains("QUOTED-PRINTABLE");
        }
        softBreak = quotedPrintable && line.endsWith('=');
        if (softBreak)
            line.chop(1);
    }
    return lines;
}

// The parameter values of one "name=value,value" (quotes removed); a bare value stands for TYPE.
void addParameter(ContentLine &line, const QByteArray &parameter)
{
    const qsizetype equals = parameter.indexOf('=');
    const QByteArray name = (equals < 0 ? QByteArray("TYPE") : parameter.left(equals)).trimmed().toUpper();
    QByteArray value = equals < 0 ? parameter : parameter.mid(equals + 1);
    value = value.trimmed();
    if (equals < 0) {
        const QByteArray upper = value.toUpper();
        // Older writers name encodings and charsets without the parameter name.
        if (upper == "QUOTED-PRINTABLE" || upper == "BASE64" || upper == "B" || upper == "8BIT" || upper == "7BIT") {
            line.encoding = upper;
            return;
        }
    }
    QList<QByteArray> values;
    QByteArray current;
    bool quoted = false;
    for (const char c : value) {
        if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            values.append(std::exchange(current, QByteArray()));
        else
            current.append(c);
    }
    values.append(current);

    if (name == "TYPE") {
        // TYPE="work,voice" (a quoted list) names two types as TYPE=work,voice does.
        for (const QByteArray &quotedList : values)
            for (const QByteArray &type : quotedList.split(',')) {
                const QString lower = QString::fromUtf8(type).trimmed().toLower();
                if (lower == QLatin1String("pref"))
                    line.preference = std::min(line.preference, 1);
                else if (!lower.isEmpty())
                    line.types.append(lower);
            }
    } else if (name == "PREF") {
        bool ok = false;
        const int preference = values.value(0).trimmed().toInt(&ok);
        if (ok && preference >= 1 && preference <= 100)
            line.preference = std::min(line.preference, preference);
    } else if (name == "ENCODING") {
        line.encoding = values.value(0).trimmed().toUpper();
    } else if (name == "CHARSET") {
        line.charset = values.value(0).trimmed();
    } else if (name == "VALUE") {
        line.valueKind = values.value(0).trimmed().toUpper();
    }
}

// Splits a logical line into its name, parameters and value; nullopt when it has no colon or
// no name.
std::optional<ContentLine> parseLine(const QByteArray &text)
{
    ContentLine line;
    qsizetype i = 0;
    while (i < text.size() && text.at(i) != ';' && text.at(i) != ':')
        ++i;
    QByteArray name = text.left(i).trimmed();
    const qsizetype dot = name.lastIndexOf('.');
    if (dot >= 0)
        name = name.mid(dot + 1);
    if (name.isEmpty() || i >= text.size())
        return std::nullopt;
    line.name = name.toUpper();
    while (i < text.size() && text.at(i) == ';') {
        const qsizetype start = ++i;
        bool quoted = false;
        while (i < text.size() && (quoted || (text.at(i) != ';' && text.at(i) != ':'))) {
            if (text.at(i) == '"')
                quoted = !quoted;
            ++i;
        }
        addParameter(line, text.mid(start, i - start));
    }
    if (i >= text.size() || text.at(i) != ':')
        return std::nullopt;
    line.value = text.mid(i + 1);
    return line;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// "=XX" becomes the byte XX; anything else, a stray "=" included, stays as it is.
QByteArray decodeQuotedPrintable(const QByteArray &value)
{
    QByteArray bytes;
    bytes.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value.at(i) == '=' && i + 2 < value.size() && hexValue(value.at(i + 1)) >= 0
            && hexValue(value.at(i + 2)) >= 0) {
            bytes.append(char(hexValue(value.at(i + 1)) * 16 + hexValue(value.at(i + 2))));
            i += 2;
        } else {
            bytes.append(value.at(i));
        }
    }
    return bytes;
}

std::optional<QByteArray> decodeBase64(QByteArray value)
{
    value = value.simplified();
    value.replace(' ', QByteArray());
    const QByteArray::FromBase64Result result =
        QByteArray::fromBase64Encoding(value, QByteArray::Base64Encoding | QByteArray::AbortOnBase64DecodingErrors);
    if (!result || (result.decoded.isEmpty() && !value.isEmpty()))
        return std::nullopt;
    return result.decoded;
}

// The value's bytes as text: in the named charset when Qt knows it, else UTF-8 when they are
// valid UTF-8, else Latin-1 (every byte a character).
QString decodeText(const QByteArray &bytes, const QByteArray &charset)
{
    if (!charset.isEmpty()) {
        QStringDecoder named(charset.constData(), QStringDecoder::Flag::Stateless);
        if (named.isValid()) {
            QString text = named.decode(bytes);
            if (!named.hasError())
                return text;
        }
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

// The value's bytes after its transfer encoding.
QByteArray transferDecoded(const ContentLine &line)
{
    if (line.encoding == "QUOTED-PRINTABLE")
        return decodeQuotedPrintable(line.value);
    return line.value;
}

// Splits at every separator not escaped with a backslash, then resolves the escapes (\n and \N
// a line break, \\ \; \, \: the character itself).
QStringList splitEscaped(const QString &text, QChar separator)
{
    QStringList parts;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text.at(++i);
            current.append(next == QLatin1Char('n') || next == QLatin1Char('N') ? QChar(QLatin1Char('\n')) : next);
        } else if (c == separator) {
            parts.append(std::exchange(current, QString()));
        } else {
            current.append(c);
        }
    }
    parts.append(current);
    return parts;
}

QString unescaped(const QString &text)
{
    return splitEscaped(text, QChar()).join(QString());
}

QString textValue(const ContentLine &line)
{
    return unescaped(decodeText(transferDecoded(line), line.charset)).trimmed();
}

QStringList components(const ContentLine &line)
{
    QStringList parts = splitEscaped(decodeText(transferDecoded(line), line.charset), QLatin1Char(';'));
    for (QString &part : parts)
        part = part.trimmed();
    return parts;
}

// An inline photo (base64, or a "data:" URI) as the image file's bytes; a reference is kept as
// its text. False when inline data does not decode.
bool readPhoto(const ContentLine &line, DMVCard &card)
{
    if (line.encoding == "B" || line.encoding == "BASE64") {
        const std::optional<QByteArray> bytes = decodeBase64(line.value);
        if (!bytes)
            return false;
        card.photo = *bytes;
        return true;
    }
    const QByteArray value = line.value.trimmed();
    if (value.left(5).toLower() == "data:") {
        const qsizetype comma = value.indexOf(',');
        if (comma < 0)
            return false;
        const QByteArray header = value.mid(5, comma - 5).toLower();
        const QByteArray payload = value.mid(comma + 1);
        if (header.endsWith(";base64")) {
            const std::optional<QByteArray> bytes = decodeBase64(payload);
            if (!bytes)
                return false;
            card.photo = *bytes;
        } else {
            card.photo = QByteArray::fromPercentEncoding(payload);
        }
        return true;
    }
    card.photoURL = QString::fromUtf8(value);
    return true;
}

DMVCard::Value valueOf(const ContentLine &line, QString text)
{
    // A telephone number given as a URI ("tel:+1-555-0100").
    if (line.name == "TEL" && text.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
        text = text.mid(4);
    if (line.name == "EMAIL" && text.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        text = text.mid(7);
    return {text, line.types, line.preference};
}

// Adds one property to the card; false (with *error) when it is damaged.
bool addProperty(const ContentLine &line, DMVCard &card, QString *error)
{
    const QByteArray &name = line.name;
    if (name == "VERSION") {
        card.version = textValue(line);
        if (card.version != QLatin1String("2.1") && card.version != QLatin1String("3.0")
            && card.version != QLatin1String("4.0")) {
            *error = DMLocalizedString("The vCard has version %1, which cannot be read.").arg(card.version);
            return false;
        }
    } else if (name == "FN") {
        if (card.formattedName.isEmpty())
            card.formattedName = textValue(line);
    } else if (name == "N") {
        const QStringList parts = components(line);
        card.familyName = parts.value(0);
        card.givenName = parts.value(1);
        card.additionalNames = parts.value(2);
        card.honorificPrefixes = parts.value(3);
        card.honorificSuffixes = parts.value(4);
    } else if (name == "NICKNAME") {
        if (card.nickname.isEmpty())
            card.nickname = splitEscaped(decodeText(transferDecoded(line), line.charset), QLatin1Char(',')).value(0).trimmed();
    } else if (name == "ORG") {
        const QStringList parts = components(line);
        if (card.organization.isEmpty()) {
            card.organization = parts.value(0);
            card.organizationUnits = parts.mid(1);
        }
    } else if (name == "EMAIL" || name == "TEL") {
        const QString text = textValue(line);
        if (!text.isEmpty())
            (name == "EMAIL" ? card.emails : card.phones).append(valueOf(line, text));
    } else if (name == "ADR") {
        const QStringList parts = components(line);
        card.addresses.append({parts.value(0), parts.value(1), parts.value(2), parts.value(3), parts.value(4),
                               parts.value(5), parts.value(6), line.types});
    } else if (name == "PHOTO") {
        if (!readPhoto(line, card)) {
            *error = DMLocalizedString("The picture in the vCard is damaged.");
            return false;
        }
    }
    return true;
}

} // namespace

bool DMVCardReader::readVCards(const QByteArray &data, QList<DMVCard> *cards, QString *error)
{
    QString message;
    const auto fail = [&](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (data.size() > kMaximumSize)
        return fail(DMLocalizedString("The vCard is too large."));
    QByteArray text = data;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);

    QList<DMVCard> read;
    DMVCard card;
    bool inCard = false;
    int nestedDepth = 0; // cards embedded in a card (an agent's) are skipped whole
    int lineNumber = 0;
    for (const QByteArray &raw : unfoldedLines(text)) {
        ++lineNumber;
        if (raw.trimmed().isEmpty())
            continue;
        const std::optional<ContentLine> line = parseLine(raw);
        if (!line) {
            if (!inCard)
                continue; // text around the cards
            return fail(DMLocalizedString("Line %1 of the vCard is not a property.").arg(lineNumber));
        }
        const bool begins = line->name == "BEGIN" && line->value.trimmed().toUpper() == "VCARD";
        const bool ends = line->name == "END" && line->value.trimmed().toUpper() == "VCARD";
        if (!inCard) {
            if (begins) {
                inCard = true;
                card = DMVCard();
            }
            continue;
        }
        if (begins) {
            ++nestedDepth;
            continue;
        }
        if (ends) {
            if (nestedDepth > 0) {
                --nestedDepth;
                continue;
            }
            inCard = false;
            read.append(card);
            continue;
        }
        if (nestedDepth > 0)
            continue;
        if (!addProperty(*line, card, &message))
            return fail(message);
    }
    if (inCard)
        return fail(DMLocalizedString("The vCard ends before its last card is complete."));
    if (read.isEmpty())
        return fail(DMLocalizedString("The file holds no vCard."));
    if (cards)
        *cards = read;
    return true;
}

bool DMVCardReader::readVCardsFromFile(const QString &path, QList<DMVCard> *cards, QString *error)
{
    const std::optional<QByteArray> data = DMRegularFile::read(path, kMaximumSize, DMRegularFile::FollowLinks, error);
    return data && readVCards(*data, cards, error);
}

const QStringList &DMVCardReader::mimeTypes()
{
    static const QStringList types{QStringLiteral("text/vcard"), QStringLiteral("text/x-vcard"),
                                   QStringLiteral("text/directory")};
    return types;
}

bool DMVCardReader::hasVCardExtension(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("vcf") || suffix == QLatin1String("vcard");
}
