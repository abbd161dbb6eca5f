// The scanner against the parser on real pages: how many it hands over, whether it ever
// finds other addresses than the parser, and the CPU time of each.
//
//     build/scanner_check page.html...        (for example: find /usr/share/doc -name '*.html')
#include "AddressFinder.h"
#include "PageEncoding.h"

#include <QFile>
#include <chrono>
#include <cstdio>

namespace {

struct Found
{
    QList<AddressSpan> spans;
    QByteArray charset;
    bool handedOver = false;
    bool refused = false; // past the parser's bounds: reported and left, nothing to compare
};

Found find(const QByteArray& page, AddressFinder::Mode mode, double& seconds)
{
    const auto start = std::chrono::steady_clock::now();
    AddressFinder finder(page, mode);
    QString detail;
    const auto encoding = PageEncoding::choose(page, finder.declaredCharset(), &detail);
    Found found;
    if (encoding && !encoding->wide()) {
        finder.useEncoding(*encoding);
        found = {finder.find(*encoding, true), finder.declaredCharset(), finder.handedOver()};
        found.refused = finder.parserLoad().excess != ParserLoad::Excess::None;
    }
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return found;
}

bool same(const Found& a, const Found& b)
{
    if (a.charset != b.charset || a.spans.size() != b.spans.size())
        return false;
    for (qsizetype i = 0; i < a.spans.size(); ++i)
        if (a.spans[i].start != b.spans[i].start || a.spans[i].end != b.spans[i].end ||
            a.spans[i].text != b.spans[i].text)
            return false;
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    int pages = 0, handedOver = 0, differ = 0;
    qint64 bytes = 0;
    double fastSeconds = 0, parserSeconds = 0;
    for (int i = 1; i < argc; ++i) {
        QFile file(QString::fromLocal8Bit(argv[i]));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray page = file.readAll();
        const Found fast = find(page, AddressFinder::Mode::Fast, fastSeconds);
        const Found parser = find(page, AddressFinder::Mode::Parser, parserSeconds);
        ++pages;
        bytes += page.size();
        handedOver += fast.handedOver;
        if (fast.handedOver && qEnvironmentVariableIsSet("SHOW_HANDED_OVER"))
            std::printf("handed over: %s\n", argv[i]);
        if (!fast.handedOver && !parser.refused && !same(fast, parser)) {
            ++differ;
            std::printf("differs: %s\n", argv[i]);
            for (const Found* found : {&fast, &parser})
                for (const AddressSpan& span : found->spans)
                    std::printf("  %s %lld-%lld %s\n", found == &fast ? "scanner" : "parser ", qlonglong(span.start),
                                qlonglong(span.end), qPrintable(span.text));
        }
    }
    std::printf("%d pages (%.1f MB): %d handed over to the parser, %d differ; finding: scanner path %.3f s, "
                "parser %.3f s\n", pages, bytes / 1e6, handedOver, differ, fastSeconds, parserSeconds);
    return differ > 0 ? 1 : 0;
}
