#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// The encoding a page is written in, and what the rewrite needs to know of it:
// where a character starts, and how a span goes to text and back.
class PageEncoding
{
public:
    enum class Family { Utf8, Utf16Le, Utf16Be, ShiftJis, EucJp, Iso2022Jp, EucKr, Big5, Gb18030, SingleByte };

    static PageEncoding utf8() { return PageEncoding(Family::Utf8, "UTF-8"); }
    // Any label a browser accepts; nothing for a name it does not know.
    static std::optional<PageEncoding> fromName(const QByteArray& name);
    static std::optional<PageEncoding> byByteOrderMark(const QByteArray& bytes);
    // Whether a browser takes name as an encoding's label, also one it shows no text for.
    static bool isLabel(const QByteArray& name);
    // The byte-order mark, then the page's own declaration, then detection.
    // bytes are the whole page; declared may be empty. On failure, *unsupported names the
    // encoding found, or is empty when none could be detected: a page is never guessed at.
    static std::optional<PageEncoding> choose(const QByteArray& bytes, const QByteArray& declared, QString* unsupported);
    static qsizetype bomLength(const QByteArray& bytes);

    Family family() const { return m_family; }
    const QByteArray& name() const { return m_name; }
    // Two bytes or more for every character: markup is not ASCII, and the page is read through UTF-8.
    bool wide() const { return m_family == Family::Utf16Le || m_family == Family::Utf16Be; }
    // Bytes of the character that starts at p (at least 1, at most left).
    qsizetype charLength(const char* p, qsizetype left) const;
    // The page with every character that is not valid UTF-8 as it stands replaced by
    // neutral valid UTF-8 of the same length: the tokenizer reads UTF-8, and its offsets
    // are only exact for valid input. ASCII characters stay, so the markup reads the same,
    // and every other character is bytes that are never part of an address. Not for wide().
    QByteArray asValidUtf8(const QByteArray& bytes) const;
    // Invalid sequences become U+FFFD.
    QString decode(QByteArrayView bytes) const;
    // A character the encoding cannot hold becomes a numeric character reference.
    QByteArray encode(const QString& text) const;

private:
    PageEncoding(Family family, QByteArray name) : m_family(family), m_name(std::move(name)) {}

    Family m_family;
    QByteArray m_name; // as iconv knows it
};
