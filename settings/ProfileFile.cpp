#include "ProfileFile.h"

#include "Cp932.h"

#include <algorithm>
#include <cstring>
#include <vector>

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
bool sameName(QByteArrayView a, QByteArrayView b)
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

const QByteArray NewLine = QByteArrayLiteral("\r\n");

// The value as the profile functions give it: trimmed, one outer pair of quotes removed.
QByteArray cleanValue(QByteArrayView raw)
{
    QByteArray text = trimBlanks(raw);
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
        text = text.mid(1, text.size() - 2);
    return text;
}

} // namespace

ProfileFile::ProfileFile(QByteArray content) : m_content(std::move(content))
{
    parse();
}

void ProfileFile::parse()
{
    const qsizetype size = m_content.size();
    const char* data = m_content.constData();
    qsizetype start = 0;
    while (start < size) {
        qsizetype end = start;
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
        qsizetype next = end;
        if (next < size && data[next] == '\r')
            ++next;
        if (next < size && data[next] == '\n' && (next == end || data[next - 1] == '\r'))
            ++next;
        parseLine({start, end, next});
        start = next;
    }
}

void ProfileFile::parseLine(const Line& line)
{
    const char* data = m_content.constData();
    qsizetype pos = line.start;
    while (pos < line.end && isBlank(data[pos]))
        ++pos;
    if (pos < line.end && data[pos] == '[') {
        const qsizetype nameStart = ++pos;
        // A trail byte may look like "]": only a byte outside a double-byte character ends the name.
        while (pos < line.end && data[pos] != ']')
            pos += (Cp932::isLeadByte(uchar(data[pos])) && pos + 1 < line.end) ? 2 : 1;
        const QByteArray name = trimBlanks(QByteArrayView(data + nameStart, std::min(pos, line.end) - nameStart));
        m_sections.append({name, line, m_keys.size(), m_keys.size(), {}});
        return;
    }
    // Keys before the first section are out of every section's reach.
    if (m_sections.isEmpty() || pos >= line.end || data[pos] == ';')
        return;
    const auto* equals = static_cast<const char*>(std::memchr(data + pos, '=', size_t(line.end - pos)));
    if (equals == nullptr)
        return;
    qsizetype nameEnd = equals - data;
    while (nameEnd > pos && isBlank(data[nameEnd - 1]))
        --nameEnd;
    m_keys.append({line, pos, nameEnd, equals - data + 1});
    m_sections.last().keyEnd = m_keys.size();
}

qsizetype ProfileFile::findSection(const QByteArray& name) const
{
    const QByteArray wanted = trimBlanks(name);
    for (qsizetype i = 0; i < m_sections.size(); ++i)
        if (sameName(m_sections[i].name, wanted))
            return i;
    return -1;
}

QByteArrayView ProfileFile::name(const Key& key) const
{
    return QByteArrayView(m_content).sliced(key.nameStart, key.nameEnd - key.nameStart);
}

std::optional<ProfileFile::KeyRef> ProfileFile::findKey(const Section& section, const QByteArray& key) const
{
    const QByteArray wanted = trimBlanks(key);
    for (qsizetype i = section.firstKey; i < section.keyEnd; ++i)
        if (sameName(name(m_keys[i]), wanted))
            return KeyRef{i, -1}; // the first of duplicate keys wins
    for (qsizetype i = 0; i < section.added.size(); ++i)
        if (sameName(section.added[i].name, wanted))
            return KeyRef{-1, i};
    return std::nullopt;
}

QByteArray ProfileFile::rawValue(const Section& section, const KeyRef& ref) const
{
    if (ref.added >= 0)
        return section.added[ref.added].value;
    if (const auto written = m_written.constFind(ref.key); written != m_written.constEnd())
        return *written;
    const Line& line = m_keys[ref.key].line;
    const qsizetype valueStart = m_keys[ref.key].valueStart;
    return m_content.mid(valueStart, line.end - valueStart);
}

std::optional<QByteArray> ProfileFile::value(const QByteArray& section, const QByteArray& key) const
{
    const qsizetype found = findSection(section);
    if (found < 0)
        return std::nullopt;
    const auto ref = findKey(m_sections[found], key);
    if (!ref)
        return std::nullopt;
    return cleanValue(rawValue(m_sections[found], *ref));
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
    qsizetype found = findSection(section);
    if (found < 0) {
        m_sections.append({trimBlanks(section), {}, m_keys.size(), m_keys.size(), {}});
        found = m_sections.size() - 1;
    }
    Section& target = m_sections[found];
    if (const auto ref = findKey(target, key)) {
        if (ref->added >= 0)
            target.added[ref->added].value = value;
        else
            m_written.insert(ref->key, value);
        return;
    }
    target.added.append({key, value});
}

const ProfileFile::Line& ProfileFile::lastKeyLine(const Section& section) const
{
    return section.keyEnd > section.firstKey ? m_keys[section.keyEnd - 1].line : section.header;
}

QByteArray ProfileFile::insertionAfter(const Section& section, const Line& after) const
{
    QByteArray text = after.next == after.end ? NewLine : QByteArray(); // the last line of the file had no end
    for (const NewKey& added : section.added)
        text += added.name + '=' + added.value + NewLine;
    return text;
}

QByteArray ProfileFile::content() const
{
    struct Edit
    {
        qsizetype start;
        qsizetype end;
        QByteArray text;
    };
    std::vector<Edit> edits;
    for (auto it = m_written.constBegin(); it != m_written.constEnd(); ++it) {
        const Key& key = m_keys[it.key()];
        edits.push_back({key.line.start, key.line.end, name(key).toByteArray() + '=' + it.value()});
    }
    for (const Section& section : m_sections) {
        if (section.header.start < 0 || section.added.isEmpty())
            continue;
        const Line& after = lastKeyLine(section);
        edits.push_back({after.next, after.next, insertionAfter(section, after)});
    }
    // An insertion sits after the line that ends where a replaced line might start.
    std::sort(edits.begin(), edits.end(),
              [](const Edit& a, const Edit& b) { return a.start != b.start ? a.start < b.start : a.end < b.end; });

    QByteArray out;
    out.reserve(m_content.size() + 256);
    qsizetype pos = 0;
    for (const Edit& edit : edits) {
        out += QByteArrayView(m_content).sliced(pos, edit.start - pos);
        out += edit.text;
        pos = edit.end;
    }
    out += QByteArrayView(m_content).sliced(pos);
    for (const Section& section : m_sections) {
        if (section.header.start >= 0)
            continue;
        if (!out.isEmpty() && !out.endsWith(NewLine))
            out += NewLine;
        out += '[' + section.name + ']' + NewLine;
        for (const NewKey& added : section.added)
            out += added.name + '=' + added.value + NewLine;
    }
    return out;
}
