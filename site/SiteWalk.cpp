#include "SiteWalk.h"

#include "FileAccess.h"
#include "HeldFolder.h"
#include "PageFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <set>
#include <sys/stat.h>

namespace {

// A character that would move the cursor, end the line or turn the text around where the name is shown.
bool unsafeToShow(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

QString escaped(char32_t c)
{
    return c < 0x80 ? QStringLiteral("\\x%1").arg(uint(c), 2, 16, QLatin1Char('0'))
                    : QStringLiteral("\\u{%1}").arg(uint(c), 4, 16, QLatin1Char('0'));
}

} // namespace

QString shownName(const QByteArray& name)
{
    QString shown;
    for (qsizetype at = 0; at < name.size();) {
        const uchar lead = uchar(name[at]);
        const qsizetype length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        const QByteArray piece = name.mid(at, length);
        // Invalid or overlong sequences decode to U+FFFD, which does not encode back to them.
        const QString text = QString::fromUtf8(piece);
        if (lead >= 0x80 && text.toUtf8() != piece) {
            shown += QStringLiteral("\\x") + QString::number(lead, 16).rightJustified(2, QLatin1Char('0'));
            ++at;
            continue;
        }
        const char32_t c = text.toUcs4().value(0);
        shown += unsafeToShow(c) ? escaped(c) : text;
        at += length;
    }
    return shown;
}

namespace {

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray joined(const QByteArray& folder, const QByteArray& name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

QByteArray baseName(const QByteArray& path)
{
    QByteArray trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith('/'))
        trimmed.chop(1);
    return trimmed.mid(trimmed.lastIndexOf('/') + 1);
}

// Only a regular file counts: a folder of that name is the user's own.
bool isTemporary(const QByteArray& path, const QByteArray& name)
{
    struct stat st {};
    return PageFile::isTemporaryName(name) && ::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

class Walker
{
public:
    Walker(bool includeHidden, bool removeLeftovers) : m_hidden(includeHidden), m_removeLeftovers(removeLeftovers) {}

    void walk(const QList<QByteArray>& paths)
    {
        for (const QByteArray& path : paths)
            if (char* real = ::realpath(path.constData(), nullptr)) {
                m_roots.append(real);
                std::free(real);
                hold(m_roots.last());
            }
        for (const QByteArray& path : paths)
            root(path);
    }

    SiteWalk result;

private:
    void report(const QByteArray& path, PageProblem problem, const QString& detail = {}, int error = 0)
    {
        PageOutcome outcome;
        outcome.file = path;
        outcome.path = shownName(path);
        outcome.problem = problem;
        outcome.detail = detail;
        outcome.errorNumber = error == 0 ? 0 : FileAccess::errorNumber(error, outcome.path);
        result.problems.append(outcome);
    }

    bool inside(const QByteArray& real) const
    {
        return std::any_of(m_roots.begin(), m_roots.end(), [&real](const QByteArray& root) {
            return real == root || real.startsWith(root.endsWith('/') ? root : root + '/');
        });
    }

    bool firstTime(const struct stat& st) { return m_seen.insert({st.st_dev, st.st_ino}).second; }

    // A PATH's folder (a page's folder for a page), held from here on: its pages are opened from it.
    void hold(const QByteArray& real)
    {
        struct stat st {};
        const bool folder = ::stat(real.constData(), &st) == 0 && S_ISDIR(st.st_mode);
        if (auto held = HeldFolder::open(folder ? real : real.left(std::max<qsizetype>(1, real.lastIndexOf('/')))))
            m_bases.append(std::move(held));
    }

    // Found by its real path, which lies below a PATH: the closest PATH's folder holds it.
    void take(const QByteArray& named, const QByteArray& real)
    {
        std::shared_ptr<const HeldFolder> base;
        for (const auto& held : m_bases)
            if (real.startsWith(held->path().endsWith('/') ? held->path() : held->path() + '/') &&
                (!base || held->path().size() > base->path().size()))
                base = held;
        result.pages.append({named, real, base});
    }

    void root(const QByteArray& path)
    {
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0)
            return report(path, errno == ENOENT ? PageProblem::Missing : PageProblem::Unreadable, reason(errno), errno);
        char* resolved = ::realpath(path.constData(), nullptr);
        if (!resolved)
            return report(path, PageProblem::LinkBroken, reason(errno), errno);
        const QByteArray real(resolved);
        std::free(resolved);
        if (::stat(real.constData(), &st) != 0)
            return report(path, PageProblem::Unreadable, reason(errno), errno);
        if (S_ISDIR(st.st_mode))
            return folder(path, real, st);
        if (!S_ISREG(st.st_mode))
            return report(path, PageProblem::NotRegular);
        // A shell pattern such as public/* names style sheets and images too: they are only noted.
        if (!SiteWalk::isPageName(baseName(path)))
            return result.notPages.append(path);
        if (firstTime(st))
            take(path, real);
    }

    void folder(const QByteArray& named, const QByteArray& real, const struct stat& st)
    {
        if (!firstTime(st))
            return; // its pages are reached by another name
        DIR* dir = ::opendir(real.constData());
        if (!dir)
            return report(named, PageProblem::Unreadable, reason(errno), errno);
        QList<QByteArray> names;
        errno = 0;
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..")
                names.append(name);
            errno = 0;
        }
        const int error = errno;
        ::closedir(dir);
        if (error != 0)
            report(named, PageProblem::Unreadable, reason(error), error);
        std::sort(names.begin(), names.end());
        for (const QByteArray& name : names)
            entry(joined(named, name), joined(real, name), name);
    }

    void entry(const QByteArray& named, const QByteArray& real, const QByteArray& name)
    {
        if (isTemporary(real, name)) {
            result.leftovers += m_removeLeftovers ? PageFile::removeIfStale(real) : 1;
            return;
        }
        if (!m_hidden && (name.startsWith('.') || name == "node_modules")) {
            ++result.hiddenSkipped;
            return;
        }
        const bool page = SiteWalk::isPageName(name);
        struct stat st {};
        if (::lstat(real.constData(), &st) != 0)
            return report(named, PageProblem::Unreadable, reason(errno), errno);
        if (S_ISLNK(st.st_mode))
            return link(named, real);
        if (S_ISDIR(st.st_mode))
            return folder(named, real, st);
        if (page && !S_ISREG(st.st_mode))
            return report(named, PageProblem::NotRegular);
        if (page && firstTime(st))
            take(named, real);
    }

    // A link that leads nowhere is reported whatever its name: "docs.v2" may well have been a folder.
    void link(const QByteArray& named, const QByteArray& real)
    {
        char* resolved = ::realpath(real.constData(), nullptr);
        if (!resolved)
            return report(named, PageProblem::LinkBroken, reason(errno), errno);
        const QByteArray target(resolved);
        std::free(resolved);
        struct stat st {};
        if (::stat(target.constData(), &st) != 0)
            return report(named, PageProblem::Unreadable, reason(errno), errno);
        const bool page = SiteWalk::isPageName(baseName(named));
        if (!S_ISDIR(st.st_mode) && !page)
            return;
        if (!inside(target))
            return report(named, PageProblem::LinkOutside, shownName(target));
        if (S_ISDIR(st.st_mode))
            return folder(named, target, st);
        if (!S_ISREG(st.st_mode))
            return report(named, PageProblem::NotRegular);
        if (firstTime(st))
            take(named, target);
    }

    const bool m_hidden;
    const bool m_removeLeftovers;
    QList<QByteArray> m_roots; // real paths
    QList<std::shared_ptr<const HeldFolder>> m_bases;
    std::set<std::pair<dev_t, ino_t>> m_seen;
};

} // namespace

SiteWalk SiteWalk::walk(const QList<QByteArray>& paths, bool includeHidden, bool removeLeftovers)
{
    Walker walker(includeHidden, removeLeftovers);
    walker.walk(paths);
    return walker.result;
}

bool SiteWalk::isPageName(const QByteArray& name)
{
    const qsizetype dot = name.lastIndexOf('.');
    if (dot < 0)
        return false;
    const QByteArray suffix = name.mid(dot + 1).toLower();
    return suffix == "html" || suffix == "htm" || suffix == "xhtml";
}
