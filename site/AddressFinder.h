#pragma once

#include "AddressScanner.h"
#include "AddressSpan.h"
#include "ParserBounds.h"

#include <QByteArray>
#include <QList>
#include <memory>
#include <vector>

class PageEncoding;
struct GumboInternalOutput;

// A page parsed by a real HTML5 tokenizer that keeps the source offset of every
// token and attribute, so that only the bytes of an address are ever touched.
class AddressFinder
{
public:
    // Fast: the single-pass scanner, handing the page to the parser when it must;
    // Parser: the parser alone, the reference the scanner is compared with.
    enum class Mode { Fast, Parser };

    // bytes must outlive the finder; a leading byte-order mark is skipped.
    explicit AddressFinder(const QByteArray& bytes, Mode mode = Mode::Fast);
    ~AddressFinder();
    AddressFinder(const AddressFinder&) = delete;
    AddressFinder& operator=(const AddressFinder&) = delete;

    // The encoding named by a <meta charset> or http-equiv declaration; empty when none.
    QByteArray declaredCharset() const;
    // Parses again when the page, read in this encoding, is not valid UTF-8 as it stands.
    void useEncoding(const PageEncoding& encoding);
    // The addresses of the page in source order; links adds http/https hrefs.
    QList<AddressSpan> find(const PageEncoding& encoding, bool links) const;
    // find also gives the addresses written with references already, in text and in every mailto: link.
    void findReferenced(bool on) { m_findReferenced = on; }
    // Whether the last parse was the parser's rather than the scanner's.
    bool handedOver() const { return m_handedOver; }
    // Why the page was not parsed: beyond what the parser reads in linear time. It then has no addresses.
    const ParserLoad& parserLoad() const { return m_load; }

    using Range = PageLayout::Range;

private:
    using Source = PageLayout::Source;
    using Candidate = PageLayout::Candidate;

    void parse();
    void collect();
    void collectElement(const struct GumboInternalNode* node);
    void collectComment(const struct GumboInternalNode* node);
    qsizetype offsetOf(const char* data) const { return data - m_parsed.constData(); }
    bool touchable(Range range) const;
    static bool overlapsAny(const QList<Range>& ranges, Range range);
    static void sortAndMerge(QList<Range>& ranges);
    void findInText(Range range, SpanKind kind, const PageEncoding& encoding, QList<AddressSpan>& spans) const;
    void findInHref(Range value, const PageEncoding& encoding, bool links, QList<AddressSpan>& spans) const;

    // The parse tree lives in blocks freed all at once with the finder: parsing a page
    // is most of the work, and most of that was malloc and free of small nodes.
    static void* allocate(void* arena, size_t size);
    static void deallocate(void*, void*) {}
    std::vector<std::unique_ptr<char[]>> m_blocks;
    size_t m_blockUsed = 0;
    size_t m_blockSize = 0;

    const QByteArray& m_bytes;
    QByteArray m_parsed; // what the tokenizer reads: the page, or its valid-UTF-8 stand-in
    GumboInternalOutput* m_output = nullptr;
    bool m_findReferenced = false;
    QList<qsizetype> m_noscriptEnds; // of the parser's noscript start tags
    Mode m_mode;
    bool m_handedOver = false;
    ParserLoad m_load;
    PageLayout m_layout;
};
