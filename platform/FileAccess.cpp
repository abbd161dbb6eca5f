#include "FileAccess.h"

#include "AppError.h"
#include "FileLocations.h"
#include "PageFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QCryptographicHash>
#include <cerrno>
#include <cstring>
#include <functional>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::function<void(FileAccess::Step)> stepHook;

void step(FileAccess::Step reached)
{
    if (stepHook)
        stepHook(reached);
}

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

// A write in place is cut short by a crash, so the old bytes wait in the user's cache folder
// until the new ones are whole; the next read or write of the file puts them back.
QByteArray backupPathFor(const QByteArray& target)
{
    const QByteArray key = QCryptographicHash::hash(target, QCryptographicHash::Sha1).toHex();
    return QFile::encodeName(FileLocations::userCacheFolder()) + "/unfinished-" + key;
}

QByteArray absolute(const QString& path)
{
    return QFile::encodeName(QFileInfo(path).absoluteFilePath());
}

// Overwrites fd from its start with bytes and syncs; 0 or the errno.
int overwrite(int fd, const QByteArray& bytes)
{
    const qsizetype half = bytes.size() / 2;
    int error = PageFile::writeAll(fd, bytes.left(half), 0);
    if (error == 0)
        step(FileAccess::Step::HalfWritten);
    if (error == 0)
        error = PageFile::writeAll(fd, bytes.mid(half), half);
    if (error == 0 && ::ftruncate(fd, off_t(bytes.size())) != 0)
        error = errno;
    return error == 0 ? sync(fd) : error;
}

void keepBackup(const QByteArray& target, const QByteArray& old)
{
    const QString folder = FileLocations::userCacheFolder();
    if (!QDir().mkpath(folder))
        fail(folder, EACCES);
    QByteArray temporary;
    const int fd = PageFile::createTemporary(QFile::encodeName(folder), 0600, &temporary);
    if (fd < 0)
        fail(folder, errno);
    int error = PageFile::writeAll(fd, target + '\n' + old);
    error = closeAfter(fd, error == 0 ? sync(fd) : error);
    if (error == 0 && ::rename(temporary.constData(), backupPathFor(target).constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.constData());
        fail(folder, error);
    }
}

// The target's folder refuses new names (or renames over the file): overwrite the file
// itself, with its old bytes kept aside until the new ones are synced.
void writeInPlace(const QString& path, const QByteArray& target, const QByteArray& bytes)
{
    const QByteArray old = FileAccess::read(path);
    const int fd = ::open(target.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        fail(path, errno);
    try {
        keepBackup(target, old);
    } catch (const AppError&) {
        ::close(fd);
        throw;
    }
    step(FileAccess::Step::BackupKept);
    int error = overwrite(fd, bytes);
    if (error != 0 && overwrite(fd, old) == 0)
        ::unlink(backupPathFor(target).constData());
    error = closeAfter(fd, error);
    if (error != 0)
        fail(path, error);
    step(FileAccess::Step::Written);
    ::unlink(backupPathFor(target).constData());
}

// Puts back the old bytes of a write in place that did not finish; throws when it cannot,
// since the file itself may be cut.
void finishInterrupted(const QString& path)
{
    const QByteArray target = absolute(path);
    const QByteArray backup = backupPathFor(target);
    if (::access(backup.constData(), F_OK) != 0)
        return;
    QFile file(QFile::decodeName(backup));
    const QByteArray kept = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (!kept.startsWith(target + '\n'))
        fail(QFile::decodeName(backup), EIO);
    const int fd = ::open(target.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        fail(path, errno);
    if (const int error = closeAfter(fd, overwrite(fd, kept.mid(target.size() + 1))); error != 0)
        fail(path, error);
    ::unlink(backup.constData());
}

bool folderRefuses(int error)
{
    return error == EACCES || error == EPERM || error == EROFS || error == EBUSY || error == EXDEV;
}

} // namespace

namespace FileAccess {

int errorNumber(int error, const QString& path)
{
    return numberFor(error, path);
}

void setStepHookForTest(std::function<void(Step)> hook)
{
    stepHook = std::move(hook);
}

QByteArray read(const QString& path)
{
    finishInterrupted(path);
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
    const QByteArray target = absolute(real);
    finishInterrupted(real);
    struct stat old {};
    const bool existed = ::stat(target.constData(), &old) == 0 && S_ISREG(old.st_mode);

    QByteArray temporary;
    const int fd = PageFile::createTemporary(QFile::encodeName(QFileInfo(real).absolutePath()), 0666, &temporary);
    if (fd < 0) {
        const int error = errno;
        if (existed && folderRefuses(error))
            return writeInPlace(real, target, bytes);
        fail(real, error);
    }
    if (existed)
        ::fchmod(fd, old.st_mode & 07777); // the new file keeps the old one's permissions
    int error = PageFile::writeAll(fd, bytes);
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
