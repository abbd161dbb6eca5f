#include "PageRewriter.h"
#include "ScriptedRandom.h"
#include "SiteRun.h"
#include "SiteWalk.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

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

QByteArray readAt(const QByteArray& path)
{
    std::ifstream file(path.constData(), std::ios::binary);
    return file ? QByteArray::fromStdString(std::string(std::istreambuf_iterator<char>(file), {})) : "unreadable";
}

bool writeAt(const QByteArray& path, const QByteArray& bytes)
{
    std::ofstream file(path.constData(), std::ios::binary);
    return bool(file.write(bytes.constData(), bytes.size()).flush());
}

// A tree from entries "name" (a page), "name -> target" (a link), "name/" (a folder), "name|" (a FIFO).
void build(const QByteArray& root, const QList<QByteArray>& entries)
{
    for (const QByteArray& entry : entries) {
        const qsizetype arrow = entry.indexOf(" -> ");
        const QByteArray path = root + '/' + (arrow < 0 ? entry : entry.left(arrow));
        if (arrow >= 0)
            QVERIFY(::symlink(entry.mid(arrow + 4).constData(), path.constData()) == 0);
        else if (entry.endsWith('/'))
            QVERIFY(::mkdir(path.constData(), 0777) == 0);
        else if (entry.endsWith('|'))
            QVERIFY(::mkfifo(path.chopped(1).constData(), 0666) == 0);
        else
            QVERIFY(writeAt(path, Page));
    }
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
        each("Shift_JIS", "<meta charset=shift_jis><p>\x98\x41@b.cd \x98\x41 a@b.cd");
        each("Shift_JIS detected", "<p>\x82\xA8\x96\xE2\x82\xA2\x8D\x87\x82\xED\x82\xB9 \x98\x41@b.cd a@b.cd");
        row("EUC-JP query", "<meta charset=euc-jp><a href='mailto:a@b.cd?\xA4\xA2'>",
            "<meta charset=euc-jp><a href='mailto:" + A + "&#63;&#12354;'>");
        row("UTF-16", "\xFF\xFEz@b.cd", "error: UTF-16");
    }

    void rewritesOnlyAddressBytes()
    {
        QFETCH(QByteArray, page);
        QFETCH(bool, links);
        const SiteOptions options{{true, false, false, EntityScope::All}, links};
        ScriptedRandom random(QList<double>(5000, 0.0));
        const PageRewrite rewrite = rewritePage(page, options, random);
        QTEST(rewrite.problem == PageProblem::None ? rewrite.after : "error: " + rewrite.detail.toUtf8(), "expected");
    }

    void commandLineRewritesOnceReportsFailuresAndGoesOn()
    {
        QTemporaryDir dir;
        const QString readOnly = writePage(dir, "a.htm", Page);
        const QString page = writePage(dir, "b.html", Page);
        writePage(dir, "c.txt", Page);
        QFile::setPermissions(readOnly, QFileDevice::ReadOwner);
        QFile::setPermissions(page, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        const QStringList options{"--forms=decimal,hex,percent", "--scope=random", "--line-break", dir.path(),
                                  dir.filePath("none")};
        QProcess run;
        QCOMPARE(runSite(run, QStringList{"--dry-run"} + options), 1);
        QVERIFY(run.readAllStandardOutput().contains(" 3 addresses") && readPage(page) == Page); // nothing written
        QCOMPARE(runSite(run, options), 1);
        QVERIFY(run.readAllStandardError().contains("a.htm: the file is read-only"));
        QVERIFY(run.readAllStandardOutput().endsWith("2 pages, 1 changed, 3 addresses, 2 errors\n"));
        const QByteArray once = readPage(page);
        QVERIFY(!once.contains('@') && once.startsWith("<!DOCTYPE html><title>t</title><p>Mail ")
                && once.endsWith("\">c</a>\n"));
        QCOMPARE(runSite(run, options), 1); // a second run finds nothing more
        QVERIFY(run.readAllStandardOutput().endsWith("2 pages, 0 changed, 0 addresses, 2 errors\n"));
        QCOMPARE((QList<QByteArray>{readPage(page), readPage(readOnly), readPage(dir.filePath("c.txt"))}),
                 (QList<QByteArray>{once, Page, Page}));
        QCOMPARE(int(QFile::permissions(page) & 0x7777), 0x6640);
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
        run.waitForFinished(150);
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
