#include "PageRewriter.h"
#include "Random.h"
#include "ScriptedRandom.h"
#include "SiteRun.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// "a@b.cd" and its pieces as scope "all" with decimal references writes them.
const QByteArray A = "&#97;&#64;&#98;&#46;&#99;&#100;";
const QByteArray Page = "<!DOCTYPE html><title>t</title><p>Mail a@b.cd or x@y.jp.</p><a href=\"mailto:c@d.ef\">c</a>\n";

QString writePage(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? file.fileName() : QString();
}

QByteArray readPage(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "unreadable";
}

int runSite(QProcess& run, const QStringList& arguments)
{
    run.start(QStringLiteral(QORVANE_SITE), arguments);
    return run.waitForFinished() ? run.exitCode() : -1;
}

} // namespace

class SiteTest : public QObject
{
    Q_OBJECT

private slots:
    void rewritesOnlyAddressBytes_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<bool>("links");
        const auto row = [](const char* name, const QByteArray& page, const QByteArray& expected, bool links = false) {
            QTest::newRow(name) << page << expected << links;
        };
        const auto each = [&row](const char* name, const QByteArray& page) {
            row(name, page, QByteArray(page).replace("a@b.cd", A));
        };
        each("text, title, entities, punctuation, start and end of file",
             "a@b.cd <p>a@b.cd</p><title>a@b.cd</title><p>&amp;a@b.cd &copy;</p>(a@b.cd) a@b.cd. a@b.cd、a@b.cd");
        row("addresses sharing characters", "a@b.cd@b.cd", A + "&#64;&#98;&#46;&#99;&#100;");
        const QByteArray alone = "<script>a@b.cd</script><style>/*a@b.cd*/</style><textarea>a@b.cd</textarea>"
                                 "<!-- a@b.cd --><img alt=\"a@b.cd\">a&#64;b.cd &#97;@b&#46;cd";
        row("left alone", alone, alone);
        row("off zone, off to the end", "<!-- qorvane:off -->a@b.cd<!-- qorvane:on -->a@b.cd<!--qorvane:off-->a@b.cd",
            "<!-- qorvane:off -->a@b.cd<!-- qorvane:on -->" + A + "<!--qorvane:off-->a@b.cd");
        each("mailto quoted, unquoted, upper-case",
             "<a href=\"mailto:a@b.cd\"><a href='mailto:a@b.cd'><a href=mailto:a@b.cd><a href=\" MAILTO:a@b.cd \">");
        row("query with entity", "<a href=\"mailto:a@b.cd?s=&amp;\">",
            "<a href=\"mailto:" + A + "&#63;&#115;&#61;&#38;\">");
        row("links off", "<a href=\"https://b.cd/\">", "<a href=\"https://b.cd/\">");
        row("links on", "<a href=\"https://b.cd/\">", "<a href=\"https://&#98;&#46;&#99;&#100;&#47;\">", true);
        each("UTF-8 byte-order mark", "\xEF\xBB\xBF<p>a@b.cd");
        // 連 is 0x98 0x41: its second byte reads as "A" to a byte-wise search.
        row("Shift_JIS", "<meta charset=shift_jis><p>\x98\x41@b.cd \x98\x41 a@b.cd",
            "<meta charset=shift_jis><p>\x98\x41@b.cd \x98\x41 " + A);
        row("EUC-JP query", "<meta charset=euc-jp><a href='mailto:a@b.cd?\xA4\xA2'>",
            "<meta charset=euc-jp><a href='mailto:" + A + "&#63;&#12354;'>");
        row("UTF-16", "\xFF\xFEz@b.cd", "error: UTF-16");
    }

    void rewritesOnlyAddressBytes()
    {
        QFETCH(QByteArray, page);
        QFETCH(bool, links);
        SiteOptions options;
        options.conversion.scope = EntityScope::All;
        options.links = links;
        ScriptedRandom random;
        random.repeat(0.0, 5000);
        const PageRewrite rewrite = rewritePage(page, options, random);
        QTEST(rewrite.problem == PageProblem::None ? rewrite.after : "error: " + rewrite.detail.toUtf8(), "expected");
    }

    void secondRunAndDryRunChangeNothingAndPermissionsStay()
    {
        QTemporaryDir dir;
        const QString path = writePage(dir, "p.html", Page);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        SystemRandom random;
        SiteOptions options;
        options.conversion.hex = options.conversion.percent = options.conversion.lineBreak = true;
        QCOMPARE(SiteRun::processPage(path, options, true, false, random).addresses, 3);
        QCOMPARE(readPage(path), Page);
        const PageOutcome first = SiteRun::processPage(path, options, false, false, random);
        QVERIFY2(first.written && !first.failed(), qPrintable(SiteRun::problemText(first)));
        const QByteArray once = readPage(path);
        QVERIFY(!once.contains('@'));
        QVERIFY(once.startsWith("<!DOCTYPE html><title>t</title><p>Mail ") && once.endsWith("\">c</a>\n"));
        QCOMPARE(SiteRun::processPage(path, options, false, false, random).addresses, 0);
        QCOMPARE(readPage(path), once);
        QCOMPARE(int(QFile::permissions(path) & 0x7777), 0x6640);
    }

    void commandLineReportsFailuresAndGoesOn()
    {
        QTemporaryDir dir;
        const QString readOnly = writePage(dir, "a.htm", Page);
        QFile::setPermissions(readOnly, QFileDevice::ReadOwner);
        writePage(dir, "b.html", Page);
        writePage(dir, "c.txt", Page);
        QProcess run;
        QCOMPARE(runSite(run, {"--forms=decimal", "--scope=at", dir.path(), dir.filePath("none")}), 1);
        QVERIFY(run.readAllStandardError().contains("a.htm: the file is read-only"));
        QVERIFY(run.readAllStandardOutput().endsWith("2 pages, 1 changed, 3 addresses, 2 errors\n"));
        QCOMPARE(readPage(readOnly), Page);
        QCOMPARE(readPage(dir.filePath("c.txt")), Page);
        for (const QStringList& usage : {QStringList{"--scope=most", "x"}, {"--forms=", "x"}, {"--forms=hex"}})
            QCOMPARE(runSite(run, usage), 2);
    }

    void killDuringRunLeavesWholePages()
    {
        QTemporaryDir dir;
        const QByteArray big = Page.repeated(400);
        for (int i = 0; i < 200; ++i)
            writePage(dir, QStringLiteral("p%1.html").arg(i), big);
        QProcess run;
        run.start(QStringLiteral(QORVANE_SITE), {"--forms=decimal", "--scope=at", "--quiet", dir.path()});
        QVERIFY(run.waitForStarted());
        QTest::qWait(150);
        run.kill();
        run.waitForFinished();
        for (const QString& name : QDir(dir.path()).entryList({"*.html"})) {
            const QByteArray bytes = readPage(dir.filePath(name));
            QVERIFY2(bytes == big || (bytes.size() == big.size() + 400 * 6 * 4 && !bytes.contains('@')),
                     qPrintable(name));
        }
    }
};

QTEST_GUILESS_MAIN(SiteTest)
#include "test_site.moc"
