#include "RawTextEnd.h"

#include "ElementNames.h"

#include <algorithm>

using namespace ElementNames;

namespace {

bool endsName(char c)
{
    return space(c) || c == '/' || c == '>';
}

} // namespace

namespace RawTextEnd {

bool endTagAt(QByteArrayView page, qsizetype at, std::string_view name)
{
    const qsizetype after = at + 2 + qsizetype(name.size());
    return after < page.size() && page[at] == '<' && page[at + 1] == '/' &&
           sameName(page.sliced(at + 2, qsizetype(name.size())), QByteArrayView(name.data(), qsizetype(name.size()))) && endsName(page[after]);
}

qsizetype of(QByteArrayView page, qsizetype from, std::string_view name)
{
    qsizetype at = from;
    while ((at = page.indexOf("</", at)) >= 0 && !endTagAt(page, at, name))
        at += 2;
    return at;
}

qsizetype ofScript(QByteArrayView page, qsizetype from)
{
    enum State { Plain, Escaped, EscapedDash, EscapedDashDash, Double, DoubleDash, DoubleDashDash };
    const qsizetype size = page.size();
    const auto lettersFrom = [&](qsizetype i) {
        while (i < size && asciiAlpha(page[i]))
            ++i;
        return i;
    };
    // "script" between from and to, ended as a tag name is.
    const auto script = [&](qsizetype from, qsizetype to) {
        return to < size && endsName(page[to]) && sameName(page.sliced(from, to - from), "script");
    };
    State state = Plain;
    for (qsizetype i = from; i < size;) {
        if (state == Plain) {
            const qsizetype open = page.indexOf('<', i);
            if (open < 0 || endTagAt(page, open, "script"))
                return open;
            const bool comment = page.sliced(open + 1).startsWith("!--");
            state = comment ? EscapedDashDash : Plain;
            i = open + (comment ? 4 : 1);
            continue;
        }
        const char c = page[i];
        const bool escaped = state <= EscapedDashDash;
        if (c == '<' && escaped) {
            if (endTagAt(page, i, "script"))
                return i;
            const qsizetype end = lettersFrom(i + 1);
            state = script(i + 1, end) ? Double : Escaped;
            i = state == Double ? end + 1 : std::max(end, i + 1);
        } else if (c == '<') {
            const bool close = i + 1 < size && page[i + 1] == '/';
            const qsizetype end = close ? lettersFrom(i + 2) : i + 1;
            state = close && script(i + 2, end) ? Escaped : Double;
            i = state == Escaped ? end + 1 : end;
        } else {
            const State base = escaped ? Escaped : Double; // then its one-dash and two-dash states
            if (c == '-')
                state = state == base ? State(base + 1) : State(base + 2);
            else if (c == '>' && state == base + 2)
                state = Plain;
            else
                state = base;
            ++i;
        }
    }
    return -1;
}

QList<PageLayout::Range> noscriptText(QByteArrayView page, QList<qsizetype> tagEnds)
{
    std::sort(tagEnds.begin(), tagEnds.end());
    QList<PageLayout::Range> text;
    for (const qsizetype start : tagEnds) {
        if (!text.isEmpty() && start <= text.last().end)
            continue; // within the text of the one before
        const qsizetype end = of(page, start, "noscript");
        text.append({start, end < 0 ? page.size() : end});
    }
    return text;
}

} // namespace RawTextEnd
