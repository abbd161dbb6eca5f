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
    enum class Family { Utf8, ShiftJis, EucJp, SingleByte };

    static PageEncoding utf8() { return PageEncoding(Family::Utf8, "UTF-8"); }
    // Nothing for a name this program cannot rewrite safely (UTF-16, other multi-byte sets).
    static std::optional<PageEncoding> fromName(const QByteArray& name);
    // The byte-order mark, then the page's own declaration, then detection.
    // bytes are the whole page; declared may be empty. On failure, *unsupported names the
    // encoding found, or is empty when none could be detected.
    static std::optional<PageEncoding> choose(const QByteArray& bytes, const QByteArray& declared, QString* unsupported);
    static qsizetype bomLength(const QByteArray& bytes);

    Family family() const { return m_family; }
    const QByteArray& name() const { return m_name; }
    // Bytes of the character that starts at p (at least 1, at most left).
    qsizetype charLength(const char* p, qsizetype left) const;
    // The page with every character that is not valid UTF-8 as it stands replaced by
    // neutral valid UTF-8 of the same length: the tokenizer reads UTF-8, and its offsets
    // are only exact for valid input. ASCII bytes stay, so the markup reads the same.
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
