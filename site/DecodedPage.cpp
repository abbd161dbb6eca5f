#include "DecodedPage.h"

#include "AddressFinder.h"

#include <algorithm>

DecodedPage DecodedPage::read(const QByteArray& bytes)
{
    if (const auto mark = PageEncoding::byByteOrderMark(bytes); mark && mark->wide())
        return read(bytes, *mark);
    const AddressFinder finder(bytes);
    DecodedPage page;
    page.bytes = bytes;
    if (const auto chosen = PageEncoding::choose(bytes, finder.declaredCharset(), &page.unsupported))
        return read(bytes, *chosen);
    return page;
}

DecodedPage DecodedPage::read(const QByteArray& bytes, const PageEncoding& encoding)
{
    DecodedPage page;
    page.bytes = bytes;
    page.encoding = encoding;
    const qsizetype mark = encoding.wide() ? PageEncoding::bomLength(bytes) : 0;
    page.text = encoding.decode(QByteArrayView(bytes).sliced(mark));
    page.readable = encoding.wide() ? page.text.toUtf8() : encoding.asValidUtf8(bytes);
    page.lineStarts.append(0);
    for (qsizetype at = page.readable.indexOf('\n'); at >= 0; at = page.readable.indexOf('\n', at + 1))
        page.lineStarts.append(at + 1);
    return page;
}

int DecodedPage::lineOf(qsizetype offset) const
{
    return int(std::upper_bound(lineStarts.begin(), lineStarts.end(), offset) - lineStarts.begin());
}
