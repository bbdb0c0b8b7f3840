#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QUrl>
#include <QVariantMap>

// The kinds of stored items, with their strings in the service's JSON (NBAPISerializer writes
// them, NBAPIDeserializer reads them).
enum NBWebItemType : qint64 {
    NBWebItemTypeImage = 0,
    NBWebItemTypeBookmark = 1,
    NBWebItemTypeText = 2,
    NBWebItemTypeArchive = 3,
    NBWebItemTypeAudio = 4,
    NBWebItemTypeVideo = 5,
    NBWebItemTypeUnknown = 6, // any other kind
    NBWebItemTypeAll = 7,     // lists without a type filter; new items
};

// The type of a string of the service (compared in lower case; NBWebItemTypeUnknown for any
// other), and the string of a type ("unknown" for the unknown type and for all types).
qint64 NBWebItemTypeForString(const QString &string);
QString NBWebItemTypeString(qint64 type);

// One file or bookmark stored on the cloud file-sharing service. `href` is the item's address in
// the service's interface (the target of renames, privacy changes, deletion and restoration),
// `URL` its public short link, `remoteURL` the stored file's location or the bookmarked address.
// A value type: a copy carries every field, the three dates included.
class NBWebItem
{
public:
    NBWebItem() = default;
    explicit NBWebItem(const QString &name, qint64 type = NBWebItemTypeAll, qint64 viewCount = 0);

    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    qint64 type() const { return m_type; }
    void setType(qint64 type) { m_type = type; }
    qint64 viewCount() const { return m_viewCount; }
    void setViewCount(qint64 count) { m_viewCount = count; }
    QUrl contentURL() const { return m_contentURL; }
    void setContentURL(const QUrl &url) { m_contentURL = url; }
    QUrl URL() const { return m_URL; }
    void setURL(const QUrl &url) { m_URL = url; }
    QString mimeType() const { return m_mimeType; }
    void setMimeType(const QString &type) { m_mimeType = type; }
    QUrl remoteURL() const { return m_remoteURL; }
    void setRemoteURL(const QUrl &url) { m_remoteURL = url; }
    QUrl href() const { return m_href; }
    void setHref(const QUrl &href) { m_href = href; }
    QUrl iconURL() const { return m_iconURL; }
    void setIconURL(const QUrl &url) { m_iconURL = url; }
    QImage icon() const { return m_icon; }
    void setIcon(const QImage &icon) { m_icon = icon; }
    bool isTrashed() const { return m_trashed; }
    void setTrashed(bool trashed) { m_trashed = trashed; }
    bool isPrivate() const { return m_private; }
    void setPrivate(bool isPrivate) { m_private = isPrivate; }
    QDateTime createdAt() const { return m_createdAt; }
    void setCreatedAt(const QDateTime &date) { m_createdAt = date; }
    QDateTime updatedAt() const { return m_updatedAt; }
    void setUpdatedAt(const QDateTime &date) { m_updatedAt = date; }
    QDateTime deletedAt() const { return m_deletedAt; }
    void setDeletedAt(const QDateTime &date) { m_deletedAt = date; }

    // "<NBWebItem: name (view count) URL>"
    QString description() const;

    // The keyed archive: every field that is set under its "NBWebItem...Key", in property-list
    // types (URLs as strings, the icon as PNG data), and back. Reading ignores values of the
    // wrong type.
    QVariantMap archive() const;
    static NBWebItem webItemWithArchive(const QVariantMap &archive);

    friend bool operator==(const NBWebItem &, const NBWebItem &) = default;

private:
    QString m_name;
    qint64 m_type = NBWebItemTypeAll;
    qint64 m_viewCount = 0;
    QUrl m_contentURL;
    QUrl m_URL;
    QString m_mimeType;
    QUrl m_remoteURL;
    QUrl m_href;
    QUrl m_iconURL;
    QImage m_icon;
    bool m_trashed = false;
    bool m_private = false;
    QDateTime m_createdAt;
    QDateTime m_updatedAt;
    QDateTime m_deletedAt;
};
