#include "FileAccess.h"

#include "AppError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

namespace {

[[noreturn]] void fail(const QString& path, const QFileDevice& file, int fallback)
{
    int number = fallback;
    switch (errno) {
    case ENOENT:
        number = QFileInfo(path).dir().exists() ? AppError::FileNotFound : AppError::PathNotFound;
        break;
    case ENOTDIR: number = AppError::PathNotFound; break;
    case EACCES:
    case EPERM:
    case EROFS: number = AppError::PermissionDenied; break;
    case ENOSPC:
    case EDQUOT: number = AppError::DiskFull; break;
    case ENAMETOOLONG:
    case EISDIR: number = AppError::PathFileAccess; break;
    case ENOMEM: number = AppError::OutOfMemory; break;
    default: break;
    }
    throw AppError(number, path + QStringLiteral(": ") + file.errorString());
}

void openAndWrite(QFileDevice& file, const QString& path, QIODevice::OpenMode mode, const QByteArray& bytes)
{
    errno = 0;
    if (!file.open(mode))
        fail(path, file, AppError::PathFileAccess);
    errno = 0;
    if (file.write(bytes) != bytes.size())
        fail(path, file, AppError::DeviceIo);
}

} // namespace

namespace FileAccess {

QByteArray read(const QString& path)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        fail(path, file, AppError::DeviceIo);
    errno = 0;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail(path, file, AppError::DeviceIo);
    return bytes;
}

void writeAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    openAndWrite(file, path, QIODevice::WriteOnly, bytes);
    errno = 0;
    if (!file.commit())
        fail(path, file, AppError::DeviceIo);
}

void append(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    openAndWrite(file, path, QIODevice::Append, bytes);
    errno = 0;
    if (!file.flush())
        fail(path, file, AppError::DeviceIo);
}

bool exists(const QString& path)
{
    return QFileInfo::exists(path);
}

bool makeFolder(const QString& path)
{
    return QDir().mkdir(path);
}

} // namespace FileAccess
