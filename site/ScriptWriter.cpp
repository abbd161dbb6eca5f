#include "ScriptWriter.h"

#include "Random.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <algorithm>

namespace {

const QString LinkMark = QStringLiteral("#qm-");
constexpr QByteArrayView MailtoScheme = "mailto:";
constexpr auto Base64Url = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;

QString attributeText(QString text)
{
    return text.replace(u'&', QStringLiteral("&amp;"))
        .replace(u'"', QStringLiteral("&quot;"))
        .replace(u'\'', QStringLiteral("&#39;"))
        .replace(u'<', QStringLiteral("&lt;"))
        .replace(u'>', QStringLiteral("&gt;"));
}

// Where each element of name opens and closes in a page of lower-case bytes, in page order.
QList<std::pair<qsizetype, qsizetype>> elementRanges(const QByteArray& lower, QByteArrayView name)
{
    QList<std::pair<qsizetype, qsizetype>> ranges;
    const QByteArray open = "<" + name.toByteArray();
    const QByteArray close = "</" + name.toByteArray();
    for (qsizetype at = lower.indexOf(open); at >= 0; at = lower.indexOf(open, at + 1)) {
        const char next = at + open.size() < lower.size() ? lower[at + open.size()] : '>';
        if (next != ' ' && next != '>' && next != '\t' && next != '\n' && next != '\r' && next != '/')
            continue;
        qsizetype end = lower.indexOf(close, at);
        ranges.append({at, end < 0 ? lower.size() : end});
        if (end < 0)
            break;
        at = end;
    }
    return ranges;
}

} // namespace

ScriptWriter::ScriptWriter(ScriptPage page, const QByteArray& bytes, bool japaneseEncoding, RandomSource& random)
    : m_page(std::move(page)), m_bytes(bytes), m_lower(bytes.toLower()), m_random(random)
{
    for (const char* name : {"title", "svg", "math", "a"})
        m_ranges[name] = elementRanges(m_lower, name);
    if (m_page.label.isEmpty()) {
        static const QRegularExpression japaneseLang(QStringLiteral("<html[^>]*\\slang\\s*=\\s*[\"']?ja\\b"));
        const bool japanese = japaneseEncoding || japaneseLang.match(QString::fromLatin1(m_lower.left(4096))).hasMatch();
        m_page.label = japanese ? QStringLiteral("メールアドレス") : QStringLiteral("mail address");
    }
}

bool ScriptWriter::inside(qsizetype at, const char* element) const
{
    const auto& ranges = m_ranges.at(element);
    auto after = std::upper_bound(ranges.begin(), ranges.end(), at,
                                  [](qsizetype value, const auto& range) { return value < range.first; });
    return after != ranges.begin() && std::prev(after)->second > at;
}

bool ScriptWriter::takes(const AddressSpan& span) const
{
    if (span.kind == SpanKind::MailtoHref)
        return QByteArrayView(m_bytes).sliced(0, span.start).endsWith(MailtoScheme) ||
               QByteArrayView(m_lower).sliced(0, span.start).endsWith(MailtoScheme);
    // A title shows no markup, and an HTML element would end an SVG or MathML subtree.
    return span.kind == SpanKind::Text && !inside(span.start, "title") && !inside(span.start, "svg") &&
           !inside(span.start, "math");
}

std::optional<QString> ScriptWriter::write(AddressSpan& span, const std::function<bool(const QString&)>& hidden)
{
    const auto nonce = quint8(std::clamp(int(DrawRandom(m_random) * 256), 0, 255));
    const QString mode = m_page.onInteraction ? QStringLiteral("i") : QStringLiteral("l");
    QString source;
    if (span.kind == SpanKind::MailtoHref) {
        span.start -= MailtoScheme.size();
        source = LinkMark + QString::fromLatin1(encrypt(m_page.key, mode + QStringLiteral("mailto:") + span.text, nonce));
    } else {
        const QString name = attributeText(m_page.label);
        QString attributes = QStringLiteral("data-qm=\"%1\"").arg(QString::fromLatin1(encrypt(m_page.key, mode + span.text, nonce)));
        // Inside a link the link itself is what a person reaches; a second stop there would be one too many.
        if (m_page.onInteraction && !inside(span.start, "a"))
            attributes += QStringLiteral(" tabindex=\"0\" role=\"link\" aria-label=\"%1\"").arg(name);
        const QString image = attributeText(m_page.imageFolder + imageName(m_page.key, span.text));
        source = QStringLiteral("<span %1><img src=\"%2\" alt=\"%3\"/></span>").arg(attributes, image, name);
    }
    if (!hidden(source))
        return std::nullopt;
    return source;
}

bool ScriptWriter::readsBack(const AddressSpan& span, const QString& source, const QByteArray& key)
{
    static const QRegularExpression token(QStringLiteral("^<span data-qm=\"([A-Za-z0-9_-]+)\""));
    const bool link = span.kind == SpanKind::MailtoHref;
    const QString written = link ? (source.startsWith(LinkMark) ? source.mid(LinkMark.size()) : QString())
                                 : token.match(source).captured(1);
    const std::optional<QString> meant = decrypt(key, written.toLatin1());
    return meant && !meant->isEmpty() && (meant->front() == u'l' || meant->front() == u'i') &&
           meant->mid(1) == (link ? QStringLiteral("mailto:") + span.text : span.text);
}

QString ScriptWriter::scriptElement() const
{
    return QStringLiteral("<script src=\"%1\" defer=\"defer\" data-qm-script=\"\"></script>").arg(attributeText(m_page.scriptSrc));
}

qsizetype ScriptWriter::scriptPlace(const AddressSpan& firstWritten) const
{
    const qsizetype head = m_lower.indexOf("</head");
    if (head >= 0 && head <= firstWritten.start)
        return head;
    // Not inside the link's tag: before it.
    return firstWritten.kind == SpanKind::MailtoHref ? m_bytes.lastIndexOf('<', firstWritten.start) : firstWritten.start;
}

bool ScriptWriter::rewrittenBefore(QByteArrayView bytes)
{
    return bytes.contains("data-qm") || bytes.contains(LinkMark.toLatin1());
}

QString ScriptWriter::imageName(const QByteArray& key, const QString& address)
{
    const QByteArray digest = QCryptographicHash::hash(key + address.toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("qm-%1.png").arg(QString::fromLatin1(digest.left(8).toHex()));
}

QByteArray ScriptWriter::encrypt(const QByteArray& key, const QString& text, quint8 nonce)
{
    QByteArray data(1, char(nonce));
    const QByteArray plain = text.toUtf8();
    for (qsizetype i = 0; i < plain.size(); ++i)
        data += char(plain[i] ^ key[(nonce + i + 1) % key.size()]);
    return data.toBase64(Base64Url);
}

std::optional<QString> ScriptWriter::decrypt(const QByteArray& key, QByteArrayView token)
{
    const auto decoded = QByteArray::fromBase64Encoding(token.toByteArray(), Base64Url | QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty() || key.isEmpty())
        return std::nullopt;
    const QByteArray& data = decoded.decoded;
    const auto nonce = quint8(data[0]);
    QByteArray plain;
    for (qsizetype i = 1; i < data.size(); ++i)
        plain += char(data[i] ^ key[(nonce + i) % key.size()]);
    return QString::fromUtf8(plain);
}
