// ConvertInput with options and draws from the input: no crash, and the output read as a browser reads it is the input.
#include "FakeConversionView.h"
#include "FuzzInput.h"

#include <QStringList>
#include <QRegularExpression>
#include <QStringDecoder>

#include <cstdio>
#include <cstdlib>

namespace {

// Character references, percent escapes (UTF-8) and the line-break codes undone.
QString decode(const QString& out)
{
    static const QRegularExpression mark("((?:%[0-9A-Fa-f]{2})+)|&#(x?)([0-9A-Fa-f]+);|&(amp|lt|gt|quot);|&|[\r\n]");
    QString text;
    qsizetype done = 0;
    for (const QRegularExpressionMatch& m : mark.globalMatch(out)) {
        text += out.mid(done, m.capturedStart() - done);
        done = m.capturedEnd();
        if (m.hasCaptured(1)) { // a leading EF BB BF is the character U+FEFF here, not a byte-order mark to skip
            QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
            text += utf8.decode(QByteArray::fromPercentEncoding(m.captured(1).toLatin1()));
        } else if (m.hasCaptured(3)) {
            const char32_t code = m.captured(3).toUInt(nullptr, m.captured(2).isEmpty() ? 10 : 16);
            text += code == '\n' || code == '\r' ? QString() : codePointText(code);
        } else if (m.captured() == "&") { // a character written as it is is made safe for a page
            text += QChar(0xFFFF);
        } else if (m.hasCaptured(4)) {
            text += QString("&<>\"").at(QStringList{"amp", "lt", "gt", "quot"}.indexOf(m.captured(4)));
        }
    }
    return text + out.mid(done);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    const uint8_t o = data[0];
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
    FakeConversionView view;
    FuzzRandom random(data + 1 + textBytes, size - 1 - textBytes);
    view.convert({bool(o & 1), bool(o & 2), bool(o & 4), EntityScope((o >> 3) % 3), bool(o & 32), bool(o & 64),
                  bool(o & 128)},
                 input, random);
    if (!view.options.anyFormEnabled() && !input.isEmpty())
        return view.output.isEmpty() ? 0 : (std::abort(), 0);
    if (decode(view.output) != view.input) { // the input as normalised ("MAILTO:" -> "mailto:")
        std::fprintf(stderr, "input  %s\noutput %s\n", view.input.toUtf8().toHex(' ').constData(),
                     view.output.toUtf8().constData());
        std::abort();
    }
    return 0;
}
