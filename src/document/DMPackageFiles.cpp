#include "DMPackageFiles.h"

#include "DMFileDescriptor.h"
#include "DMLocalizedString.h"
#include "DMRegularFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kCopyChunk = 1 << 20;
constexpr int kMaximumFolderDepth = 256;

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

QString entryName(const QString &path)
{
    return QFileInfo(path).fileName();
}

struct DirectoryClose
{
    void operator()(DIR *stream) const { ::closedir(stream); }
};

bool writeAll(int descriptor, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(descriptor, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= size_t(written);
    }
    return true;
}

QString unwritableMessage(const QString &name, int number)
{
    return DMLocalizedString("\"%1\" could not be written: %2").arg(name, DMRegularFile::systemError(number));
}

// Copies one source (a file or a folder tree) and collects what it met. A problem with the
// source itself refuses the whole copy; one inside a folder leaves that entry out.
class TreeCopier
{
public:
    TreeCopier(int options, QStringList *createdFolders)
        : m_options(options)
        , m_createdFolders(createdFolders)
    {
    }

    DMPackageFiles::CopyResult run(const QString &source, const QString &destination)
    {
        const bool follow = m_options & DMPackageFiles::FollowSourceLink;
        struct stat info;
        const int status = follow ? ::stat(native(source), &info) : ::lstat(native(source), &info);
        if (status != 0)
            sourceProblem(true, DMRegularFile::unreadableMessage(entryName(source), errno));
        else
            copyEntry(source, destination, info, entryName(destination), 0);
        return m_result;
    }

private:
    bool isTop(int depth) const { return depth == 0; }

    // False when the whole copy stops.
    bool sourceProblem(bool top, const QString &message)
    {
        if (!top) {
            m_result.leftOut.append(message);
            return true;
        }
        m_result.status = DMPackageFiles::CopyResult::Refused;
        m_result.message = message;
        return false;
    }

    bool destinationFailed(const QString &destination, int number)
    {
        m_result.status = DMPackageFiles::CopyResult::Failed;
        m_result.message = unwritableMessage(entryName(destination), number);
        return false;
    }

    bool copyEntry(const QString &source, const QString &destination, const struct stat &info, const QString &shown,
                   int depth)
    {
        if (S_ISREG(info.st_mode))
            return copyFile(source, destination, info, shown, depth);
        if (S_ISDIR(info.st_mode))
            return copyFolder(source, destination, shown, depth);
        if (S_ISLNK(info.st_mode))
            return sourceProblem(isTop(depth), DMLocalizedString("\"%1\" is a symbolic link.").arg(shown));
        return sourceProblem(isTop(depth), DMLocalizedString("\"%1\" is not a regular file or folder.").arg(shown));
    }

    bool copyFile(const QString &source, const QString &destination, const struct stat &seen, const QString &shown,
                  int depth)
    {
        const bool follow = isTop(depth) && (m_options & DMPackageFiles::FollowSourceLink);
        // A hard link shares the stored copy instead of duplicating it; where the file system
        // cannot link, the bytes are copied.
        if ((m_options & DMPackageFiles::LinkFiles) && !follow && ::link(native(source), native(destination)) == 0)
            return true;
        QString problem;
        const DMFileDescriptor in = DMRegularFile::openSeen(
            source, seen, follow ? DMRegularFile::FollowLinks : DMRegularFile::RefuseLinks, shown, &problem);
        if (!in.isValid())
            return sourceProblem(isTop(depth), problem);
        DMFileDescriptor out(::open(native(destination), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                    (seen.st_mode & 0777) | S_IRUSR | S_IWUSR));
        if (!out.isValid())
            return destinationFailed(destination, errno);
        m_buffer.resize(kCopyChunk);
        for (;;) {
            const ssize_t count = ::read(in.get(), m_buffer.data(), m_buffer.size());
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0) {
                const int number = errno;
                out.close();
                ::unlink(native(destination));
                return sourceProblem(isTop(depth), DMRegularFile::unreadableMessage(shown, number));
            }
            if (count == 0)
                break;
            if (!writeAll(out.get(), m_buffer.data(), size_t(count)))
                return destinationFailed(destination, errno);
        }
        if (::fsync(out.get()) != 0 || !out.close())
            return destinationFailed(destination, errno);
        return true;
    }

    bool copyFolder(const QString &source, const QString &destination, const QString &shown, int depth)
    {
        if (depth > kMaximumFolderDepth)
            return sourceProblem(false, DMLocalizedString("\"%1\" is nested too deeply.").arg(shown));
        const bool follow = isTop(depth) && (m_options & DMPackageFiles::FollowSourceLink);
        DMFileDescriptor folder(::open(native(source), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW)));
        if (!folder.isValid())
            return sourceProblem(isTop(depth), DMRegularFile::unreadableMessage(shown, errno));
        if (::mkdir(native(destination), 0777) != 0)
            return destinationFailed(destination, errno);
        if (m_createdFolders)
            m_createdFolders->append(destination);
        std::unique_ptr<DIR, DirectoryClose> stream(::fdopendir(folder.get()));
        if (!stream)
            return sourceProblem(isTop(depth), DMRegularFile::unreadableMessage(shown, errno));
        folder.release(); // now owned by the stream
        while (const dirent *entry = ::readdir(stream.get())) {
            if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
                continue;
            const QString name = QFile::decodeName(entry->d_name);
            const QString shownChild = shown + QLatin1Char('/') + name;
            struct stat info;
            if (::fstatat(::dirfd(stream.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
                m_result.leftOut.append(DMRegularFile::unreadableMessage(shownChild, errno));
                continue;
            }
            if (!copyEntry(source + QLatin1Char('/') + name, destination + QLatin1Char('/') + name, info, shownChild,
                           depth + 1))
                return false;
        }
        return true;
    }

    int m_options;
    QStringList *m_createdFolders;
    DMPackageFiles::CopyResult m_result;
    std::vector<char> m_buffer;
};

} // namespace

DMPackageFiles::Kind DMPackageFiles::kindOf(const QString &path)
{
    struct stat info;
    if (::lstat(native(path), &info) != 0)
        return Missing;
    if (S_ISREG(info.st_mode))
        return RegularFile;
    if (S_ISDIR(info.st_mode))
        return Folder;
    if (S_ISLNK(info.st_mode))
        return SymbolicLink;
    return Other;
}

bool DMPackageFiles::writeNewFile(const QString &path, const QByteArray &data, QString *error)
{
    DMFileDescriptor file(::open(native(path), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!file.isValid() || !writeAll(file.get(), data.constData(), size_t(data.size())) || ::fsync(file.get()) != 0
        || !file.close()) {
        if (error)
            *error = unwritableMessage(entryName(path), errno);
        return false;
    }
    return true;
}

bool DMPackageFiles::makeFolder(const QString &path, QString *error)
{
    if (::mkdir(native(path), 0777) == 0)
        return true;
    if (error)
        *error = unwritableMessage(entryName(path), errno);
    return false;
}

bool DMPackageFiles::sync(const QString &path, QString *error)
{
    DMFileDescriptor file(::open(native(path), O_RDONLY | O_CLOEXEC));
    if (file.isValid() && ::fsync(file.get()) == 0)
        return true;
    if (error)
        *error = unwritableMessage(entryName(path), errno);
    return false;
}

DMPackageFiles::CopyResult DMPackageFiles::copy(const QString &source, const QString &destination, int options,
                                                QStringList *createdFolders)
{
    return TreeCopier(options, createdFolders).run(source, destination);
}

bool DMPackageFiles::removeTree(const QString &path)
{
    const QByteArray nativePath = native(path);
    struct stat info;
    if (::lstat(nativePath, &info) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(info.st_mode))
        return ::unlink(nativePath) == 0 || errno == ENOENT;
    QStringList names;
    {
        DMFileDescriptor folder(::open(nativePath, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        std::unique_ptr<DIR, DirectoryClose> stream(folder.isValid() ? ::fdopendir(folder.get()) : nullptr);
        if (!stream)
            return false;
        folder.release();
        while (const dirent *entry = ::readdir(stream.get()))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.append(QFile::decodeName(entry->d_name));
    }
    bool removed = true;
    for (const QString &name : names)
        removed = removeTree(path + QLatin1Char('/') + name) && removed;
    return ::rmdir(nativePath) == 0 && removed;
}

std::optional<bool> DMPackageFiles::exchange(const QString &first, const QString &second, QString *error)
{
    if (::renameat2(AT_FDCWD, native(first), AT_FDCWD, native(second), RENAME_EXCHANGE) == 0)
        return true;
    if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)
        return std::nullopt;
    if (error)
        *error = DMRegularFile::systemError(errno);
    return false;
}

bool DMPackageFiles::rename(const QString &from, const QString &to, QString *error)
{
    if (::rename(native(from), native(to)) == 0)
        return true;
    if (error)
        *error = DMRegularFile::systemError(errno);
    return false;
}

bool DMPackageFiles::isWritable(const QString &path, QString *error)
{
    if (::faccessat(AT_FDCWD, native(path), W_OK, AT_EACCESS) == 0)
        return true;
    if (error)
        *error = DMRegularFile::systemError(errno);
    return false;
}

DMPackageFiles::FolderLock::FolderLock(const QString &path, bool wait)
    : m_descriptor(::open(native(path), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC))
{
    // A file system without locks simply gives no protection; only a lock held by another
    // process counts.
    if (m_descriptor.isValid() && ::flock(m_descriptor.get(), LOCK_EX | (wait ? 0 : LOCK_NB)) != 0)
        m_heldElsewhere = errno == EWOULDBLOCK;
}
