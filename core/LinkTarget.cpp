#include "LinkTarget.h"

namespace {

bool isAlpha(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

int hexValue(QChar c)
{
    if (isDigit(c))
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

// Characters that separate or mark something in some part of a link; written escaped they stop doing so.
bool isReserved(char32_t c)
{
    return c < 0x80 && QByteArrayView(":/?#[]@!$&'()*+,;=").contains(char(c));
}

// Schemes whose host a browser percent-decodes and reads as a domain, and in which "\" stands for "/".
bool isSpecial(const QString& scheme)
{
    static const QStringList special{"http", "https", "ftp", "ws", "wss", "file"};
    return special.contains(scheme);
}

// The length of "scheme:" at the start of text, or 0 without one. "example.com:8080/" is a host and port.
qsizetype schemeLength(QStringView text)
{
    if (text.isEmpty() || !isAlpha(text[0]))
        return 0;
    qsizetype colon = 1;
    while (colon < text.size()
           && (isAlpha(text[colon]) || isDigit(text[colon]) || QStringView(u"+-.").contains(text[colon])))
        ++colon;
    if (colon == text.size() || text[colon] != u':')
        return 0;
    qsizetype end = colon + 1;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    const bool port = end > colon + 1 && (end == text.size() || QStringView(u"/?#").contains(text[end]));
    return port ? 0 : colon + 1;
}

} // namespace

LinkTarget LinkTarget::parse(QStringView text, QStringView prefix, bool pageIsUtf8)
{
    LinkTarget link;
    link.m_pageIsUtf8 = pageIsUtf8;
    QString implied = prefix.toString();
    if (implied.isEmpty()) {
        // Read as a browser reads it: tabs and line ends dropped, leading spaces and controls skipped.
        QString bare = text.toString();
        bare.removeIf([](QChar c) { return c == u'\t' || c == u'\n' || c == u'\r'; });
        qsizetype start = 0;
        while (start < bare.size() && bare[start].unicode() <= 0x20)
            ++start;
        link.m_ownScheme = schemeLength(QStringView(bare).mid(start)) > 0;
        if (!link.m_ownScheme)
            implied = text.contains(u'@') ? QStringLiteral("mailto:") : QStringLiteral("http://");
    }
    link.m_offset = implied.size();
    link.m_link = implied + text.toString();
    link.split();
    return link;
}

void LinkTarget::mark(qsizetype from, qsizetype to, Part part)
{
    for (qsizetype k = from; k < to; ++k)
        m_units[m_keptAt[k]].part = part;
}

void LinkTarget::markDelimiter(qsizetype at, Part part)
{
    m_units[m_keptAt[at]] = {part, true, -1};
}

// What a browser reads of m_link between first and last: tabs and line ends before keepFrom dropped.
void LinkTarget::keep(qsizetype first, qsizetype last, qsizetype keepFrom)
{
    m_kept.clear();
    m_keptAt.clear();
    m_kept.reserve(last - first);
    m_keptAt.reserve(last - first);
    for (qsizetype i = first; i < last; ++i) {
        if (i >= keepFrom || (m_link[i] != u'\t' && m_link[i] != u'\n' && m_link[i] != u'\r')) {
            m_kept += m_link[i];
            m_keptAt.append(i);
        }
    }
}

void LinkTarget::split()
{
    m_units = QList<Unit>(m_link.size());
    qsizetype first = 0, last = m_link.size();
    while (first < last && m_link[first].unicode() <= 0x20)
        ++first;
    while (last > first && m_link[last - 1].unicode() <= 0x20)
        --last;
    keep(first, last, last);
    // A data: link keeps its tabs and line ends: Chromium reads them there as escapes ("%0A").
    if (const qsizetype colon = schemeLength(m_kept); colon > 0 && m_kept.left(colon - 1).toLower() == u"data")
        keep(first, last, m_keptAt[colon - 1]);
    for (qsizetype k = 0; k + 2 < m_kept.size(); ++k) {
        if (m_kept[k] == u'%' && hexValue(m_kept[k + 1]) >= 0 && hexValue(m_kept[k + 2]) >= 0) {
            for (int role = 0; role < 3; ++role)
                m_units[m_keptAt[k + role]].escapeRole = role;
            k += 2;
        }
    }
    const qsizetype colon = schemeLength(m_kept);
    if (colon == 0) { // a prefix that names no scheme: nothing to split
        mark(0, m_kept.size(), Part::Path);
        return;
    }
    m_scheme = m_kept.left(colon - 1).toLower();
    m_special = isSpecial(m_scheme);
    mark(0, colon - 1, Part::Scheme);
    markDelimiter(colon - 1, Part::Scheme);
    if (isMail())
        return splitMail(colon);
    qsizetype k = colon;
    const auto slash = [this](qsizetype at) {
        return at < m_kept.size() && (m_kept[at] == u'/' || (m_special && m_kept[at] == u'\\'));
    };
    if (m_special || (slash(k) && slash(k + 1))) {
        const qsizetype from = k;
        // A file link's third slash begins its path ("file:///C:/x" has no host).
        const bool anySlashes = m_special && m_scheme != QLatin1String("file");
        while (slash(k) && (anySlashes || k < from + 2))
            markDelimiter(k++, Part::Slashes);
        k = splitAuthority(k);
    }
    splitPath(k, m_kept.size());
}

// User name, host and port, up to the path; returns where the path begins.
qsizetype LinkTarget::splitAuthority(qsizetype from)
{
    qsizetype end = from;
    while (end < m_kept.size() && !QStringView(u"/?#").contains(m_kept[end]) && !(m_special && m_kept[end] == u'\\'))
        ++end;
    const qsizetype at = QStringView(m_kept).mid(from, end - from).lastIndexOf(u'@');
    qsizetype host = from;
    if (at >= 0) {
        host = from + at + 1;
        mark(from, host - 1, Part::UserInfo);
        const qsizetype colon = QStringView(m_kept).mid(from, at).indexOf(u':');
        if (colon >= 0)
            markDelimiter(from + colon, Part::UserInfo);
        markDelimiter(host - 1, Part::UserInfo);
    }
    qsizetype port = host;
    if (port < end && m_kept[port] == u'[') {
        // An IPv6 literal is read as it is written: none of it may be escaped.
        while (port < end && m_kept[port] != u']')
            markDelimiter(port++, Part::Host);
        if (port < end)
            markDelimiter(port++, Part::Host);
    }
    while (port < end && m_kept[port] != u':')
        m_units[m_keptAt[port++]].part = Part::Host;
    for (; port < end; ++port)
        markDelimiter(port, Part::Port);
    return end;
}

void LinkTarget::splitPath(qsizetype from, qsizetype end)
{
    Part part = Part::Path;
    for (qsizetype k = from; k < end; ++k) {
        const QChar c = m_kept[k];
        if (c == u'#' && part != Part::Fragment) {
            part = Part::Fragment;
            markDelimiter(k, part);
        } else if (c == u'?' && part == Part::Path) {
            part = Part::Query;
            markDelimiter(k, part);
        } else if (part == Part::Path && (c == u'/' || (m_special && c == u'\\'))) {
            markDelimiter(k, part);
        } else {
            m_units[m_keptAt[k]].part = part;
        }
    }
}

// Recipients separated by ",", then "?" and header fields "name=value" separated by "&".
void LinkTarget::splitMail(qsizetype from)
{
    qsizetype end = m_kept.indexOf(u'#', from);
    if (end < 0)
        end = m_kept.size();
    Part part = Part::Recipients;
    for (qsizetype k = from; k < end; ++k) {
        const QChar c = m_kept[k];
        if (c == u',' && part == Part::Recipients) {
            markDelimiter(k, part);
        } else if ((c == u'?' && part == Part::Recipients) || (c == u'&' && part != Part::Recipients)) {
            part = Part::HeaderName;
            markDelimiter(k, part);
        } else if (c == u'=' && part == Part::HeaderName) {
            part = Part::HeaderValue;
            markDelimiter(k, part);
        } else {
            m_units[m_keptAt[k]].part = part;
        }
    }
    if (end < m_kept.size()) {
        markDelimiter(end, Part::Fragment);
        mark(end + 1, m_kept.size(), Part::Fragment);
    }
}

bool LinkTarget::percentFits(char32_t code, Part part) const
{
    if (m_scheme == QLatin1String("file")) // a local path, drive letters and all: written as it is meant
        return false;
    switch (part) {
    case Part::Ignored:
    case Part::Scheme:
    case Part::Slashes:
    case Part::Port: return false;
    case Part::Host:
        if (!m_special) // a host a browser does not decode: an escape there is other text
            return false;
        break;
    case Part::Query:
        // Outside UTF-8 a browser sends the query in the page's encoding, and an escape in UTF-8 beside it.
        if (code >= 0x80 && m_special && !m_pageIsUtf8)
            return false;
        break;
    default: break;
    }
    if (code == u'%' || (code == u'\\' && m_special))
        return false;
    // The "@" of a mail address keeps "%40": mail programs decode it.
    if (code == u'@')
        return part == Part::Recipients || part == Part::HeaderValue;
    return !isReserved(code);
}

bool LinkTarget::percentKeepsMeaning(qsizetype pos) const
{
    const Unit& u = unit(pos);
    if (u.delimiter || u.escapeRole >= 0)
        return false;
    const QChar c = m_link[pos + m_offset];
    return percentFits(c.isSurrogate() ? 0x10000 : c.unicode(), u.part);
}

// The bytes of the character or escape at kept position k.
void LinkTarget::appendDecoded(qsizetype k, qsizetype* next, QByteArray& out) const
{
    if (m_units[m_keptAt[k]].escapeRole == 0) {
        *next = k + 3;
        out += char(hexValue(m_kept[k + 1]) * 16 + hexValue(m_kept[k + 2]));
    } else if (m_kept[k].unicode() < 0x80) {
        *next = k + 1;
        out += char(m_kept[k].unicode());
    } else {
        const qsizetype length =
            k + 1 < m_kept.size() && m_kept[k].isHighSurrogate() && m_kept[k + 1].isLowSurrogate() ? 2 : 1;
        *next = k + length;
        out += QStringView(m_kept).mid(k, length).toUtf8();
    }
}

QByteArray LinkTarget::decoded(qsizetype k, qsizetype* next) const
{
    QByteArray bytes;
    appendDecoded(k, next, bytes);
    return bytes;
}

// Written into one buffer: links are compared for every draw of every address of a site.
QByteArray LinkTarget::meaning() const
{
    QByteArray out;
    out.reserve(m_kept.size() * 2);
    Part last = Part::Ignored;
    for (qsizetype k = 0, next = 0; k < m_kept.size(); k = next) {
        const Unit& u = m_units[m_keptAt[k]];
        if (u.part != last || u.delimiter) {
            out += '\x1f';
            out += char('A' + int(u.part));
            last = u.delimiter ? Part::Ignored : u.part;
        }
        const qsizetype from = out.size();
        appendDecoded(k, &next, out);
        const auto byte = static_cast<unsigned char>(out[from]);
        if (u.escapeRole == 0 && !percentFits(byte < 0x80 ? byte : 0x80, u.part)) {
            static const char Hex[] = "0123456789ABCDEF";
            out.truncate(from);
            out += '%';
            out += Hex[byte >> 4];
            out += Hex[byte & 0xF];
        } else if (u.escapeRole < 0 && byte == '%' && out.size() == from + 1) {
            out += '%'; // a lone "%" is no escape, whatever follows it
        }
        if (u.part == Part::Scheme || (u.part == Part::Host && m_special))
            for (qsizetype i = from; i < out.size(); ++i)
                if (out[i] >= 'A' && out[i] <= 'Z')
                    out[i] = char(out[i] + ('a' - 'A'));
    }
    return out;
}

QStringList LinkTarget::recipients() const
{
    QStringList list;
    QByteArray current;
    bool any = false;
    for (qsizetype k = 0, next = 0; k < m_kept.size(); k = next) {
        const Unit& u = m_units[m_keptAt[k]];
        const QByteArray bytes = decoded(k, &next);
        if (u.part != Part::Recipients)
            continue;
        if (u.delimiter) {
            list.append(QString::fromUtf8(current));
            current.clear();
        } else {
            current += bytes;
        }
        any = true;
    }
    if (any)
        list.append(QString::fromUtf8(current));
    return list;
}

QList<std::pair<QString, QString>> LinkTarget::headerFields() const
{
    QList<std::pair<QByteArray, QByteArray>> fields;
    for (qsizetype k = 0, next = 0; k < m_kept.size(); k = next) {
        const Unit& u = m_units[m_keptAt[k]];
        const QByteArray bytes = decoded(k, &next);
        if (u.part == Part::HeaderName && u.delimiter)
            fields.append(std::pair<QByteArray, QByteArray>());
        else if (u.part == Part::HeaderName)
            fields.last().first += bytes;
        else if (u.part == Part::HeaderValue && !u.delimiter)
            fields.last().second += bytes;
    }
    QList<std::pair<QString, QString>> result;
    for (const auto& [name, value] : fields)
        if (!name.isEmpty() || !value.isEmpty())
            result.append({QString::fromUtf8(name), QString::fromUtf8(value)});
    return result;
}
