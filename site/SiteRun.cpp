#include "SiteRun.h"

#include "AppError.h"
#include "FileAccess.h"
#include "Random.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QThread>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace {

// Root may write anywhere; a page its owner marked read-only is still left alone.
bool writable(const QString& path)
{
    const QFileInfo info(path);
    const auto anyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return info.isWritable() && (info.permissions() & anyWrite);
}

} // namespace

namespace SiteRun {

bool isPage(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("html") || suffix == QLatin1String("htm") || suffix == QLatin1String("xhtml");
}

QStringList collectPages(const QStringList& paths, QStringList* missing)
{
    QStringList pages;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            QStringList inFolder;
            QDirIterator it(path, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString file = it.next();
                if (isPage(file))
                    inFolder.append(file);
            }
            inFolder.sort();
            pages += inFolder;
        } else if (info.isFile()) {
            // A shell pattern such as public/* names style sheets and images too: only pages count.
            if (isPage(path))
                pages.append(path);
        } else {
            missing->append(path);
        }
    }
    pages.removeDuplicates();
    return pages;
}

PageOutcome processPage(const QString& path, const SiteOptions& options, bool dryRun, bool wantLines,
                        RandomSource& random)
{
    PageOutcome outcome;
    outcome.path = path;
    const auto fail = [&outcome](PageProblem problem, const QString& detail) {
        outcome.problem = problem;
        outcome.detail = detail;
        return outcome;
    };
    PageRewrite rewrite;
    try {
        rewrite = rewritePage(FileAccess::read(path), options, random);
    } catch (const AppError& error) {
        outcome.errorNumber = error.number();
        return fail(PageProblem::Unreadable, error.detail());
    }
    if (rewrite.problem != PageProblem::None && rewrite.problem != PageProblem::CannotHide)
        return fail(rewrite.problem, rewrite.detail);
    // A link the options cannot hide stays as it was; the rest of the page is still written.
    outcome.problem = rewrite.problem;
    outcome.detail = rewrite.detail;
    outcome.addresses = int(rewrite.changes.size());
    for (const SpanChange& change : rewrite.changes)
        outcome.found.append(change.span.text);
    if (wantLines)
        outcome.lines = changedLines(rewrite);
    if (rewrite.changes.isEmpty())
        return outcome;
    // Checked before the write too, so a faulty rewrite never reaches the disk.
    if (const QString problem = checkRewrite(rewrite, rewrite.after); !problem.isEmpty())
        return fail(PageProblem::CheckFailed, problem);
    if (dryRun)
        return outcome;
    if (!writable(path))
        return fail(PageProblem::ReadOnly, {});
    try {
        FileAccess::writeAtomically(path, rewrite.after);
    } catch (const AppError& error) {
        outcome.errorNumber = error.number();
        return fail(PageProblem::WriteFailed, error.detail());
    }
    // The content was checked before the write; bytes that read back the same pass the same check.
    QString problem;
    try {
        if (FileAccess::read(path) != rewrite.after)
            problem = QStringLiteral("the file does not read back as written");
    } catch (const AppError& error) {
        problem = error.detail();
    }
    if (problem.isEmpty()) {
        outcome.written = true;
        return outcome;
    }
    try {
        FileAccess::writeAtomically(path, rewrite.before);
    } catch (const AppError& error) {
        outcome.errorNumber = error.number();
        return fail(PageProblem::RestoreFailed, problem + QStringLiteral("; ") + error.detail());
    }
    return fail(PageProblem::Restored, problem);
}

void processAll(const QStringList& pages, const SiteOptions& options, bool dryRun, bool wantLines,
                const std::function<bool(const PageOutcome&)>& report)
{
    const int workers = std::clamp(QThread::idealThreadCount(), 1, 4);
    const qsizetype ahead = 2 * workers; // pages done but not yet reported, at most
    std::mutex mutex;
    std::condition_variable changed;
    std::map<qsizetype, PageOutcome> done;
    qsizetype next = 0;
    qsizetype reported = 0;
    bool stop = false;
    const auto work = [&] {
        SystemRandom random;
        for (;;) {
            qsizetype index;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || next >= pages.size() || next < reported + ahead; });
                if (stop || next >= pages.size())
                    return;
                index = next++;
            }
            PageOutcome outcome = processPage(pages[index], options, dryRun, wantLines, random);
            std::lock_guard lock(mutex);
            done.emplace(index, std::move(outcome));
            changed.notify_all();
        }
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < workers; ++i)
        threads.emplace_back(work);
    // After a stop, the pages already taken are still reported: they may have been written.
    for (;;) {
        PageOutcome outcome;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] {
                return done.count(reported) > 0 || (reported == next && (stop || next >= pages.size()));
            });
            if (done.count(reported) == 0)
                break;
            outcome = std::move(done.extract(reported).mapped());
        }
        const bool goOn = report(outcome);
        std::lock_guard lock(mutex);
        ++reported;
        stop = stop || !goOn;
        changed.notify_all();
    }
    for (std::thread& thread : threads)
        thread.join();
}

QString problemText(const PageOutcome& outcome)
{
    const QString& detail = outcome.detail;
    switch (outcome.problem) {
    case PageProblem::None: return {};
    case PageProblem::Missing: return QStringLiteral("no such file or folder");
    case PageProblem::Unreadable: return QStringLiteral("cannot be read: ") + detail;
    case PageProblem::UnsupportedEncoding:
        return detail.isEmpty() ? QStringLiteral("the encoding could not be detected")
                                : QStringLiteral("unsupported encoding \"%1\"").arg(detail);
    case PageProblem::CannotHide: return QStringLiteral("these options cannot hide \"%1\"").arg(detail);
    case PageProblem::CheckFailed: return QStringLiteral("left unchanged, the rewrite failed its check: ") + detail;
    case PageProblem::ReadOnly: return QStringLiteral("the file is read-only");
    case PageProblem::WriteFailed: return QStringLiteral("cannot be written: ") + detail;
    case PageProblem::Restored: return QStringLiteral("the written page failed its check and was restored: ") + detail;
    case PageProblem::RestoreFailed:
        return QStringLiteral("the written page failed its check and COULD NOT be restored: ") + detail;
    }
    return {};
}

} // namespace SiteRun
