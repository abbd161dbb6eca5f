// Writes preview page sets for the browser check: every combination of enabled
// forms, scope and line-break option, over a list of addresses.
// Usage: preview_fixture OUTDIR; prints one tab-separated line per set:
// folder, input (prefix normalised), the link every example must mean, characters drawn, percent used.
#include "AddressImage.h"
#include "ConversionRequest.h"
#include "FakeConversionView.h"
#include "FakeMessagePresenter.h"
#include "LibPngWriter.h"
#include "PreviewPages.h"
#include "Random.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

namespace {

const QStringList Addresses = {
    "a@b.jp",          "user.name+tag@example.co.jp", "mailto:info@example.jp", "http://example.jp/",
    "www.example.jp/~user/index.html", "http://example.jp/search?q=1&r=2", "あいう@example.jp",
    "http://example.jp/パス/x", "mailto:x.y@z.example.jp?subject=hi", "example.jp/a\"b",
    "http://example.jp/a_b-c.html", "first.last@sub.example.ne.jp", "http://example.jp/#top", "z@y.x",
    "https://example.com:8080/contact/form?lang=ja&x=1#top", "HTTPS://EXAMPLE.COM/", "mailto:a@b.c?subject=x&cc=d@e.f",
    "a&b<c>\"d@e.f",
};

QString expectedLink(const QString& input)
{
    if (input.startsWith("mailto:"))
        return input;
    if (input.contains('@'))
        return "mailto:" + input;
    return input.startsWith("http://") || input.startsWith("https://") ? input : "http://" + input;
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QString out = QString::fromLocal8Bit(argv[1]);
    SystemRandom random;
    LibPngWriter png;
    FakeMessagePresenter messages;
    int set = 0;
    const auto writeSet = [&](const QString& input, const ConversionSettings& options) {
        const QString folder = QString("%1/%2").arg(out).arg(set++, 3, 10, QChar('0'));
        QDir().mkpath(folder + "/JSP");
        FakeConversionView view;
        view.options = options;
        view.input = input;
        ConversionRequest request(view, random);
        request.ConvertInput();
        const ConversionState& s = request.state();
        QString drawn = view.input;
        if (drawn.startsWith("mailto:"))
            drawn.remove("mailto:");
        AddressImage::RenderAddressImage(drawn, folder, png, messages);
        WritePreviewPages({view.input, view.output, s.UsedDecimal, s.UsedHex, s.UsedPercent, s.PrefixOutput}, random,
                          folder);
        std::printf("%s\t%s\t%s\t%d\t%d\n", qPrintable(QDir(out).relativeFilePath(folder)),
                    view.input.toUtf8().constData(), expectedLink(view.input).toUtf8().constData(),
                    int(codePointCount(drawn)), int(s.UsedPercent));
    };
    for (int forms = 1; forms < 8; ++forms) {
        for (bool lineBreak : {false, true}) {
            for (int k = 0; k < 6; ++k) { // the shift gives each address every scope
                const QString& input = Addresses[(set + set / Addresses.size()) % Addresses.size()];
                writeSet(input, {bool(forms & 1), bool(forms & 2), bool(forms & 4), EntityScope(k % 3), true, true,
                                 lineBreak});
            }
        }
    }
    // "JSP/" written as it is, so the JSP pages show whether they keep it.
    writeSet("www.example.jp/JSP/index.html", {true, false, false, EntityScope::AtOnly, true, true, false});
    return messages.shown.isEmpty() ? 0 : 1;
}
