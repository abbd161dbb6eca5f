#pragma once

#include "PageRewriter.h"

#include <QStringList>
#include <functional>

class RandomSource;

// What happened to one page.
struct PageOutcome
{
    QString path;
    int addresses = 0;          // rewritten, or to be rewritten in a dry run
    QStringList found;          // the addresses as they stood
    QList<ChangedLine> lines;   // for showing the change; filled when asked for
    PageProblem problem = PageProblem::None;
    QString detail;
    int errorNumber = 0;        // the file system's error, for a message in the window's words
    bool written = false;

    bool failed() const { return problem != PageProblem::None; }
};

namespace SiteRun {

// Pages under the given folders (recursively, in a stable order) and the given files
// that are pages; a path that does not exist goes to *missing.
QStringList collectPages(const QStringList& paths, QStringList* missing);
bool isPage(const QString& path);
// Reads, rewrites, writes atomically (unless dryRun), reads back and checks; a page
// that fails the check is put back as it was.
PageOutcome processPage(const QString& path, const SiteOptions& options, bool dryRun, bool wantLines,
                        RandomSource& random);
// processPage for every page, on several threads, each with a generator of its own;
// report gets the outcomes in the order of pages, on the calling thread, and stops the
// run by returning false. At most a few pages are held at a time.
void processAll(const QStringList& pages, const SiteOptions& options, bool dryRun, bool wantLines,
                const std::function<bool(const PageOutcome&)>& report);
// The outcome's problem as the command line reports it.
QString problemText(const PageOutcome& outcome);

} // namespace SiteRun
