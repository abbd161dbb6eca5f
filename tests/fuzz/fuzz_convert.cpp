// ConvertInput with options and draws taken from the input: never a crash, and
// the output, read the way a browser reads it, is the input again.
#include "ConversionRequest.h"
#include "FakeConversionView.h"
#include "FuzzInput.h"

#include <QHash>
#include <QStringDecoder>

#include <cstdio>
#include <cstdlib>

namespace {

int hexValue(QChar c)
{
    const int v = QStringLiteral("0123456789abcdef").indexOf(c.toLower());
    return v;
}

// Character references, percent escapes (UTF-8) and the line-break codes undone.
QString decode(const QString& out)
{
    QString text;
    QByteArray pending;
    auto flush = [&] {
        // A leading EF BB BF is the character U+FEFF here, not a byte-order mark to skip.
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        text += utf8.decode(pending);
        pending.clear();
    };
    for (qsizetype i = 0; i < out.size();) {
        if (out.at(i) == '%' && i + 2 < out.size() && hexValue(out.at(i + 1)) >= 0 && hexValue(out.at(i + 2)) >= 0) {
            pending += char(hexValue(out.at(i + 1)) * 16 + hexValue(out.at(i + 2)));
            i += 3;
            continue;
        }
        flush();
        if (out.mid(i, 2) == "&#") {
            const qsizetype end = out.indexOf(';', i);
            const bool hex = out.at(i + 2) == 'x';
            const char32_t code = out.mid(i + (hex ? 3 : 2), end - i - (hex ? 3 : 2)).toUInt(nullptr, hex ? 16 : 10);
            if (code != '\n' && code != '\r')
                text += codePointText(code);
            i = end + 1;
        } else if (out.at(i) == '&') { // a character written as it is, made safe for a page
            static const QHash<QString, QChar> named{{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}};
            const qsizetype end = out.indexOf(';', i);
            text += named.value(out.mid(i, end - i + 1), QChar(0xFFFF));
            i = end < 0 ? out.size() : end + 1;
        } else {
            if (out.at(i) != '\n' && out.at(i) != '\r')
                text += out.at(i);
            ++i;
        }
    }
    flush();
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    FakeConversionView view;
    const uint8_t o = data[0];
    view.options = {bool(o & 1), bool(o & 2), bool(o & 4), EntityScope((o >> 3) % 3), bool(o & 32), bool(o & 64),
                    bool(o & 128)};
    const size_t textBytes = std::min<size_t>((size - 1) & ~size_t(1), 2000);
    QString input = QString::fromUtf16(reinterpret_cast<const char16_t*>(data + 1), qsizetype(textBytes / 2));
    // Characters that the reading-back below could not tell apart from the conversion's own marks.
    for (qsizetype i = 0; i < input.size(); ++i) {
        const QChar c = input.at(i);
        if (c.isHighSurrogate() && i + 1 < input.size() && input.at(i + 1).isLowSurrogate())
            ++i;
        else if (c == '%' || c.unicode() < 0x20 || c.isSurrogate())
            input[i] = 'x';
    }
    view.input = input;
    FuzzRandom random(data + 1 + textBytes, size - 1 - textBytes);
    ConversionRequest request(view, random);
    request.ConvertInput();
    if (!view.options.anyFormEnabled() && !input.isEmpty())
        return view.output.isEmpty() ? 0 : (std::abort(), 0);
    if (decode(view.output) != view.input) { // the input as normalised ("MAILTO:" -> "mailto:")
        std::fprintf(stderr, "input  %s\noutput %s\n", view.input.toUtf8().toHex(' ').constData(),
                     view.output.toUtf8().constData());
        std::abort();
    }
    return 0;
}
