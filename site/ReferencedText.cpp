#include "ReferencedText.h"

#include "Harvester.h"
#include "HtmlDecode.h"

#include <cstring>

namespace {

bool inReferenceRun(char c)
{
    return addressByte(c) || c == '&' || c == '#' || c == ';';
}

// A reference is read up to its ";" or the first character that cannot belong to it; as a
// browser decodes no reference across such a character, piece by piece reads as the whole.
qsizetype pieceEnd(QByteArrayView run, qsizetype at)
{
    qsizetype end = at + 1;
    if (run[at] != '&')
        return end;
    const auto nameChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '#'; };
    while (end < run.size() && end - at < 40 && nameChar(run[end]))
        ++end;
    return end < run.size() && run[end] == ';' ? end + 1 : end;
}

void addressesOfRun(QByteArrayView page, qsizetype start, qsizetype end, QList<AddressSpan>& spans)
{
    QString decoded;
    QList<qsizetype> starts, ends; // the source bytes of each decoded character
    const QByteArrayView run = page.sliced(start, end - start);
    for (qsizetype at = 0; at < run.size();) {
        const qsizetype next = pieceEnd(run, at);
        const QString piece = run[at] == '&' ? HtmlDecode::readText(QString::fromLatin1(run.sliced(at, next - at)))
                                             : QString(QChar::fromLatin1(run[at]));
        for (qsizetype i = 0; i < piece.size(); ++i) {
            starts.append(start + at);
            ends.append(start + next);
        }
        decoded += piece;
        at = next;
    }
    if (!decoded.contains(u'@'))
        return;
    for (const PageLayout::Range& found : addressesInRun(decoded)) {
        const qsizetype from = starts[found.start], to = ends[found.end - 1];
        if (page.sliced(from, to - from).contains('&'))
            spans.append({from, to, SpanKind::Text, decoded.sliced(found.start, found.end - found.start)});
    }
}

} // namespace

QList<AddressSpan> referencedAddresses(QByteArrayView page, qsizetype from, qsizetype to)
{
    QList<AddressSpan> spans;
    const char* data = page.data();
    for (qsizetype at = from; at < to;) {
        const void* amp = std::memchr(data + at, '&', to - at);
        if (!amp)
            break;
        qsizetype start = static_cast<const char*>(amp) - data, end = start + 1;
        while (start > from && inReferenceRun(data[start - 1]))
            --start;
        while (end < to && inReferenceRun(data[end]))
            ++end;
        addressesOfRun(page, start, end, spans);
        at = end;
    }
    return spans;
}
