#include "PipedPage.h"

#include "SiteRun.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {
const bool StandardInputOpenAtStart = ::fcntl(STDIN_FILENO, F_GETFD) != -1;
}

bool standardInputWasOpen()
{
    return StandardInputOpenAtStart;
}

QByteArray readWholeInput(int fd, QString* problem)
{
    QByteArray bytes;
    char chunk[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got > 0) {
            bytes.append(chunk, got);
            continue;
        }
        if (got == 0)
            return bytes;
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            pollfd ready{fd, POLLIN, 0};
            if (::poll(&ready, 1, -1) >= 0 || errno == EINTR)
                continue;
        }
        *problem = QString::fromLocal8Bit(std::strerror(errno));
        return {};
    }
}

PipedPage rewritePipedPage(const QByteArray& input, const SiteOptions& options, bool dryRun, RandomSource& random)
{
    PipedPage piped;
    piped.page = input;
    piped.rewritten = input;
    const PageRewrite rewrite = rewritePage(input, options, random);
    PageOutcome outcome;
    outcome.problem = rewrite.problem;
    outcome.detail = rewrite.detail;
    outcome.unhidden = rewrite.unhidden;
    outcome.unhiddenLines = rewrite.unhiddenLines;
    // A link these options cannot hide is left as it was, and the rest of the page is still rewritten.
    const bool rewritten = !outcome.failed() || outcome.problem == PageProblem::CannotHide;
    if (rewritten && !rewrite.changes.isEmpty()) {
        if (const QString problem = checkRewrite(rewrite, rewrite.after); !problem.isEmpty()) {
            outcome.problem = PageProblem::CheckFailed;
            outcome.detail = problem;
        }
    }
    if (outcome.failed())
        piped.problem = SiteRun::problemText(outcome);
    if (outcome.failed() && outcome.problem != PageProblem::CannotHide)
        return piped;
    for (const SpanChange& change : rewrite.changes)
        piped.found.append(change.span.text);
    piped.rewritten = rewrite.after;
    if (!dryRun)
        piped.page = rewrite.after;
    return piped;
}
