#include "HeldFolder.h"

#include <QList>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Only a place to open from: a folder its user may enter but not list is held as well.
constexpr int FolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

QByteArray joined(const QByteArray& folder, const QByteArray& name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

} // namespace

HeldFolder::~HeldFolder()
{
    ::close(m_fd);
}

std::shared_ptr<const HeldFolder> HeldFolder::open(const QByteArray& path)
{
    const int fd = ::open(path.constData(), FolderFlags);
    return fd < 0 ? nullptr : std::shared_ptr<const HeldFolder>(new HeldFolder(fd, path));
}

std::shared_ptr<const HeldFolder> HeldFolder::below(const QByteArray& relative, QByteArray* reached) const
{
    std::shared_ptr<const HeldFolder> folder;
    *reached = m_path;
    for (const QByteArray& name : relative.split('/')) {
        if (name.isEmpty())
            continue;
        const int at = folder ? folder->m_fd : m_fd;
        *reached = joined(*reached, name);
        const int fd = ::openat(at, name.constData(), FolderFlags | O_NOFOLLOW);
        if (fd < 0) {
            const int error = errno;
            struct stat st {};
            const bool link = ::fstatat(at, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
            errno = link ? ELOOP : error;
            return nullptr;
        }
        folder.reset(new HeldFolder(fd, *reached));
    }
    if (folder)
        return folder;
    const int fd = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0); // a descriptor of its own, which may outlive this one
    return fd < 0 ? nullptr : std::shared_ptr<const HeldFolder>(new HeldFolder(fd, m_path));
}

bool HeldFolder::isSame(const HeldFolder& other) const
{
    struct stat mine {}, theirs {};
    return ::fstat(m_fd, &mine) == 0 && ::fstat(other.m_fd, &theirs) == 0 && mine.st_dev == theirs.st_dev &&
           mine.st_ino == theirs.st_ino;
}
