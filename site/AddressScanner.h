#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

// Where addresses may lie in a page: what the finder looks through, and what it must not touch.
struct PageLayout
{
    struct Range
    {
        qsizetype start;
        qsizetype end;
    };
    enum class Source { Text, Href, Attribute };
    struct Candidate
    {
        Range range;
        Source source;
    };

    QList<Candidate> candidates; // text outside the raw-text elements, attribute values
    QList<Range> markup;         // tags and comments: never part of an address; sorted, disjoint
    QList<Range> offZones;       // between qorvane:off and qorvane:on
    QList<Range> scriptedText;   // noscript content, text to a browser that runs scripts: no link there; sorted
    QByteArray charset;          // of the first <meta> that names an encoding; else the last one named
};

// A single pass over a page that follows the HTML tokenizer through the states that decide
// where an address may be rewritten, for the pages whose tree building it can foresee: svg and
// math only while their elements stay among themselves, a select only while it holds options,
// no templates or frames, and no "@" where the tree builder might drop a tag (a second body, a
// form within a form, a table cell outside a table). Noscript content is read as markup, as by
// a browser without scripts and by the parser.
// Anything else is handed over to the full parser, which stays the reference: for every page
// it does not hand over, the layout gives the same addresses as the parser's.
namespace AddressScanner {

// page: valid UTF-8 (or its stand-in), from its byte-order mark on; begin: where the markup starts.
std::optional<PageLayout> scan(const QByteArray& page, qsizetype begin);
// The encoding an http-equiv content-type declaration names; empty when none.
QByteArray charsetOfContentType(const QByteArray& content);

} // namespace AddressScanner
