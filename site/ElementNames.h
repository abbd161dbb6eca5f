#pragma once

#include <QByteArrayView>
#include <algorithm>
#include <string_view>

// What the HTML tree builder and tokenizer do with an element, by its lower-case name.
namespace ElementNames {

enum Flag : unsigned {
    // Tree building in HTML content that moves, drops or reinterprets what follows: left to the full parser.
    HandedOver = 1,
    // A start tag the tree builder drops or merges when it comes again, or (the parts of a table) outside a
    // table. Text in a table may move, but keeps its own offsets.
    MayBeDropped = 2,
    // A start tag that ends svg or math content, after which the tree builder reads it by HTML rules.
    BreaksOutOfForeign = 4,
    // An element whose text the finder never takes, whatever its namespace.
    RawTextParent = 8,
    // In svg or math: an element whose content the tree builder reads by HTML rules, or the tokenizer otherwise
    // in HTML. Taken only while it holds nothing but text.
    TextOnlyInForeign = 16,
    // In HTML: text the tokenizer reads as it stands up to the element's own end tag.
    RawText = 32,
    // In a select: a tag that ends it, or that the tree builder reads by other rules there.
    EndsSelect = 64,
};

// The flags of an element name; 0 for the many names none concerns. One lookup for every tag of a page.
unsigned flagsOf(std::string_view name);

// The tokenizer's classes of characters: ASCII only, in any locale. It reads a carriage return as a line feed.
inline bool space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

inline bool asciiAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c;
}

// Names compare as the tokenizer lowers them: ASCII letters only.
inline bool sameName(QByteArrayView a, QByteArrayView b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

} // namespace ElementNames
