// Frequencies of the random rules, with the real generator. Each bound is six standard deviations, so a correct
// engine fails a check about twice in a billion runs and the whole file far less than once in a million.
#include "FakeConversionView.h"
#include "Random.h"

#include <QtTest>
#include <cmath>

static qint64 expectShare(qint64 hits, qint64 total, double p, const QString& what)
{
    const double share = double(hits) / double(total);
    const double bound = 6.0 * std::sqrt(p * (1.0 - p) / double(total));
    if (std::abs(share - p) > bound)
        QTest::qFail(qPrintable(QString("%1: share %2, expected %3 within %4").arg(what).arg(share).arg(p).arg(bound)),
                     __FILE__, __LINE__);
    return hits;
}

class StatisticsTest : public QObject
{
    Q_OBJECT

private slots:
    void sharesFollowTheWeights_data()
    {
        QTest::addColumn<QString>("options"); QTest::addColumn<QStringList>("patterns"); // one per converted "z"
        QTest::addColumn<QList<double>>("shares");
        const QStringList forms{"&#1", "&#x", "%"}; // "z": "&#122;", "&#x7A;", "%7A"
        QTest::newRow("decimal + hex") << "dh" << forms << QList<double>{1.0 / 3, 2.0 / 3, 0.0};
        QTest::newRow("decimal + percent") << "dp" << forms << QList<double>{0.5, 0.0, 0.5};
        QTest::newRow("hex + percent") << "hp" << forms << QList<double>{0.0, 2.0 / 3, 1.0 / 3};
        QTest::newRow("all three") << "dhp" << forms << QList<double>{0.25, 0.5, 0.25};
        QTest::newRow("zeros") << "hn" << QStringList{"&#x7", "&#x07", "&#x007"} << QList<double>{0.25, 0.5, 0.25};
        QTest::newRow("letter case, no zeros") << "h" << QStringList{"&#x7A;", "&#x7a;"} << QList<double>{0.5, 0.5};
    }

    void sharesFollowTheWeights()
    {
        QFETCH(QString, options); QFETCH(QStringList, patterns); QFETCH(QList<double>, shares);
        const qint64 n = 200'000;
        FakeConversionView v; SystemRandom random;
        v.convert(options + "A@.", QString(n, 'z'), random);
        qint64 matched = 0;
        for (int i = 0; i < patterns.size(); ++i)
            matched += expectShare(v.output.count(patterns[i]), n, shares[i], patterns[i]);
        QCOMPARE(matched, n);
    }

    // "@" in a query is no mail address's: "%40" would change the link, so a drawn percent becomes hex or decimal.
    void forcedCharacterTakesAReferenceWherePercentWouldChangeTheLink()
    {
        const qint64 n = 200'000;
        FakeConversionView v; SystemRandom random;
        v.convert("dhp@", "http://h/?" + QString(n, '@'), random);
        const qint64 decimal = expectShare(v.output.count("&#64;"), n, 1.0 / 4 + 1.0 / 8, "decimal");
        QCOMPARE(decimal + expectShare(v.output.count("&#x40;"), n, 1.0 / 2 + 1.0 / 8, "hex"), n);
    }

    void lineBreakCodesAndSlots()
    {
        const int n = 60'000;
        const QRegularExpression inputCharacters("[a-z:/]");
        FakeConversionView v; SystemRandom random;
        QHash<QString, int> seen;
        for (int i = 0; i < n; ++i) {
            v.convert("dOn@.", "http://abc", random); // slots 6..8, the end ones half as likely
            ++seen[QString::number(v.visibleMarker())];
            ++seen[v.output.remove(inputCharacters)]; // the code alone
        }
        const QList<std::pair<QString, double>> shares{{"&#10;", 1.0 / 6}, {"&#13;", 1.0 / 3}, {"\n", 1.0 / 3},
                                                       {"\r", 1.0 / 6}, {"6", 0.25}, {"7", 0.5}, {"8", 0.25}};
        for (const auto& [what, share] : shares) expectShare(seen[what], n, share, what);
        QCOMPARE(seen.size(), shares.size()); // nothing else came out
    }
};

QTEST_GUILESS_MAIN(StatisticsTest)
#include "test_statistics.moc"
