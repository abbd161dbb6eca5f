#include "AppError.h"
#include "ConversionRequest.h"
#include "FakeConversionView.h"
#include "ScriptedRandom.h"

#include <QtTest>

class RequestTest : public QObject
{
    Q_OBJECT

private slots:
    void emptyInputOrNoFormGivesNoOutput()
    {
        ScriptedRandom none;
        FakeConversionView v; v.output = v.errorLine = "old";
        v.convert("An", "", none); // empty input: nothing to refuse
        QVERIFY(v.output.isEmpty() && v.errorLine.isEmpty() && v.messages.isEmpty());
        v.output = v.cellCaptions[0] = "old"; v.convert("A@.", "a@b\U0001F600", none);
        QVERIFY(v.output.isEmpty() && v.cellCaptions[0].isEmpty() && v.messages.isEmpty() && !v.errorLine.isEmpty());
        QCOMPARE(v.inputLengthCaption, QString("4"));
        QCOMPARE(v.decimalBoxFocused, 1);
    }

    void convertsByScriptedDraws_data()
    {
        QTest::addColumn<QString>("options"); QTest::addColumn<QString>("input");
        QTest::addColumn<QList<double>>("draws"); QTest::addColumn<int>("marker"); // the line break's slot; -1: none
        QTest::addColumn<QString>("expected"); QTest::addColumn<QString>("cells"); // first five: Y yellow, G grey
        using D = QList<double>;
        // Every character draws its coin; converted ones then draw their form.
        const QString in = "a@b.c";
        QTest::newRow("all, flags on") << "dA@." << in << D(10, 0.1) << -1 << "&#97;&#64;&#98;&#46;&#99;" << "YYYYY";
        QTest::newRow("all, @ flag off") << "dA." << in << D(9, 0.1) << -1 << "&#97;@&#98;&#46;&#99;" << "YGYYY";
        QTest::newRow("@ only, . flag off") << "dO@" << in << D(6, 0.1) << -1 << "a&#64;b.c" << "GYGGG";
        QTest::newRow("random follows the coin") << "d@." << in << D{0.9, 0.1, 0.1, 0.1, 0.5, 0.1, 0.1, 0.51, 0.1} << -1
                                                 << "&#97;&#64;b&#46;&#99;" << "YYGYY";
        // An escape the input holds is written as its "%" was; a scheme in any case takes no percent form.
        QTest::newRow("escape as references") << "dA" << "%20" << D(4, 0.1) << -1 << "&#37;&#50;&#48;" << "YYY";
        QTest::newRow("escape % drawn") << "dpA" << "%2e" << D{0.1, 0.9, 0.1, 0.1} << -1 << "&#37;&#50;&#101;" << "YYY";
        QTest::newRow("escape, percent only") << "pA" << "%20" << D{0.1, 0.9, 0.1, 0.1} << -1 << "%20" << "GGG";
        QTest::newRow("Mailto: scheme") << "pA" << "Mailto:a" << D(16, 0.9) + D{0.1} << -1 << "Mailto:%61" << "GGGGG";
        // The window's output may stand in a page not in UTF-8, whose query a browser sends in its own encoding.
        QTest::newRow("query outside ASCII") << "pA" << "http://h/?あ" << D(23, 0.9) << -1 << "http://%68/?あ" << "GGGGG";
        // A character the options force takes a reference where a percent escape would change the link.
        QTest::newRow("@ of a user name, percent drawn") << "dp@" << "http://u@h" << D(8, 0.1) + D{0.1, 0.9, 0.1} << -1
                                                         << "http://u&#64;h" << "GGGGG";
        QTest::newRow(". of a host not decoded, percent drawn") << "dp." << "foo://a.b" << D(7, 0.1) + D{0.1, 0.9, 0.1}
                                                                << -1 << "foo://a&#46;b" << "GGGGG";
        // A data: link keeps a line end as "%0A": no line-break code goes there.
        QTest::newRow("data: link, line break on") << "dn" << "data:,a" << D(7, 0.1) << -1 << "data:,a" << "GGGGG";
        // A line break: the slot draw, per character a coin of 0.1 (kept), the code before its character.
        const auto row = [](const char* name, const QString& input, double slot, double code, int marker,
                            const QString& expected) {
            D draws(input.size(), 0.1);
            if (marker >= 0)
                draws.insert(marker + 1, code), draws.prepend(slot);
            QTest::newRow(name) << "dn" << input << draws << marker << expected
                                << QString(std::min<int>(input.size(), 5), 'G');
        };
        const auto xs = [](int n) { return QString(n, 'x'); };
        row("two characters", "ab", 0.7, 0.0, 0, "a&#10;b");
        row("no prefix, first slot", "abcdefghij", 0.0625, 0.17, 0, "a&#13;bcdefghij");
        row("no prefix, last slot", "abcdefghij", 0.9375, 0.5, 8, "abcdefghi\nj");
        row("prefix, eight characters", "http://x", 0.3, 0.99, 6, "http://\rx");
        row("prefix, 50, last slot", "http://x" + xs(42), 0.99, 0.0, 48, "http://" + xs(42) + "&#10;x");
        row("https prefix, nine characters", "https://x", 0.3, 0.99, 7, "https://\rx");
        row("120, last", xs(120), 0.999, 0.0, 48, xs(49) + "&#10;" + xs(71));
        row("http prefix alone", "http://", 0.0, 0.0, -1, "http://");
        row("https prefix alone", "https://", 0.0, 0.0, -1, "https://");
        row("break drawn in an escape moves before it", "ab%20", 0.6, 0.0, 1, "ab&#10;%20");
        row("... or after it at the start", "%20ab", 0.1, 0.0, 2, "%20&#10;ab");
    }

    void convertsByScriptedDraws()
    {
        QFETCH(QString, options); QFETCH(QString, input); QFETCH(QList<double>, draws); QFETCH(int, marker);
        FakeConversionView v;
        ScriptedRandom random(draws);
        v.convert(options, input, random);
        QTEST(v.output, "expected");
        QCOMPARE(random.remaining(), 0);
        QString cells;
        for (int i = 0; i < std::min<int>(input.size(), 5); ++i)
            cells += v.cellColours[i] == Colours::Yellow ? 'Y' : v.cellColours[i] == Colours::Grey ? 'G' : '?';
        QTEST(cells, "cells");
        QCOMPARE(std::accumulate(v.cellCaptions.begin(), v.cellCaptions.end(), QString()), v.input.left(100));
        QCOMPARE(v.visibleMarker(), marker);
        QVERIFY(marker < 0 || v.markers[marker] == Colours::BreakMarker);
        QCOMPARE(v.outputSelected, 1);
    }

    void forcedCharacterNoEnabledFormCanTakeIsReported()
    {
        FakeConversionView v;
        ScriptedRandom random(QList<double>(8, 0.1) + QList<double>{0.1, 0.9, 0.1}); // "@" draws percent
        v.convert("p@", "http://u@h", random);
        QCOMPARE(v.output, QString("http://u@h"));
        QCOMPARE(v.errorLine, QString("この設定では 「@」 を変換できません。"));
    }

    void prefixOutputHoldsTheFirstSevenCharactersAndTheBreak()
    {
        FakeConversionView view; view.options = FakeConversionView::optionsFrom("dn@.");
        ScriptedRandom random{0.0, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.0, 0.1, 0.1}; // slot 6, coins, "&#10;", coins
        ConversionRequest request(view, random);
        for (const char* input : {"mailto:ab", "abcdefg"}) { // seven characters leave it as it was
            view.input = input; request.ConvertInput();
            QCOMPARE(request.state().PrefixOutput, QString("mailto:&#10;"));
            random.repeat(0.1, 9); // slot, code, seven coins
        }
    }

    void upperCasePrefixIsNormalisedFirstAndAFailureThereIsReportedByNumber()
    {
        FakeConversionView v;
        ScriptedRandom random(QList<double>(40, 0.1));
        QString outputWhenChanged = "unset";
        v.onInputChanged = [&] { outputWhenChanged = v.output; }; v.output = "old";
        v.convert("d@.", "MAILTO:a@b.c HTTP://x HTTPS://y", random);
        QCOMPARE(v.input, QString("mailto:a@b.c http://x https://y"));
        QCOMPARE(outputWhenChanged, QString("old")); // the change came before any output
        QVERIFY(v.output.startsWith("mailto:a&#64;b"));
        for (int number : {521, 57}) { // the clipboard's own failure is not shown here
            v.onInputChanged = [number] { throw AppError(number); }; v.convert("dA@.", "MAILTO:x", random);
        }
        QCOMPARE(v.messages.size(), 1);
        QCOMPARE(v.messages[0].text, QString("ERR: 57"));
    }

    void badInputNeverCrashes()
    {
        SystemRandom random;
        const QString loneHigh(QChar(0xD800)), loneLow(QChar(0xDC00));
        for (const QString& input : {loneHigh + "a" + loneLow, QString::fromLatin1("\t\r\n\0\x7f", 5),
                                     QString(1'000'000, 'a')}) {
            FakeConversionView v;
            v.convert("dhpAn@.", input, random);
            QVERIFY(!v.output.isEmpty() && v.messages.isEmpty());
            QVERIFY(!input.startsWith(loneHigh) || (v.output.startsWith(loneHigh) && v.output.endsWith(loneLow)));
        }
    }
};

QTEST_GUILESS_MAIN(RequestTest)
#include "test_request.moc"
