#include "PageFile.h"

#include "AppError.h"
#include "FileAccess.h"
#include "HeldFolder.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <optional>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

const QByteArray TemporaryPrefix = ".qorvane-";
const QByteArray TemporarySuffix = ".tmp";
constexpr qsizetype DrawnLength = 12;
constexpr qsizetype MarkLength = 6;

// A temporary's name carries a check of its drawn part, so a user's own ".qorvane-notes.tmp" is never
// taken for a left-over of a run and removed.
QByteArray markOf(const QByteArray& drawn)
{
    return QCryptographicHash::hash("qorvane temporary " + drawn, QCryptographicHash::Sha1).toHex().left(MarkLength);
}

[[noreturn]] void fail(const QByteArray& path, int error)
{
    throw AppError(FileAccess::errorNumber(error, QFile::decodeName(path)), QString::fromLocal8Bit(std::strerror(error)));
}

// The page opened for reading, never through a link, and what it is now; the caller closes it.
int openPage(int folder, const QByteArray& name, const QByteArray& path, struct stat* st)
{
    const int fd = ::openat(folder, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        fail(path, errno);
    if (::fstat(fd, st) != 0) {
        const int error = errno;
        ::close(fd);
        fail(path, error);
    }
    return fd;
}

QByteArray pathOf(const PageFile::Place& page)
{
    if (!page.base)
        return page.below;
    return page.base->path().endsWith('/') ? page.base->path() + page.below : page.base->path() + '/' + page.below;
}

// The page's folder, reached from the place's base without following a link, and the page's name in it.
std::pair<std::shared_ptr<const HeldFolder>, QByteArray> folderOf(const PageFile::Place& page)
{
    const qsizetype slash = page.below.lastIndexOf('/');
    const QByteArray between = slash < 0 ? QByteArray() : page.below.left(slash);
    QByteArray reached = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : between;
    const std::shared_ptr<const HeldFolder> folder =
        page.base ? page.base->below(between, &reached) : HeldFolder::open(reached);
    if (!folder && page.base && errno == ELOOP)
        throw PageFile::LinkInTheWay{reached};
    if (!folder)
        fail(reached, errno);
    return {folder, page.below.mid(slash + 1)};
}

PageFile::Stamp stampOf(const struct stat& st)
{
    return {quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
            qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec,
            qint64(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec, quint64(st.st_nlink),
            unsigned(st.st_uid), unsigned(st.st_gid), unsigned(st.st_mode)};
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

// The names of fd's extended attributes; none where the file system keeps none.
std::optional<QList<QByteArray>> attributeNames(int fd)
{
    for (;;) {
        const ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size < 0)
            return errno == ENOTSUP ? std::optional(QList<QByteArray>()) : std::nullopt;
        QByteArray list(size, '\0');
        const ssize_t got = ::flistxattr(fd, list.data(), size_t(list.size()));
        if (got < 0 && errno == ERANGE)
            continue; // one was added meanwhile
        if (got < 0)
            return std::nullopt;
        list.truncate(got);
        QList<QByteArray> names = list.split('\0');
        names.removeAll(QByteArray());
        return names;
    }
}

std::optional<QByteArray> attributeValue(int fd, const QByteArray& name)
{
    for (;;) {
        const ssize_t size = ::fgetxattr(fd, name.constData(), nullptr, 0);
        if (size < 0)
            return std::nullopt;
        QByteArray value(size, '\0');
        const ssize_t got = ::fgetxattr(fd, name.constData(), value.data(), size_t(value.size()));
        if (got >= 0)
            return value.left(got);
        if (errno != ERANGE)
            return std::nullopt;
    }
}

// name: the attribute that could not be copied; empty when they could not be listed.
[[noreturn]] void failToKeep(const QByteArray& path, const QByteArray& name, int error)
{
    const QString what = name.isEmpty() ? QStringLiteral("its extended attributes")
                                        : "its extended attribute " + QString::fromLatin1(name.toPercentEncoding("._-"));
    throw AppError(FileAccess::errorNumber(error, QFile::decodeName(path)),
                   what + " cannot be kept: " + QString::fromLocal8Bit(std::strerror(error)));
}

// The page's extended attributes, its ACL ("system.posix_acl_access") among them, go to the new file as
// cp -a gives them, and none that the folder's default ACL gave it stays. After the mode: a mode
// set later would rewrite the ACL's mask.
void copyAttributes(const QByteArray& path, int from, int to)
{
    const std::optional<QList<QByteArray>> names = attributeNames(from);
    if (!names)
        failToKeep(path, {}, errno);
    const std::optional<QList<QByteArray>> given = attributeNames(to);
    if (!given)
        failToKeep(path, {}, errno);
    for (const QByteArray& name : *given)
        if (!names->contains(name) && ::fremovexattr(to, name.constData()) != 0 && errno != ENODATA)
            failToKeep(path, name, errno);
    for (const QByteArray& name : *names) {
        const std::optional<QByteArray> value = attributeValue(from, name);
        if (!value || ::fsetxattr(to, name.constData(), value->constData(), size_t(value->size()), 0) != 0)
            failToKeep(path, name, errno);
    }
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


Contents read(const Place& page)
{
    const auto [folder, name] = folderOf(page);
    struct stat st {};
    const int fd = openPage(folder->fd(), name, pathOf(page), &st);
    const auto closer = qScopeGuard([fd] { ::close(fd); });
    if (!S_ISREG(st.st_mode))
        throw AppError(AppError::BadFileMode, QStringLiteral("not a regular file"));
    Contents contents{{}, stampOf(st), folder, name};
    contents.bytes.reserve(qsizetype(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            fail(pathOf(page), errno);
        if (n == 0)
            return contents;
        contents.bytes.append(buffer, n);
    }
}

// A page its owner marked read-only is left alone, also when root could write it.
bool writable(const Contents& page)
{
    return (page.stamp.mode & 0222) != 0 && ::faccessat(page.folder->fd(), page.name.constData(), W_OK, 0) == 0;
}

bool isTemporaryName(const QByteArray& name)
{
    if (!name.startsWith(TemporaryPrefix) || !name.endsWith(TemporarySuffix))
        return false;
    const QByteArray drawn = name.mid(TemporaryPrefix.size(), DrawnLength);
    return name.size() == TemporaryPrefix.size() + DrawnLength + MarkLength + TemporarySuffix.size() &&
           name.mid(TemporaryPrefix.size() + DrawnLength, MarkLength) == markOf(drawn);
}

int createTemporaryAt(int folderFd, int mode, QByteArray* name)
{
    // A short name of its own fits beside a page whose name is as long as the file system allows.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray drawn =
            QByteArray::number(QRandomGenerator::global()->generate64(), 36).rightJustified(DrawnLength, '0').right(DrawnLength);
        *name = TemporaryPrefix + drawn + markOf(drawn) + TemporarySuffix;
        const int fd =
            ::openat(folderFd, name->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode_t(mode));
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

int createTemporary(const QByteArray& folder, int mode, QByteArray* path)
{
    const auto held = HeldFolder::open(folder);
    QByteArray name;
    const int fd = held ? createTemporaryAt(held->fd(), mode, &name) : -1;
    *path = folder + '/' + name;
    return fd;
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

Replaced replace(const Place& page, const Contents& read, const QByteArray& bytes, const std::function<bool()>& goOn)
{
    const QByteArray path = pathOf(page);
    const int folder = read.folder->fd();
    struct stat now {};
    const int old = openPage(folder, read.name, path, &now);
    const auto oldCloser = qScopeGuard([old] { ::close(old); });
    if (!stampOf(now).sameFile(read.stamp))
        return Replaced::ChangedMeanwhile;
    QByteArray temporary;
    const int fd = createTemporaryAt(folder, 0600, &temporary);
    if (fd < 0)
        fail(path, errno);
    auto temporaryCloser = qScopeGuard([&] {
        ::unlinkat(folder, temporary.constData(), 0);
        ::close(fd);
    });
    if (const int error = writeAll(fd, bytes); error != 0)
        fail(path, error);
    if (const int error = copyOwnership(fd, read.stamp); error != 0)
        fail(path, error);
    copyAttributes(path, old, fd);
    if (::fsync(fd) != 0)
        fail(path, errno);
    if (!goOn())
        return Replaced::Cancelled;
    // The folder read from may since have been moved away and a link put in its place: the rename goes
    // only where the page still lies below the base.
    if (!folderOf(page).first->isSame(*read.folder))
        return Replaced::ChangedMeanwhile;
    if (::fstatat(folder, read.name.constData(), &now, AT_SYMLINK_NOFOLLOW) != 0)
        fail(path, errno);
    if (!stampOf(now).sameFile(read.stamp))
        return Replaced::ChangedMeanwhile; // the other writer's page stands
    if (::renameat(folder, temporary.constData(), folder, read.name.constData()) != 0)
        fail(path, errno);
    temporaryCloser.dismiss();
    ::close(fd);
    return Replaced::Written;
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FolderLock::lock(const QByteArray& folder, bool alone)
{
    m_fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        return false;
    struct stat st {};
    if (::fstat(m_fd, &st) == 0 && ::flock(m_fd, (alone ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) {
        m_device = st.st_dev;
        m_inode = st.st_ino;
        return true;
    }
    const int error = errno;
    ::close(m_fd);
    m_fd = -1;
    errno = error;
    return false;
}

} // namespace PageFile
