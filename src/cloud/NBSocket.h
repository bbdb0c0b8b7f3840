#pragma once

#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <limits>
#include <optional>

// The push-channel settings of an account. A value type: a copy carries every field.
class NBSocket
{
public:
    // The appID of a socket that has none.
    static constexpr qint64 kNoAppID = std::numeric_limits<qint64>::max();

    QString APIKey() const { return m_APIKey; }
    void setAPIKey(const QString &key) { m_APIKey = key; }
    qint64 appID() const { return m_appID; }
    void setAppID(qint64 appID) { m_appID = appID; }
    QUrl authURL() const { return m_authURL; }
    void setAuthURL(const QUrl &url) { m_authURL = url; }
    // Nothing unless the service sent an object.
    std::optional<QVariantMap> channels() const { return m_channels; }
    void setChannels(const std::optional<QVariantMap> &channels) { m_channels = channels; }

    // The keyed archive under the "NBSocket...Key" keys, and back.
    QVariantMap archive() const;
    static NBSocket socketWithArchive(const QVariantMap &archive);

    friend bool operator==(const NBSocket &, const NBSocket &) = default;

private:
    QString m_APIKey;
    qint64 m_appID = kNoAppID;
    QUrl m_authURL;
    std::optional<QVariantMap> m_channels;
};
