#include "AddressFinder.h"

#include "Harvester.h"
#include "HtmlDecode.h"
#include "PageEncoding.h"
#include "ParserBounds.h"
#include "ReferencedText.h"
#include "RawTextEnd.h"

#include <cstring>
#include <gumbo.h>

namespace {

// Text of these elements is shown or run as written: a reference there would not be decoded
// (script, style and the other raw-text elements) or the user edits it (textarea).
bool rawTextParent(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_TEXTAREA:
    case GUMBO_TAG_XMP:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_NOEMBED:
    case GUMBO_TAG_NOFRAMES:
    case GUMBO_TAG_PLAINTEXT: return true;
    default: return false;
    }
}

QByteArray charsetOfMeta(const GumboElement& meta)
{
    if (const GumboAttribute* charset = gumbo_get_attribute(&meta.attributes, "charset"))
        return QByteArray(charset->value).trimmed();
    const GumboAttribute* equiv = gumbo_get_attribute(&meta.attributes, "http-equiv");
    const GumboAttribute* content = gumbo_get_attribute(&meta.attributes, "content");
    if (!equiv || !content || QByteArray(equiv->value).trimmed().toLower() != "content-type")
        return {};
    return AddressScanner::charsetOfContentType(content->value);
}

} // namespace

void* AddressFinder::allocate(void* arena, size_t size)
{
    constexpr size_t BlockSize = 64 * 1024; // under malloc's mmap threshold, so blocks are reused
    auto* finder = static_cast<AddressFinder*>(arena);
    size = (size + 15) & ~size_t(15);
    if (finder->m_blocks.empty() || finder->m_blockUsed + size > finder->m_blockSize) {
        finder->m_blockSize = std::max(BlockSize, size);
        finder->m_blocks.emplace_back(new char[finder->m_blockSize]);
        finder->m_blockUsed = 0;
    }
    void* memory = finder->m_blocks.back().get() + finder->m_blockUsed;
    finder->m_blockUsed += size;
    return memory;
}

AddressFinder::AddressFinder(const QByteArray& bytes, Mode mode) : m_bytes(bytes), m_parsed(bytes), m_mode(mode)
{
    parse();
}

void AddressFinder::useEncoding(const PageEncoding& encoding)
{
    const QByteArray valid = encoding.asValidUtf8(m_bytes);
    if (valid.isSharedWith(m_parsed) || valid == m_parsed)
        return;
    m_parsed = valid;
    parse();
}

void AddressFinder::parse()
{
    m_blocks.clear();
    m_layout = {};
    m_load = {};
    m_noscriptEnds.clear();
    const qsizetype skip = PageEncoding::bomLength(m_parsed);
    if (m_mode == Mode::Fast) {
        if (auto layout = AddressScanner::scan(m_parsed, skip)) {
            m_layout = std::move(*layout);
            m_handedOver = false;
            return;
        }
    }
    m_handedOver = true;
    m_load = ParserLoad::of(QByteArrayView(m_parsed).sliced(skip));
    if (m_load.excess != ParserLoad::Excess::None)
        return;
    GumboOptions options = kGumboDefaultOptions;
    options.allocator = &AddressFinder::allocate;
    options.deallocator = &AddressFinder::deallocate;
    options.userdata = this;
    // Parse errors are of no use here, and each keeps a copy of the open elements: a deep page full of errors
    // would take gigabytes. Without them the parser joins a repeated attribute that has no value to the next
    // attribute's name; the scanner leaves such tags to it, and the joined value is rewritten as any value.
    options.max_errors = 0;
    m_output = gumbo_parse_with_options(&options, m_parsed.constData() + skip, m_parsed.size() - skip);
    collect();
}

// Everything the parser allocated goes with the blocks.
AddressFinder::~AddressFinder() = default;

QByteArray AddressFinder::declaredCharset() const
{
    return m_layout.charset;
}

void AddressFinder::collect()
{
    // Walked with a stack of its own: a page may nest deeper than the call stack allows.
    QList<const GumboNode*> stack{m_output->document};
    qsizetype offStart = -1;
    QList<const GumboNode*> comments;
    while (!stack.isEmpty()) {
        const GumboNode* node = stack.takeLast();
        const GumboVector* children = nullptr;
        if (node->type == GUMBO_NODE_DOCUMENT) {
            children = &node->v.document.children;
        } else if (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) {
            collectElement(node);
            children = &node->v.element.children;
        } else if (node->type == GUMBO_NODE_COMMENT) {
            comments.append(node);
        } else if (node->type == GUMBO_NODE_TEXT && node->v.text.original_text.data && node->parent &&
                   !(node->parent->type == GUMBO_NODE_ELEMENT && rawTextParent(node->parent->v.element.tag))) {
            const qsizetype start = offsetOf(node->v.text.original_text.data);
            m_layout.candidates.append({{start, start + qsizetype(node->v.text.original_text.length)}, Source::Text});
        }
        for (unsigned i = children ? children->length : 0; i > 0; --i)
            stack.append(static_cast<const GumboNode*>(children->data[i - 1]));
    }
    // The tree may move nodes (a table's stray text, for one), so the switches go by source order.
    std::sort(comments.begin(), comments.end(), [](const GumboNode* a, const GumboNode* b) {
        return a->v.text.original_text.data < b->v.text.original_text.data;
    });
    for (const GumboNode* comment : comments) {
        collectComment(comment);
        const QByteArray word = QByteArray(comment->v.text.text).trimmed();
        const qsizetype at = offsetOf(comment->v.text.original_text.data);
        if (word == "qorvane:off" && offStart < 0)
            offStart = at;
        else if (word == "qorvane:on" && offStart >= 0) {
            m_layout.offZones.append({offStart, at});
            offStart = -1;
        }
    }
    if (offStart >= 0)
        m_layout.offZones.append({offStart, m_bytes.size()});
    sortAndMerge(m_layout.markup);
    m_layout.scriptedText = RawTextEnd::noscriptText(m_parsed, m_noscriptEnds);
}

void AddressFinder::collectComment(const GumboNode* node)
{
    const qsizetype start = offsetOf(node->v.text.original_text.data);
    m_layout.markup.append({start, start + qsizetype(node->v.text.original_text.length)});
}

void AddressFinder::collectElement(const GumboNode* node)
{
    const GumboElement& element = node->v.element;
    for (const GumboStringPiece* tag : {&element.original_tag, &element.original_end_tag})
        if (tag->data && tag->length > 0)
            m_layout.markup.append({offsetOf(tag->data), offsetOf(tag->data) + qsizetype(tag->length)});
    if (element.tag == GUMBO_TAG_META && !PageEncoding::isLabel(m_layout.charset))
        if (const QByteArray named = charsetOfMeta(element); !named.isEmpty())
            m_layout.charset = named;
    if (!element.original_tag.data)
        return;
    const qsizetype tagStart = offsetOf(element.original_tag.data);
    const qsizetype tagEnd = tagStart + qsizetype(element.original_tag.length);
    if (element.tag == GUMBO_TAG_NOSCRIPT && element.tag_namespace == GUMBO_NAMESPACE_HTML)
        m_noscriptEnds.append(tagEnd);
    for (unsigned i = 0; i < element.attributes.length; ++i) {
        const auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
        // An attribute without a value has its name as its original value: a name is no value.
        if (!attribute->original_value.data || attribute->original_value.length == 0 ||
            attribute->original_value.data < attribute->original_name.data + attribute->original_name.length)
            continue;
        // Only an attribute written in this tag's own source (not one the parser moved here).
        qsizetype start = offsetOf(attribute->original_value.data);
        qsizetype end = start + qsizetype(attribute->original_value.length);
        if (start < tagStart || end > tagEnd)
            continue;
        const char first = m_parsed.at(start); // at(): a non-const [] would detach the parsed bytes
        if ((first == '"' || first == '\'') && end - start >= 2 && m_parsed.at(end - 1) == first) {
            ++start;
            --end;
        }
        const bool href = qstrcmp(attribute->name, "href") == 0;
        m_layout.candidates.append({{start, end}, href ? Source::Href : Source::Attribute});
    }
}

bool AddressFinder::touchable(Range range) const
{
    return !overlapsAny(m_layout.offZones, range);
}

// ranges are in source order and disjoint: a page with many addresses and many tags
// costs a search per address, not a pass over the page's tags.
bool AddressFinder::overlapsAny(const QList<Range>& ranges, Range range)
{
    const auto after = std::upper_bound(ranges.begin(), ranges.end(), range.start,
                                        [](qsizetype at, const Range& other) { return at < other.end; });
    return after != ranges.end() && after->start < range.end;
}

void AddressFinder::sortAndMerge(QList<Range>& ranges)
{
    std::sort(ranges.begin(), ranges.end(), [](const Range& a, const Range& b) { return a.start < b.start; });
    QList<Range> merged;
    for (const Range& range : ranges) {
        if (!merged.isEmpty() && range.start <= merged.last().end)
            merged.last().end = std::max(merged.last().end, range.end);
        else
            merged.append(range);
    }
    ranges = merged;
}

QList<AddressSpan> AddressFinder::find(const PageEncoding& encoding, bool links) const
{
    QList<AddressSpan> spans;
    for (const Candidate& candidate : m_layout.candidates) {
        if (!touchable(candidate.range))
            continue;
        // A browser that runs scripts reads noscript content as text: an href there is no link, only a value.
        if (candidate.source == Source::Href && !overlapsAny(m_layout.scriptedText, candidate.range))
            findInHref(candidate.range, encoding, links, spans);
        else
            findInText(candidate.range, candidate.source == Source::Text ? SpanKind::Text : SpanKind::AttributeValue,
                       encoding, spans);
        if (m_findReferenced && candidate.source == Source::Text)
            for (AddressSpan span : referencedAddresses(m_parsed, candidate.range.start, candidate.range.end))
                if (!overlapsAny(m_layout.markup, {span.start, span.end}))
                    span.referenced = true, spans.append(span);
    }
    // Of two spans that start alike the longer is kept: an address written partly with references.
    std::sort(spans.begin(), spans.end(), [](const AddressSpan& a, const AddressSpan& b) {
        return a.start < b.start || (a.start == b.start && a.end > b.end);
    });
    // The tree may hold one source element twice (a formatting element the parser reopens).
    QList<AddressSpan> distinct;
    for (const AddressSpan& span : spans)
        if (distinct.isEmpty() || span.start >= distinct.last().end)
            distinct.append(span);
    return distinct;
}

// Only the runs of address bytes around an "@", read in the stand-in, where every character outside ASCII is
// bytes that are never part of an address. A run that holds such characters in a page not in UTF-8 is read
// in the page's own encoding, which has no shifts (not ISO-2022-JP): an address outside ASCII is still one.
void AddressFinder::findInText(Range range, SpanKind kind, const PageEncoding& encoding, QList<AddressSpan>& spans) const
{
    using Family = PageEncoding::Family;
    const bool ownEncoding = encoding.family() != Family::Utf8 && encoding.family() != Family::Iso2022Jp;
    const char* data = m_parsed.constData();
    for (const char* at = static_cast<const char*>(std::memchr(data + range.start, '@', range.end - range.start)); at;) {
        qsizetype runStart = at - data;
        qsizetype runEnd = runStart + 1;
        while (runStart > range.start && addressByte(data[runStart - 1]))
            --runStart;
        while (runEnd < range.end && addressByte(data[runEnd]))
            ++runEnd;
        runStart = quotedRunStart(data, runStart, at - data, range.start);
        const QByteArrayView original = QByteArrayView(m_bytes).sliced(runStart, runEnd - runStart);
        const bool decoded = ownEncoding && original != QByteArrayView(data + runStart, runEnd - runStart);
        const QString run = decoded ? encoding.decode(original) : QString::fromUtf8(data + runStart, runEnd - runStart);
        const auto length = [&](QStringView text) {
            return decoded ? encoding.encode(text.toString()).size() : utf8Length(text);
        };
        qsizetype measured = 0; // characters of run before start: a run of many addresses is measured once
        qsizetype start = runStart;
        for (const Range& found : addressesInRun(run)) {
            start += length(QStringView(run).sliced(measured, found.start - measured));
            measured = found.start;
            const QString text = run.sliced(found.start, found.end - found.start);
            const Range inPage{start, start + length(text)};
            // A character the page cannot hold comes back as U+FFFD, whose bytes may run past the page's end.
            if (decoded && (inPage.end > m_bytes.size()
                            || encoding.decode(QByteArrayView(m_bytes).sliced(start, inPage.end - start)) != text))
                continue;
            // A value lies in its tag; text that reaches into a tag is not text.
            if (kind == SpanKind::AttributeValue || !overlapsAny(m_layout.markup, inPage))
                spans.append({inPage.start, inPage.end, kind, text});
        }
        at = runEnd < range.end ? static_cast<const char*>(std::memchr(data + runEnd, '@', range.end - runEnd))
                                : nullptr;
    }
}

void AddressFinder::findInHref(Range value, const PageEncoding& encoding, bool links, QList<AddressSpan>& spans) const
{
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; };
    while (value.start < value.end && space(m_parsed[value.start]))
        ++value.start;
    while (value.end > value.start && space(m_parsed[value.end - 1]))
        --value.end;
    const QByteArrayView head = QByteArrayView(m_parsed).sliced(value.start, value.end - value.start);
    const auto startsWith = [head](QByteArrayView scheme) {
        return head.size() >= scheme.size() && head.first(scheme.size()).compare(scheme, Qt::CaseInsensitive) == 0;
    };
    SpanKind kind = SpanKind::MailtoHref;
    qsizetype prefix = 0;
    if (startsWith("mailto:"))
        prefix = 7;
    else if (links && startsWith("http://"))
        prefix = 7, kind = SpanKind::LinkHref;
    else if (links && startsWith("https://"))
        prefix = 8, kind = SpanKind::LinkHref;
    else
        return findInText(value, SpanKind::AttributeValue, encoding, spans); // only a value, as any other
    const Range tail{value.start + prefix, value.end};
    const QString source = encoding.decode(QByteArrayView(m_bytes).sliced(tail.start, tail.end - tail.start));
    const bool unprotected = looksUnprotected(kind, source);
    if (tail.end > tail.start && (unprotected || (m_findReferenced && kind == SpanKind::MailtoHref)))
        spans.append({tail.start, tail.end, kind, HtmlDecode::readValue(source), !unprotected});
}
