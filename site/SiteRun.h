#pragma once

#include "PageFile.h"
#include "PageOutcome.h"
#include "ScriptSite.h"

#include <QHash>
#include <atomic>
#include <functional>
#include <list>
#include <memory>

class RandomSource;

// How the pages of one run are handled.
struct SiteTask
{
    SiteOptions options;
    bool dryRun = false;
    bool wantLines = false;
    bool wantPlan = false;
    bool countReadable = false; // what a harvester reads in each page as the run leaves it
    // Checked between pages and inside a page up to the moment of its rename.
    const std::atomic<bool>* cancelled = nullptr;
    // Plans of an earlier dry run, by the name a page was reached by: a page that still
    // reads as it did then gets exactly those replacements.
    std::shared_ptr<const QHash<QByteArray, PagePlan>> plans;
    // The script method's files, prepared for the run's PATHs; null for the references method.
    std::shared_ptr<ScriptSite> script;
    // Test hook: runs between a page's read and its rename.
    std::function<void(const PageRef&)> beforeReplace;
};

namespace SiteRun {

// Reads, rewrites, checks the new bytes and (unless a dry run) puts them in place of the
// page by a rename, unless the page changed since it was read.
PageOutcome processPage(const PageRef& page, const SiteTask& task, RandomSource& random);
// processPage for every page, on several threads, each with a generator of its own;
// report gets the outcomes in the order of pages, on the calling thread, and stops the
// run by returning false. At most a few pages are held at a time.
void processAll(const QList<PageRef>& pages, const SiteTask& task,
                const std::function<bool(const PageOutcome&)>& report);
// Takes each folder a run writes into (a folder PATH, or a page's folder) for this run, and
// shares each folder above it, so that another run on the same folder, on one below it or on
// one above it is refused; such a PATH comes back as an outcome and is left out of *paths.
QList<PageOutcome> lockFolders(QList<QByteArray>* paths, std::list<PageFile::FolderLock>* held);
// The outcome's problem as the command line reports it.
QString problemText(const PageOutcome& outcome);

} // namespace SiteRun
