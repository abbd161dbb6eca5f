#pragma once

#include "PageEncoding.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// A page read once: its bytes, the encoding it is written in, its text, and where its lines start.
// The check reads a page through it, and reads what a rewrite wrote in the encoding the rewrite chose.
struct DecodedPage
{
    QByteArray bytes;
    std::optional<PageEncoding> encoding; // nothing when it cannot be told; unsupported then names what was found
    QString unsupported;
    QString text;
    // What an HTML tokenizer reads: valid UTF-8 with the page's offsets (a UTF-16 page: its UTF-8 twin).
    QByteArray readable;
    QList<qsizetype> lineStarts; // offsets in readable, the first line's 0 included

    // As the rewrite reads a page: the byte-order mark, its declaration, detection.
    static DecodedPage read(const QByteArray& bytes);
    static DecodedPage read(const QByteArray& bytes, const PageEncoding& encoding);
    // The line, from 1, of an offset in readable.
    int lineOf(qsizetype offset) const;
};
