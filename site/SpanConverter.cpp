#include "SpanConverter.h"

#include "HtmlDecode.h"

namespace {

// Draws are random; a draw that leaves the address readable is drawn again.
constexpr int Attempts = 32;

// A character the engine left as it was, made safe in an attribute whatever its quoting. The engine
// itself writes "&", "<", ">" and the double quote as references.
QString attributeSafe(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\'': out += QStringLiteral("&#39;"); break;
        case '`': out += QStringLiteral("&#96;"); break;
        case '=': out += QStringLiteral("&#61;"); break;
        case '\n': out += QStringLiteral("&#10;"); break;
        case '\r': out += QStringLiteral("&#13;"); break;
        case '\t': out += QStringLiteral("&#9;"); break;
        case ' ': out += QStringLiteral("&#32;"); break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

SpanConverter::SpanConverter(const ConversionSettings& settings, RandomSource& random, bool pageIsUtf8)
    : m_settings(settings), m_pageIsUtf8(pageIsUtf8), m_request(m_view, random)
{
    m_request.setPageIsUtf8(pageIsUtf8);
}

QString SpanConverter::linkPrefix(SpanKind kind)
{
    // "https://" reads as "http://" does but for its default port, which no rewrite touches.
    return kind == SpanKind::MailtoHref ? QStringLiteral("mailto:")
           : kind == SpanKind::LinkHref ? QStringLiteral("http://")
                                        : QString();
}

std::optional<QString> SpanConverter::convert(const AddressSpan& span,
                                              const std::function<bool(const QString&)>& hidden)
{
    ConversionSettings settings = m_settings;
    const bool referencesOnly = span.kind == SpanKind::Text || span.kind == SpanKind::AttributeValue;
    if (referencesOnly) {
        // In text and in a value that is no link only references work: the percent form is for a link,
        // and a line break would show as a gap in the address.
        settings.percent = settings.lineBreak = false;
        settings.decimal = settings.decimal || !settings.hex;
    } else {
        settings.lineBreak = settings.lineBreak && span.kind == SpanKind::MailtoHref;
    }
    const auto write = [&] {
        return referencesOnly ? run(span.text, settings) : convertHref(span, settings);
    };
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        const QString source = write();
        if (faithful(span, source, m_pageIsUtf8) && hidden(source))
            return source;
    }
    // Scope "random" may leave every character of an address as it was, however seldom; converting all
    // of them is one of its draws, and hides whatever these options can hide.
    if (settings.scope == EntityScope::Random) {
        settings.scope = EntityScope::All;
        const QString source = write();
        if (faithful(span, source, m_pageIsUtf8) && hidden(source))
            return source;
    }
    return std::nullopt;
}

bool SpanConverter::faithful(const AddressSpan& span, const QString& source, bool pageIsUtf8)
{
    if (looksUnprotected(span.kind, source))
        return false;
    if (span.kind == SpanKind::Text)
        return HtmlDecode::readText(source) == span.text;
    if (span.kind == SpanKind::AttributeValue)
        return HtmlDecode::readValue(source) == span.text;
    return HtmlDecode::sameHref(linkPrefix(span.kind), HtmlDecode::readValue(source), span.text, pageIsUtf8);
}

QString SpanConverter::run(const QString& input, ConversionSettings settings, const QString& prefix)
{
    m_view.input = input;
    m_view.output.clear();
    m_view.options = settings;
    m_request.setLinkPrefix(prefix);
    m_request.ConvertInput();
    return m_view.output;
}

// The whole link at once: the engine knows each character's part and never writes a form that changes it.
QString SpanConverter::convertHref(const AddressSpan& span, const ConversionSettings& settings)
{
    return attributeSafe(run(span.text, settings, linkPrefix(span.kind)));
}
