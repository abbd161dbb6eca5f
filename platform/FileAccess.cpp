#include "FileAccess.h"

#include "AppError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int numberFor(int error, const QString& path)
{
    switch (error) {
    case ENOENT: return QFileInfo(path).dir().exists() ? AppError::FileNotFound : AppError::PathNotFound;
    case ENOTDIR: return AppError::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY: return AppError::PermissionDenied;
    case ENOSPC:
    case EDQUOT: return AppError::DiskFull;
    case ENAMETOOLONG:
    case EISDIR: return AppError::PathFileAccess;
    case ENOMEM: return AppError::OutOfMemory;
    case EIO: return AppError::DeviceIo;
    default: return AppError::DeviceIo;
    }
}

[[noreturn]] void fail(const QString& path, int error)
{
    throw AppError(numberFor(error, path),
                   path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error)));
}

// Writes all bytes from offset 0; 0 when every write succeeded, else the errno.
int writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.constData() + done, size_t(bytes.size() - done), off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += n;
    }
    return 0;
}

// Some files (pipes, some devices) cannot be synced; that is no loss of data.
int sync(int fd)
{
    return ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
}

// Closes fd whatever happened before; the first failure wins.
int closeAfter(int fd, int error)
{
    const int closed = ::close(fd) == 0 ? 0 : errno;
    return error != 0 ? error : closed;
}

int openTemporaryBeside(const QByteArray& target, QByteArray* temporary)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temporary = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
        // The mode passes through the umask like any new file's.
        const int fd = ::open(temporary->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The target's folder refuses new names (or renames over the file): overwrite the
// file itself, and when that fails part way, write its old bytes back.
void writeInPlace(const QString& path, const QByteArray& target, const QByteArray& bytes)
{
    QFile reader(path);
    QByteArray old;
    bool haveOld = reader.open(QIODevice::ReadOnly);
    if (haveOld) {
        old = reader.readAll();
        haveOld = reader.error() == QFileDevice::NoError;
    }
    const int fd = ::open(target.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        fail(path, errno);
    int error = writeAll(fd, bytes);
    if (error == 0 && ::ftruncate(fd, off_t(bytes.size())) != 0)
        error = errno;
    if (error == 0)
        error = sync(fd);
    if (error != 0 && haveOld && writeAll(fd, old) == 0 && ::ftruncate(fd, off_t(old.size())) == 0)
        sync(fd);
    error = closeAfter(fd, error);
    if (error != 0)
        fail(path, error);
}

bool folderRefuses(int error)
{
    return error == EACCES || error == EPERM || error == EROFS || error == EBUSY || error == EXDEV;
}

} // namespace

namespace FileAccess {

QByteArray read(const QString& path)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        fail(path, errno);
    errno = 0;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail(path, errno);
    return bytes;
}

void writeAtomically(const QString& path, const QByteArray& bytes)
{
    // A link is followed, so the file it names is replaced and the link stays.
    const QFileInfo info(path);
    const QString real = info.isSymLink() ? info.symLinkTarget() : path;
    const QByteArray target = QFile::encodeName(real);
    struct stat old {};
    const bool existed = ::stat(target.constData(), &old) == 0 && S_ISREG(old.st_mode);

    QByteArray temporary;
    const int fd = openTemporaryBeside(target, &temporary);
    if (fd < 0) {
        const int error = errno;
        if (existed && folderRefuses(error))
            return writeInPlace(real, target, bytes);
        fail(real, error);
    }
    if (existed)
        ::fchmod(fd, old.st_mode & 07777); // the new file keeps the old one's permissions
    int error = writeAll(fd, bytes);
    if (error == 0)
        error = sync(fd);
    error = closeAfter(fd, error);
    if (error == 0 && ::rename(temporary.constData(), target.constData()) == 0)
        return;
    if (error == 0)
        error = errno;
    ::unlink(temporary.constData());
    if (existed && folderRefuses(error))
        return writeInPlace(real, target, bytes);
    fail(real, error);
}

bool exists(const QString& path)
{
    return QFileInfo::exists(path);
}

bool remove(const QString& path)
{
    return ::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT;
}

bool makeFolder(const QString& path)
{
    return QDir().mkdir(path);
}

} // namespace FileAccess
