#include "ParserBounds.h"

#include "ElementNames.h"

#include <QList>

namespace {

using ElementNames::space;

bool oneOf(QByteArrayView name, std::initializer_list<const char*> names)
{
    for (const char* candidate : names)
        if (name.compare(QByteArrayView(candidate), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// Void elements, and those a later tag closes without an end tag: they never nest by themselves.
bool neverNests(QByteArrayView name)
{
    return oneOf(name, {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source",
                        "track", "wbr", "param", "keygen", "basefont", "bgsound", "frame", "image", "p", "li", "dt",
                        "dd", "option", "optgroup", "tr", "td", "th", "thead", "tbody", "tfoot", "colgroup",
                        "caption", "rb", "rt", "rp", "rtc", "html", "head", "body"});
}

bool rawText(QByteArrayView name)
{
    return oneOf(name, {"script", "style", "textarea", "title", "xmp", "iframe", "noembed", "noframes"});
}

class Reader
{
public:
    explicit Reader(QByteArrayView page) : m_page(page) {}

    ParserLoad read()
    {
        for (qsizetype at = m_page.indexOf('<'); at >= 0 && at + 1 < m_page.size(); at = m_page.indexOf('<', at)) {
            if (m_page.sliced(at).startsWith("<!--"))
                at = after(m_page.indexOf("-->", at + 4), 3);
            else if (m_page[at + 1] == '!' || m_page[at + 1] == '?')
                at = after(m_page.indexOf('>', at), 1);
            else if (const ParserLoad::Excess excess = tag(at); excess != ParserLoad::Excess::None)
                return {excess, m_page.first(at).count('\n') + 1};
            else
                at = m_next;
        }
        return {};
    }

private:
    qsizetype after(qsizetype found, qsizetype length) const { return found < 0 ? m_page.size() : found + length; }

    qsizetype skip(qsizetype at, bool (*what)(char)) const
    {
        while (at < m_page.size() && what(m_page[at]))
            ++at;
        return at;
    }

    // The tag at "<": its attributes counted, its element opened or closed; m_next is where reading goes on.
    ParserLoad::Excess tag(qsizetype at)
    {
        const bool end = m_page[at + 1] == '/';
        const qsizetype nameStart = at + 1 + end;
        m_next = at + 1;
        if (nameStart >= m_page.size() || !ElementNames::asciiAlpha(m_page[nameStart]))
            return ParserLoad::Excess::None;
        qsizetype i = skip(nameStart, [](char c) { return !space(c) && c != '/' && c != '>'; });
        const QByteArrayView name = m_page.sliced(nameStart, i - nameStart);
        int attributes = 0;
        bool selfClosing = false;
        for (;;) {
            const qsizetype before = i;
            i = skip(i, [](char c) { return space(c) || c == '/'; });
            selfClosing = i > before && m_page[i - 1] == '/';
            if (i >= m_page.size() || m_page[i] == '>')
                break;
            ++attributes;
            i = skip(i + 1, [](char c) { return !space(c) && c != '/' && c != '>' && c != '='; });
            i = skip(i, space);
            if (i < m_page.size() && m_page[i] == '=')
                i = value(skip(i + 1, space));
        }
        m_next = i;
        if (attributes > ParserLoad::MaxAttributes)
            return ParserLoad::Excess::Attributes;
        if (end)
            close(name);
        else if (!neverNests(name) && !(selfClosing && m_foreign > 0))
            return open(name);
        return ParserLoad::Excess::None;
    }

    qsizetype value(qsizetype at) const
    {
        if (at < m_page.size() && (m_page[at] == '"' || m_page[at] == '\''))
            return after(m_page.indexOf(m_page[at], at + 1), 1);
        return skip(at, [](char c) { return !space(c) && c != '>'; });
    }

    ParserLoad::Excess open(QByteArrayView name)
    {
        // One of these closes an open one of its name in the parser: it adds no depth of its own.
        if (oneOf(name, {"a", "nobr", "button"}) && openAt(name) >= 0)
            return ParserLoad::Excess::None;
        m_open.append(name);
        m_foreign += oneOf(name, {"svg", "math"});
        if (m_open.size() > ParserLoad::MaxDepth)
            return ParserLoad::Excess::Depth;
        if (rawText(name)) { // its text holds no tags: on to its end tag
            qsizetype end = m_page.indexOf("</", m_next);
            while (end >= 0 && m_page.sliced(end + 2).first(std::min(name.size(), m_page.size() - end - 2))
                                       .compare(name, Qt::CaseInsensitive) != 0)
                end = m_page.indexOf("</", end + 2);
            m_next = end < 0 ? m_page.size() : end;
        }
        return ParserLoad::Excess::None;
    }

    // An end tag closes the nearest open element of its name, and every element opened after it.
    void close(QByteArrayView name)
    {
        const qsizetype k = openAt(name);
        if (k < 0)
            return;
        for (qsizetype j = k; j < m_open.size(); ++j)
            m_foreign -= oneOf(m_open[j], {"svg", "math"});
        m_open.resize(k);
    }

    // The nearest open element of that name; -1 when none is open.
    qsizetype openAt(QByteArrayView name) const
    {
        for (qsizetype k = m_open.size() - 1; k >= 0; --k)
            if (m_open[k].compare(name, Qt::CaseInsensitive) == 0)
                return k;
        return -1;
    }

    QByteArrayView m_page;
    QList<QByteArrayView> m_open;
    int m_foreign = 0;
    qsizetype m_next = 0;
};

} // namespace

ParserLoad ParserLoad::of(QByteArrayView page)
{
    return Reader(page).read();
}
