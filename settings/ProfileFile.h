#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <optional>

// A profile (INI) file held in memory as code page 932 bytes, read and edited the
// way the classic profile functions do: every byte that a write does not touch stays.
// The text is parsed once; writes are kept aside and applied in one pass by content().
class ProfileFile
{
public:
    explicit ProfileFile(QByteArray content = {});

    QByteArray content() const;

    // The value as stored: trimmed, one outer pair of quotes removed; nothing when missing.
    std::optional<QByteArray> value(const QByteArray& section, const QByteArray& key) const;
    int readInt(const QByteArray& section, const QByteArray& key, int fallback) const;
    QByteArray readString(const QByteArray& section, const QByteArray& key, const QByteArray& fallback) const;
    void write(const QByteArray& section, const QByteArray& key, const QByteArray& value);

private:
    struct Line
    {
        qsizetype start = -1;
        qsizetype end = -1;  // before the line end
        qsizetype next = -1; // after the line end
    };
    struct Key
    {
        Line line;
        qsizetype nameStart; // the name as spelled, trimmed
        qsizetype nameEnd;
        qsizetype valueStart;
    };
    struct NewKey
    {
        QByteArray name;
        QByteArray value;
    };
    struct Section
    {
        QByteArray name; // trimmed
        Line header;     // start -1 for a section that a write added at the end
        qsizetype firstKey;
        qsizetype keyEnd;
        QList<NewKey> added; // placed after the section's last key line, in this order
    };
    // One of a section's keys: a line of the file or one a write added.
    struct KeyRef
    {
        qsizetype key = -1;
        qsizetype added = -1;
    };

    void parse();
    void parseLine(const Line& line);
    qsizetype findSection(const QByteArray& name) const;
    std::optional<KeyRef> findKey(const Section& section, const QByteArray& key) const;
    QByteArrayView name(const Key& key) const;
    QByteArray rawValue(const Section& section, const KeyRef& ref) const;
    const Line& lastKeyLine(const Section& section) const;
    QByteArray insertionAfter(const Section& section, const Line& after) const;

    QByteArray m_content;
    QList<Key> m_keys;       // every key line inside a section, in file order
    QList<Section> m_sections; // in file order; a lookup finds the first of a name
    QHash<qsizetype, QByteArray> m_written; // key index -> new value
};
