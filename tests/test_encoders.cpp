#include "EntityWriter.h"
#include "FakeConversionView.h"
#include "ScriptedRandom.h"

#include <QtTest>

class EncoderTest : public QObject
{
    Q_OBJECT

private slots:
    void convertsOneCharacterByScriptedDraws_data()
    {
        QTest::addColumn<QString>("character");
        QTest::addColumn<QString>("options"); // as FakeConversionView::optionsFrom; "1": inside the prefix; "k": no %
        QTest::addColumn<int>("charsDone");
        QTest::addColumn<QList<double>>("draws"); // form, zeros with "n", letter case for hex and percent
        QTest::addColumn<QString>("expected");
        using D = QList<double>;
        const QString pair = "\U0001F600";
        QTest::newRow("@ decimal one zero") << "@" << "dn" << 0 << D{0.0, 0.5} << "&#064;";
        QTest::newRow("@ of a mail address keeps %40, no zeros") << "@" << "pn" << 0 << D{0.9, 0.9, 0.9} << "%40";
        QTest::newRow(". hex upper") << "." << "h" << 0 << D{0.5, 0.51} << "&#x2E;";
        QTest::newRow(". hex lower at the tie") << "." << "hn" << 0 << D{0.5, 0.5, 0.5} << "&#x02e;";
        QTest::newRow("tab keeps two digits") << "\t" << "p" << 0 << D{0.9, 0.9} << "%09";
        QTest::newRow("あ decimal is its code point") << "あ" << "d" << 0 << D{0.0} << "&#12354;";
        QTest::newRow("あ percent is UTF-8, one case") << "あ" << "p" << 0 << D{0.9, 0.9} << "%E3%81%82";
        QTest::newRow("emoji decimal") << pair << "dn" << 0 << D{0.0, 0.9} << "&#00128512;";
        QTest::newRow("emoji hex") << pair << "h" << 0 << D{0.5, 0.9} << "&#x1F600;";
        QTest::newRow("emoji percent") << pair << "p" << 0 << D{0.9, 0.2} << "%f0%9f%98%80";
        QTest::newRow("top code point fills the worst case") << "\U0010FFFF" << "hn" << 0 << D{0.5, 0.9, 0.9}
                                                             << "&#x0010FFFF;";
        QTest::newRow("decimal only redraws until 0") << "a" << "d" << 0 << D{0.9, 0.5, 0.25} << "&#97;";
        QTest::newRow("hex only redraws past 0 and 2") << "z" << "h" << 0 << D{0.1, 0.9, 0.4, 0.9} << "&#x7A;";
        QTest::newRow("prefix zone redraws percent") << "a" << "dhp1" << 3 << D{0.9, 0.8, 0.5, 0.2} << "&#x61;";
        QTest::newRow("prefix zone, percent only: unchanged") << "a" << "p1" << 6 << D{0.99} << "a";
        QTest::newRow("prefix zone, percent only: pair unchanged") << pair << "p1" << 0 << D{0.99} << pair;
        QTest::newRow("eighth character leaves the zone") << "a" << "p1" << 7 << D{0.99, 0.9} << "%61";
        QTest::newRow("delimiter, percent, random scope: unchanged") << "?" << "dpk" << 0 << D{0.9} << "?";
        QTest::newRow("/, all, references: hex on 1") << "/" << "dhpA" << 0 << D{0.9, 0.7, 0.1} << "&#x2f;";
        QTest::newRow("/, all, references: decimal on 0") << "/" << "dhpA" << 0 << D{0.9, 0.5} << "&#47;";
        QTest::newRow("slash, scope all, decimal only") << "/" << "dpA" << 0 << D{0.9} << "&#47;";
        QTest::newRow("&, all, percent only: as a reference") << "&" << "pAk" << 0 << D{0.9} << "&amp;";
        QTest::newRow("\", all, percent only: as a reference") << "\"" << "pAk" << 0 << D{0.9} << "&quot;";
        QTest::newRow("no form enabled falls back to decimal") << "a" << "" << 0 << D{} << "&#97;";
        QTest::newRow("lone surrogate passes") << QString(QChar(0xD800)) << "dhpAn" << 0 << D{} << u"\xD800"_qs;
        QTest::newRow("first hundred cells painted") << "a" << "d" << 99 << D{0.0} << "&#97;";
        QTest::newRow("later cells not") << "a" << "d" << 100 << D{0.0} << "&#97;";
    }

    void convertsOneCharacterByScriptedDraws()
    {
        QFETCH(QString, character); QFETCH(QString, options); QFETCH(int, charsDone); QFETCH(QList<double>, draws);
        QFETCH(QString, expected);
        FakeConversionView view;
        view.options = FakeConversionView::optionsFrom(options + "@.");
        ScriptedRandom random(draws);
        EntityWriter writer(view, random);
        ConversionState& s = writer.state();
        s.OutputBuffer = QString(20, QLatin1Char(' '));
        s.WritePos = 3; // a write lands mid-buffer, never at its start only
        s.CurrentChar = character;
        s.PrefixZone = options.contains('1') ? '1' : '2';
        s.PrefixLength = options.contains('1') ? 7 : 0;
        s.PercentAllowed = !options.contains('k');
        s.CharIndex = (s.CharsDone = charsDone) + 1;
        QVERIFY_THROWS_NO_EXCEPTION(writer.ConvertChar()); // it throws when it draws more than scripted
        QCOMPARE(s.OutputBuffer.mid(2, s.WritePos - 3), expected);
        QCOMPARE(random.remaining(), 0);
        QVERIFY(expected.size() <= EntityWriter::MaxCharOutput);
        // Its cell's colour and the flag the preview reads follow the form written.
        const int form = expected.startsWith("&#x") ? 1 : expected.startsWith("&#") ? 0 : expected[0] == '%' ? 2 : 3;
        const WinColour colours[] = {Colours::Yellow, Colours::LightGreen, Colours::LightCyan, Colours::Grey};
        QCOMPARE(s.MaskColor, colours[form]);
        QCOMPARE(QList<bool>({s.UsedDecimal, s.UsedHex, s.UsedPercent}),
                 QList<bool>({form == 0, form == 1, form == 2}));
        const bool painted = charsDone < ConversionView::CellCount; // the first hundred cells only
        const auto unpainted = std::count(view.cellColours.begin(), view.cellColours.end(), 0u);
        QCOMPARE(int(unpainted), ConversionView::CellCount - painted);
        QVERIFY(!painted || view.cellColours[charsDone] == s.MaskColor);
    }
};

QTEST_GUILESS_MAIN(EncoderTest)
#include "test_encoders.moc"
