// A page rewrite with options and draws taken from the input: never a crash, every
// rewrite passes its own check, and a second run over the result finds nothing more.
#include "FuzzInput.h"
#include "PageRewriter.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    SiteOptions options;
    options.conversion.decimal = data[0] & 1;
    options.conversion.hex = data[0] & 2;
    options.conversion.percent = (data[0] & 4) || !(data[0] & 3);
    options.conversion.scope = EntityScope(data[0] >> 3 & 1 ? 1 : data[0] >> 4 & 1 ? 2 : 0);
    options.conversion.dotAlways = data[1] & 1;
    options.conversion.atAlways = data[1] & 2 || options.conversion.scope == EntityScope::AtOnly;
    options.conversion.lineBreak = data[1] & 4;
    options.links = data[1] & 8;
    const QByteArray page = bytesOf(data + 2, size - 2);
    FuzzRandom random(data, size);
    const PageRewrite once = rewritePage(page, options, random);
    if (once.problem != PageProblem::None || once.changes.isEmpty())
        return 0;
    const QString problem = checkRewrite(once, once.after);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "check failed: %s\n", qPrintable(problem));
        std::abort();
    }
    // A page that does not say its encoding is detected anew, and detection is statistical:
    // another guess reads other characters. The same reading must find nothing more.
    const PageRewrite twice = rewritePage(once.after, options, random);
    if (twice.encoding && twice.encoding->name() == once.encoding->name() && !twice.changes.isEmpty()) {
        std::fprintf(stderr, "a second run found more to rewrite\n");
        std::abort();
    }
    return 0;
}
