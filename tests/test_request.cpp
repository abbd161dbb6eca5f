#include "AppError.h"
#include "ConversionRequest.h"
#include "FakeConversionView.h"
#include "ScriptedRandom.h"

#include <QtTest>

namespace {

ConversionSettings options(const char* forms, EntityScope scope, bool lineBreak = false)
{
    ConversionSettings s;
    s.decimal = QByteArray(forms).contains('d');
    s.hex = QByteArray(forms).contains('h');
    s.percent = QByteArray(forms).contains('p');
    s.scope = scope;
    s.lineBreak = lineBreak;
    return s;
}

} // namespace

class RequestTest : public QObject
{
    Q_OBJECT

private slots:
    void emptyInputGivesEmptyOutputWithoutMessage()
    {
        for (const char* forms : {"d", ""}) {
            FakeConversionView view;
            ScriptedRandom random;
            view.options = options(forms, EntityScope::All, true);
            view.output = "old";
            ConversionRequest(view, random).ConvertInput();
            QCOMPARE(view.output, QString());
            QVERIFY(!view.errorLineVisible);
            QVERIFY(view.messages.isEmpty());
        }
    }

    void noFormEnabledRefusesOnTheErrorLine()
    {
        FakeConversionView view;
        ScriptedRandom random;
        view.options = options("", EntityScope::All);
        view.input = "a@b\U0001F600";
        view.output = "old";
        view.cellCaptions[0] = "x";
        ConversionRequest(view, random).ConvertInput();
        QCOMPARE(view.output, QString());
        QCOMPARE(view.inputLengthCaption, QString("4"));
        QCOMPARE(view.errorLine, QString("出力形式が選択されていません。"));
        QVERIFY(view.errorLineVisible);
        QCOMPARE(view.decimalBoxFocused, 1);
        QCOMPARE(view.cellCaptions[0], QString());
        QVERIFY(view.messages.isEmpty());
    }

    void scopeAndFlagTable_data()
    {
        QTest::addColumn<int>("scope");
        QTest::addColumn<bool>("atAlways");
        QTest::addColumn<bool>("dotAlways");
        QTest::addColumn<QList<double>>("draws");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("cells"); // Y yellow, G grey

        // Every character draws its coin; converted ones then draw their form.
        const auto all = int(EntityScope::All), rand = int(EntityScope::Random), at = int(EntityScope::AtOnly);
        QTest::newRow("all, flags on") << all << true << true << QList<double>(10, 0.1)
                                       << "&#97;&#64;&#98;&#46;&#99;" << "YYYYY";
        QTest::newRow("all, @ flag off keeps @") << all << false << true << QList<double>(9, 0.1)
                                                 << "&#97;@&#98;&#46;&#99;" << "YGYYY";
        QTest::newRow("@ only, . flag off") << at << true << false << QList<double>(6, 0.1) << "a&#64;b.c"
                                            << "GYGGG";
        QTest::newRow("random follows the coin")
            << rand << true << true << QList<double>{0.9, 0.1, 0.1, 0.1, 0.5, 0.1, 0.1, 0.51, 0.1}
            << "&#97;&#64;b&#46;&#99;" << "YYGYY";
    }

    void scopeAndFlagTable()
    {
        QFETCH(int, scope);
        QFETCH(bool, atAlways);
        QFETCH(bool, dotAlways);
        QFETCH(QList<double>, draws);
        QFETCH(QString, expected);
        QFETCH(QString, cells);

        FakeConversionView view;
        ScriptedRandom random;
        for (double d : draws)
            random.push({d});
        view.options = options("d", EntityScope(scope));
        view.options.atAlways = atAlways;
        view.options.dotAlways = dotAlways;
        view.input = "a@b.c";
        ConversionRequest request(view, random);
        request.ConvertInput();
        QCOMPARE(view.output, expected);
        QCOMPARE(random.remaining(), 0);
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(view.cellCaptions[i], view.input.mid(i, 1));
            QCOMPARE(view.cellColours[i], cells[i] == 'Y' ? Colours::Yellow : Colours::Grey);
        }
        QCOMPARE(view.outputSelected, 1);
        QCOMPARE(request.state().UsedDecimal, expected.contains("&#"));
        QVERIFY(!request.state().UsedHex && !request.state().UsedPercent);
    }

    void upperCasePrefixIsNormalisedBeforeConverting()
    {
        FakeConversionView view;
        ScriptedRandom random;
        random.repeat(0.1, 40);
        view.options = options("d", EntityScope::Random);
        view.input = "MAILTO:a@b.c HTTP://x HTTPS://y";
        QString outputWhenChanged = "unset";
        view.onInputChanged = [&] { outputWhenChanged = view.output; };
        view.output = "old";
        ConversionRequest(view, random).ConvertInput();
        QCOMPARE(view.input, QString("mailto:a@b.c http://x https://y"));
        QCOMPARE(outputWhenChanged, QString("old")); // the change came before any output
        QVERIFY(view.output.startsWith("mailto:a&#64;b"));
    }

    void breakSlotAndCode_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<double>("slotDraw");
        QTest::addColumn<double>("codeDraw");
        QTest::addColumn<int>("marker");
        QTest::addColumn<QString>("expected");

        QTest::newRow("two characters") << "ab" << 0.7 << 0.0 << 0 << "a&#10;b";
        QTest::newRow("no prefix, first slot") << "abcdefghij" << 0.0625 << 0.17 << 0 << "a&#13;bcdefghij";
        QTest::newRow("no prefix, last slot") << "abcdefghij" << 0.9375 << 0.5 << 8 << "abcdefghi\nj";
        QTest::newRow("prefix, eight characters") << "http://x" << 0.3 << 0.99 << 6 << "http://\rx";
        QTest::newRow("prefix, 50 characters, last slot")
            << "http://" + QString(43, 'x') << 0.99 << 0.0 << 48 << "http://" + QString(42, 'x') + "&#10;x";
        QTest::newRow("https prefix, nine characters") << "https://x" << 0.3 << 0.99 << 7 << "https://\rx";
        QTest::newRow("https prefix, 50 characters, last slot")
            << "https://" + QString(42, 'x') << 0.99 << 0.0 << 48 << "https://" + QString(41, 'x') + "&#10;x";
        QTest::newRow("no prefix, 120 characters, last slot")
            << QString(120, 'x') << 0.999 << 0.0 << 48 << QString(49, 'x') + "&#10;" + QString(71, 'x');
    }

    void breakSlotAndCode()
    {
        QFETCH(QString, input);
        QFETCH(double, slotDraw);
        QFETCH(double, codeDraw);
        QFETCH(int, marker);
        QFETCH(QString, expected);

        FakeConversionView view;
        view.options = options("d", EntityScope::Random, true);
        view.options.dotAlways = view.options.atAlways = false;
        view.input = input;
        // The slot draw, then per character a coin of 0 (kept), the code before its character.
        ScriptedRandom random{slotDraw};
        for (int i = 0; i < input.size(); ++i) {
            if (i == marker + 1)
                random.push({codeDraw});
            random.push({0.1});
        }
        ConversionRequest(view, random).ConvertInput();
        QCOMPARE(view.output, expected);
        QCOMPARE(view.visibleMarker(), marker);
        QCOMPARE(view.markers[marker].colour, Colours::BreakMarker);
        QCOMPARE(random.remaining(), 0);
    }

    void prefixAloneHasNoBreak()
    {
        for (const QString prefix : {"http://", "https://"}) {
            FakeConversionView view;
            ScriptedRandom random;
            random.repeat(0.1, int(prefix.size())); // coins only: no slot is drawn
            view.options = options("d", EntityScope::Random, true);
            view.input = prefix;
            ConversionRequest(view, random).ConvertInput();
            QCOMPARE(view.output, prefix);
            QCOMPARE(view.visibleMarker(), -1);
            QCOMPARE(random.remaining(), 0);
        }
    }

    void prefixOutputHoldsTheFirstSevenCharactersAndTheBreak()
    {
        FakeConversionView view;
        view.options = options("d", EntityScope::Random, true);
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
        for (int number : {57, 521}) {
            FakeConversionView view;
            ScriptedRandom random;
            view.options = options("d", EntityScope::All);
            view.input = "MAILTO:x";
            view.onInputChanged = [number] { throw AppError(number); };
            ConversionRequest(view, random).ConvertInput();
            if (number == 521) {
                QVERIFY(view.messages.isEmpty());
            } else {
                QCOMPARE(view.messages.size(), 1);
                QCOMPARE(view.messages[0].text, QString("ERR: 57"));
                QCOMPARE(view.messages[0].title, QString("ERR"));
                QCOMPARE(view.messages[0].icon, MessageIcon::Critical);
            }
        }
    }

    void badInputNeverCrashes()
    {
        SystemRandom random;
        const QString loneHigh(QChar(0xD800)), loneLow(QChar(0xDC00));
        for (const QString& input : {QString("x"), QString::fromLatin1("\t\r\n\0\x7f", 5), loneHigh + "a" + loneLow,
                                     QString(1'000'000, 'a')}) {
            FakeConversionView view;
            view.options = options("dhp", EntityScope::All, true);
            view.input = input;
            ConversionRequest(view, random).ConvertInput();
            QVERIFY(!view.output.isEmpty());
            QVERIFY(view.messages.isEmpty());
            if (input.startsWith(loneHigh)) {
                QVERIFY(view.output.startsWith(loneHigh));
                QVERIFY(view.output.endsWith(loneLow));
            }
        }
    }

    void cntStrCountsWithoutOverlap_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("count");
        QTest::newRow("two at signs") << "a@b@c" << "@" << 2;
        QTest::newRow("none") << "abc" << "@" << 0;
        QTest::newRow("no overlap") << "aaaa" << "aa" << 2;
        QTest::newRow("case-sensitive") << "HTTP://x http://y" << "http://" << 1;
        QTest::newRow("empty pattern") << "abc" << "" << 0;
    }

    void cntStrCountsWithoutOverlap()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(int, count);
        QCOMPARE(CntStr(text, pattern), count);
    }
};

QTEST_GUILESS_MAIN(RequestTest)
#include "test_request.moc"
