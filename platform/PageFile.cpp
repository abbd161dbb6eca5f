#include "PageFile.h"

#include "AppError.h"
#include "FileAccess.h"

#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray TemporaryPrefix = ".qorvane-";
const QByteArray TemporarySuffix = ".tmp";

[[noreturn]] void fail(const QByteArray& path, int error)
{
    throw AppError(FileAccess::errorNumber(error, QFile::decodeName(path)), QString::fromLocal8Bit(std::strerror(error)));
}

PageFile::Stamp stampOf(const struct stat& st)
{
    return {quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
            qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec, quint64(st.st_nlink),
            unsigned(st.st_uid), unsigned(st.st_gid), unsigned(st.st_mode)};
}

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// The new file takes the page's owner and group before its mode, since a change of owner clears set-id bits.
int copyOwnership(int fd, const PageFile::Stamp& from)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return errno;
    if ((st.st_uid != from.owner || st.st_gid != from.group) && ::fchown(fd, from.owner, from.group) != 0)
        return errno;
    return ::fchmod(fd, mode_t(from.mode & 07777)) == 0 ? 0 : errno;
}

} // namespace

namespace PageFile {

int writeAll(int fd, const QByteArray& bytes, qsizetype offset)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::pwrite(fd, bytes.constData() + done, size_t(bytes.size() - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += n;
    }
    return 0;
}


Contents read(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        fail(path, errno);
    const auto closer = qScopeGuard([fd] { ::close(fd); });
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        fail(path, errno);
    if (!S_ISREG(st.st_mode))
        throw AppError(AppError::BadFileMode, QStringLiteral("not a regular file"));
    Contents contents{{}, stampOf(st)};
    contents.bytes.reserve(qsizetype(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            fail(path, errno);
        if (n == 0)
            return contents;
        contents.bytes.append(buffer, n);
    }
}

bool isTemporaryName(const QByteArray& name)
{
    return name.startsWith(TemporaryPrefix) && name.endsWith(TemporarySuffix) &&
           name.size() > TemporaryPrefix.size() + TemporarySuffix.size();
}

int createTemporary(const QByteArray& folder, int mode, QByteArray* path)
{
    // A short name of its own fits beside a page whose name is as long as the file system allows.
    for (int attempt = 0; attempt < 100; ++attempt) {
        *path = folder + '/' + TemporaryPrefix + QByteArray::number(QRandomGenerator::global()->generate64(), 36) +
                TemporarySuffix;
        const int fd = ::open(path->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode_t(mode));
        if (fd >= 0) {
            // The lock ends with the process, so a later run knows a left-over file from one in use.
            ::flock(fd, LOCK_EX | LOCK_NB);
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

bool removeIfStale(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    const bool stale = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    const bool removed = stale && ::unlink(path.constData()) == 0;
    ::close(fd);
    return removed;
}

Replaced replace(const QByteArray& path, const QByteArray& bytes, const Stamp& read, const std::function<bool()>& goOn)
{
    QByteArray temporary;
    const int fd = createTemporary(folderOf(path), 0600, &temporary);
    if (fd < 0)
        fail(path, errno);
    int error = writeAll(fd, bytes);
    if (error == 0)
        error = copyOwnership(fd, read);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    Replaced result = Replaced::Written;
    struct stat now {};
    if (error == 0 && !goOn())
        result = Replaced::Cancelled;
    else if (error == 0 && ::lstat(path.constData(), &now) != 0)
        error = errno;
    else if (error == 0 && !stampOf(now).sameFile(read))
        result = Replaced::ChangedMeanwhile; // the other writer's page stands
    if (error == 0 && result == Replaced::Written && ::rename(temporary.constData(), path.constData()) != 0)
        error = errno;
    if (error != 0 || result != Replaced::Written)
        ::unlink(temporary.constData());
    ::close(fd);
    if (error != 0)
        fail(path, error);
    return result;
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FolderLock::lock(const QByteArray& folder)
{
    m_fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        return false;
    if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
        return true;
    const int error = errno;
    ::close(m_fd);
    m_fd = -1;
    errno = error;
    return false;
}

} // namespace PageFile
