#include "NBSocket.h"

#include "DMDictionaryAccess.h"
#include "NBArchiving.h"

namespace {

const QString kAPIKeyKey = QStringLiteral("NBSocketAPIKeyKey");
const QString kAppIDKey = QStringLiteral("NBSocketAppIDKey");
const QString kAuthURLKey = QStringLiteral("NBSocketAuthURLKey");
const QString kChannelsKey = QStringLiteral("NBSocketChannelsKey");

} // namespace

QVariantMap NBSocket::archive() const
{
    QVariantMap archive;
    NBArchiving::setString(archive, kAPIKeyKey, m_APIKey);
    archive.insert(kAppIDKey, m_appID);
    NBArchiving::setURL(archive, kAuthURLKey, m_authURL);
    if (m_channels)
        archive.insert(kChannelsKey, *m_channels);
    return archive;
}

NBSocket NBSocket::socketWithArchive(const QVariantMap &archive)
{
    NBSocket socket;
    socket.m_APIKey = stringForKey(archive, kAPIKeyKey);
    socket.m_appID = archive.contains(kAppIDKey) ? longLongForKey(archive, kAppIDKey) : kNoAppID;
    socket.m_authURL = NBArchiving::url(archive, kAuthURLKey);
    const QVariant channels = archive.value(kChannelsKey);
    if (channels.metaType().id() == QMetaType::QVariantMap)
        socket.m_channels = channels.toMap();
    return socket;
}
