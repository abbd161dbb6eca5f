#pragma once

#include <QByteArray>
#include <functional>
#include <memory>

class HeldFolder;

// A page of a site, read and replaced by the file system's own names (bytes), so that a
// name that is not valid text is handled like any other and a page is never written in place.
namespace PageFile {

// What tells one state of a file from another: a writer that replaced or changed the
// file since it was read changes at least one of these.
struct Stamp
{
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0; // ctime: also moves on chmod, chown, a new link and a write whose mtime was put back
    quint64 links = 0;
    unsigned owner = 0;
    unsigned group = 0;
    unsigned mode = 0;

    bool sameFile(const Stamp& other) const
    {
        return device == other.device && inode == other.inode && size == other.size &&
               modifiedNs == other.modifiedNs && changedNs == other.changedNs && links == other.links;
    }
};

// Where a page lies: below a folder held since the walk (below: "sub/p.html"), or, without one, at the path
// below alone (a page named as it is).
struct Place
{
    std::shared_ptr<const HeldFolder> base;
    QByteArray below;
};

struct Contents
{
    QByteArray bytes;
    Stamp stamp;
    std::shared_ptr<const HeldFolder> folder; // the page's folder as it was read, where it is replaced
    QByteArray name;
};

// Thrown where a folder on the way down from a place's base is now a link (path): it is never followed.
struct LinkInTheWay
{
    QByteArray path;
};

enum class Replaced { Written, ChangedMeanwhile, Cancelled };

// Opens only a regular file, never through a link below the place's base and never waiting (a FIFO, a
// device): anything else throws an AppError whose detail is the reason alone, or LinkInTheWay.
Contents read(const Place& page);
// Whether this user may write the page as read.
bool writable(const Contents& page);
// Writes a hidden temporary file beside path, gives it the owner, group, mode, ACL and
// extended attributes of the page as read (what cannot be given is a failure), syncs it,
// asks goOn, checks that the page is still the one read and still where it was read (a folder on the way
// that is now a link throws LinkInTheWay), and only then renames it over the page. Never writes the page
// itself: a folder that refuses the new file is a failure (AppError), and the page stays as it was in
// every outcome.
Replaced replace(const Place& page, const Contents& read, const QByteArray& bytes, const std::function<bool()>& goOn);
// Writes all of bytes at offset, going on after interruptions; 0, or the errno of the failure.
int writeAll(int fd, const QByteArray& bytes, qsizetype offset = 0);
// Whether name is one of the temporary files this program writes.
bool isTemporaryName(const QByteArray& name);
// Creates a temporary file in folder (mode passes through the umask), open for writing and
// held for as long as this process keeps it open; -1 with errno on failure.
int createTemporary(const QByteArray& folder, int mode, QByteArray* path);
// The same in the folder open as folderFd; *name is the new file's name there.
int createTemporaryAt(int folderFd, int mode, QByteArray* name);
// Removes a temporary file whose writer is no longer alive; false when it is in use.
bool removeIfStale(const QByteArray& path);

// Holds a folder for one run, alone or shared; another run that asks for it alone meanwhile is refused, and
// so is one that asks to share a folder held alone.
class FolderLock
{
public:
    FolderLock() = default;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock();
    // False with errno when it could not; EWOULDBLOCK when another process holds it.
    bool lock(const QByteArray& folder, bool alone = true);
    // Whether it holds the folder of this device and inode, whatever name reached it.
    bool holds(quint64 device, quint64 inode) const { return m_fd >= 0 && device == m_device && inode == m_inode; }

private:
    int m_fd = -1;
    quint64 m_device = 0;
    quint64 m_inode = 0;
};

} // namespace PageFile
