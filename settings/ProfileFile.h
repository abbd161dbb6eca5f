#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

// A profile (INI) file held in memory as code page 932 bytes, read and edited the
// way the classic profile functions do: every byte that a write does not touch stays.
class ProfileFile
{
public:
    explicit ProfileFile(QByteArray content = {}) : m_content(std::move(content)) {}

    const QByteArray& content() const { return m_content; }

    // The value as stored: trimmed, one outer pair of quotes removed; nothing when missing.
    std::optional<QByteArray> value(const QByteArray& section, const QByteArray& key) const;
    int readInt(const QByteArray& section, const QByteArray& key, int fallback) const;
    QByteArray readString(const QByteArray& section, const QByteArray& key, const QByteArray& fallback) const;
    void write(const QByteArray& section, const QByteArray& key, const QByteArray& value);

private:
    struct Line
    {
        qsizetype start;
        qsizetype end;  // before the line end
        qsizetype next; // after the line end
    };
    struct KeyLine
    {
        Line line;
        QByteArray name; // as spelled in the file, trimmed
        qsizetype valueStart;
    };
    struct Section
    {
        Line header;
        QList<Line> lines;
    };

    QList<Line> lines() const;
    std::optional<Section> findSection(const QByteArray& name) const;
    std::optional<QByteArray> headerName(const Line& line) const;
    std::optional<KeyLine> keyLine(const Line& line) const;
    std::optional<KeyLine> findKey(const Section& section, const QByteArray& key) const;

    QByteArray m_content;
};
