#include "SiteRun.h"

#include "AppError.h"
#include "FileAccess.h"

#include <QDirIterator>
#include <QFileInfo>

namespace {

QString describe(const AppError& error)
{
    return error.detail().isEmpty() ? error.description() : error.detail();
}

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
    try {
        const PageRewrite rewrite = rewritePage(FileAccess::read(path), options, random);
        if (!rewrite.error.isEmpty()) {
            outcome.error = rewrite.error;
            return outcome;
        }
        outcome.addresses = int(rewrite.changes.size());
        for (const SpanChange& change : rewrite.changes)
            outcome.found.append(change.span.text);
        if (wantLines)
            outcome.lines = changedLines(rewrite);
        if (rewrite.changes.isEmpty())
            return outcome;
        // Checked before the write too, so a faulty rewrite never reaches the disk.
        QString problem = checkRewrite(rewrite, rewrite.after, options);
        if (problem.isEmpty() && !dryRun && !writable(path))
            problem = QStringLiteral("the file is read-only");
        if (!problem.isEmpty() || dryRun) {
            outcome.error = problem;
            return outcome;
        }
        FileAccess::writeAtomically(path, rewrite.after);
        outcome.written = true;
        problem = checkRewrite(rewrite, FileAccess::read(path), options);
        if (!problem.isEmpty()) {
            FileAccess::writeAtomically(path, rewrite.before);
            outcome.written = false;
            outcome.error = problem + QStringLiteral("; the page was restored");
        }
    } catch (const AppError& error) {
        outcome.error = describe(error);
    }
    return outcome;
}

} // namespace SiteRun
