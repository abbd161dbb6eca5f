#include "SiteCheck.h"

#include "AppError.h"
#include "ElementNames.h"
#include "Harvester.h"
#include "HtmlDecode.h"
#include "PageFile.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <gumbo.h>

namespace {

constexpr qsizetype MaxAddress = 254;

// A stretch of the page whose meaning a parser reads: a text run, an attribute value, a comment.
struct Region
{
    qsizetype start;
    qsizetype end;
    Placement where;
    QString decoded; // as the parser reads it
};

Placement textPlacement(const GumboNode* parent)
{
    if (!parent || parent->type != GUMBO_NODE_ELEMENT)
        return Placement::Text;
    switch (parent->v.element.tag) {
    case GUMBO_TAG_TITLE: return Placement::Title;
    case GUMBO_TAG_SCRIPT: return Placement::Script;
    case GUMBO_TAG_STYLE: return Placement::Style;
    default: return Placement::Text;
    }
}

class RegionCollector
{
public:
    RegionCollector(const QByteArray& page, qsizetype skip) : m_page(page), m_skip(skip) {}

    QList<Region> collect()
    {
        GumboOptions options = kGumboDefaultOptions;
        options.max_errors = 0; // each error copies the open elements; a deep page would take gigabytes
        GumboOutput* output = gumbo_parse_with_options(&options, m_page.constData() + m_skip, m_page.size() - m_skip);
        // Walked with a stack of its own: a page may nest deeper than the call stack allows.
        QList<const GumboNode*> stack{output->document};
        while (!stack.isEmpty()) {
            const GumboNode* node = stack.takeLast();
            const GumboVector* children = node->type == GUMBO_NODE_DOCUMENT ? &node->v.document.children : nullptr;
            if (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) {
                addAttributes(node->v.element);
                children = &node->v.element.children;
            } else if (node->type == GUMBO_NODE_COMMENT) {
                addText(node->v.text, Placement::Comment);
            } else if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_CDATA) {
                addText(node->v.text, textPlacement(node->parent));
            }
            for (unsigned i = children ? children->length : 0; i > 0; --i)
                stack.append(static_cast<const GumboNode*>(children->data[i - 1]));
        }
        gumbo_destroy_output(&options, output);
        std::sort(m_regions.begin(), m_regions.end(),
                  [](const Region& a, const Region& b) { return a.start < b.start; });
        return m_regions;
    }

private:
    qsizetype offsetOf(const char* data) const { return data - m_page.constData(); }

    void addText(const GumboText& text, Placement where)
    {
        if (!text.original_text.data)
            return;
        const qsizetype start = offsetOf(text.original_text.data);
        m_regions.append({start, start + qsizetype(text.original_text.length), where, QString::fromUtf8(text.text)});
    }

    void addAttributes(const GumboElement& element)
    {
        if (!element.original_tag.data)
            return;
        const qsizetype tagStart = offsetOf(element.original_tag.data);
        const qsizetype tagEnd = tagStart + qsizetype(element.original_tag.length);
        for (unsigned i = 0; i < element.attributes.length; ++i) {
            const auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
            const GumboStringPiece& value = attribute->original_value;
            // A name without a value has the name as its original value; an attribute the parser moved here
            // from another tag is read where it was written.
            if (!value.data || value.length == 0 ||
                value.data < attribute->original_name.data + attribute->original_name.length)
                continue;
            const qsizetype start = offsetOf(value.data);
            if (start < tagStart || start + qsizetype(value.length) > tagEnd)
                continue;
            const bool link = qstrcmp(attribute->name, "href") == 0;
            const QString decoded = QString::fromUtf8(attribute->value);
            m_regions.append({start, start + qsizetype(value.length), link ? Placement::Link : Placement::Attribute,
                              link ? HarvestLevels::linkAsRead(decoded) : decoded});
        }
    }

    const QByteArray& m_page;
    const qsizetype m_skip;
    QList<Region> m_regions;
};

bool startsWithTag(QByteArrayView markup, QByteArrayView name)
{
    if (markup.size() <= name.size() + 1 || markup[0] != '<' || !ElementNames::sameName(markup.sliced(1, name.size()), name))
        return false;
    const char next = markup[name.size() + 1];
    return next == '>' || next == '/' || ElementNames::space(next);
}

// The regions as the single-pass scanner finds them, for the pages it reads as the parser would; what lies between
// two pieces of markup and is no candidate is the text of a raw-text element (script, style, textarea, ...).
std::optional<QList<Region>> scannedRegions(const QByteArray& page, qsizetype skip)
{
    const std::optional<PageLayout> layout = AddressScanner::scan(page, skip);
    if (!layout)
        return std::nullopt;
    const auto source = [&](qsizetype start, qsizetype end) {
        return QString::fromUtf8(page.constData() + start, end - start);
    };
    QList<Region> regions;
    regions.reserve(layout->candidates.size() + layout->markup.size());
    QList<qsizetype> textStarts;
    for (const PageLayout::Candidate& candidate : layout->candidates) {
        const auto [start, end] = candidate.range;
        const QString text = source(start, end);
        const bool coded = text.contains(u'&');
        if (candidate.source == PageLayout::Source::Text) {
            textStarts.append(start);
            regions.append({start, end, Placement::Text, coded ? HtmlDecode::readText(text) : text});
        } else {
            const QString value = coded ? HtmlDecode::readValue(text) : text;
            const bool link = candidate.source == PageLayout::Source::Href;
            regions.append({start, end, link ? Placement::Link : Placement::Attribute,
                            link ? HarvestLevels::linkAsRead(value) : value});
        }
    }
    std::sort(textStarts.begin(), textStarts.end());
    const QList<PageLayout::Range>& markup = layout->markup;
    for (qsizetype i = 0; i < markup.size(); ++i) {
        const QByteArrayView tag = QByteArrayView(page).sliced(markup[i].start, markup[i].end - markup[i].start);
        if (tag.startsWith("<!--"))
            regions.append(
                {markup[i].start, markup[i].end, Placement::Comment, source(markup[i].start, markup[i].end)});
        const qsizetype end = i + 1 < markup.size() ? markup[i + 1].start : page.size();
        const bool title = startsWithTag(tag, "title");
        if (markup[i].end < end &&
            (title || !std::binary_search(textStarts.begin(), textStarts.end(), markup[i].end))) {
            const Placement where = title                          ? Placement::Title
                                    : startsWithTag(tag, "script") ? Placement::Script
                                    : startsWithTag(tag, "style")  ? Placement::Style
                                                                   : Placement::Text;
            if (title) { // the title's text is a candidate, read like any text
                const auto candidate = std::find_if(regions.begin(), regions.end(), [&](const Region& region) {
                    return region.start == markup[i].end;
                });
                if (candidate != regions.end())
                    candidate->where = where;
            } else
                regions.append({markup[i].end, end, where, source(markup[i].end, end)});
        }
    }
    std::sort(regions.begin(), regions.end(), [](const Region& a, const Region& b) { return a.start < b.start; });
    return regions;
}

// The region that holds offset; regions are disjoint and sorted.
const Region* regionAt(const QList<Region>& regions, qsizetype offset)
{
    auto after = std::upper_bound(regions.begin(), regions.end(), offset,
                                  [](qsizetype at, const Region& region) { return at < region.start; });
    if (after == regions.begin() || offset >= std::prev(after)->end)
        return nullptr;
    return &*std::prev(after);
}

// Adds an entry at level for every address in text that the lower levels did not read; seen holds what they
// read, and gets what this level reads.
void readLevel(const DecodedPage& page, const Region& region, const QString& text, ReadLevel level,
               QHash<QString, int>& seen, QList<ReadableAddress>& found)
{
    QHash<QString, int> read;
    qsizetype counted = 0;
    int line = page.lineOf(region.start);
    for (const PageLayout::Range& range : addressesInRun(text)) {
        const QString address = text.sliced(range.start, range.end - range.start);
        if (address.size() > MaxAddress) // no mail system takes it, and no harvester keeps it
            continue;
        ++read[address];
        if (seen.value(address) > 0) {
            --seen[address];
            continue;
        }
        line += int(QStringView(text).sliced(counted, range.start - counted).count(u'\n'));
        counted = range.start;
        found.append({line, region.where, level, address});
    }
    seen = read;
}

} // namespace

namespace SiteCheck {

QList<ReadableAddress> check(const DecodedPage& page)
{
    // Nothing any level could read as an address: no "@" in any writing, no reference or escape that could stand
    // for one, no spelling of one. Most pages of a site without addresses are passed over here.
    static const QRegularExpression anyAddress(
        QStringLiteral(R"([@\x{FF20}]|&#|&commat|%40|[\[({<]\s*at\s*[\])}>]|\bdot\b)"),
        QRegularExpression::CaseInsensitiveOption);
    if (!page.encoding || !anyAddress.match(page.text).hasMatch())
        return {};
    const qsizetype skip = PageEncoding::bomLength(page.readable);
    // The scanner where it reads the page as the parser would, the parser where it hands the page over.
    const std::optional<QList<Region>> scanned = scannedRegions(page.readable, skip);
    const QList<Region> regions = scanned ? *scanned : RegionCollector(page.readable, skip).collect();
    // The page's characters as they stand; a byte pattern reads an address beside a double-byte character with
    // that character's trail byte ("Fsj@example.jp" after "：" in Shift_JIS), which is still this address.
    QList<ReadableAddress> found;
    QHash<const Region*, QHash<QString, int>> rawIn;
    for (const auto& [offset, address] : harvestAddresses(page.readable)) {
        const Region* region = regionAt(regions, offset);
        found.append({page.lineOf(offset), region ? region->where : Placement::Attribute, ReadLevel::Raw, address});
        if (region)
            ++rawIn[region][address];
    }
    for (const Region& region : regions) {
        QHash<QString, int> seen = rawIn.value(&region);
        readLevel(page, region, region.decoded, ReadLevel::Decoded, seen, found);
        readLevel(page, region, HarvestLevels::spellingsUndone(region.decoded), ReadLevel::Spelled, seen, found);
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.line < b.line; });
    return found;
}

PageOutcome checkFile(const PageRef& page, QList<ReadableAddress>* found)
{
    PageOutcome outcome;
    outcome.file = page.named;
    outcome.path = shownName(page.named);
    try {
        const DecodedPage decoded = DecodedPage::read(PageFile::read({nullptr, page.real}).bytes);
        if (!decoded.encoding) {
            outcome.problem = PageProblem::UnsupportedEncoding;
            outcome.detail = decoded.unsupported;
        }
        *found = check(decoded);
    } catch (const AppError& error) {
        outcome.problem = error.number() == AppError::BadFileMode ? PageProblem::NotRegular : PageProblem::Unreadable;
        outcome.detail = error.detail();
        outcome.errorNumber = error.number();
    }
    outcome.readable = counts(*found);
    return outcome;
}

LevelCounts counts(const QList<ReadableAddress>& found)
{
    LevelCounts counts{};
    for (const ReadableAddress& address : found)
        ++counts[int(address.level)];
    return counts;
}

int readableAt(const LevelCounts& counts, ReadLevel level)
{
    int readable = 0;
    for (int at = 0; at <= int(level); ++at)
        readable += counts[at];
    return readable;
}

QString placementName(Placement where)
{
    static const char* const names[] = {"text", "link", "attribute", "title", "comment", "script", "style"};
    return QString::fromLatin1(names[int(where)]);
}

QString countsText(const LevelCounts& counts)
{
    return QStringLiteral("raw %1, decoded %2, spelled %3").arg(counts[0]).arg(counts[1]).arg(counts[2]);
}

} // namespace SiteCheck
