#include "PipedPage.h"

#include "SiteRun.h"

PipedPage rewritePipedPage(const QByteArray& input, const SiteOptions& options, bool dryRun, RandomSource& random)
{
    PipedPage piped;
    piped.page = input;
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
    if (!dryRun)
        piped.page = rewrite.after;
    return piped;
}
