#include "NBWebItem.h"

#include "DMDictionaryAccess.h"
#include "NBArchiving.h"

#include <QBuffer>

namespace {

const QString kNameKey = QStringLiteral("NBWebItemNameKey");
const QString kTypeKey = QStringLiteral("NBWebItemTypeKey");
const QString kViewCountKey = QStringLiteral("NBWebItemViewCountKey");
const QString kContentURLKey = QStringLiteral("NBWebItemContentURLKey");
const QString kURLKey = QStringLiteral("NBWebItemURLKey");
const QString kMimeTypeKey = QStringLiteral("NBWebItemMimeTypeKey");
const QString kRemoteURLKey = QStringLiteral("NBWebItemRemoteURLKey");
const QString kHrefKey = QStringLiteral("NBWebItemHrefKey");
const QString kIconURLKey = QStringLiteral("NBWebItemIconURLKey");
const QString kIconKey = QStringLiteral("NBWebItemIconKey");
const QString kTrashedKey = QStringLiteral("NBWebItemTrashedKey");
const QString kPrivateKey = QStringLiteral("NBWebItemPrivateKey");
const QString kCreatedAtKey = QStringLiteral("NBWebItemCreatedAtKey");
const QString kUpdatedAtKey = QStringLiteral("NBWebItemUpdatedAtKey");
const QString kDeletedAtKey = QStringLiteral("NBWebItemDeletedAtKey");

const QStringList &typeStrings()
{
    static const QStringList strings{QStringLiteral("image"), QStringLiteral("bookmark"), QStringLiteral("text"),
                                     QStringLiteral("archive"), QStringLiteral("audio"), QStringLiteral("video")};
    return strings;
}

} // namespace

qint64 NBWebItemTypeForString(const QString &string)
{
    const qsizetype index = typeStrings().indexOf(string.toLower());
    return index >= 0 ? qint64(index) : NBWebItemTypeUnknown;
}

QString NBWebItemTypeString(qint64 type)
{
    return type >= 0 && type < typeStrings().size() ? typeStrings().at(type) : QStringLiteral("unknown");
}

NBWebItem::NBWebItem(const QString &name, qint64 type, qint64 viewCount)
    : m_name(name)
    , m_type(type)
    , m_viewCount(viewCount)
{
}

QString NBWebItem::description() const
{
    return QStringLiteral("<NBWebItem: %1 (%2) %3>").arg(m_name).arg(m_viewCount).arg(m_URL.toString());
}

QVariantMap NBWebItem::archive() const
{
    QVariantMap archive;
    NBArchiving::setString(archive, kNameKey, m_name);
    archive.insert(kTypeKey, m_type);
    archive.insert(kViewCountKey, m_viewCount);
    NBArchiving::setURL(archive, kContentURLKey, m_contentURL);
    NBArchiving::setURL(archive, kURLKey, m_URL);
    NBArchiving::setString(archive, kMimeTypeKey, m_mimeType);
    NBArchiving::setURL(archive, kRemoteURLKey, m_remoteURL);
    NBArchiving::setURL(archive, kHrefKey, m_href);
    NBArchiving::setURL(archive, kIconURLKey, m_iconURL);
    if (!m_icon.isNull()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        m_icon.save(&buffer, "PNG");
        archive.insert(kIconKey, png);
    }
    archive.insert(kTrashedKey, m_trashed);
    archive.insert(kPrivateKey, m_private);
    NBArchiving::setDate(archive, kCreatedAtKey, m_createdAt);
    NBArchiving::setDate(archive, kUpdatedAtKey, m_updatedAt);
    NBArchiving::setDate(archive, kDeletedAtKey, m_deletedAt);
    return archive;
}

NBWebItem NBWebItem::webItemWithArchive(const QVariantMap &archive)
{
    NBWebItem item(stringForKey(archive, kNameKey), longLongForKey(archive, kTypeKey),
                   longLongForKey(archive, kViewCountKey));
    item.m_contentURL = NBArchiving::url(archive, kContentURLKey);
    item.m_URL = NBArchiving::url(archive, kURLKey);
    item.m_mimeType = stringForKey(archive, kMimeTypeKey);
    item.m_remoteURL = NBArchiving::url(archive, kRemoteURLKey);
    item.m_href = NBArchiving::url(archive, kHrefKey);
    item.m_iconURL = NBArchiving::url(archive, kIconURLKey);
    const QVariant icon = archive.value(kIconKey);
    if (icon.metaType().id() == QMetaType::QByteArray)
        item.m_icon = QImage::fromData(icon.toByteArray(), "PNG");
    item.m_trashed = boolForKey(archive, kTrashedKey);
    item.m_private = boolForKey(archive, kPrivateKey);
    item.m_createdAt = NBArchiving::date(archive, kCreatedAtKey);
    item.m_updatedAt = NBArchiving::date(archive, kUpdatedAtKey);
    item.m_deletedAt = NBArchiving::date(archive, kDeletedAtKey);
    return item;
}
