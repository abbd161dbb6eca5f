#pragma once

#include <QByteArray>
#include <memory>

// A folder held open by its descriptor since it was found, so that what lies below it is reached through
// the folder itself, never through a name that another program may since have pointed elsewhere.
class HeldFolder
{
public:
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;
    ~HeldFolder();

    // The folder at path, links in path itself followed (a folder as the user named it); nullptr with errno.
    static std::shared_ptr<const HeldFolder> open(const QByteArray& path);
    // The folder below this one by relative ("a/b", empty for this one), each step opened without following
    // a link; nullptr with errno on failure, ELOOP where a link stands instead of a folder, and *reached
    // the path of the step that failed.
    std::shared_ptr<const HeldFolder> below(const QByteArray& relative, QByteArray* reached) const;
    // Whether other is this very folder, whatever names lead to each.
    bool isSame(const HeldFolder& other) const;

    int fd() const { return m_fd; }
    // The name it was reached by: for messages, and to tell the names below it.
    const QByteArray& path() const { return m_path; }

private:
    HeldFolder(int fd, QByteArray path) : m_fd(fd), m_path(std::move(path)) {}

    const int m_fd;
    const QByteArray m_path;
};
