#include "DMProjectOutlineDragPayload.h"

#include <QMimeData>
#include <QRegularExpression>

const QString DMProjectOutlineDragPayload::kType = QStringLiteral("kDMProjectDocument_ProjectOutlineViewDragDataType");

namespace {

// Four lines: this header, the token, the decimal object ID and the class name.
const QByteArray kHeader = QByteArrayLiteral("halcyra-outline-drag 1");
constexpr qsizetype kMaximumSize = 512;

} // namespace

QByteArray DMProjectOutlineDragPayload::data() const
{
    return kHeader + '\n' + documentToken.toUtf8() + '\n' + QByteArray::number(objectID) + '\n' + className.toUtf8()
         + '\n';
}

void DMProjectOutlineDragPayload::writeToPasteboard(QMimeData *pasteboard, const QString &type) const
{
    if (pasteboard)
        pasteboard->setData(type, data());
}

std::optional<DMProjectOutlineDragPayload> DMProjectOutlineDragPayload::fromPasteboard(const QMimeData *pasteboard,
                                                                                       const QString &type)
{
    if (!pasteboard || !pasteboard->hasFormat(type))
        return std::nullopt;
    return fromData(pasteboard->data(type));
}

std::optional<DMProjectOutlineDragPayload> DMProjectOutlineDragPayload::fromData(const QByteArray &data)
{
    if (data.size() > kMaximumSize)
        return std::nullopt;
    const QList<QByteArray> lines = data.split('\n');
    if (lines.size() != 5 || lines[0] != kHeader || !lines[4].isEmpty())
        return std::nullopt;
    static const QRegularExpression token(QStringLiteral("^[0-9a-f-]{1,64}$"));
    static const QRegularExpression name(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,63}$"));
    static const QRegularExpression digits(QStringLiteral("^(0|[1-9][0-9]{0,19})$"));
    DMProjectOutlineDragPayload payload;
    payload.documentToken = QString::fromLatin1(lines[1]);
    payload.className = QString::fromLatin1(lines[3]);
    bool ok = false;
    payload.objectID = lines[2].toULongLong(&ok);
    if (!ok || !digits.match(QString::fromLatin1(lines[2])).hasMatch() || !token.match(payload.documentToken).hasMatch()
        || !name.match(payload.className).hasMatch())
        return std::nullopt;
    return payload;
}
