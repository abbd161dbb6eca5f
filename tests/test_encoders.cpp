#include "ConversionView.h"
#include "EntityWriter.h"
#include "FakeConversionView.h"
#include "ScriptedRandom.h"

#include <QtTest>

namespace {

enum Encoder { Decimal, Hex, Percent, AsIs, Driver };

struct Written
{
    QString text;
    qsizetype advance;
    WinColour colour;
    int drawsLeft;
};

Written writeOne(FakeConversionView& view, const QString& character, Encoder encoder, int zeroPad,
                 const QList<double>& draws, char zone = '2', int charsDone = 0)
{
    ScriptedRandom random;
    for (double d : draws)
        random.push({d});
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
        switch (encoder) {
        case Decimal: writer.WriteDecimal(); break;
        case Hex: writer.WriteHex(); break;
        case Percent: writer.WritePercent(); break;
        case AsIs: writer.WriteAsIs(); break;
        case Driver: writer.ConvertChar(); break;
        }
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
        QTest::addColumn<int>("encoder");
        QTest::addColumn<int>("zeroPad");
        QTest::addColumn<double>("caseDraw");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<uint>("colour");

        const uint y = Colours::Yellow, g = Colours::LightGreen, c = Colours::LightCyan;
        QTest::newRow("@ decimal") << "@" << int(Decimal) << 0 << 0.0 << "&#64;" << y;
        QTest::newRow("@ decimal one zero") << "@" << int(Decimal) << 1 << 0.0 << "&#064;" << y;
        QTest::newRow("@ decimal two zeros") << "@" << int(Decimal) << 2 << 0.0 << "&#0064;" << y;
        QTest::newRow("@ hex two zeros") << "@" << int(Hex) << 2 << 0.9 << "&#x0040;" << g;
        QTest::newRow("@ percent ignores padding") << "@" << int(Percent) << 2 << 0.9 << "%40" << c;
        QTest::newRow(". hex upper") << "." << int(Hex) << 0 << 0.51 << "&#x2E;" << g;
        QTest::newRow(". hex lower at the tie") << "." << int(Hex) << 1 << 0.5 << "&#x02e;" << g;
        QTest::newRow("z percent upper") << "z" << int(Percent) << 0 << 0.9 << "%7A" << c;
        QTest::newRow("z percent lower") << "z" << int(Percent) << 0 << 0.2 << "%7a" << c;
        QTest::newRow("z decimal") << "z" << int(Decimal) << 0 << 0.0 << "&#122;" << y;
        QTest::newRow("tab keeps two digits") << "\t" << int(Percent) << 0 << 0.9 << "%09" << c;
        QTest::newRow("あ decimal is its code point") << "あ" << int(Decimal) << 0 << 0.0 << "&#12354;" << y;
        QTest::newRow("あ hex upper") << "あ" << int(Hex) << 0 << 0.9 << "&#x3042;" << g;
        QTest::newRow("あ percent is UTF-8, one case") << "あ" << int(Percent) << 0 << 0.9 << "%E3%81%82" << c;
        QTest::newRow("あ percent lower") << "あ" << int(Percent) << 0 << 0.1 << "%e3%81%82" << c;
        QTest::newRow("emoji decimal") << "\U0001F600" << int(Decimal) << 2 << 0.0 << "&#00128512;" << y;
        QTest::newRow("emoji hex") << "\U0001F600" << int(Hex) << 0 << 0.9 << "&#x1F600;" << g;
        QTest::newRow("emoji percent") << "\U0001F600" << int(Percent) << 0 << 0.2 << "%f0%9f%98%80" << c;
        QTest::newRow("top code point fills the worst case")
            << "\U0010FFFF" << int(Hex) << 2 << 0.9 << "&#x0010FFFF;" << g;
        QTest::newRow("unchanged") << "z" << int(AsIs) << 2 << 0.0 << "z" << uint(Colours::Grey);
        QTest::newRow("unchanged pair") << "\U0001F600" << int(AsIs) << 0 << 0.0 << "\U0001F600"
                                        << uint(Colours::Grey);
    }

    void encodersWriteExactTextAndAdvance()
    {
        QFETCH(QString, character);
        QFETCH(int, encoder);
        QFETCH(int, zeroPad);
        QFETCH(double, caseDraw);
        QFETCH(QString, expected);
        QFETCH(uint, colour);

        FakeConversionView view;
        const Written w = writeOne(view, character, Encoder(encoder), zeroPad, {caseDraw});
        QCOMPARE(w.text, expected);
        QCOMPARE(w.advance, expected.size());
        QCOMPARE(w.colour, colour);
        QVERIFY(w.text.size() <= EntityWriter::MaxCharOutput);
        // Only the two letter-case encoders draw.
        QCOMPARE(w.drawsLeft, (encoder == Hex || encoder == Percent) ? 0 : 1);
    }

    void driverChoosesFormByScriptedDraws_data()
    {
        QTest::addColumn<QString>("character");
        QTest::addColumn<QString>("forms"); // d, h, p
        QTest::addColumn<bool>("scopeAll");
        QTest::addColumn<bool>("lineBreak");
        QTest::addColumn<char>("zone");
        QTest::addColumn<int>("charsDone");
        QTest::addColumn<QList<double>>("draws");
        QTest::addColumn<QString>("expected");

        QTest::newRow("decimal only redraws until 0")
            << "a" << "d" << false << false << '2' << 0 << QList<double>{0.9, 0.5, 0.25} << "&#97;";
        QTest::newRow("hex only redraws past 0 and 2")
            << "z" << "h" << false << false << '2' << 0 << QList<double>{0.1, 0.9, 0.4, 0.9} << "&#x7A;";
        QTest::newRow("prefix zone redraws percent")
            << "a" << "dhp" << false << false << '1' << 3 << QList<double>{0.9, 0.8, 0.5, 0.2} << "&#x61;";
        QTest::newRow("prefix zone, percent only: unchanged")
            << "a" << "p" << false << false << '1' << 6 << QList<double>{0.99} << "a";
        QTest::newRow("eighth character leaves the zone")
            << "a" << "p" << false << false << '1' << 7 << QList<double>{0.99, 0.9} << "%61";
        QTest::newRow("delimiter with percent, random scope: unchanged")
            << "?" << "dp" << false << false << '2' << 0 << QList<double>{0.9} << "?";
        QTest::newRow("slash, scope all, both references: hex on 1")
            << "/" << "dhp" << true << false << '2' << 0 << QList<double>{0.9, 0.7, 0.1} << "&#x2f;";
        QTest::newRow("slash, scope all, both references: decimal on 0")
            << "/" << "dhp" << true << false << '2' << 0 << QList<double>{0.9, 0.5} << "&#47;";
        QTest::newRow("slash, scope all, decimal only") << "/" << "dp" << true << false << '2' << 0
                                                        << QList<double>{0.9} << "&#47;";
        QTest::newRow("&, scope all, percent only: unchanged, as a reference")
            << "&" << "p" << true << false << '2' << 0 << QList<double>{0.9} << "&amp;";
        QTest::newRow("@ of a mail address keeps %40")
            << "@" << "p" << false << false << '2' << 0 << QList<double>{0.9, 0.9} << "%40";
        QTest::newRow("line-break flag pads zeros")
            << "a" << "d" << false << true << '2' << 0 << QList<double>{0.1, 0.75} << "&#0097;";
        QTest::newRow("padding drawn for percent too")
            << "a" << "p" << false << true << '2' << 0 << QList<double>{0.9, 0.9, 0.9} << "%61";
        QTest::newRow("no form enabled falls back to decimal")
            << "a" << "" << false << false << '2' << 0 << QList<double>{} << "&#97;";
        QTest::newRow("lone surrogate passes through")
            << QString(QChar(0xD800)) << "dhp" << true << true << '2' << 0 << QList<double>{}
            << QString(QChar(0xD800));
    }

    void driverChoosesFormByScriptedDraws()
    {
        QFETCH(QString, character);
        QFETCH(QString, forms);
        QFETCH(bool, scopeAll);
        QFETCH(bool, lineBreak);
        QFETCH(char, zone);
        QFETCH(int, charsDone);
        QFETCH(QList<double>, draws);
        QFETCH(QString, expected);

        FakeConversionView view;
        view.options.decimal = forms.contains('d');
        view.options.hex = forms.contains('h');
        view.options.percent = forms.contains('p');
        view.options.scope = scopeAll ? EntityScope::All : EntityScope::Random;
        view.options.lineBreak = lineBreak;
        const Written w = writeOne(view, character, Driver, 0, draws, zone, charsDone);
        QCOMPARE(w.text, expected);
        QCOMPARE(w.drawsLeft, 0);
        QCOMPARE(view.cellColours[charsDone], w.colour);
    }

    void driverPaintsOnlyTheFirstHundredCells()
    {
        FakeConversionView view;
        view.cellColours.fill(0);
        writeOne(view, "a", Driver, 0, {0.0}, '2', 99);
        QCOMPARE(view.cellColours[99], WinColour(Colours::Yellow));
        view.cellColours.fill(0);
        const Written w = writeOne(view, "a", Driver, 0, {0.0}, '2', 100);
        QCOMPARE(w.text, QString("&#97;"));
        QVERIFY(std::all_of(view.cellColours.begin(), view.cellColours.end(), [](WinColour c) { return c == 0; }));
    }
};

QTEST_GUILESS_MAIN(EncoderTest)
#include "test_encoders.moc"
