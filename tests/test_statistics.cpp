// Frequencies of the random rules, with the real generator. Each bound is six
// standard deviations, so a correct engine fails a check about twice in a billion
// runs and the whole file far less than once in a million.
#include "ConversionRequest.h"
#include "FakeConversionView.h"
#include "Random.h"

#include <QRegularExpression>
#include <QtTest>
#include <cmath>

namespace {

void expectShare(qint64 hits, qint64 total, double p, const char* what)
{
    const double share = double(hits) / double(total);
    const double bound = 6.0 * std::sqrt(p * (1.0 - p) / double(total));
    if (std::abs(share - p) > bound)
        QFAIL(qPrintable(QString("%1: share %2, expected %3 within %4").arg(what).arg(share).arg(p).arg(bound)));
}

struct Sampler
{
    SystemRandom random;
    FakeConversionView view;
    ConversionRequest request{view, random};

    QString convert(const QString& options, const QString& input)
    {
        view.options = FakeConversionView::optionsFrom(options);
        view.input = input;
        request.ConvertInput();
        return view.output;
    }
};

// Character references read back as a browser reads an attribute value (enough for
// inputs that hold no reference-like text themselves).
QString decodeReferences(QString text)
{
    static const QRegularExpression numeric("&#(x?)([0-9a-fA-F]+);");
    for (auto m = numeric.match(text); m.hasMatch(); m = numeric.match(text, m.capturedStart() + 1)) {
        const char32_t code = m.captured(2).toUInt(nullptr, m.captured(1).isEmpty() ? 10 : 16);
        text.replace(m.capturedStart(), m.capturedLength(), codePointText(code));
    }
    return text.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&amp;", "&");
}

} // namespace

class StatisticsTest : public QObject
{
    Q_OBJECT

private slots:
    void formMixFollowsTheWeights_data()
    {
        QTest::addColumn<QString>("forms");
        QTest::addColumn<QList<double>>("shares"); // decimal, hex, percent
        QTest::newRow("decimal + hex") << "dh" << QList<double>{1.0 / 3, 2.0 / 3, 0.0};
        QTest::newRow("decimal + percent") << "dp" << QList<double>{0.5, 0.0, 0.5};
        QTest::newRow("hex + percent") << "hp" << QList<double>{0.0, 2.0 / 3, 1.0 / 3};
        QTest::newRow("all three") << "dhp" << QList<double>{0.25, 0.5, 0.25};
    }

    void formMixFollowsTheWeights()
    {
        QFETCH(QString, forms);
        QFETCH(QList<double>, shares);
        const int n = 200'000;
        const QString out = Sampler().convert(forms + "A@.", QString(n, 'a'));
        const qint64 hex = out.count("&#x"), decimal = out.count("&#") - hex, percent = out.count('%');
        QCOMPARE(decimal + hex + percent, qint64(n));
        expectShare(decimal, n, shares[0], "decimal");
        expectShare(hex, n, shares[1], "hex");
        expectShare(percent, n, shares[2], "percent");
    }

    void zeroPaddingAndLetterCase()
    {
        Sampler s;
        const int n = 200'000;
        const QString out = s.convert("hAn@.", QString(n, 'z'));
        expectShare(out.count("&#x7"), n, 0.25, "no zero");
        expectShare(out.count("&#x07"), n, 0.5, "one zero");
        expectShare(out.count("&#x007"), n, 0.25, "two zeros");
        expectShare(out.count("7A;"), n, 0.5, "upper case");
        QVERIFY(!s.convert("hA@.", QString(10'000, 'z')).contains("&#x0"));
    }

    void lineBreakCodesAndSlots()
    {
        Sampler s;
        const int n = 60'000;
        QHash<QString, int> codes;
        QList<int> perSlot(49, 0);
        for (int i = 0; i < n; ++i) {
            ++codes[s.convert("dOn@.", QStringLiteral("ab"))];
            s.convert("dOn@.", QStringLiteral("http://abc")); // slots 6..8
            ++perSlot[s.view.visibleMarker()];
        }
        QCOMPARE(codes["a&#10;b"] + codes["a&#13;b"] + codes["a\nb"] + codes["a\rb"], n);
        expectShare(codes["a&#10;b"], n, 1.0 / 6, "&#10;");
        expectShare(codes["a&#13;b"], n, 1.0 / 3, "&#13;");
        expectShare(codes["a\nb"], n, 1.0 / 3, "line feed");
        expectShare(codes["a\rb"], n, 1.0 / 6, "carriage return");
        QCOMPARE(perSlot[6] + perSlot[7] + perSlot[8], n); // the end slots are half as likely
        expectShare(perSlot[6], n, 0.25, "first slot");
        expectShare(perSlot[7], n, 0.5, "middle slot");
        expectShare(perSlot[8], n, 0.25, "last slot");
    }

    void linksKeepTheirMeaningUnderEveryOptionSet()
    {
        const QRegularExpression rawMarkup("[<>\"]|&(?!#|amp;|lt;|gt;|quot;)"), escape("%([0-9A-Fa-f]{2})");
        const auto decoded = [](const QString& t) { return QByteArray::fromPercentEncoding(t.toUtf8()); };
        Sampler s;
        for (const QString input : {"https://example.com:8080/contact/form?lang=ja&x=1#top", "HTTPS://EXAMPLE.COM/",
                                    "mailto:a@b.c?subject=x&cc=d@e.f", "a&b<c>\"d@e.f",
                                    "https://user@example.com/a%20b"}) {
            const QString meant = QString(input).replace("HTTPS://", "https://");
            const QString scheme = meant.left(meant.indexOf(':') + 1);
            for (int set = 0; set < 7 * 3 * 8 * 20; ++set) { // forms, scope, the three flags; 20 times each
                const int forms = set % 7 + 1, flags = set / 21 % 8;
                s.view.options = {bool(forms & 1), bool(forms & 2), bool(forms & 4), EntityScope(set / 7 % 3),
                                  bool(flags & 1), bool(flags & 2), bool(flags & 4)};
                s.view.input = input;
                s.request.ConvertInput();
                const QString out = s.view.output, href = decodeReferences(out).remove('\r').remove('\n');
                QVERIFY2(href.startsWith(scheme) && !out.contains(rawMarkup), qPrintable(out));
                QVERIFY2(!meant.contains(":8080") || href.contains(":8080"), qPrintable(out)); // a port stays digits
                for (const QRegularExpressionMatch& m : escape.globalMatch(href)) { // only a mail address's "@" may
                    const QChar c(m.captured(1).toUShort(nullptr, 16));
                    QVERIFY2(!QString(":/?#[]!$&'()*+,;=%").contains(c) && (c != '@' || !meant.contains("://")),
                             qPrintable(out));
                }
                QCOMPARE(decoded(href), decoded(meant));
            }
        }
    }
};

QTEST_GUILESS_MAIN(StatisticsTest)
#include "test_statistics.moc"
