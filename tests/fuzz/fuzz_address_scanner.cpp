// The single-pass scanner against the parser: on each page it keeps, the same addresses, offsets and declared encoding.
#include "AddressFinder.h"
#include "FuzzInput.h"
#include "PageEncoding.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray page = bytesOf(data, size);
    // Both read the page's valid-UTF-8 stand-in, as a rewrite does.
    const PageEncoding encoding = PageEncoding::utf8();
    AddressFinder fast(page), parser(page, AddressFinder::Mode::Parser);
    fast.useEncoding(encoding); parser.useEncoding(encoding);
    if (fast.handedOver() || parser.parserLoad().excess != ParserLoad::Excess::None) return 0; // a page it leaves
    const QList<AddressSpan> a = fast.find(encoding, true), b = parser.find(encoding, true);
    bool same = a.size() == b.size() && fast.declaredCharset() == parser.declaredCharset();
    for (qsizetype i = 0; same && i < a.size(); ++i)
        same = a[i].start == b[i].start && a[i].end == b[i].end && a[i].kind == b[i].kind && a[i].text == b[i].text;
    if (!same) {
        std::fprintf(stderr, "scanner: %d spans, charset %s; parser: %d spans, charset %s\n", int(a.size()),
                     fast.declaredCharset().constData(), int(b.size()), parser.declaredCharset().constData());
        std::abort();
    }
    return 0;
}
