#include "ProfileFile.h"

#include "Cp932.h"

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArray trimBlanks(QByteArrayView text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin).toByteArray();
}

char foldAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

// ASCII letters match in either case; both bytes of a double-byte character match exactly.
bool sameName(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (Cp932::isLeadByte(uchar(a[i])) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
            ++i;
        } else if (foldAscii(a[i]) != foldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

QList<ProfileFile::Line> ProfileFile::lines() const
{
    QList<Line> result;
    const qsizetype size = m_content.size();
    qsizetype start = 0;
    while (start < size) {
        qsizetype end = start;
        while (end < size && m_content[end] != '\r' && m_content[end] != '\n')
            ++end;
        qsizetype next = end;
        if (next < size && m_content[next] == '\r')
            ++next;
        if (next < size && m_content[next] == '\n' && (next == end || m_content[next - 1] == '\r'))
            ++next;
        result.append({start, end, next});
        start = next;
    }
    return result;
}

std::optional<QByteArray> ProfileFile::headerName(const Line& line) const
{
    qsizetype pos = line.start;
    while (pos < line.end && isBlank(m_content[pos]))
        ++pos;
    if (pos >= line.end || m_content[pos] != '[')
        return std::nullopt;
    const qsizetype nameStart = ++pos;
    // A trail byte may look like "]": only a byte outside a double-byte character ends the name.
    while (pos < line.end && m_content[pos] != ']')
        pos += (Cp932::isLeadByte(uchar(m_content[pos])) && pos + 1 < line.end) ? 2 : 1;
    return trimBlanks(QByteArrayView(m_content).sliced(nameStart, std::min(pos, line.end) - nameStart));
}

std::optional<ProfileFile::KeyLine> ProfileFile::keyLine(const Line& line) const
{
    qsizetype pos = line.start;
    while (pos < line.end && isBlank(m_content[pos]))
        ++pos;
    if (pos >= line.end || m_content[pos] == ';' || m_content[pos] == '[')
        return std::nullopt;
    const qsizetype equals = m_content.indexOf('=', pos);
    if (equals < 0 || equals >= line.end)
        return std::nullopt;
    return KeyLine{line, trimBlanks(QByteArrayView(m_content).sliced(pos, equals - pos)), equals + 1};
}

std::optional<ProfileFile::Section> ProfileFile::findSection(const QByteArray& name) const
{
    std::optional<Section> found;
    for (const Line& line : lines()) {
        if (const auto header = headerName(line)) {
            if (found)
                break; // only the first section of a name is searched
            if (sameName(*header, trimBlanks(name)))
                found = Section{line, {}};
        } else if (found) {
            found->lines.append(line);
        }
    }
    return found;
}

std::optional<ProfileFile::KeyLine> ProfileFile::findKey(const Section& section, const QByteArray& key) const
{
    const QByteArray wanted = trimBlanks(key);
    for (const Line& line : section.lines) {
        const auto candidate = keyLine(line);
        if (candidate && sameName(candidate->name, wanted))
            return candidate; // the first of duplicate keys wins
    }
    return std::nullopt;
}

std::optional<QByteArray> ProfileFile::value(const QByteArray& section, const QByteArray& key) const
{
    const auto found = findSection(section);
    if (!found)
        return std::nullopt;
    const auto line = findKey(*found, key);
    if (!line)
        return std::nullopt;
    QByteArray text = trimBlanks(QByteArrayView(m_content).sliced(line->valueStart, line->line.end - line->valueStart));
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
        text = text.mid(1, text.size() - 2);
    return text;
}

int ProfileFile::readInt(const QByteArray& section, const QByteArray& key, int fallback) const
{
    const auto text = value(section, key);
    if (!text || text->isEmpty())
        return fallback;
    qsizetype pos = 0;
    bool negative = false;
    if (text->at(0) == '-' || text->at(0) == '+') {
        negative = text->at(0) == '-';
        ++pos;
    }
    quint32 result = 0; // wraps to 32 bits like the classic reader
    for (; pos < text->size() && text->at(pos) >= '0' && text->at(pos) <= '9'; ++pos)
        result = result * 10u + quint32(text->at(pos) - '0');
    return static_cast<qint32>(negative ? 0u - result : result);
}

QByteArray ProfileFile::readString(const QByteArray& section, const QByteArray& key, const QByteArray& fallback) const
{
    if (const auto text = value(section, key))
        return *text;
    QByteArray result = fallback;
    while (result.endsWith(' '))
        result.chop(1);
    return result;
}

void ProfileFile::write(const QByteArray& section, const QByteArray& key, const QByteArray& value)
{
    const QByteArray newline = QByteArrayLiteral("\r\n");
    const auto found = findSection(section);
    if (!found) {
        if (!m_content.isEmpty() && !m_content.endsWith(newline))
            m_content += newline;
        m_content += '[' + section + ']' + newline + key + '=' + value + newline;
        return;
    }
    if (const auto existing = findKey(*found, key)) {
        const Line& line = existing->line;
        m_content.replace(line.start, line.end - line.start, existing->name + '=' + value);
        return;
    }
    Line after = found->header;
    for (const Line& line : found->lines)
        if (keyLine(line))
            after = line;
    QByteArray insertion = key + '=' + value + newline;
    if (after.next == after.end) // the last line of the file had no line end
        insertion.prepend(newline);
    m_content.insert(after.next, insertion);
}
