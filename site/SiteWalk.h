#pragma once

#include "PageOutcome.h"

// The pages under the PATHs of a run, found by the file system's own names.
//
// Folders are walked recursively in byte order of names. A link (to a page or a folder) is
// followed to its final target only when that target lies inside one of the PATHs; then
// the real file is the one rewritten. Each real file is taken once, however many names
// reach it. Only regular files are taken. Hidden entries (".name") and node_modules are
// left out unless named as a PATH or includeHidden is set. Every entry that could hold a
// page and is not taken is reported: a folder that cannot be read, a link that leads
// nowhere or outside, a FIFO or device with a page's name.
struct SiteWalk
{
    QList<PageRef> pages;
    QList<PageOutcome> problems;
    QList<QByteArray> notPages;  // files named as a PATH that are not pages
    int hiddenSkipped = 0;
    int leftovers = 0;           // temporary files of runs no longer alive: removed, or found in a dry run

    static SiteWalk walk(const QList<QByteArray>& paths, bool includeHidden, bool removeLeftovers);
    static bool isPageName(const QByteArray& name);
};
