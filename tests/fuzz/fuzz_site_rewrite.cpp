// A page rewrite with options and draws from the input: no crash, it passes its own check, a second run finds no more.
#include "FuzzInput.h"
#include "PageRewriter.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    const uint8_t a = data[0], b = data[1];
    const auto scope = EntityScope(a >> 3 & 1 ? 1 : a >> 4 & 1 ? 2 : 0);
    const SiteOptions options{{bool(a & 1), bool(a & 2), (a & 4) || !(a & 3), scope, bool(b & 1),
                               b & 2 || scope == EntityScope::AtOnly, bool(b & 4)}, bool(b & 8)};
    FuzzRandom random(data, size);
    const PageRewrite once = rewritePage(bytesOf(data + 2, size - 2), options, random);
    // A link the options cannot hide is left and the rest rewritten: that rest is checked too.
    if ((once.problem != PageProblem::None && once.problem != PageProblem::CannotHide) || once.changes.isEmpty())
        return 0;
    QString problem = checkRewrite(once, once.after);
    // An undeclared encoding is guessed anew, and another guess reads other characters: the same reading finds no more.
    const PageRewrite twice = rewritePage(once.after, options, random);
    if (twice.encoding && twice.encoding->name() == once.encoding->name() && !twice.changes.isEmpty())
        problem += "a second run found more to rewrite";
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}
