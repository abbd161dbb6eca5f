#include "AppError.h"
#include "ConversionRequest.h"
#include "FakeConversionView.h"
#include "ScriptedRandom.h"

#include <QtTest>

namespace {

struct Conversion
{
    FakeConversionView view;
    ScriptedRandom random;

    ConversionState run(const QString& options, const QString& input, RandomSource* source = nullptr)
    {
        view.options = FakeConversionView::optionsFrom(options);
        view.input = input;
        ConversionRequest request(view, source ? *source : random);
        request.ConvertInput();
        return request.state();
    }
};

} // namespace

class RequestTest : public QObject
{
    Q_OBJECT

private slots:
    void emptyInputOrNoFormGivesNoOutput()
    {
        for (const char* options : {"dAn", "An"}) { // empty input: nothing to refuse
            Conversion c;
            c.view.output = "old";
            c.run(options, "");
            QVERIFY(c.view.output.isEmpty() && !c.view.errorLineVisible && c.view.messages.isEmpty());
        }
        Conversion c;
        c.view.output = c.view.cellCaptions[0] = "old";
        c.run("A@.", "a@b\U0001F600");
        QVERIFY(c.view.output.isEmpty() && c.view.cellCaptions[0].isEmpty() && c.view.messages.isEmpty());
        QCOMPARE(c.view.inputLengthCaption, QString("4"));
        QCOMPARE(c.view.errorLine, QString("出力形式が選択されていません。"));
        QVERIFY(c.view.errorLineVisible);
        QCOMPARE(c.view.decimalBoxFocused, 1);
    }

    void scopeAndFlagTable_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QList<double>>("draws");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("cells"); // Y yellow, G grey
        // Every character draws its coin; converted ones then draw their form.
        QTest::newRow("all, flags on") << "dA@." << QList<double>(10, 0.1) << "&#97;&#64;&#98;&#46;&#99;" << "YYYYY";
        QTest::newRow("all, @ flag off") << "dA." << QList<double>(9, 0.1) << "&#97;@&#98;&#46;&#99;" << "YGYYY";
        QTest::newRow("@ only, . flag off") << "dO@" << QList<double>(6, 0.1) << "a&#64;b.c" << "GYGGG";
        QTest::newRow("random follows the coin") << "d@." << QList<double>{0.9, 0.1, 0.1, 0.1, 0.5, 0.1, 0.1, 0.51, 0.1}
                                                 << "&#97;&#64;b&#46;&#99;" << "YYGYY";
    }

    void scopeAndFlagTable()
    {
        QFETCH(QString, options);
        QFETCH(QList<double>, draws);
        QFETCH(QString, expected);
        QFETCH(QString, cells);
        Conversion c{{}, ScriptedRandom(draws)};
        const ConversionState s = c.run(options, "a@b.c");
        QCOMPARE(c.view.output, expected);
        QCOMPARE(c.random.remaining(), 0);
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(c.view.cellCaptions[i], c.view.input.mid(i, 1));
            QCOMPARE(c.view.cellColours[i], cells[i] == 'Y' ? Colours::Yellow : Colours::Grey);
        }
        QCOMPARE(c.view.outputSelected, 1);
        QCOMPARE(s.UsedDecimal, expected.contains("&#"));
        QVERIFY(!s.UsedHex && !s.UsedPercent);
    }

    void upperCasePrefixIsNormalisedBeforeConverting()
    {
        Conversion c;
        c.random.repeat(0.1, 40);
        QString outputWhenChanged = "unset";
        c.view.onInputChanged = [&] { outputWhenChanged = c.view.output; };
        c.view.output = "old";
        c.run("d@.", "MAILTO:a@b.c HTTP://x HTTPS://y");
        QCOMPARE(c.view.input, QString("mailto:a@b.c http://x https://y"));
        QCOMPARE(outputWhenChanged, QString("old")); // the change came before any output
        QVERIFY(c.view.output.startsWith("mailto:a&#64;b"));
    }

    void breakSlotAndCode_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<double>("slotDraw"); // -1: no slot is drawn
        QTest::addColumn<double>("codeDraw");
        QTest::addColumn<int>("marker");
        QTest::addColumn<QString>("expected");
        const auto xs = [](int n) { return QString(n, 'x'); };
        QTest::newRow("two characters") << "ab" << 0.7 << 0.0 << 0 << "a&#10;b";
        QTest::newRow("no prefix, first slot") << "abcdefghij" << 0.0625 << 0.17 << 0 << "a&#13;bcdefghij";
        QTest::newRow("no prefix, last slot") << "abcdefghij" << 0.9375 << 0.5 << 8 << "abcdefghi\nj";
        QTest::newRow("prefix, eight characters") << "http://x" << 0.3 << 0.99 << 6 << "http://\rx";
        QTest::newRow("prefix, 50, last slot") << "http://x" + xs(42) << 0.99 << 0.0 << 48 << "http://" + xs(42) + "&#10;x";
        QTest::newRow("https prefix, nine characters") << "https://x" << 0.3 << 0.99 << 7 << "https://\rx";
        QTest::newRow("https, 50, last") << "https://" + xs(42) << 0.99 << 0.0 << 48 << "https://" + xs(41) + "&#10;x";
        QTest::newRow("120, last") << xs(120) << 0.999 << 0.0 << 48 << xs(49) + "&#10;" + xs(71);
        QTest::newRow("http prefix alone") << "http://" << -1.0 << 0.0 << -1 << "http://";
        QTest::newRow("https prefix alone") << "https://" << -1.0 << 0.0 << -1 << "https://";
    }

    void breakSlotAndCode()
    {
        QFETCH(QString, input);
        QFETCH(double, slotDraw);
        QFETCH(double, codeDraw);
        QFETCH(int, marker);
        QFETCH(QString, expected);
        // The slot draw, then per character a coin of 0.1 (kept), the code before its character.
        Conversion c;
        if (slotDraw >= 0)
            c.random.push({slotDraw});
        for (int i = 0; i < input.size(); ++i)
            i == marker + 1 && marker >= 0 ? c.random.push({codeDraw, 0.1}) : c.random.push({0.1});
        c.run("dn", input);
        QCOMPARE(c.view.output, expected);
        QCOMPARE(c.view.visibleMarker(), marker);
        QVERIFY(marker < 0 || c.view.markers[marker].colour == Colours::BreakMarker);
        QCOMPARE(c.random.remaining(), 0);
    }

    void prefixOutputHoldsTheFirstSevenCharactersAndTheBreak()
    {
        FakeConversionView view;
        view.options = FakeConversionView::optionsFrom("dn@.");
        view.input = "mailto:ab";
        ScriptedRandom random{0.0};   // slot 6: before the eighth character
        random.repeat(0.1, 7);        // coins of the prefix
        random.push({0.0, 0.1, 0.1}); // code "&#10;", then the last two coins
        ConversionRequest request(view, random);
        request.ConvertInput();
        QCOMPARE(request.state().PrefixOutput, QString("mailto:&#10;"));
        view.input = "abcdefg"; // seven characters leave it as it was
        random.repeat(0.1, 9);  // slot, code, seven coins
        request.ConvertInput();
        QCOMPARE(request.state().PrefixOutput, QString("mailto:&#10;"));
    }

    void platformFailureIsReportedByNumberExceptClipboard()
    {
        QList<Message> shown;
        for (int number : {57, 521}) {
            Conversion c;
            c.view.onInputChanged = [number] { throw AppError(number); };
            c.run("dA@.", "MAILTO:x");
            shown += c.view.messages;
        }
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, QString("ERR: 57"));
        QCOMPARE(shown[0].title, QString("ERR"));
        QCOMPARE(shown[0].icon, MessageIcon::Critical);
    }

    void badInputNeverCrashes()
    {
        SystemRandom random;
        const QString loneHigh(QChar(0xD800)), loneLow(QChar(0xDC00));
        for (const QString& input : {QString("x"), QString::fromLatin1("\t\r\n\0\x7f", 5), loneHigh + "a" + loneLow,
                                     QString(1'000'000, 'a')}) {
            Conversion c;
            c.run("dhpAn@.", input, &random);
            QVERIFY(!c.view.output.isEmpty() && c.view.messages.isEmpty());
            if (input.startsWith(loneHigh))
                QVERIFY(c.view.output.startsWith(loneHigh) && c.view.output.endsWith(loneLow));
        }
    }

    void cntStrCountsWithoutOverlap()
    {
        QCOMPARE(CntStr("a@b@c", "@"), 2);
        QCOMPARE(CntStr("abc", "@"), 0);
        QCOMPARE(CntStr("aaaa", "aa"), 2);
        QCOMPARE(CntStr("HTTP://x http://y", "http://"), 1); // case-sensitive
        QCOMPARE(CntStr("abc", ""), 0);
    }
};

QTEST_GUILESS_MAIN(RequestTest)
#include "test_request.moc"
