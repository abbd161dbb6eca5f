#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <utility>

// A link target split the way a browser splits it (scheme of any letter case, user name, host, port, path,
// query, fragment) and a mailto: link into its recipients and header fields, so that each character can say
// which written forms leave the link meaning what it meant. A character reference is always one of them; the
// percent form only where the reader of that part decodes it. An escape the text already holds ("%20") is
// one atom: its three characters are never escaped again.
class LinkTarget
{
public:
    enum class Part : unsigned char {
        Ignored, // stripped by a browser: leading and trailing spaces and controls, every tab and line end but in data:
        Scheme,
        Slashes,
        UserInfo,
        Host,
        Port,
        Path,
        Query,
        Fragment,
        Recipients,
        HeaderName,
        HeaderValue,
    };

    // text is the link as an href holds it once its character references are read. prefix is the scheme a
    // page writes before text ("mailto:", "http://"); without one, text is the whole link, and a text with no
    // scheme of its own stands for a mail address when it holds "@" and for a web address otherwise. A browser
    // sends the query of a web address in the page's own encoding, so pageIsUtf8 matters there.
    static LinkTarget parse(QStringView text, QStringView prefix = {}, bool pageIsUtf8 = true);

    bool hasOwnScheme() const { return m_ownScheme; }
    bool isMail() const { return m_scheme == QLatin1String("mailto"); }
    const QString& scheme() const { return m_scheme; } // in lower case
    // The scheme put before text: the one given, or the one implied by a text without its own.
    QString prefix() const { return m_link.left(m_offset); }

    // Positions are UTF-16 positions in text.
    Part partAt(qsizetype pos) const { return unit(pos).part; }
    // 0 for the "%" of an escape the text holds, 1 and 2 for its digits, -1 for any other character.
    int escapeRole(qsizetype pos) const { return unit(pos).escapeRole; }
    bool percentKeepsMeaning(qsizetype pos) const;

    // Recipients and header fields of a mailto: link, escapes decoded as a mail program decodes them.
    QStringList recipients() const;
    QList<std::pair<QString, QString>> headerFields() const;

    // What the link means to a browser and the program it hands the link to: part by part, an escape of a
    // character whose percent form keeps the meaning read as that character, every other escape kept.
    // Two links mean the same exactly when their meanings are equal.
    QByteArray meaning() const;

private:
    struct Unit
    {
        Part part = Part::Ignored;
        bool delimiter = false; // separates the parts: never percent-escaped
        signed char escapeRole = -1;
    };

    const Unit& unit(qsizetype pos) const { return m_units[pos + m_offset]; }
    void keep(qsizetype first, qsizetype last, qsizetype keepFrom);
    void split();
    qsizetype splitAuthority(qsizetype from);
    void splitPath(qsizetype from, qsizetype end);
    void splitMail(qsizetype from);
    void mark(qsizetype from, qsizetype to, Part part);
    void markDelimiter(qsizetype at, Part part);
    bool percentFits(char32_t code, Part part) const;
    QByteArray decoded(qsizetype k, qsizetype* next) const;
    void appendDecoded(qsizetype k, qsizetype* next, QByteArray& out) const;

    QString m_link; // the prefix, given or implied, and text
    qsizetype m_offset = 0;
    QString m_kept; // m_link without what a browser strips
    QList<qsizetype> m_keptAt;
    QList<Unit> m_units; // one per UTF-16 unit of m_link
    QString m_scheme;
    bool m_ownScheme = false;
    bool m_special = false; // a scheme whose host a browser decodes and whose "\" reads as "/"
    bool m_pageIsUtf8 = true;
};
