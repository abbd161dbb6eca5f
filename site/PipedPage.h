#pragma once

#include "PageRewriter.h"

#include <QStringList>

class RandomSource;

// One page that came through a pipe and goes on through it.
struct PipedPage
{
    // The rewritten page; the page as it came whenever it was not rewritten, so a
    // pipeline never loses a page.
    QByteArray page;
    QByteArray rewritten; // what the rewrite made of it, also in a dry run
    QStringList found; // the addresses as they stood
    QString problem;   // what went wrong: the page passed through unchanged, or a link in it left as it was

    bool failed() const { return !problem.isEmpty(); }
};

// The whole of what fd gives until its end; a descriptor set non-blocking is waited on, not taken as ended.
// Empty, with *problem said, when it cannot be read to its end: a cut page must never pass as a whole one.
QByteArray readWholeInput(int fd, QString* problem);

// Whether standard input was open when the program started: once closed, the first file the program
// opens takes its number, and would be read as the page.
bool standardInputWasOpen();

// The rewrite of one page held in memory; dryRun passes every page through unchanged.
PipedPage rewritePipedPage(const QByteArray& input, const SiteOptions& options, bool dryRun, RandomSource& random);
