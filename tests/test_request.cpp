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
        FakeConversionView v;
        v.output = v.errorLine = "old";
        v.convert("An", "", none); // empty input: nothing to refuse
        QVERIFY(v.output.isEmpty() && v.errorLine.isEmpty() && v.messages.isEmpty());
        v.output = v.cellCaptions[0] = "old";
        v.convert("A@.", "a@b\U0001F600", none);
        QVERIFY(v.output.isEmpty() && v.cellCaptions[0].isEmpty() && v.messages.isEmpty() && !v.errorLine.isEmpty());
        QCOMPARE(v.inputLengthCaption, QString("4"));
        QCOMPARE(v.decimalBoxFocused, 1);
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
        FakeConversionView v;
        ScriptedRandom random(draws);
        v.convert(options, "a@b.c", random);
        QTEST(v.output, "expected");
        QCOMPARE(random.remaining(), 0);
        QString cells;
        for (int i = 0; i < 5; ++i)
            cells += v.cellColours[i] == Colours::Yellow ? 'Y' : v.cellColours[i] == Colours::Grey ? 'G' : '?';
        QTEST(cells, "cells");
        QCOMPARE(std::accumulate(v.cellCaptions.begin(), v.cellCaptions.end(), QString()), v.input);
        QCOMPARE(v.outputSelected, 1);
    }

    void breakSlotAndCode_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<double>("slotDraw");
        QTest::addColumn<double>("codeDraw");
        QTest::addColumn<int>("marker"); // -1: no slot is drawn
        QTest::addColumn<QString>("expected");
        const auto xs = [](int n) { return QString(n, 'x'); };
        QTest::newRow("two characters") << "ab" << 0.7 << 0.0 << 0 << "a&#10;b";
        QTest::newRow("no prefix, first slot") << "abcdefghij" << 0.0625 << 0.17 << 0 << "a&#13;bcdefghij";
        QTest::newRow("no prefix, last slot") << "abcdefghij" << 0.9375 << 0.5 << 8 << "abcdefghi\nj";
        QTest::newRow("prefix, eight characters") << "http://x" << 0.3 << 0.99 << 6 << "http://\rx";
        QTest::newRow("prefix, 50, last slot") << "http://x" + xs(42) << 0.99 << 0.0 << 48 << "http://" + xs(42) + "&#10;x";
        QTest::newRow("https prefix, nine characters") << "https://x" << 0.3 << 0.99 << 7 << "https://\rx";
        QTest::newRow("120, last") << xs(120) << 0.999 << 0.0 << 48 << xs(49) + "&#10;" + xs(71);
        QTest::newRow("http prefix alone") << "http://" << 0.0 << 0.0 << -1 << "http://";
        QTest::newRow("https prefix alone") << "https://" << 0.0 << 0.0 << -1 << "https://";
    }

    void breakSlotAndCode()
    {
        QFETCH(QString, input);
        QFETCH(double, slotDraw);
        QFETCH(double, codeDraw);
        QFETCH(int, marker);
        // The slot draw, then per character a coin of 0.1 (kept), the code before its character.
        ScriptedRandom random;
        if (marker >= 0)
            random.push({slotDraw});
        for (int i = 0; i < input.size(); ++i)
            marker >= 0 && i == marker + 1 ? random.push({codeDraw, 0.1}) : random.push({0.1});
        FakeConversionView v;
        v.convert("dn", input, random);
        QTEST(v.output, "expected");
        QCOMPARE(v.visibleMarker(), marker);
        QVERIFY(marker < 0 || v.markers[marker] == Colours::BreakMarker);
        QCOMPARE(random.remaining(), 0);
    }

    void prefixOutputHoldsTheFirstSevenCharactersAndTheBreak()
    {
        FakeConversionView view;
        view.options = FakeConversionView::optionsFrom("dn@.");
        ScriptedRandom random{0.0, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1}; // slot 6 (before the eighth), prefix coins
        random.push({0.0, 0.1, 0.1});                                 // code "&#10;", then the last two coins
        ConversionRequest request(view, random);
        for (const char* input : {"mailto:ab", "abcdefg"}) { // seven characters leave it as it was
            view.input = input;
            request.ConvertInput();
            QCOMPARE(request.state().PrefixOutput, QString("mailto:&#10;"));
            random.repeat(0.1, 9); // slot, code, seven coins
        }
    }

    void upperCasePrefixIsNormalisedFirstAndAFailureThereIsReportedByNumber()
    {
        FakeConversionView v;
        ScriptedRandom random;
        random.repeat(0.1, 40);
        QString outputWhenChanged = "unset";
        v.onInputChanged = [&] { outputWhenChanged = v.output; };
        v.output = "old";
        v.convert("d@.", "MAILTO:a@b.c HTTP://x HTTPS://y", random);
        QCOMPARE(v.input, QString("mailto:a@b.c http://x https://y"));
        QCOMPARE(outputWhenChanged, QString("old")); // the change came before any output
        QVERIFY(v.output.startsWith("mailto:a&#64;b"));
        for (int number : {521, 57}) { // the clipboard's own failure is not shown here
            v.onInputChanged = [number] { throw AppError(number); };
            v.convert("dA@.", "MAILTO:x", random);
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

    void cntStrCountsWithoutOverlap()
    {
        const QList<int> counts{CntStr("a@b@c", "@"), CntStr("abc", "@"), CntStr("aaaa", "aa"),
                                CntStr("HTTP://x http://y", "http://"), CntStr("abc", "")}; // case-sensitive
        QCOMPARE(counts, QList<int>({2, 0, 2, 1, 0}));
    }
};

QTEST_GUILESS_MAIN(RequestTest)
#include "test_request.moc"
