#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

// A small tmpfs of its own that a test fills up. Mounting needs root: mounted() is false otherwise.
class FullDisk
{
public:
    FullDisk() { m_mounted = ::geteuid() == 0 && ::mount("tmpfs", name(), "tmpfs", 0, "size=256k,mode=0755") == 0; }
    ~FullDisk()
    {
        if (m_mounted)
            ::umount2(name(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }

    // Takes every free byte; whatever is written next finds the disk full.
    void fill()
    {
        const int fd = ::open(QFile::encodeName(path() + "/filler").constData(), O_WRONLY | O_CREAT, 0600);
        const QByteArray block(4096, 'x');
        for (qsizetype size = block.size(); size > 0; size /= 2)
            while (::write(fd, block.constData(), size_t(size)) == size) {
            }
        ::close(fd);
    }

private:
    const char* name() const { return m_name.constData(); }

    QTemporaryDir m_dir;
    QByteArray m_name = QFile::encodeName(m_dir.path());
    bool m_mounted = false;
};
