#include "AddressScanner.h"

#include "ElementNames.h"
#include "PageEncoding.h"
#include "RawTextEnd.h"

#include <QByteArrayView>
#include <QRegularExpression>
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace {

using namespace ElementNames;
using Range = PageLayout::Range;

struct Attribute
{
    Range name;
    Range value; // without its quotes; start == -1 when the attribute has no value
};

class Scanner
{
public:
    explicit Scanner(const QByteArray& page) : m_page(page), m_data(page.constData()), m_size(page.size()) {}

    bool run(qsizetype pos);
    PageLayout layout;

private:
    bool markup(qsizetype& pos);
    bool comment(qsizetype& pos);
    bool tag(qsizetype& pos, bool end);
    bool attributes(qsizetype& i);
    bool firstOfItsName(Range name);
    bool rawText(const std::string& name, qsizetype& pos);
    bool foreignTag(const std::string& name, bool end, bool bare, qsizetype& pos);
    bool selectTag(const std::string& name, bool end, bool holdsAddress, qsizetype& pos);
    bool endTagAt(qsizetype at, const std::string& name) const { return RawTextEnd::endTagAt(m_page, at, name); }
    void addAttributeCandidates(bool foreign);
    bool meta();
    QByteArrayView view(Range range) const { return {m_data + range.start, range.end - range.start}; }
    qsizetype find(const char* what, qsizetype from) const { return m_page.indexOf(what, from); }
    // Searched within [from, to) only: searching on to the page's end for every comment is quadratic.
    bool holds(qsizetype from, qsizetype to, const char* what) const
    {
        return std::string_view(m_data + from, to - from).find(what) != std::string_view::npos;
    }
    bool holdsAt(qsizetype from, qsizetype to) const { return QByteArrayView(m_data + from, to - from).contains('@'); }

    const QByteArray& m_page;
    const char* m_data;
    qsizetype m_size;
    qsizetype m_offStart = -1;
    bool m_formOpen = false;
    bool m_inSelect = false;
    QList<qsizetype> m_noscriptEnds;     // where the text of each noscript element starts
    int m_noscriptsOpen = 0;             // not yet ended by an end tag
    std::vector<Attribute> m_attributes; // of the tag being read; kept to spare an allocation a tag
    std::unordered_set<std::string> m_names; // of its attributes, lower case, once it has many
    bool m_selfClosing = false;          // of the tag being read
    unsigned m_flags = 0;                // of the tag being read: what ElementNames says of its name
    std::vector<std::string> m_foreign;  // the open svg and math elements and those within them
};

bool Scanner::run(qsizetype pos)
{
    if (m_page.contains('\0'))
        return false;
    qsizetype text = pos;
    while (pos < m_size) {
        const void* next = std::memchr(m_data + pos, '<', m_size - pos);
        if (!next)
            break;
        const qsizetype at = static_cast<const char*>(next) - m_data;
        qsizetype after = at;
        if (!markup(after))
            return false;
        if (after == at) { // a "<" that starts no markup is text
            pos = at + 1;
            continue;
        }
        if (at > text)
            layout.candidates.append({{text, at}, PageLayout::Source::Text});
        pos = text = after;
    }
    if (m_size > text)
        layout.candidates.append({{text, m_size}, PageLayout::Source::Text});
    if (m_offStart >= 0)
        layout.offZones.append({m_offStart, m_size});
    layout.scriptedText = RawTextEnd::noscriptText(m_page, m_noscriptEnds);
    return true;
}

// pos is at "<": moves past the markup that starts there, or leaves pos when it is text.
// False hands the page over.
bool Scanner::markup(qsizetype& pos)
{
    const qsizetype start = pos;
    const auto at = [this](qsizetype i) { return i < m_size ? m_data[i] : '\0'; };
    const QByteArrayView rest(m_data + pos, m_size - pos);
    if (rest.startsWith("<!--"))
        return comment(pos);
    if (asciiAlpha(at(pos + 1)))
        return tag(pos, false);
    if (!m_foreign.empty() && rest.startsWith("<![CDATA["))
        return false; // a section of its own in foreign content, a bogus comment elsewhere
    if (at(pos + 1) == '/' && asciiAlpha(at(pos + 2)))
        return tag(pos, true);
    if (rest.startsWith("</>")) {
        pos += 3;
        layout.markup.append({start, pos});
        return true;
    }
    const bool doctype =
        rest.size() >= 9 && QByteArrayView(rest.data() + 2, 7).compare("doctype", Qt::CaseInsensitive) == 0;
    const bool bogus = at(pos + 1) == '!' || at(pos + 1) == '?' || (at(pos + 1) == '/' && pos + 2 < m_size);
    if (!bogus)
        return true; // text
    // A doctype or a bogus comment: up to the first ">".
    const qsizetype end = m_page.indexOf('>', pos);
    if (end < 0)
        return false;
    const QByteArrayView inside(m_data + pos, end - pos);
    if (inside.contains('@') || (!doctype && holds(pos, end, "qorvane")))
        return false;
    pos = end + 1;
    layout.markup.append({start, pos});
    return true;
}

bool Scanner::comment(qsizetype& pos)
{
    const qsizetype start = pos;
    const qsizetype content = pos + 4;
    const QByteArrayView rest(m_data + content, m_size - content);
    if (rest.startsWith(">") || rest.startsWith("->"))
        return false;
    const qsizetype end = find("-->", content);
    if (end < 0)
        return false;
    if (holds(content, end + 3, "--!>"))
        return false;
    const QByteArray word = QByteArray(m_data + content, end - content).trimmed();
    if (word == "qorvane:off" && m_offStart < 0) {
        m_offStart = start;
    } else if (word == "qorvane:on" && m_offStart >= 0) {
        layout.offZones.append({m_offStart, start});
        m_offStart = -1;
    }
    pos = end + 3;
    layout.markup.append({start, pos});
    return true;
}

bool Scanner::tag(qsizetype& pos, bool end)
{
    const qsizetype start = pos;
    const qsizetype nameStart = pos + (end ? 2 : 1);
    qsizetype i = nameStart;
    while (i < m_size && !space(m_data[i]) && m_data[i] != '/' && m_data[i] != '>')
        ++i;
    std::string name(m_data + nameStart, size_t(i - nameStart));
    std::transform(name.begin(), name.end(), name.begin(), asciiLower);
    m_flags = end ? 0 : flagsOf(name);
    if (!attributes(i))
        return false;
    pos = i + 1;
    layout.markup.append({start, pos});
    const bool holdsAddress = holdsAt(start, pos);
    if (!m_foreign.empty())
        return !(end && holdsAddress) && foreignTag(name, end, pos == nameStart + qsizetype(name.size()) + 1, pos);
    if (m_inSelect)
        return selectTag(name, end, holdsAddress, pos);
    if (end) { // an end tag the tree builder ignores is text to the parser's finder
        if (name == "form")
            m_formOpen = false;
        if (name == "noscript" && m_noscriptsOpen > 0)
            --m_noscriptsOpen;
        return !holdsAddress;
    }
    const auto holdsLink = [this] {
        return std::any_of(m_attributes.begin(), m_attributes.end(),
                           [this](const Attribute& a) { return sameName(view(a.name), "href"); });
    };
    if ((m_flags & HandedOver) ||
        ((holdsAddress || holdsLink()) && (m_flags & MayBeDropped) && (name != "form" || m_formOpen)))
        return false;
    m_formOpen = m_formOpen || name == "form";
    m_inSelect = name == "select";
    // The tree builder drops a noscript within one in the head, though the text a browser running scripts reads
    // in the outer one may end before it: a noscript within another is left to the parser.
    if (name == "noscript" && m_noscriptsOpen++ > 0)
        return false;
    if (name == "noscript")
        m_noscriptEnds.append(pos);
    if (name == "meta" && !meta())
        return false;
    const bool foreign = name == "svg" || name == "math";
    addAttributeCandidates(foreign);
    if (foreign && !m_selfClosing)
        m_foreign.push_back(name);
    return foreign || rawText(name, pos);
}

// On svg and math elements the parser names "xlink:href" "href" (in a namespace of its own).
void Scanner::addAttributeCandidates(bool foreign)
{
    for (const Attribute& attribute : m_attributes) {
        const QByteArrayView name = view(attribute.name);
        const bool href = sameName(name, "href") || (foreign && sameName(name, "xlink:href"));
        if (attribute.value.start >= 0 && attribute.value.end > attribute.value.start)
            layout.candidates.append(
                {attribute.value, href ? PageLayout::Source::Href : PageLayout::Source::Attribute});
    }
}

// A tag in svg or math content, whose elements the tree builder keeps on the stack as they come, or pops at the
// end tag of one of them. Whatever would take it back to HTML rules is left to the parser, and so are the names
// the parser reads otherwise than its tokenizer: it matches an end tag by all its text up to ">" (bare: nothing but
// its name), and a start tag's name only up to a C space, which takes in "\v" and, in some locales, bytes beyond ASCII.
bool Scanner::foreignTag(const std::string& name, bool end, bool bare, qsizetype& pos)
{
    const auto readOtherwise = [](char c) { return c == '\v' || static_cast<unsigned char>(c) >= 0x80; };
    if (std::any_of(name.begin(), name.end(), readOtherwise))
        return false;
    if (end) {
        const auto open = std::find(m_foreign.rbegin(), m_foreign.rend(), name);
        if (!bare || open == m_foreign.rend() || name == "p" || name == "br")
            return false;
        m_foreign.erase(std::prev(open.base()), m_foreign.end());
        return true;
    }
    if (m_flags & BreaksOutOfForeign)
        return false;
    addAttributeCandidates(true);
    if (m_selfClosing)
        return true;
    m_foreign.push_back(name);
    if (!(m_flags & TextOnlyInForeign))
        return true;
    const void* next = std::memchr(m_data + pos, '<', size_t(m_size - pos));
    if (!next || !endTagAt(static_cast<const char*>(next) - m_data, name))
        return false;
    if (m_flags & RawTextParent)
        pos = static_cast<const char*>(next) - m_data;
    return true;
}

// From after the tag's name to its ">", where i is left.
bool Scanner::attributes(qsizetype& i)
{
    m_attributes.clear();
    if (!m_names.empty())
        m_names = {}; // not clear(), which would sweep every bucket a tag of many attributes left
    for (;;) {
        const qsizetype gap = i;
        while (i < m_size && (space(m_data[i]) || m_data[i] == '/'))
            ++i;
        if (i >= m_size)
            return false;
        if (m_data[i] == '>') {
            m_selfClosing = i > gap && m_data[i - 1] == '/';
            return true;
        }
        // The parser reads a name that starts with "=" its own way: left to it.
        if (m_data[i] == '=')
            return false;
        const qsizetype attributeStart = i++;
        while (i < m_size && !space(m_data[i]) && m_data[i] != '/' && m_data[i] != '>' && m_data[i] != '=')
            ++i;
        Attribute attribute{{attributeStart, i}, {-1, -1}};
        while (i < m_size && space(m_data[i]))
            ++i;
        if (i < m_size && m_data[i] == '=') {
            for (++i; i < m_size && space(m_data[i]);)
                ++i;
            if (i >= m_size)
                return false;
            if (m_data[i] == '"' || m_data[i] == '\'') {
                const void* close = std::memchr(m_data + i + 1, m_data[i], size_t(m_size - i - 1));
                if (!close)
                    return false;
                attribute.value = {i + 1, static_cast<const char*>(close) - m_data};
                i = attribute.value.end + 1;
            } else if (m_data[i] != '>') {
                const qsizetype valueStart = i;
                while (i < m_size && !space(m_data[i]) && m_data[i] != '>')
                    ++i;
                attribute.value = {valueStart, i};
            }
        }
        // The parser keeps the first of two attributes of one name. It joins a second one without a value to the
        // next attribute's name, which no browser does: such a tag is left to it, so that both read it alike.
        if (firstOfItsName(attribute.name))
            m_attributes.push_back(attribute);
        else if (attribute.value.start < 0)
            return false;
    }
}

// Whether no earlier attribute of the tag has this name. A tag of many attributes is looked up by hash: pair by
// pair, 100,000 attributes took seconds.
bool Scanner::firstOfItsName(Range name)
{
    constexpr size_t Few = 16;
    if (m_attributes.size() < Few)
        return std::none_of(m_attributes.begin(), m_attributes.end(),
                            [&](const Attribute& other) { return sameName(view(other.name), view(name)); });
    const auto lower = [this](Range range) {
        std::string text(m_data + range.start, size_t(range.end - range.start));
        std::transform(text.begin(), text.end(), text.begin(), asciiLower);
        return text;
    };
    if (m_names.empty())
        for (const Attribute& attribute : m_attributes)
            m_names.insert(lower(attribute.name));
    return m_names.insert(lower(name)).second;
}

// Text the tokenizer reads as it stands up to the element's own end tag.
bool Scanner::rawText(const std::string& name, qsizetype& pos)
{
    if (!(m_flags & RawText))
        return true;
    const qsizetype at = name == "script" ? RawTextEnd::ofScript(m_page, pos) : RawTextEnd::of(m_page, pos, name);
    if (at < 0)
        return false;
    if (name == "title" && at > pos)
        layout.candidates.append({{pos, at}, PageLayout::Source::Text});
    pos = at;
    return true;
}

// In a select the tree builder keeps options, option groups and scripts, and drops every other tag, whose text
// is read as any text around it; a tag that would end the select otherwise (another select, an input, a part of
// a table) is left to the parser, and so is a dropped tag with an "@", whose bytes the parser's text takes in.
bool Scanner::selectTag(const std::string& name, bool end, bool holdsAddress, qsizetype& pos)
{
    if (name == "option" || name == "optgroup" || name == "script") {
        if (end)
            return !holdsAddress;
        addAttributeCandidates(false);
        return rawText(name, pos);
    }
    if (end && name == "select") {
        m_inSelect = false;
        return !holdsAddress;
    }
    return !holdsAddress && !(flagsOf(name) & EndsSelect);
}

// The page's own declaration, as the parser reads it when no reference is in the way.
bool Scanner::meta()
{
    // As in a browser, a declaration that names no encoding is passed over for the next one.
    if (PageEncoding::isLabel(layout.charset))
        return true;
    const auto value = [&](const char* name) -> std::optional<QByteArray> {
        for (const Attribute& attribute : m_attributes)
            if (sameName(view(attribute.name), name))
                return attribute.value.start < 0 ? QByteArray() : view(attribute.value).toByteArray();
        return std::nullopt;
    };
    // The parser decodes references, and replaces line ends, controls and some other characters: the values a
    // declaration is read from are taken only without them.
    const auto plain = [](const std::optional<QByteArray>& v) {
        return !v || std::all_of(v->begin(), v->end(), [](char c) {
            return c == '\t' || (c != '&' && static_cast<unsigned char>(c) - 0x20u < 0x5Fu);
        });
    };
    if (const auto charset = value("charset")) {
        if (!charset->trimmed().isEmpty())
            layout.charset = charset->trimmed();
        return plain(charset);
    }
    const auto equiv = value("http-equiv");
    if (!plain(equiv) || !equiv || equiv->trimmed().toLower() != "content-type")
        return plain(equiv);
    const auto content = value("content");
    if (const QByteArray named = content ? AddressScanner::charsetOfContentType(*content) : QByteArray(); !named.isEmpty())
        layout.charset = named;
    return plain(content);
}

} // namespace

namespace AddressScanner {

QByteArray charsetOfContentType(const QByteArray& content)
{
    static const QRegularExpression pattern(QStringLiteral("charset\\s*=\\s*[\"']?([^\"';\\s]+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern.match(QString::fromUtf8(content)).captured(1).toLatin1();
}

std::optional<PageLayout> scan(const QByteArray& page, qsizetype begin)
{
    Scanner scanner(page);
    if (!scanner.run(begin))
        return std::nullopt;
    return std::move(scanner.layout);
}

} // namespace AddressScanner
