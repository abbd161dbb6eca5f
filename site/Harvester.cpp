#include "Harvester.h"

#include "HtmlDecode.h"
#include "LinkTarget.h"

#include <QRegularExpression>
#include <algorithm>

namespace {


// A local part of letters, digits and "._%+-" in any script, or a quoted one; a domain of such labels or an
// IP literal. Harvesters read internationalised addresses as well as ASCII ones.
const QRegularExpression& harvester()
{
    static const QRegularExpression pattern(QStringLiteral(
        R"((?:[\p{L}\p{N}\p{M}._%+-]+|"[^"\\\r\n<>\x{FFFD}]{1,64}")@)"
        R"((?:[\p{L}\p{N}\p{M}-]+(?:\.[\p{L}\p{N}\p{M}-]+)+|\[(?:IPv6:)?[0-9A-Fa-f:.]+\]))"));
    return pattern;
}

constexpr qsizetype QuotedReach = 66; // a quoted local part and its quotes
constexpr qsizetype MaxReach = 320;   // the most bytes of an address on either side of its "@"

bool localChar(QChar c)
{
    return (c.isLetterOrNumber() || c.isMark() || QStringView(u"._%+-").contains(c)) && !c.isSurrogate();
}

// Where the address whose "@" is text[at] starts, never before from.
qsizetype localPartStart(QStringView text, qsizetype at, qsizetype from)
{
    if (at > from && text[at - 1] == u'"') {
        const qsizetype open = text.sliced(from, at - 1 - from).lastIndexOf(u'"');
        if (open >= 0 && at - 1 - (from + open) <= QuotedReach)
            return from + open;
    }
    qsizetype start = at;
    while (start > from && localChar(text[start - 1]))
        --start;
    return start;
}

// An ASCII address written against Japanese text ("連絡はuser@example.jpまで") is that ASCII address: the
// words around it stay as they are, as long as the "@" is hidden.
PageLayout::Range asciiCore(QStringView text, qsizetype at, PageLayout::Range wide)
{
    static const QRegularExpression asciiDomain(QStringLiteral("[A-Za-z0-9-]+(?:\\.[A-Za-z0-9-]+)+"));
    const auto ascii = [](QStringView part) {
        return std::all_of(part.begin(), part.end(), [](QChar c) { return c.unicode() < 0x80; });
    };
    if (ascii(text.sliced(wide.start, wide.end - wide.start)))
        return wide;
    qsizetype start = at;
    while (start > wide.start && text[start - 1].unicode() < 0x80)
        --start;
    const auto domain = asciiDomain.match(text, at + 1, QRegularExpression::NormalMatch,
                                          QRegularExpression::AnchorAtOffsetMatchOption);
    if (text[wide.start] == u'"' || text[at + 1] == u'[' || start == at || !domain.hasMatch())
        return wide;
    const PageLayout::Range core{start, domain.capturedEnd()};
    const bool wideLocal = !ascii(text.sliced(wide.start, at - wide.start));
    const bool wideDomain = !ascii(text.sliced(at + 1, wide.end - at - 1));
    return {wideLocal ? core.start : wide.start, wideDomain ? core.end : wide.end};
}

PageLayout::Range addressIn(QStringView text, qsizetype at)
{
    const qsizetype start = localPartStart(text, at, 0);
    if (start == at) // no local part: a run of "@" is passed over without the pattern
        return {at, at};
    const auto match = harvester().match(text, start, QRegularExpression::NormalMatch,
                                         QRegularExpression::AnchorAtOffsetMatchOption);
    if (!match.hasMatch() || match.capturedEnd() <= at)
        return {at, at};
    return asciiCore(text, at, {match.capturedStart(), match.capturedEnd()});
}

// The address around the "@" at text[at], as a range of text; empty when there is none.
// Only MaxReach characters on either side are read, as a harvester reads them: each "@" of a long run costs
// the same, and an address longer than that is hidden in the part a harvester would take.
PageLayout::Range addressAround(QStringView whole, qsizetype at, qsizetype from)
{
    const qsizetype offset = std::max(from, at - MaxReach);
    const QStringView text = whole.sliced(offset, std::min(whole.size(), at + 1 + MaxReach) - offset);
    const PageLayout::Range found = addressIn(text, at - offset);
    return {offset + found.start, offset + found.end};
}

} // namespace

qsizetype utf8Length(QStringView text)
{
    return QStringView(text).toUtf8().size();
}

// Bytes an address may hold, in ASCII or as part of a UTF-8 character; quotes and brackets for the quoted local
// part and the IP literal; "~", which stands in for a one-byte character outside ASCII.
bool addressByte(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || (c & 0x80) ||
           QByteArrayView("._%+-@\"[]:~").contains(c);
}

// Every "@" with the address around it; addresses that share characters ("a@b.c@d.ef")
// become one span, or hiding the first would leave the second readable.
QList<PageLayout::Range> addressesInRun(const QString& run)
{
    QList<PageLayout::Range> found;
    qsizetype from = 0;
    for (qsizetype at = run.indexOf(QLatin1Char('@')); at >= 0; at = run.indexOf(QLatin1Char('@'), at + 1)) {
        const PageLayout::Range match = addressAround(run, at, from);
        from = at + 1;
        if (match.start == match.end)
            continue;
        if (!found.isEmpty() && match.start <= found.last().end)
            found.last().end = std::max(found.last().end, match.end);
        else
            found.append(match);
    }
    return found;
}

// The run before an "@" that closes a quoted local part reaches back to its opening quote, spaces and all.
qsizetype quotedRunStart(const char* data, qsizetype runStart, qsizetype at, qsizetype limit)
{
    if (at == 0 || data[at - 1] != '"')
        return runStart;
    for (qsizetype k = at - 2; k >= std::max(limit, at - 1 - QuotedReach); --k) {
        if (data[k] == '"')
            return std::min(runStart, k);
        if (QByteArrayView("<>\r\n").contains(data[k]))
            break;
    }
    return runStart;
}

bool holdsPlainMailAddress(QStringView source)
{
    for (qsizetype at = source.indexOf(u'@'); at >= 0; at = source.indexOf(u'@', at + 1)) {
        const PageLayout::Range found = addressAround(source, at, 0);
        if (found.end > found.start)
            return true;
    }
    return false;
}

// Every address holds exactly one "@", so the pattern runs only around each "@", as far as an address can reach.
// Bytes are read as UTF-8, which an address outside ASCII is in any page this program finds one in.
QList<QPair<qsizetype, QString>> harvestAddresses(QByteArrayView bytes)
{
    QList<QPair<qsizetype, QString>> found;
    qsizetype searchedTo = 0;
    for (qsizetype at = bytes.indexOf('@'); at >= 0; at = bytes.indexOf('@', at + 1)) {
        qsizetype start = at;
        while (start > searchedTo && at - start < MaxReach && bytes[start - 1] != '@' && addressByte(bytes[start - 1]))
            --start;
        start = quotedRunStart(bytes.data(), start, at, searchedTo);
        if (start == at)
            continue; // nothing before the "@" can be a local part
        qsizetype end = at + 1;
        while (end < bytes.size() && end - at < MaxReach && bytes[end] != '@' && addressByte(bytes[end]))
            ++end;
        const QString before = QString::fromUtf8(bytes.sliced(start, at - start));
        const QString window = before + QString::fromUtf8(bytes.sliced(at, end - at));
        const PageLayout::Range address = addressAround(window, before.size(), 0);
        if (address.end == address.start)
            continue;
        const qsizetype from = at - utf8Length(QStringView(window).sliced(address.start, before.size() - address.start));
        const QString text = window.sliced(address.start, address.end - address.start);
        found.append({from, text});
        searchedTo = from + utf8Length(text);
    }
    return found;
}

bool plainMailAddressReaches(QByteArrayView bytes, qsizetype from, qsizetype to)
{
    const auto found = harvestAddresses(bytes);
    return std::any_of(found.begin(), found.end(), [&](const QPair<qsizetype, QString>& address) {
        return address.first < to && address.first + utf8Length(address.second) > from;
    });
}

bool looksUnprotected(SpanKind kind, QStringView source)
{
    // "&quot;" and its kind are how a character left as it is stands in an attribute: no protection.
    if (source.contains(u'@')) {
        QString shown = source.toString();
        for (const auto& [reference, character] : {std::pair{"&quot;", "\""}, {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})
            shown.replace(QLatin1String(reference), QLatin1String(character));
        if (holdsPlainMailAddress(shown))
            return true;
    }
    if (kind != SpanKind::LinkHref)
        return false;
    // The host is plain when the link names it in plain characters where a host stands, written just as it
    // reads, with no escape in it; a reference or an escape elsewhere (in the user name, say) hides nothing of it.
    const QString link = HtmlDecode::readValue(source.toString());
    const LinkTarget target = LinkTarget::parse(link, u"http://");
    QString host;
    for (qsizetype i = 0; i < link.size(); ++i)
        if (target.partAt(i) == LinkTarget::Part::Host)
            host += link[i];
    if (host.isEmpty() || host.contains(u'%'))
        return false;
    for (qsizetype at = source.indexOf(host); at >= 0; at = source.indexOf(host, at + 1)) {
        const qsizetype end = at + host.size();
        const bool closed = end == source.size() || QStringView(u"/?#:\\").contains(source[end]);
        if ((at == 0 || source[at - 1] == u'@') && closed)
            return true;
    }
    return false;
}
