#include "SiteRun.h"

#include "AppError.h"
#include "HeldFolder.h"
#include "ParserBounds.h"
#include "Random.h"
#include "SiteCheck.h"

#include <QCryptographicHash>
#include <QThread>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
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
    rewrite.scriptKey = plan.scriptKey;
    rewrite.after = applyChanges(bytes, plan.changes);
    return rewrite;
}

PageRewrite rewriteOf(const PageRef& page, const QByteArray& bytes, const SiteTask& task, RandomSource& random,
                      PageOutcome& outcome, const ScriptPage* script)
{
    if (!task.plans && !task.wantPlan)
        return rewritePage(bytes, task.options, random, script);
    const QByteArray digest = digestOf(bytes);
    if (task.wantPlan)
        outcome.plan.digest = digest;
    if (task.plans) {
        const auto plan = task.plans->constFind(page.named);
        if (plan != task.plans->constEnd() && plan->digest == digest)
            return fromPlan(bytes, *plan);
        outcome.drawnAgain = true;
    }
    return rewritePage(bytes, task.options, random, script);
}

bool cancelled(const SiteTask& task)
{
    return task.cancelled && task.cancelled->load();
}

PageFile::Place placeOf(const PageRef& page)
{
    if (!page.base)
        return {nullptr, page.real};
    const QByteArray& base = page.base->path();
    return {page.base, page.real.mid(base.size() + (base.endsWith('/') ? 0 : 1))};
}

bool isBelow(const QByteArray& path, const QByteArray& folder)
{
    return path.startsWith(folder.endsWith('/') ? folder : folder + '/');
}

// A folder on the page's way that became a link after the walk is not followed; it is told as the walk
// tells a link, or as a change by another program where it still leads inside.
void reportLink(PageOutcome& outcome, const PageRef& page, const QByteArray& link)
{
    char* resolved = ::realpath(link.constData(), nullptr);
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    const bool leads = resolved != nullptr;
    const QByteArray target(resolved);
    std::free(resolved);
    outcome.problem = !leads                               ? PageProblem::LinkBroken
                      : isBelow(target, page.base->path()) ? PageProblem::ChangedMeanwhile
                                                           : PageProblem::LinkOutside;
    outcome.detail = leads ? shownName(target) : reason;
}

// The folder a PATH writes into, as a real path: the PATH itself, or a page's folder; empty when it names none.
QByteArray writtenFolder(const QByteArray& path)
{
    char* resolved = ::realpath(path.constData(), nullptr);
    QByteArray folder = resolved ? QByteArray(resolved) : QByteArray();
    std::free(resolved);
    struct stat st {};
    if (!folder.isEmpty() && ::stat(folder.constData(), &st) == 0 && !S_ISDIR(st.st_mode))
        folder = folder.left(std::max<qsizetype>(1, folder.lastIndexOf('/')));
    return folder;
}

// False only when another run holds the folder in a way that excludes this hold. A folder this run holds
// already, by whatever name, is held once; one that cannot be opened or locked is left to the walk.
bool hold(const QByteArray& folder, bool alone, std::list<PageFile::FolderLock>* held)
{
    struct stat st {};
    if (folder.isEmpty() || ::stat(folder.constData(), &st) != 0)
        return true;
    if (std::any_of(held->begin(), held->end(), [&st](auto& lock) { return lock.holds(st.st_dev, st.st_ino); }))
        return true;
    if (held->emplace_back().lock(folder, alone))
        return true;
    held->pop_back();
    return errno != EWOULDBLOCK;
}

// What a harvester reads in the page as the run leaves it; a rewrite's own encoding reads what it wrote.
void countReadable(const SiteTask& task, PageOutcome& outcome, const QByteArray& bytes,
                   const std::optional<PageEncoding>& encoding = std::nullopt)
{
    if (task.countReadable)
        outcome.readable =
            SiteCheck::counts(SiteCheck::check(encoding ? DecodedPage::read(bytes, *encoding) : DecodedPage::read(bytes)));
}

} // namespace

namespace SiteRun {

PageOutcome processPage(const PageRef& page, const SiteTask& task, RandomSource& random)
{
    PageOutcome outcome;
    outcome.file = page.named;
    outcome.path = shownName(page.named);
    PageFile::Contents contents;
    const auto fail = [&](PageProblem problem, const QString& detail = {}, int number = 0) {
        outcome.problem = problem;
        outcome.detail = detail;
        outcome.errorNumber = number;
        countReadable(task, outcome, contents.bytes);
        return outcome;
    };
    std::optional<ScriptPage> script;
    if (task.script && !(script = task.script->pageContext(page.named)))
        return outcome; // its folder's script could not be written, as was reported
    const PageFile::Place place = placeOf(page);
    try {
        contents = PageFile::read(place);
    } catch (const PageFile::LinkInTheWay& link) {
        reportLink(outcome, page, link.path);
        return outcome;
    } catch (const AppError& error) {
        if (error.number() == AppError::BadFileMode)
            return fail(PageProblem::NotRegular);
        return fail(PageProblem::Unreadable, error.detail(), error.number());
    }
    const PageRewrite rewrite = rewriteOf(page, contents.bytes, task, random, outcome, script ? &*script : nullptr);
    if (rewrite.problem != PageProblem::None && rewrite.problem != PageProblem::CannotHide)
        return fail(rewrite.problem, rewrite.detail);
    // A link the options cannot hide stays as it was; the rest of the page is still written.
    outcome.problem = rewrite.problem;
    outcome.detail = rewrite.detail;
    outcome.unhidden = rewrite.unhidden;
    outcome.unhiddenLines = rewrite.unhiddenLines;
    QStringList drawn; // the addresses that need their image beside the script
    for (const SpanChange& change : rewrite.changes) {
        if (change.isAddress())
            outcome.found.append(change.span.text);
        if (change.writer == SpanChange::Writer::Script && change.span.kind == SpanKind::Text)
            drawn.append(change.span.text);
    }
    outcome.addresses = int(outcome.found.size());
    if (task.wantLines)
        outcome.lines = changedLines(rewrite);
    if (task.wantPlan) {
        outcome.plan.encoding = rewrite.encoding;
        outcome.plan.changes = rewrite.changes;
        outcome.plan.problem = rewrite.problem;
        outcome.plan.detail = rewrite.detail;
        outcome.plan.scriptKey = rewrite.scriptKey;
    }
    if (rewrite.changes.isEmpty()) {
        countReadable(task, outcome, contents.bytes, rewrite.encoding);
        return outcome;
    }
    // The new bytes are checked before they reach the disk; nothing is read back or restored after.
    if (const QString problem = checkRewrite(rewrite, rewrite.after); !problem.isEmpty())
        return fail(PageProblem::CheckFailed, problem);
    if (contents.stamp.links > 1) // a rename would part this name from the others
        return fail(PageProblem::HardLinked, QString::number(contents.stamp.links));
    if (!PageFile::writable(contents))
        return fail(PageProblem::ReadOnly);
    if (task.dryRun) {
        countReadable(task, outcome, rewrite.after, rewrite.encoding);
        return outcome;
    }
    // A page never points at an image that is not there.
    if (const QString problem = task.script ? task.script->writeImages(page.named, drawn) : QString(); !problem.isEmpty())
        return fail(PageProblem::WriteFailed, problem);
    if (task.beforeReplace)
        task.beforeReplace(page);
    try {
        switch (PageFile::replace(place, contents, rewrite.after, [&task] { return !cancelled(task); })) {
        case PageFile::Replaced::Written:
            outcome.written = true;
            countReadable(task, outcome, rewrite.after, rewrite.encoding);
            break;
        case PageFile::Replaced::Cancelled:
            outcome.cancelled = true;
            countReadable(task, outcome, contents.bytes, rewrite.encoding);
            break;
        case PageFile::Replaced::ChangedMeanwhile: return fail(PageProblem::ChangedMeanwhile);
        }
    } catch (const PageFile::LinkInTheWay& link) {
        reportLink(outcome, page, link.path);
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
    QList<QByteArray> folders;
    for (const QByteArray& path : *paths)
        folders.append(writtenFolder(path));
    // Every folder written into is held alone first, and only then each folder above one shared, so that a
    // run's own folders, named in any order or reached twice through a bind mount, never stand in its way.
    QList<bool> busy(paths->size(), false);
    for (qsizetype i = 0; i < folders.size(); ++i)
        busy[i] = !hold(folders[i], true, held);
    for (qsizetype i = 0; i < folders.size(); ++i)
        for (QByteArray above = folders[i]; !busy[i] && above.size() > 1;) {
            above = above.left(std::max<qsizetype>(1, above.lastIndexOf('/')));
            busy[i] = !hold(above, false, held);
        }
    QList<PageOutcome> refused;
    QList<QByteArray> free;
    for (qsizetype i = 0; i < paths->size(); ++i) {
        if (!busy[i]) {
            free.append(paths->at(i));
            continue;
        }
        PageOutcome outcome;
        outcome.file = paths->at(i);
        outcome.path = shownName(outcome.file);
        outcome.problem = PageProblem::Busy;
        refused.append(outcome);
    }
    *paths = free;
    return refused;
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
    case PageProblem::ScriptUnwritable:
        return QStringLiteral("the script cannot be written (%1); no page under its folder was changed").arg(detail);
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
