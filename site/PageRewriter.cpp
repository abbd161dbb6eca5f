#include "PageRewriter.h"

#include "AddressFinder.h"
#include "ParserBounds.h"
#include "SpanConverter.h"

#include <QHash>

namespace {

constexpr qsizetype ContextChars = 60;

// Where the new bytes of each change lie in the rewritten page.
QList<qsizetype> newStarts(const PageRewrite& rewrite)
{
    QList<qsizetype> starts;
    qsizetype shift = 0;
    for (const SpanChange& change : rewrite.changes) {
        starts.append(change.span.start + shift);
        shift += change.replacement.size() - (change.span.end - change.span.start);
    }
    return starts;
}

// Both the harvested addresses and the changes come in page order, so one sweep pairs them.
bool harvesterFindsNothingNew(const PageRewrite& rewrite, const QByteArray& written)
{
    QHash<QString, int> untouched;
    qsizetype change = 0;
    for (const auto& found : harvestAddresses(rewrite.before)) {
        const qsizetype start = found.first;
        const qsizetype end = start + found.second.size();
        while (change < rewrite.changes.size() && rewrite.changes[change].span.end <= start)
            ++change;
        if (change == rewrite.changes.size() || rewrite.changes[change].span.start >= end)
            ++untouched[found.second];
    }
    for (const auto& found : harvestAddresses(written))
        if (--untouched[found.second] < 0)
            return false;
    return true;
}

// A line end as the page writes it (in UTF-16 two bytes, at an even offset), searched
// forwards from at or backwards from at; -1 when there is none.
qsizetype lineEnd(const PageRewrite& rewrite, qsizetype at, bool backwards)
{
    const bool wide = rewrite.encoding->wide();
    const QByteArray end = rewrite.encoding->encode(QStringLiteral("\n"));
    while (at >= 0) {
        at = backwards ? rewrite.before.lastIndexOf(end, at) : rewrite.before.indexOf(end, at);
        if (at < 0 || !wide || at % 2 == 0)
            return at;
        at += backwards ? -1 : 1;
    }
    return -1;
}

QString shortened(const QString& line, qsizetype first, qsizetype last)
{
    const qsizetype from = std::max<qsizetype>(0, first - ContextChars);
    const qsizetype to = std::min(line.size(), last + ContextChars);
    return (from > 0 ? QStringLiteral("…") : QString()) + line.mid(from, to - from) +
           (to < line.size() ? QStringLiteral("…") : QString());
}

// Where each span of the UTF-8 twin lies in the wide page: a character of one to three
// UTF-8 bytes is two bytes there, one of four is four.
void moveToWide(PageRewrite& rewrite, const QByteArray& twin, qsizetype twinStart, qsizetype wideStart)
{
    qsizetype from = twinStart;
    qsizetype at = wideStart;
    const auto advanceTo = [&](qsizetype to) {
        for (; from < to; ++from)
            if ((static_cast<unsigned char>(twin[from]) & 0xC0) != 0x80)
                at += static_cast<unsigned char>(twin[from]) >= 0xF0 ? 4 : 2;
        return at;
    };
    for (SpanChange& change : rewrite.changes) {
        change.span.start = advanceTo(change.span.start);
        change.span.end = advanceTo(change.span.end);
        change.replacement = rewrite.encoding->encode(QString::fromUtf8(change.replacement));
    }
}

// A UTF-16 page is rewritten through its UTF-8 twin: valid UTF-16 goes there and back
// unchanged, so only the bytes of an address differ.
PageRewrite rewriteWide(const QByteArray& bytes, const PageEncoding& wide, const SiteOptions& options,
                        RandomSource& random, const ScriptPage* script)
{
    constexpr qsizetype Mark = 2;
    const QString text = wide.decode(QByteArrayView(bytes).sliced(Mark));
    if (wide.encode(text) != QByteArrayView(bytes).sliced(Mark)) {
        PageRewrite broken;
        broken.before = bytes;
        broken.problem = PageProblem::UnsupportedEncoding;
        broken.detail = QString::fromLatin1(wide.name());
        return broken;
    }
    const QByteArray utf8Mark = "\xEF\xBB\xBF";
    const QByteArray twin = utf8Mark + text.toUtf8();
    PageRewrite rewrite = rewritePage(twin, options, random, script);
    const QByteArray after = rewrite.after;
    rewrite.before = bytes;
    rewrite.encoding = wide;
    if (rewrite.problem != PageProblem::None)
        return rewrite;
    rewrite.after = bytes.left(Mark) + wide.encode(QString::fromUtf8(QByteArrayView(after).sliced(utf8Mark.size())));
    moveToWide(rewrite, twin, utf8Mark.size(), Mark);
    return rewrite;
}

// The scheme of an href span as the page writes it ("HTTPS://"), to name the link in a message.
QString writtenPrefix(const QByteArray& bytes, const AddressSpan& span)
{
    const qsizetype length = SpanConverter::linkPrefix(span.kind).size();
    if (length == 0)
        return {};
    const bool https = span.kind == SpanKind::LinkHref && bytes.mid(span.start - 8, 8).toLower() == "https://";
    return QString::fromLatin1(bytes.mid(span.start - length - https, length + https));
}

// The one script element a page rewritten by the script writer loads, in page order among the changes.
void addScriptElement(PageRewrite& rewrite, const ScriptWriter& writer)
{
    const auto first = std::find_if(rewrite.changes.cbegin(), rewrite.changes.cend(),
                                    [](const SpanChange& c) { return c.writer == SpanChange::Writer::Script; });
    if (first == rewrite.changes.cend())
        return;
    const qsizetype place = writer.scriptPlace(first->span);
    const auto at = std::find_if(rewrite.changes.begin(), rewrite.changes.end(),
                                 [place](const SpanChange& c) { return c.span.start >= place; });
    AddressSpan span{place, place, SpanKind::Text, {}};
    rewrite.changes.insert(at, {span, rewrite.encoding->encode(writer.scriptElement()), SpanChange::Writer::ScriptElement});
}

} // namespace

QByteArray applyChanges(const QByteArray& bytes, const QList<SpanChange>& changes)
{
    QByteArray after;
    qsizetype copied = 0;
    for (const SpanChange& change : changes) {
        after += QByteArrayView(bytes).sliced(copied, change.span.start - copied);
        after += change.replacement;
        copied = change.span.end;
    }
    after += QByteArrayView(bytes).sliced(copied);
    return after;
}

PageRewrite rewritePage(const QByteArray& bytes, const SiteOptions& options, RandomSource& random,
                        const ScriptPage* script)
{
    PageRewrite rewrite;
    rewrite.before = bytes;
    // Scope "@" hides a web link's addresses, never its host: such a link is read as any other value, and one
    // without an address is left alone.
    const bool links = options.links && options.conversion.scope != EntityScope::AtOnly;
    // No "@" anywhere, in any encoding this program reads (nor a reference or escape that could stand for one,
    // which the script method hides too): no mail address to find. A page the script writer wrote before is
    // left as it is.
    const bool mayHoldAddress = bytes.contains('@') || (script && (bytes.contains('&') || bytes.contains('%')));
    if ((!links && !mayHoldAddress) || (script && ScriptWriter::rewrittenBefore(bytes))) {
        rewrite.after = bytes;
        return rewrite;
    }
    if (const auto mark = PageEncoding::byByteOrderMark(bytes); mark && mark->wide())
        return rewriteWide(bytes, *mark, options, random, script);
    AddressFinder finder(bytes);
    finder.findReferenced(script != nullptr);
    rewrite.encoding = PageEncoding::choose(bytes, finder.declaredCharset(), &rewrite.detail);
    if (!rewrite.encoding) {
        rewrite.problem = PageProblem::UnsupportedEncoding;
        return rewrite;
    }
    finder.useEncoding(*rewrite.encoding);
    if (const ParserLoad& load = finder.parserLoad(); load.excess != ParserLoad::Excess::None) {
        rewrite.problem = load.excess == ParserLoad::Excess::Depth ? PageProblem::NestedTooDeep
                                                                   : PageProblem::TooManyAttributes;
        rewrite.detail = QString::number(load.line);
        return rewrite;
    }
    using Family = PageEncoding::Family;
    const Family family = rewrite.encoding->family();
    SpanConverter converter(options.conversion, random, family == Family::Utf8);
    std::optional<ScriptWriter> scriptWriter;
    if (script) {
        const bool japanese = family == Family::ShiftJis || family == Family::EucJp || family == Family::Iso2022Jp;
        scriptWriter.emplace(*script, bytes, japanese, random);
        rewrite.scriptKey = script->key;
    }
    qsizetype linesCounted = 0;
    int line = 1;
    for (AddressSpan span : finder.find(*rewrite.encoding, links)) {
        // A harvester reads bytes, not characters: a trail byte of a double-byte character
        // just before the span may pair with an "@" the options left as it was.
        const qsizetype from = std::max<qsizetype>(0, span.start - ContextChars);
        const QByteArray left = bytes.mid(from, span.start - from);
        const QByteArray right = bytes.mid(span.end, ContextChars);
        const auto hidden = [&](const QString& source) {
            const QByteArray written = rewrite.encoding->encode(source);
            return !plainMailAddressReaches(left + written + right, left.size(), left.size() + written.size());
        };
        const bool scripted = scriptWriter && scriptWriter->takes(span);
        if (span.referenced && !scripted)
            continue; // hidden from a plain reader already, and only a script hides it better

        SpanWriter& writer = scripted ? static_cast<SpanWriter&>(*scriptWriter) : converter;
        const std::optional<QString> source = writer.write(span, hidden);
        if (!source) {
            // Left as it was; the rest of the page is still rewritten, and the page reported.
            rewrite.problem = PageProblem::CannotHide;
            line += int(QByteArrayView(bytes).sliced(linesCounted, span.start - linesCounted).count('\n'));
            linesCounted = span.start;
            rewrite.unhidden.append(writtenPrefix(bytes, span) + span.text);
            rewrite.unhiddenLines.append(line);
            rewrite.detail = rewrite.unhidden.join(QStringLiteral("\", \""));
            continue;
        }
        rewrite.changes.append({span, rewrite.encoding->encode(*source),
                                scripted ? SpanChange::Writer::Script : SpanChange::Writer::References});
    }
    if (scriptWriter)
        addScriptElement(rewrite, *scriptWriter);
    rewrite.after = applyChanges(bytes, rewrite.changes);
    return rewrite;
}

QString checkRewrite(const PageRewrite& rewrite, const QByteArray& written)
{
    if (written != rewrite.after)
        return QStringLiteral("the file does not read back as written");
    if (!harvesterFindsNothingNew(rewrite, written))
        return QStringLiteral("a harvester still finds a rewritten address");
    const QList<qsizetype> starts = newStarts(rewrite);
    const bool utf8 = rewrite.encoding->family() == PageEncoding::Family::Utf8;
    for (qsizetype i = 0; i < rewrite.changes.size(); ++i) {
        const SpanChange& change = rewrite.changes[i];
        if (!change.isAddress())
            continue;
        const QString source = rewrite.encoding->decode(QByteArrayView(written).sliced(starts[i], change.replacement.size()));
        const bool scripted = change.writer == SpanChange::Writer::Script;
        if (scripted ? !ScriptWriter::readsBack(change.span, source, rewrite.scriptKey)
                     : !SpanConverter::faithful(change.span, source, utf8))
            return QStringLiteral("\"%1\" does not decode back to itself").arg(change.span.text);
    }
    return {};
}

QList<ChangedLine> changedLines(const PageRewrite& rewrite)
{
    QList<ChangedLine> lines;
    const QList<qsizetype> starts = newStarts(rewrite);
    const qsizetype step = rewrite.encoding && rewrite.encoding->wide() ? 2 : 1;
    const qsizetype firstLine = step == 2 ? 2 : 0; // after UTF-16's byte-order mark
    int number = 1;
    qsizetype counted = firstLine; // line ends before here are in number
    for (qsizetype i = 0; i < rewrite.changes.size();) {
        const AddressSpan& first = rewrite.changes[i].span;
        const qsizetype previousEnd = lineEnd(rewrite, first.start - step, true);
        const qsizetype lineStart = previousEnd < firstLine ? firstLine : previousEnd + step;
        qsizetype end = lineEnd(rewrite, first.start, false);
        if (end < 0)
            end = rewrite.before.size();
        for (qsizetype at = lineEnd(rewrite, counted, false); at >= 0 && at < lineStart;
             at = lineEnd(rewrite, at + step, false))
            ++number;
        counted = lineStart;
        qsizetype last = i;
        while (last + 1 < rewrite.changes.size() && rewrite.changes[last + 1].span.start < end)
            ++last;
        const qsizetype shiftAtStart = starts[i] - first.start;
        const SpanChange& lastChange = rewrite.changes[last];
        const qsizetype shiftAtEnd = starts[last] + lastChange.replacement.size() - lastChange.span.end;
        const auto decode = [&](const QByteArray& bytes, qsizetype from, qsizetype to) {
            return rewrite.encoding->decode(QByteArrayView(bytes).sliced(from, to - from));
        };
        const QString before = decode(rewrite.before, lineStart, end);
        const QString after = decode(rewrite.after, lineStart + shiftAtStart, end + shiftAtEnd);
        const qsizetype head = decode(rewrite.before, lineStart, first.start).size();
        const qsizetype tail = decode(rewrite.before, lastChange.span.end, end).size();
        lines.append({number, shortened(before, head, before.size() - tail).trimmed(),
                      shortened(after, head, after.size() - tail).trimmed()});
        i = last + 1;
    }
    return lines;
}
