#pragma once

#include "PageRewriter.h"

#include <QStringList>
#include <array>
#include <memory>

class HeldFolder;

// A page as the walk reached it: the name it was reached by, shown to the user, and the
// real file (links resolved) that is read and replaced. Both are the file system's bytes.
// The real file is opened from base, the folder of a PATH held since the walk, so a folder
// below it that has since become a link is never followed; without a base, by its path.
struct PageRef
{
    QByteArray named;
    QByteArray real;
    std::shared_ptr<const HeldFolder> base = nullptr;
};

// What the rewrite drew for a page, kept so that applying it later writes exactly that:
// the page's bytes are known again by their digest, and only the replacements are held.
struct PagePlan
{
    QByteArray digest;
    std::optional<PageEncoding> encoding;
    QList<SpanChange> changes;
    PageProblem problem = PageProblem::None; // a link left because the options cannot hide it
    QString detail;
    QByteArray scriptKey;
};

// How many addresses a harvester reads in a page at each level (raw, decoded, spelled).
using LevelCounts = std::array<int, 3>;

// What happened to one page (or to an entry of a folder that was not taken).
struct PageOutcome
{
    QString path;               // the name as shown: bytes that are not text appear as \xHH
    QByteArray file;            // the name as reached, bytes
    int addresses = 0;          // rewritten, or to be rewritten in a dry run
    QStringList found;          // the addresses as they stood
    QList<ChangedLine> lines;   // for showing the change; filled when asked for
    PageProblem problem = PageProblem::None;
    QString detail;
    QStringList unhidden;       // the links the options cannot hide
    QList<int> unhiddenLines;   // and the line of each
    int errorNumber = 0;        // the file system's error, for a message in the window's words
    bool written = false;
    bool cancelled = false;     // stopped before it was written; the page is as it was
    bool drawnAgain = false;    // changed since its plan was made, so rewritten afresh
    PagePlan plan;              // filled when asked for
    LevelCounts readable{};     // in the page as this run leaves it (or would); counted when asked for

    bool failed() const { return problem != PageProblem::None; }
    // A page holding a link the options cannot hide is still rewritten around that link.
    bool changesPage() const { return addresses > 0 && (!failed() || problem == PageProblem::CannotHide); }
};

// A file system name as text, to be shown: valid UTF-8 as it is, any other byte as \xHH.
QString shownName(const QByteArray& name);
