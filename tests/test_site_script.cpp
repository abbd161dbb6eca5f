#include "PageRewriter.h"
#include "ScriptedRandom.h"

#include <QtTest>

namespace {

const QByteArray Element = "<script src=\"qorvane-mail.js\" defer=\"defer\" data-qm-script=\"\"></script>";
// "a@b.cd", "c@d.ef?subject=Hi" and "x@y.jp" as a key of zero bytes and nonce 0 encrypt them, joined on load.
const QByteArray TextA = "<span data-qm=\"AGxhQGIuY2Q\"><img src=\"qm-fb5795adbe1ce0e4.png\" alt=\"mail address\"/></span>";
const QByteArray TextX = "<span data-qm=\"AGx4QHkuanA\"><img src=\"qm-a6ca5a8cfd229535.png\" alt=\"mail address\"/></span>";
const QByteArray LinkC = "mailto:c@d.ef?subject=Hi";
const QByteArray HiddenC = "#qm-AGxtYWlsdG86Y0BkLmVmP3N1YmplY3Q9SGk";
const QByteArray RefsA = "&#97;&#64;&#98;&#46;&#99;&#100;";

QByteArray read(const QString& path) { QFile file(path); return file.open(QIODevice::ReadOnly) ? file.readAll() : "missing"; }

int runSite(const QStringList& arguments, QByteArray* messages = nullptr)
{
    QProcess run;
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(QORVANE_SITE, QStringList{"--forms=decimal", "--scope=all", "--quiet"} + arguments);
    const bool finished = run.waitForFinished(60000);
    if (messages)
        *messages = run.readAll();
    return finished ? run.exitCode() : -1;
}

} // namespace

class TestSiteScript : public QObject
{
    Q_OBJECT

private slots:
    void pages_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<bool>("onInteraction");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char* name, const QByteArray& page, const QByteArray& expected, bool interaction = false,
                            const QString& label = {}) { QTest::newRow(name) << page << interaction << label << expected; };
        row("text and link; the script before </head>",
            "<html><head><title>t</title></head><body><p>Mail a@b.cd.</p><a href=\"" + LinkC + "\">c</a></body></html>",
            "<html><head><title>t</title>" + Element + "</head><body><p>Mail " + TextA + ".</p><a href=\"" + HiddenC +
                "\">c</a></body></html>");
        row("no head: before the first span", "<p>Mail a@b.cd</p>", "<p>Mail " + Element + TextA + "</p>");
        row("no head, a link first: before its tag", "<p><a href='" + LinkC + "'>c</a></p>",
            "<p>" + Element + "<a href='" + HiddenC + "'>c</a></p>");
        row("title and other attributes keep references", "<head><title>a@b.cd</title></head><p title=\"a@b.cd\">x</p>",
            "<head><title>" + RefsA + "</title></head><p title=\"" + RefsA + "\">x</p>");
        row("a qorvane:off region is untouched", "<!-- qorvane:off -->a@b.cd<!-- qorvane:on --><p>x@y.jp</p>",
            "<!-- qorvane:off -->a@b.cd<!-- qorvane:on --><p>" + Element + TextX + "</p>");
        row("addresses written with references already, whole or in part",
            "<p>a&#64;b.cd a@b.c&#100;</p><a href=\"mailto:c&#64;d.ef?subject=Hi\">c</a>",
            "<p>" + Element + TextA + " " + TextA + "</p><a href=\"" + HiddenC + "\">c</a>");
        row("a page rewritten before is left as it is", "<p>" + TextA + " and a@b.cd</p>", "<p>" + TextA + " and a@b.cd</p>");
        row("a Japanese page names it in Japanese", "<html lang=\"ja\"><p>a@b.cd</p>",
            "<html lang=\"ja\"><p>" + Element + QByteArray(TextA).replace("mail address", "メールアドレス") + "</p>");
        row("on interaction: a stop of its own, none inside a link",
            "<p>a@b.cd <a href=\"" + LinkC + "\">a@b.cd</a></p>",
            "<p>" + Element + "<span data-qm=\"AGlhQGIuY2Q\" tabindex=\"0\" role=\"link\" aria-label=\"Mail &amp; more\">"
            "<img src=\"qm-fb5795adbe1ce0e4.png\" alt=\"Mail &amp; more\"/></span> <a href=\"#qm-AGltYWlsdG86Y0BkLmVmP3N1YmplY3Q9SGk\">"
            "<span data-qm=\"AGlhQGIuY2Q\"><img src=\"qm-fb5795adbe1ce0e4.png\" alt=\"Mail &amp; more\"/></span></a></p>",
            true, "Mail & more");
    }

    void pages()
    {
        QFETCH(QByteArray, page); QFETCH(bool, onInteraction); QFETCH(QString, label); QFETCH(QByteArray, expected);
        ScriptedRandom random; random.repeat(0.0, 1000);
        SiteOptions options; options.conversion.scope = EntityScope::All;
        const ScriptPage script{QByteArray(16, '\0'), "qorvane-mail.js", "", label, onInteraction};
        const PageRewrite rewrite = rewritePage(page, options, random, &script);
        QCOMPARE(rewrite.after, expected);
        QCOMPARE(checkRewrite(rewrite, rewrite.after), QString());
    }

    void aTokenThatDoesNotDecryptToItsAddressFailsTheCheck()
    {
        ScriptedRandom random; random.repeat(0.5, 1000);
        const ScriptPage script{QByteArray(16, '\x5a'), "m.js", "", "", false};
        PageRewrite rewrite = rewritePage("<p>a@b.cd</p>", SiteOptions{}, random, &script);
        QVERIFY(rewrite.after.contains("data-qm") && !rewrite.after.contains("a@b.cd"));
        QCOMPARE(checkRewrite(rewrite, rewrite.after), QString());
        rewrite.scriptKey[3] = 0;
        QVERIFY(!checkRewrite(rewrite, rewrite.after).isEmpty());
    }

    void runs()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("site/sub") && QDir(dir.path()).mkpath("broken/qorvane-mail.js"));
        const QByteArray page = "<p>Mail a@b.cd or <a href=\"" + LinkC + "\">x@y.jp</a></p>";
        const auto write = [&](const QString& name) {
            QFile file(dir.filePath(name));
            return file.open(QIODevice::WriteOnly) && file.write(page) == page.size();
        };
        QVERIFY(write("site/p.html") && write("site/sub/q.html") && write("broken/p.html"));
        QByteArray messages;
        QCOMPARE(runSite({"--method=script", dir.filePath("broken")}, &messages), 1);
        QVERIFY2(messages.contains("the script cannot be written"), messages);
        QCOMPARE(read(dir.filePath("broken/p.html")), page);
        QCOMPARE(runSite({"--method=script", "--dry-run", dir.filePath("site")}), 0);
        QVERIFY(!QFile::exists(dir.filePath("site/qorvane-mail.js")));
        QCOMPARE(runSite({"--method=script", dir.filePath("site")}), 0);
        const QByteArray sub = read(dir.filePath("site/sub/q.html"));
        QVERIFY2(sub.contains("src=\"../qorvane-mail.js\"") && sub.contains("src=\"../qm-") && !sub.contains('@'), sub);
        QCOMPARE(QDir(dir.filePath("site")).entryList({"qm-*.png"}).size(), 2); // one per distinct address
        const QByteArray script = read(dir.filePath("site/qorvane-mail.js"));
        QCOMPARE(runSite({"--method=script", dir.filePath("site")}, &messages), 0);
        QCOMPARE(read(dir.filePath("site/sub/q.html")), sub);
        QCOMPARE(read(dir.filePath("site/qorvane-mail.js")), script);
        QFile::remove(dir.filePath("site/p.html"));
        QFile::copy(dir.filePath("broken/p.html"), dir.filePath("site/p.html"));
        QCOMPARE(runSite({"--method=script", "--script-url=/s/m.js?v=1&x", dir.filePath("site/p.html")}), 0);
        const QByteArray served = read(dir.filePath("site/p.html"));
        QVERIFY2(served.contains("src=\"/s/m.js?v=1&amp;x\"") && served.contains("<img src=\"/s/qm-"), served);
    }

    void usageErrorsExitWith2()
    {
        for (const QStringList& arguments : {QStringList{"--method=images", "x"}, {"--method=script", "--reveal=never", "x"},
                                             {"--label=Mail", "x"}, {"--method=script", "-"}})
            QVERIFY2(runSite(arguments) == 2, qPrintable(arguments.join(' ')));
    }
};

QTEST_GUILESS_MAIN(TestSiteScript)
#include "test_site_script.moc"
