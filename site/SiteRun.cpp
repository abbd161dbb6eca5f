#include "SiteRun.h"

#include "AppError.h"
#include "ParserBounds.h"
#include "Random.h"

#include <QCryptographicHash>
#include <QThread>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray digestOf(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// The page as its plan rewrites it: the same replacements at the same places.
PageRewrite fromPlan(const QByteArray& bytes, const PagePlan& plan)
{
    PageRewrite rewrite;
    rewrite.before = bytes;
    rewrite.encoding = plan.encoding;
    rewrite.changes = plan.changes;
    rewrite.problem = plan.problem;
    rewrite.detail = plan.detail;
    qsizetype copied = 0;
    for (const SpanChange& change : plan.changes) {
        rewrite.after += QByteArrayView(bytes).sliced(copied, change.span.start - copied);
        rewrite.after += change.replacement;
        copied = change.span.end;
    }
    rewrite.after += QByteArrayView(bytes).sliced(copied);
    return rewrite;
}

PageRewrite rewriteOf(const PageRef& page, const QByteArray& bytes, const SiteTask& task, RandomSource& random,
                      PageOutcome& outcome)
{
    if (!task.plans && !task.wantPlan)
        return rewritePage(bytes, task.options, random);
    const QByteArray digest = digestOf(bytes);
    if (task.wantPlan)
        outcome.plan.digest = digest;
    if (task.plans) {
        const auto plan = task.plans->constFind(page.named);
        if (plan != task.plans->constEnd() && plan->digest == digest)
            return fromPlan(bytes, *plan);
        outcome.drawnAgain = true;
    }
    return rewritePage(bytes, task.options, random);
}

bool cancelled(const SiteTask& task)
{
    return task.cancelled && task.cancelled->load();
}

// A page its owner marked read-only is left alone, also when root could write it.
bool writable(const PageRef& page, const PageFile::Stamp& stamp)
{
    return (stamp.mode & 0222) != 0 && ::access(page.real.constData(), W_OK) == 0;
}

} // namespace

namespace SiteRun {

PageOutcome processPage(const PageRef& page, const SiteTask& task, RandomSource& random)
{
    PageOutcome outcome;
    outcome.file = page.named;
    outcome.path = shownName(page.named);
    const auto fail = [&outcome](PageProblem problem, const QString& detail = {}, int number = 0) {
        outcome.problem = problem;
        outcome.detail = detail;
        outcome.errorNumber = number;
        return outcome;
    };
    PageFile::Contents contents;
    try {
        contents = PageFile::read(page.real);
    } catch (const AppError& error) {
        if (error.number() == AppError::BadFileMode)
            return fail(PageProblem::NotRegular);
        return fail(PageProblem::Unreadable, error.detail(), error.number());
    }
    const PageRewrite rewrite = rewriteOf(page, contents.bytes, task, random, outcome);
    if (rewrite.problem != PageProblem::None && rewrite.problem != PageProblem::CannotHide)
        return fail(rewrite.problem, rewrite.detail);
    // A link the options cannot hide stays as it was; the rest of the page is still written.
    outcome.problem = rewrite.problem;
    outcome.detail = rewrite.detail;
    outcome.unhidden = rewrite.unhidden;
    outcome.unhiddenLines = rewrite.unhiddenLines;
    outcome.addresses = int(rewrite.changes.size());
    for (const SpanChange& change : rewrite.changes)
        outcome.found.append(change.span.text);
    if (task.wantLines)
        outcome.lines = changedLines(rewrite);
    if (task.wantPlan) {
        outcome.plan.encoding = rewrite.encoding;
        outcome.plan.changes = rewrite.changes;
        outcome.plan.problem = rewrite.problem;
        outcome.plan.detail = rewrite.detail;
    }
    if (rewrite.changes.isEmpty())
        return outcome;
    // The new bytes are checked before they reach the disk; nothing is read back or restored after.
    if (const QString problem = checkRewrite(rewrite, rewrite.after); !problem.isEmpty())
        return fail(PageProblem::CheckFailed, problem);
    if (contents.stamp.links > 1) // a rename would part this name from the others
        return fail(PageProblem::HardLinked, QString::number(contents.stamp.links));
    if (!writable(page, contents.stamp))
        return fail(PageProblem::ReadOnly);
    if (task.dryRun)
        return outcome;
    if (task.beforeReplace)
        task.beforeReplace(page);
    try {
        switch (PageFile::replace(page.real, rewrite.after, contents.stamp, [&task] { return !cancelled(task); })) {
        case PageFile::Replaced::Written: outcome.written = true; break;
        case PageFile::Replaced::Cancelled: outcome.cancelled = true; break;
        case PageFile::Replaced::ChangedMeanwhile: return fail(PageProblem::ChangedMeanwhile);
        }
    } catch (const AppError& error) {
        return fail(PageProblem::WriteFailed, error.detail(), error.number());
    }
    return outcome;
}

void processAll(const QList<PageRef>& pages, const SiteTask& task,
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
                if (stop || cancelled(task) || next >= pages.size())
                    return;
                index = next++;
            }
            PageOutcome outcome = processPage(pages[index], task, random);
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
                return done.count(reported) > 0 ||
                       (reported == next && (stop || cancelled(task) || next >= pages.size()));
            });
            if (done.count(reported) == 0) {
                stop = true;
                changed.notify_all();
                break;
            }
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

QList<PageOutcome> lockFolders(QList<QByteArray>* paths, std::list<PageFile::FolderLock>* held)
{
    QList<PageOutcome> busy;
    QList<QByteArray> free;
    QList<QByteArray> locked;
    for (const QByteArray& path : *paths) {
        char* resolved = ::realpath(path.constData(), nullptr);
        QByteArray folder = resolved ? QByteArray(resolved) : QByteArray();
        std::free(resolved);
        struct stat st {};
        if (!folder.isEmpty() && ::stat(folder.constData(), &st) == 0 && !S_ISDIR(st.st_mode))
            folder = folder.left(std::max<qsizetype>(1, folder.lastIndexOf('/')));
        // A folder named twice is held once; one that cannot be opened is reported by the walk.
        if (folder.isEmpty() || locked.contains(folder) || held->emplace_back().lock(folder) || errno != EWOULDBLOCK) {
            locked.append(folder);
            free.append(path);
            continue;
        }
        held->pop_back();
        PageOutcome outcome;
        outcome.file = path;
        outcome.path = shownName(path);
        outcome.problem = PageProblem::Busy;
        busy.append(outcome);
    }
    *paths = free;
    return busy;
}

// Each link with the line it stands on, as the page writes it.
QString cannotHideText(const PageOutcome& outcome)
{
    QStringList links;
    for (qsizetype i = 0; i < outcome.unhidden.size(); ++i)
        links.append(QStringLiteral("\"%1\" (line %2)").arg(outcome.unhidden[i]).arg(outcome.unhiddenLines.value(i)));
    return QStringLiteral("these options cannot hide ") + links.join(QStringLiteral(", "));
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
    case PageProblem::CannotHide: return cannotHideText(outcome);
    case PageProblem::CheckFailed: return QStringLiteral("left unchanged, the rewrite failed its check: ") + detail;
    case PageProblem::ReadOnly: return QStringLiteral("the file is read-only");
    case PageProblem::WriteFailed: return QStringLiteral("cannot be written, left unchanged: ") + detail;
    case PageProblem::LinkOutside:
        return QStringLiteral("a link to \"%1\", outside the given PATHs; left as it is").arg(detail);
    case PageProblem::LinkBroken: return QStringLiteral("a link that leads nowhere: ") + detail;
    case PageProblem::NotRegular: return QStringLiteral("not a regular file; not opened");
    case PageProblem::HardLinked:
        return QStringLiteral("has %1 hard links, which a rewrite would part; left as it is").arg(detail);
    case PageProblem::ChangedMeanwhile:
        return QStringLiteral("changed by another program while it was rewritten; its version is kept");
    case PageProblem::Busy:
        return QStringLiteral("another qorvane-site run is rewriting this folder; try again when it has finished");
    case PageProblem::TooManyAttributes:
        return QStringLiteral("a tag on line %1 has more than %2 attributes; left unchanged")
            .arg(detail).arg(ParserLoad::MaxAttributes);
    case PageProblem::NestedTooDeep:
        return QStringLiteral("elements are nested more than %2 deep on line %1; left unchanged")
            .arg(detail).arg(ParserLoad::MaxDepth);
    }
    return {};
}

} // namespace SiteRun
