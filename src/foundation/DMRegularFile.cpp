#include "DMRegularFile.h"

#include "DMLocalizedString.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::function<void(const QString &)> gReadHook;

bool statPath(const QByteArray &path, DMRegularFile::Links links, struct stat *info)
{
    return (links == DMRegularFile::FollowLinks ? ::stat(path, info) : ::lstat(path, info)) == 0;
}

// A bound as the user reads it: "128 MB", "64 KB", "999 bytes".
QString sizeText(qint64 size)
{
    if (size >= 1 << 20)
        return DMLocalizedString("%1 MB").arg(size >> 20);
    if (size >= 1 << 10)
        return DMLocalizedString("%1 KB").arg(size >> 10);
    return DMLocalizedString("%1 bytes").arg(size);
}

} // namespace

QString DMRegularFile::notRegularMessage(const QString &name, Links links)
{
    return links == RefuseLinks ? DMLocalizedString("\"%1\" is not a regular file.").arg(name)
                                : DMLocalizedString("\"%1\" is not a file that Halcyra can read.").arg(name);
}

QString DMRegularFile::unreadableMessage(const QString &name, int number)
{
    return DMLocalizedString("\"%1\" could not be read: %2").arg(name, systemError(number));
}

QString DMRegularFile::systemError(int number)
{
    return QString::fromLocal8Bit(std::strerror(number));
}

DMFileDescriptor DMRegularFile::openSeen(const QString &path, const struct stat &seen, Links links, const QString &name,
                                         QString *error)
{
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (links == RefuseLinks ? O_NOFOLLOW : 0)
        | (S_ISDIR(seen.st_mode) ? O_DIRECTORY : 0);
    DMFileDescriptor file(::open(QFile::encodeName(path), flags));
    struct stat opened;
    if (!file.isValid() || ::fstat(file.get(), &opened) != 0) {
        *error = errno == ELOOP ? notRegularMessage(name, links) : unreadableMessage(name, errno);
        return DMFileDescriptor(-1);
    }
    if ((opened.st_mode & S_IFMT) != (seen.st_mode & S_IFMT) || opened.st_ino != seen.st_ino
        || opened.st_dev != seen.st_dev) {
        *error = notRegularMessage(name, links);
        return DMFileDescriptor(-1);
    }
    return file;
}

void DMRegularFile::setReadHookForTesting(std::function<void(const QString &)> hook)
{
    gReadHook = std::move(hook);
}

std::optional<QByteArray> DMRegularFile::read(const QString &path, qint64 maxSize, Links links, QString *error,
                                              bool *missing)
{
    QString ignored;
    if (!error)
        error = &ignored;
    if (missing)
        *missing = false;
    if (gReadHook)
        gReadHook(path);
    const QString name = QFileInfo(path).fileName();
    const QByteArray nativePath = QFile::encodeName(path);
    struct stat seen;
    if (!statPath(nativePath, links, &seen)) {
        if (missing)
            *missing = errno == ENOENT;
        *error = errno == ELOOP ? notRegularMessage(name, links) : unreadableMessage(name, errno);
        return std::nullopt;
    }
    const QString tooLarge = DMLocalizedString("\"%1\" is larger than %2.").arg(name, sizeText(maxSize));
    if (!S_ISREG(seen.st_mode)) {
        *error = notRegularMessage(name, links);
        return std::nullopt;
    }
    if (seen.st_size > maxSize) {
        *error = tooLarge;
        return std::nullopt;
    }
    const DMFileDescriptor file = openSeen(path, seen, links, name, error);
    if (!file.isValid())
        return std::nullopt;
    QByteArray data;
    data.reserve(qsizetype(seen.st_size));
    // The bound holds even for a file that grows while it is read.
    char buffer[1 << 16];
    for (;;) {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            *error = unreadableMessage(name, errno);
            return std::nullopt;
        }
        if (count == 0)
            return data;
        if (data.size() + count > maxSize) {
            *error = tooLarge;
            return std::nullopt;
        }
        data.append(buffer, count);
    }
}

bool DMRegularFile::isAttachable(const QString &path, QString *error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    const QString name = QFileInfo(path).fileName();
    const QByteArray nativePath = QFile::encodeName(path);
    struct stat seen;
    if (::stat(nativePath, &seen) != 0) {
        *error = errno == ELOOP ? notRegularMessage(name, FollowLinks) : unreadableMessage(name, errno);
        return false;
    }
    if (!S_ISDIR(seen.st_mode) && !S_ISREG(seen.st_mode)) {
        *error = notRegularMessage(name, FollowLinks);
        return false;
    }
    return openSeen(path, seen, FollowLinks, name, error).isValid();
}
