// Writes preview page sets for the browser check: every form set, scope and line-break option over a list of
// addresses. Usage: preview_fixture OUTDIR [en]; prints per set: folder, normalised input, characters drawn, percent.
#include "AddressImage.h"
#include "FakeConversionView.h"
#include "FakeMessagePresenter.h"
#include "LibPngWriter.h"
#include "PreviewPages.h"
#include "Random.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

static const QStringList Addresses = {
    "a@b.jp",          "user.name+tag@example.co.jp", "mailto:info@example.jp", "http://example.jp/",
    "www.example.jp/~user/index.html", "http://example.jp/search?q=1&r=2", "あいう@example.jp",
    "http://example.jp/パス/x", "mailto:x.y@z.example.jp?subject=hi", "example.jp/a\"b",
    "http://example.jp/a_b-c.html", "first.last@sub.example.ne.jp", "http://example.jp/#top", "z@y.x",
    "https://example.com:8080/contact/form?lang=ja&x=1#top", "HTTPS://EXAMPLE.COM/", "mailto:a@b.c?subject=x&cc=d@e.f",
    "a&b<c>\"d@e.f",  "https://medium.com/@writer", "https://example.com/?email=a@b.jp", "Mailto:info@example.com",
    "http://user@example.com:8080/a%20b?q=%E3%81%82#f", "http://[::1]/x", "ftp://example.com/", "example.com:8080/x",
};

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2 && !(argc == 3 && QByteArray(argv[2]) == "en"))
        return 2;
    const QString out = QString::fromLocal8Bit(argv[1]);
    const UiLanguage language = argc == 3 ? UiLanguage::English : UiLanguage::Japanese;
    SystemRandom random;
    LibPngWriter png;
    FakeMessagePresenter messages;
    int set = 0;
    const auto writeSet = [&](const QString& input, const ConversionSettings& options) {
        const QString folder = QString("%1/%2").arg(out).arg(set++, 3, 10, QChar('0'));
        QDir().mkpath(folder + "/JSP");
        FakeConversionView view;
        const ConversionState s = view.convert(options, input, random);
        const QString drawn = view.input.startsWith("mailto:") ? view.input.mid(7) : view.input;
        AddressImage::RenderAddressImage(drawn, folder, png, messages);
        WritePreviewPages({view.input, view.output, s.UsedDecimal, s.UsedHex, s.UsedPercent, s.PrefixOutput}, random,
                          folder, language);
        std::printf("%s\t%s\t%d\t%d\n", qPrintable(QDir(out).relativeFilePath(folder)), view.input.toUtf8().constData(),
                    int(codePointCount(drawn)), int(s.UsedPercent));
    };
    while (set < 7 * 2 * 6) { // every form set, with and without line breaks; the shift gives each address every scope
        const int forms = set / 12 + 1;
        const bool lineBreak = set / 6 % 2;
        writeSet(Addresses[(set + set / Addresses.size()) % Addresses.size()],
                 {bool(forms & 1), bool(forms & 2), bool(forms & 4), EntityScope(set % 3), true, true, lineBreak});
    }
    // "JSP/" written as it is, so the JSP pages show whether they keep it.
    writeSet("www.example.jp/JSP/index.html", {true, false, false, EntityScope::AtOnly, true, true, false});
    return messages.shown.isEmpty() ? 0 : 1;
}
