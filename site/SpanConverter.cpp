#include "SpanConverter.h"

#include "HtmlDecode.h"

namespace {

// Draws are random; a draw that leaves the address readable is drawn again.
constexpr int Attempts = 32;

// Characters with a meaning of their own in a URL: escaping them with "%" would change
// the link, so they only ever get character references.
bool reservedInUrl(QChar c)
{
    return QStringView(u":/?#[]!$&'()*+,;=%\"<>`^{}|\\").contains(c) || c.isSpace() || c.unicode() < 0x20;
}

// A character the engine left as it was, made safe in an attribute whatever its quoting.
QString escapeForAttribute(const QString& text)
{
    QString out;
    for (QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QStringLiteral("&amp;"); break;
        case '"': out += QStringLiteral("&quot;"); break;
        case '\'': out += QStringLiteral("&#39;"); break;
        case '<': out += QStringLiteral("&lt;"); break;
        case '>': out += QStringLiteral("&gt;"); break;
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

SpanConverter::SpanConverter(const ConversionSettings& settings, RandomSource& random)
    : m_settings(settings), m_request(m_view, random)
{
}

std::optional<QString> SpanConverter::convert(const AddressSpan& span,
                                              const std::function<bool(const QString&)>& hidden)
{
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        const bool referencesOnly = span.kind == SpanKind::Text || span.kind == SpanKind::AttributeValue;
        const QString source = referencesOnly
                                   ? convertText(span.text)
                                   : convertHref(span.text, span.kind == SpanKind::MailtoHref);
        if (faithful(span, source) && hidden(source))
            return source;
    }
    return std::nullopt;
}

bool SpanConverter::faithful(const AddressSpan& span, const QString& source)
{
    if (looksUnprotected(span.kind, source))
        return false;
    if (span.kind == SpanKind::Text)
        return HtmlDecode::text(source) == span.text;
    if (span.kind == SpanKind::AttributeValue)
        return HtmlDecode::attributeValue(source) == span.text;
    return HtmlDecode::sameHref(HtmlDecode::attributeValue(source), span.text);
}

QString SpanConverter::run(const QString& input, ConversionSettings settings)
{
    m_view.input = input;
    m_view.output.clear();
    m_view.options = settings;
    m_request.ConvertInput();
    return m_view.output;
}

QString SpanConverter::convertText(const QString& text)
{
    // In text only references work: the percent form is for inside a tag, and a line
    // break would show as a gap in the address.
    ConversionSettings settings = m_settings;
    settings.percent = false;
    settings.lineBreak = false;
    if (!settings.decimal && !settings.hex)
        settings.decimal = true;
    return run(text, settings);
}

QString SpanConverter::convertHref(const QString& tail, bool lineBreakAllowed)
{
    ConversionSettings reserved = m_settings;
    reserved.percent = false;
    reserved.lineBreak = false;
    QString out;
    for (qsizetype pos = 0; pos < tail.size();) {
        qsizetype end = pos;
        if (reservedInUrl(tail[pos])) {
            end = pos + 1;
            const QString one = tail.mid(pos, 1);
            const QString written = reserved.anyFormEnabled() ? run(one, reserved) : one;
            out += written == one ? escapeForAttribute(one) : written;
        } else {
            while (end < tail.size() && !reservedInUrl(tail[end]))
                ++end;
            // One line-break code per address, as in the window: in its first stretch.
            ConversionSettings plain = m_settings;
            plain.lineBreak = m_settings.lineBreak && lineBreakAllowed;
            lineBreakAllowed = false;
            // The engine's own line-break code may be a raw line end, which would end an unquoted value.
            out += run(tail.mid(pos, end - pos), plain)
                       .replace(QLatin1Char('\n'), QStringLiteral("&#10;"))
                       .replace(QLatin1Char('\r'), QStringLiteral("&#13;"));
        }
        pos = end;
    }
    return out;
}
