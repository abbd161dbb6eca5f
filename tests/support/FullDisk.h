#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

// A small tmpfs of its own that a test fills up, to see how writes fail on a full
// disk. Mounting needs root: mounted() is false otherwise.
class FullDisk
{
public:
    FullDisk()
    {
        m_mounted = ::geteuid() == 0 && ::mount("tmpfs", name().constData(), "tmpfs", 0, "size=256k,mode=0755") == 0;
    }
    ~FullDisk()
    {
        if (m_mounted)
            ::umount2(name().constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }

    // Takes every free byte; whatever is written next finds the disk full.
    void fill()
    {
        const int fd = ::open((name() + "/filler").constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const QByteArray block(4096, 'x');
        for (qsizetype size = block.size(); size > 0; size /= 2)
            while (::write(fd, block.constData(), size_t(size)) == size) {
            }
        ::close(fd);
    }

private:
    QByteArray name() const { return QFile::encodeName(m_dir.path()); }

    QTemporaryDir m_dir;
    bool m_mounted = false;
};
