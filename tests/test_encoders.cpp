#include "ConversionView.h"
#include "EntityWriter.h"
#include "FakeConversionView.h"
#include "ScriptedRandom.h"

#include <QtTest>

namespace {

struct Written
{
    QString text;
    qsizetype advance;
    WinColour colour;
    int drawsLeft;
};

// encoder: d h p as written, '-' unchanged, '*' the driver that chooses.
Written writeOne(FakeConversionView& view, const QString& character, char encoder, int zeroPad,
                 const QList<double>& draws, char zone = '2', int charsDone = 0)
{
    ScriptedRandom random(draws);
    EntityWriter writer(view, random);
    ConversionState& s = writer.state();
    s.OutputBuffer = QString(20, QLatin1Char(' '));
    s.WritePos = 3; // a write lands mid-buffer, never at its start only
    s.CurrentChar = character;
    s.ZeroPad = zeroPad;
    s.PrefixZone = zone;
    s.PrefixLength = zone == '1' ? 7 : 0;
    s.CharsDone = charsDone;
    s.CharIndex = charsDone + 1;
    try {
        encoder == 'd'   ? writer.WriteDecimal()
        : encoder == 'h' ? writer.WriteHex()
        : encoder == 'p' ? writer.WritePercent()
        : encoder == '-' ? writer.WriteAsIs()
                         : writer.ConvertChar();
    } catch (const std::runtime_error& e) {
        return {QString::fromUtf8(e.what()), 0, 0, 0};
    }
    const qsizetype advance = s.WritePos - 3;
    return {s.OutputBuffer.mid(2, advance), advance, s.MaskColor, random.remaining()};
}

} // namespace

class EncoderTest : public QObject
{
    Q_OBJECT

private slots:
    void encodersWriteExactTextAndAdvance_data()
    {
        QTest::addColumn<QString>("character");
        QTest::addColumn<char>("encoder");
        QTest::addColumn<int>("zeroPad");
        QTest::addColumn<double>("caseDraw");
        QTest::addColumn<QString>("expected");
        QTest::newRow("@ decimal") << "@" << 'd' << 0 << 0.0 << "&#64;";
        QTest::newRow("@ decimal one zero") << "@" << 'd' << 1 << 0.0 << "&#064;";
        QTest::newRow("@ decimal two zeros") << "@" << 'd' << 2 << 0.0 << "&#0064;";
        QTest::newRow("@ hex two zeros") << "@" << 'h' << 2 << 0.9 << "&#x0040;";
        QTest::newRow("@ percent ignores padding") << "@" << 'p' << 2 << 0.9 << "%40";
        QTest::newRow(". hex upper") << "." << 'h' << 0 << 0.51 << "&#x2E;";
        QTest::newRow(". hex lower at the tie") << "." << 'h' << 1 << 0.5 << "&#x02e;";
        QTest::newRow("z decimal") << "z" << 'd' << 0 << 0.0 << "&#122;";
        QTest::newRow("tab keeps two digits") << "\t" << 'p' << 0 << 0.9 << "%09";
        QTest::newRow("あ decimal is its code point") << "あ" << 'd' << 0 << 0.0 << "&#12354;";
        QTest::newRow("あ percent is UTF-8, one case") << "あ" << 'p' << 0 << 0.9 << "%E3%81%82";
        QTest::newRow("emoji decimal") << "\U0001F600" << 'd' << 2 << 0.0 << "&#00128512;";
        QTest::newRow("emoji hex") << "\U0001F600" << 'h' << 0 << 0.9 << "&#x1F600;";
        QTest::newRow("emoji percent") << "\U0001F600" << 'p' << 0 << 0.2 << "%f0%9f%98%80";
        QTest::newRow("top code point fills the worst case") << "\U0010FFFF" << 'h' << 2 << 0.9 << "&#x0010FFFF;";
        QTest::newRow("unchanged") << "z" << '-' << 2 << 0.0 << "z";
        QTest::newRow("unchanged pair") << "\U0001F600" << '-' << 0 << 0.0 << "\U0001F600";
    }

    void encodersWriteExactTextAndAdvance()
    {
        QFETCH(QString, character);
        QFETCH(char, encoder);
        QFETCH(int, zeroPad);
        QFETCH(double, caseDraw);
        QFETCH(QString, expected);
        const QHash<char, WinColour> colours{
            {'d', Colours::Yellow}, {'h', Colours::LightGreen}, {'p', Colours::LightCyan}, {'-', Colours::Grey}};
        FakeConversionView view;
        const Written w = writeOne(view, character, encoder, zeroPad, {caseDraw});
        QCOMPARE(w.text, expected);
        QCOMPARE(w.advance, expected.size());
        QCOMPARE(w.colour, colours[encoder]);
        QVERIFY(w.text.size() <= EntityWriter::MaxCharOutput);
        QCOMPARE(w.drawsLeft, (encoder == 'h' || encoder == 'p') ? 0 : 1); // only the letter-case encoders draw
    }

    void driverChoosesFormByScriptedDraws_data()
    {
        QTest::addColumn<QString>("character");
        QTest::addColumn<QString>("options");
        QTest::addColumn<char>("zone");
        QTest::addColumn<int>("charsDone");
        QTest::addColumn<QList<double>>("draws");
        QTest::addColumn<QString>("expected");
        using D = QList<double>;
        QTest::newRow("decimal only redraws until 0") << "a" << "d" << '2' << 0 << D{0.9, 0.5, 0.25} << "&#97;";
        QTest::newRow("hex only redraws past 0 and 2") << "z" << "h" << '2' << 0 << D{0.1, 0.9, 0.4, 0.9} << "&#x7A;";
        QTest::newRow("prefix zone redraws percent") << "a" << "dhp" << '1' << 3 << D{0.9, 0.8, 0.5, 0.2} << "&#x61;";
        QTest::newRow("prefix zone, percent only: unchanged") << "a" << "p" << '1' << 6 << D{0.99} << "a";
        QTest::newRow("eighth character leaves the zone") << "a" << "p" << '1' << 7 << D{0.99, 0.9} << "%61";
        QTest::newRow("delimiter, percent, random scope: unchanged") << "?" << "dp" << '2' << 0 << D{0.9} << "?";
        QTest::newRow("/, all, references: hex on 1") << "/" << "dhpA" << '2' << 0 << D{0.9, 0.7, 0.1} << "&#x2f;";
        QTest::newRow("/, all, references: decimal on 0") << "/" << "dhpA" << '2' << 0 << D{0.9, 0.5} << "&#47;";
        QTest::newRow("slash, scope all, decimal only") << "/" << "dpA" << '2' << 0 << D{0.9} << "&#47;";
        QTest::newRow("&, all, percent only: as a reference") << "&" << "pA" << '2' << 0 << D{0.9} << "&amp;";
        QTest::newRow("@ of a mail address keeps %40") << "@" << "p" << '2' << 0 << D{0.9, 0.9} << "%40";
        QTest::newRow("line-break flag pads zeros") << "a" << "dn" << '2' << 0 << D{0.1, 0.75} << "&#0097;";
        QTest::newRow("padding drawn for percent too") << "a" << "pn" << '2' << 0 << D{0.9, 0.9, 0.9} << "%61";
        QTest::newRow("no form enabled falls back to decimal") << "a" << "" << '2' << 0 << D{} << "&#97;";
        QTest::newRow("lone surrogate passes") << QString(QChar(0xD800)) << "dhpAn" << '2' << 0 << D{} << u"\xD800"_qs;
        QTest::newRow("first hundred cells painted") << "a" << "d" << '2' << 99 << D{0.0} << "&#97;";
        QTest::newRow("later cells not") << "a" << "d" << '2' << 100 << D{0.0} << "&#97;";
    }

    void driverChoosesFormByScriptedDraws()
    {
        QFETCH(QString, character);
        QFETCH(QString, options);
        QFETCH(char, zone);
        QFETCH(int, charsDone);
        QFETCH(QList<double>, draws);
        QFETCH(QString, expected);
        FakeConversionView view;
        view.options = FakeConversionView::optionsFrom(options + "@.");
        const Written w = writeOne(view, character, '*', 0, draws, zone, charsDone);
        QCOMPARE(w.text, expected);
        QCOMPARE(w.drawsLeft, 0);
        const auto painted = std::count_if(view.cellColours.begin(), view.cellColours.end(), [](auto c) { return c; });
        QCOMPARE(painted, charsDone < ConversionView::CellCount ? 1 : 0);
        QVERIFY(charsDone >= ConversionView::CellCount || view.cellColours[charsDone] == w.colour);
    }
};

QTEST_GUILESS_MAIN(EncoderTest)
#include "test_encoders.moc"
