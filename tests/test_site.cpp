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

SiteOptions allDecimal(bool links = false)
{
    SiteOptions options;
    options.conversion.scope = EntityScope::All;
    options.links = links;
    return options;
}

QByteArray rewritten(const QByteArray& page, bool links = false)
{
    ScriptedRandom random;
    random.repeat(0.0, 5000);
    const PageRewrite rewrite = rewritePage(page, allDecimal(links), random);
    return rewrite.problem == PageProblem::None ? rewrite.after : "error: " + rewrite.detail.toUtf8();
}

QString writePage(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return file.fileName();
}

QByteArray readPage(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
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
        row("text", "<p>a@b.cd</p>", "<p>" + A + "</p>");
        row("start and end of file", "a@b.cd", A);
        row("followed by bracket", "(a@b.cd)", "(" + A + ")");
        row("followed by full stop", "a@b.cd.", A + ".");
        row("followed by ideographic comma", "a@b.cd、", A + "、");
        row("addresses sharing characters", "a@b.cd@b.cd", A + "&#64;&#98;&#46;&#99;&#100;");
        row("entities kept", "<p>&amp;a@b.cd &copy;</p>", "<p>&amp;" + A + " &copy;</p>");
        row("title", "<title>a@b.cd</title>", "<title>" + A + "</title>");
        row("script", "<script>a@b.cd</script>", "<script>a@b.cd</script>");
        row("style", "<style>/*a@b.cd*/</style>", "<style>/*a@b.cd*/</style>");
        row("textarea", "<textarea>a@b.cd</textarea>", "<textarea>a@b.cd</textarea>");
        row("comment", "<!-- a@b.cd -->", "<!-- a@b.cd -->");
        row("other attribute", "<img alt=\"a@b.cd\">", "<img alt=\"a@b.cd\">");
        row("off zone", "<!-- qorvane:off -->a@b.cd<!-- qorvane:on -->a@b.cd",
            "<!-- qorvane:off -->a@b.cd<!-- qorvane:on -->" + A);
        row("off to the end", "<!--qorvane:off-->a@b.cd", "<!--qorvane:off-->a@b.cd");
        row("already referenced", "a&#64;b.cd &#97;@b&#46;cd", "a&#64;b.cd &#97;@b&#46;cd");
        row("double quotes", "<a href=\"mailto:a@b.cd\">", "<a href=\"mailto:" + A + "\">");
        row("single quotes", "<a href='mailto:a@b.cd'>", "<a href='mailto:" + A + "'>");
        row("unquoted", "<a href=mailto:a@b.cd>", "<a href=mailto:" + A + ">");
        row("upper-case scheme", "<a href=\" MAILTO:a@b.cd \">", "<a href=\" MAILTO:" + A + " \">");
        row("query with entity", "<a href=\"mailto:a@b.cd?s=&amp;\">",
            "<a href=\"mailto:" + A + "&#63;&#115;&#61;&#38;\">");
        row("links off", "<a href=\"https://b.cd/\">", "<a href=\"https://b.cd/\">");
        row("links on", "<a href=\"https://b.cd/\">", "<a href=\"https://&#98;&#46;&#99;&#100;&#47;\">", true);
        row("UTF-8 byte-order mark", "\xEF\xBB\xBF<p>a@b.cd", "\xEF\xBB\xBF<p>" + A);
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
        QTEST(rewritten(page, links), "expected");
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
        run.start(QStringLiteral(QORVANE_SITE), {"--forms=decimal", "--scope=at", dir.path(), dir.filePath("none")});
        QVERIFY(run.waitForFinished());
        QCOMPARE(run.exitCode(), 1);
        QVERIFY(run.readAllStandardError().contains("a.htm: the file is read-only"));
        QVERIFY(run.readAllStandardOutput().endsWith("2 pages, 1 changed, 3 addresses, 2 errors\n"));
        QCOMPARE(readPage(readOnly), Page);
        QCOMPARE(readPage(dir.filePath("c.txt")), Page);
        for (const QStringList& usage : {QStringList{"--scope=most", "x"}, {"--forms=", "x"}, {"--forms=hex"}}) {
            run.start(QStringLiteral(QORVANE_SITE), usage);
            QVERIFY(run.waitForFinished());
            QCOMPARE(run.exitCode(), 2);
        }
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
