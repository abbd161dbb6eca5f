#include "HtmlDecode.h"

#include "LinkTarget.h"

#include <gumbo.h>

namespace {

// The first element named tag under node, depth first.
const GumboNode* findElement(const GumboNode* node, GumboTag tag)
{
    if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_DOCUMENT)
        return nullptr;
    if (node->type == GUMBO_NODE_ELEMENT && node->v.element.tag == tag)
        return node;
    const GumboVector& children =
        node->type == GUMBO_NODE_ELEMENT ? node->v.element.children : node->v.document.children;
    for (unsigned i = 0; i < children.length; ++i)
        if (const GumboNode* found = findElement(static_cast<const GumboNode*>(children.data[i]), tag))
            return found;
    return nullptr;
}

class Parsed
{
public:
    explicit Parsed(const QByteArray& html)
        : m_html(html), m_output(gumbo_parse_with_options(&kGumboDefaultOptions, m_html.constData(), m_html.size()))
    {
    }
    ~Parsed() { gumbo_destroy_output(&kGumboDefaultOptions, m_output); }
    Parsed(const Parsed&) = delete;
    Parsed& operator=(const Parsed&) = delete;
    const GumboNode* find(GumboTag tag) const { return findElement(m_output->document, tag); }

private:
    QByteArray m_html;
    GumboOutput* m_output;
};

} // namespace

namespace HtmlDecode {

QString text(const QString& source)
{
    const Parsed parsed("<body>" + source.toUtf8());
    const GumboNode* body = parsed.find(GUMBO_TAG_BODY);
    QString result;
    for (unsigned i = 0; body && i < body->v.element.children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(body->v.element.children.data[i]);
        if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE)
            result += QString::fromUtf8(child->v.text.text);
        else
            return QString(); // markup in what should be text: never equal to an address
    }
    return result;
}

std::optional<QString> plainText(QStringView source)
{
    const auto printable = [](char32_t c) {
        return c > 0x20 && c < 0x7F && c != '<' && c != '&' && c != '"' && c != '\'';
    };
    // A character beyond ASCII and the C1 controls is read as it stands (a query's Japanese words).
    const auto asWritten = [](char32_t c) { return c >= 0xA0 && c <= 0x10FFFF && !QChar::isSurrogate(c); };
    // Never longer than the source: a reference is longer than what it stands for.
    QString result(source.size(), Qt::Uninitialized);
    QChar* out = result.data();
    for (qsizetype i = 0; i < source.size(); ++i) {
        const char16_t c = source[i].unicode();
        if (c != '&') {
            if (!printable(c) && !asWritten(c))
                return std::nullopt;
            *out++ = QChar(c);
            continue;
        }
        const bool hex = i + 2 < source.size() && (source[i + 2] == u'x' || source[i + 2] == u'X');
        const qsizetype digits = i + (hex ? 3 : 2);
        qsizetype end = digits;
        char32_t value = 0;
        for (; end < source.size() && end - digits < 8; ++end) {
            const char16_t d = source[end].unicode();
            const int digit = d >= '0' && d <= '9'          ? d - '0'
                              : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10
                              : hex && d >= 'A' && d <= 'F' ? d - 'A' + 10
                                                            : -1;
            if (digit < 0)
                break;
            value = value * (hex ? 16 : 10) + char32_t(digit);
        }
        if (i + 1 >= source.size() || source[i + 1] != u'#' || end == digits || end >= source.size() ||
            source[end] != u';' || !(printable(value) || asWritten(value)))
            return std::nullopt;
        if (QChar::requiresSurrogates(value)) {
            *out++ = QChar(QChar::highSurrogate(value));
            *out++ = QChar(QChar::lowSurrogate(value));
        } else {
            *out++ = QChar(char16_t(value));
        }
        i = end;
    }
    result.truncate(out - result.constData());
    return result;
}

QString attributeValue(const QString& source)
{
    const char quote = source.contains(QLatin1Char('"')) ? '\'' : '"';
    const Parsed parsed(QByteArray("<a href=") + quote + source.toUtf8() + quote + '>');
    const GumboNode* a = parsed.find(GUMBO_TAG_A);
    const GumboAttribute* href = a ? gumbo_get_attribute(&a->v.element.attributes, "href") : nullptr;
    return href ? QString::fromUtf8(href->value) : QString();
}

QString readText(const QString& source)
{
    const std::optional<QString> plain = plainText(source);
    return plain ? *plain : text(source);
}

QString readValue(const QString& source)
{
    const std::optional<QString> plain = plainText(source);
    return plain ? *plain : attributeValue(source);
}

bool sameHref(const QString& prefix, const QString& a, const QString& b, bool pageIsUtf8)
{
    return LinkTarget::parse(a, prefix, pageIsUtf8).meaning() == LinkTarget::parse(b, prefix, pageIsUtf8).meaning();
}

} // namespace HtmlDecode
