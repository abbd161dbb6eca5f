#include "AddressFinder.h"
#include "FileLocations.h"
#include "GeneratedLinks.h"
#include "PageRewriter.h"
#include "ScriptedRandom.h"
#include "SiteRun.h"
#include "SiteWalk.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// "a@b.cd" and its pieces as scope "all" with decimal references writes them.
const QByteArray A = "&#97;&#64;&#98;&#46;&#99;&#100;";
// UTF-16LE with a lone surrogate before its "@".
const QByteArray Broken("\xFF\xFE\x00\xD8@\x00", 6);
const QByteArray Page = "<!DOCTYPE html><title>t</title><p>Mail a@b.cd or x@y.jp.</p><a href=\"mailto:c@d.ef\">c</a>\n";

// A page in UTF-16LE with its byte-order mark.
QByteArray wide(const QByteArray& utf8)
{
    const QString text = QString::fromUtf8(utf8);
    return "\xFF\xFE" + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// Every span the finder gives, and the declared encoding; *handedOver tells whether the parser gave them.
QStringList spansOf(const QByteArray& page, AddressFinder::Mode mode, bool* handedOver = nullptr)
{
    AddressFinder finder(page, mode);
    QString detail;
    const auto encoding = PageEncoding::choose(page, finder.declaredCharset(), &detail);
    if (!encoding)
        return {"no encoding"};
    finder.useEncoding(*encoding);
    if (handedOver)
        *handedOver = finder.handedOver();
    QStringList spans{QString::fromLatin1(finder.declaredCharset())};
    for (const AddressSpan& span : finder.find(*encoding, true))
        spans.append(QStringLiteral("%1-%2 %3 %4").arg(span.start).arg(span.end).arg(int(span.kind)).arg(span.text));
    return spans;
}

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

const QByteArray Long = QByteArray(245, 'x') + ".html"; // with a temporary name beside it, past 255 bytes

const SiteTask AllDecimal = [] {
    SiteTask task;
    task.options.conversion = {true, false, false, EntityScope::All};
    return task;
}();

PageOutcome processOne(const QByteArray& path, const SiteTask& task)
{
    ScriptedRandom random(QList<double>(5000, 0.0));
    return SiteRun::processPage({path, path}, task, random);
}

} // namespace

class SiteTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tree;
    QByteArray m_dryRun;
    QByteArray m_said;
    QByteArray m_summary;

    QByteArray at(const QByteArray& name) const { return QFile::encodeName(m_tree.path()) + "/site/" + name; }

private slots:
    void initTestCase()
    {
        const QByteArray root = QFile::encodeName(m_tree.path());
        build(root, {"site/", "outside/", "outside/o.html", "outside/end.html", "outside/mid.html -> end.html"});
        build(root + "/site", {"a.html", "in/", "in/b.html", "link-in.html -> in/b.html", "linkdir -> in",
                               "out.html -> ../outside/o.html", "outdir -> ../outside", "sub/", "sub/end.html",
                               "sub/mid.html -> end.html", "c.html -> sub/mid.html", "chain.html -> ../outside/mid.html",
                               "loop.html -> loop2.html", "loop2.html -> loop.html", "fifo.html|", "pipe.html -> fifo.html",
                               "zero.html -> /dev/zero", "bad\xff.html", Long, "hard.html", ".git/", ".git/x.html",
                               ".hidden.html", "node_modules/", "node_modules/y.html", ".qorvane-old.tmp"});
        QVERIFY(::link(at("hard.html"), at("hard2.html")) == 0);
        if (::geteuid() == 0)
            QVERIFY(::chown(at("a.html"), 65534, 65534) == 0 && ::chmod(at("a.html"), 0600) == 0);
        QByteArray live; // a temporary file of a run still alive
        QVERIFY(PageFile::createTemporary(root + "/site", 0600, &live) >= 0);
        QProcess run;
        run.setWorkingDirectory(m_tree.path());
        QCOMPARE(runSite(run, {"--forms=decimal", "--scope=all", "--dry-run", "site"}), 1);
        m_dryRun = run.readAllStandardOutput();
        QCOMPARE(runSite(run, {"--forms=decimal", "--scope=all", "site", "./site/"}), 1); // named twice, taken once
        m_said = run.readAllStandardError();
        m_summary = run.readAllStandardOutput();
        QVERIFY(::access(at(".qorvane-old.tmp"), F_OK) != 0 && ::access(live, F_OK) == 0);
    }

    // Qt's removal skips names that are not text.
    void cleanupTestCase() { std::filesystem::remove_all(QFile::encodeName(m_tree.path()).toStdString()); }

    void everyEntryIsTakenOrReported_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QByteArray>("said");    // after "site/<entry>: "; empty: nothing said
        QTest::addColumn<QByteArray>("checked"); // the real file behind it
        QTest::addColumn<bool>("rewritten");
        const auto row = [](const char* name, const QByteArray& entry, const QByteArray& said, const QByteArray& checked,
                            bool rewritten) { QTest::newRow(name) << entry << said << checked << rewritten; };
        row("page", "a.html", "", "a.html", true);
        row("page link inside", "link-in.html", "", "in/b.html", true);
        row("folder link inside", "linkdir", "", "in/b.html", true);
        row("page link outside", "out.html", "a link to", "../outside/o.html", false);
        row("folder link outside", "outdir", "a link to", "../outside/o.html", false);
        row("chain outside", "chain.html", "a link to", "../outside/end.html", false);
        row("chain inside", "c.html", "", "sub/end.html", true);
        row("loop", "loop.html", "a link that leads nowhere", "", false);
        row("FIFO", "fifo.html", "not a regular file", "", false);
        row("FIFO behind a link", "pipe.html", "not a regular file", "", false);
        row("device behind a link", "zero.html", "a link to \"/dev/zero\"", "", false);
        row("name not valid UTF-8", "bad\xff.html", "", "bad\xff.html", true);
        row("250-byte name", Long, "", Long, true);
        row("hard link", "hard.html", "has 2 hard links", "hard2.html", false);
        row("hidden folder", ".git/x.html", "", ".git/x.html", false);
        row("hidden page", ".hidden.html", "", ".hidden.html", false);
        row("node_modules", "node_modules/y.html", "", "node_modules/y.html", false);
    }

    void everyEntryIsTakenOrReported()
    {
        QFETCH(QByteArray, entry);
        QFETCH(QByteArray, said);
        QFETCH(QByteArray, checked);
        QFETCH(bool, rewritten);
        const QByteArray line = "qorvane-site: site/" + shownName(entry).toUtf8() + ": " + said;
        QCOMPARE(said.isEmpty() ? m_said.count("site/" + shownName(entry).toUtf8() + ":") : m_said.count(line),
                 said.isEmpty() ? 0 : 1);
        if (!checked.isEmpty())
            QCOMPARE(readAt(at(checked)).startsWith(Page.left(39) + "&#97;&#64;"), rewritten);
    }

    void eachRealPageOnceLinksStayLinksOwnerAndModeKept()
    {
        QVERIFY(m_summary.endsWith("6 pages, 5 changed, 15 addresses, 9 errors\n"));
        QVERIFY(QFileInfo(m_tree.filePath("site/sub/mid.html")).isSymLink() &&
                QFileInfo(m_tree.filePath("site/link-in.html")).isSymLink());
        QVERIFY(m_dryRun.startsWith("3 hidden entries and node_modules folders skipped (--hidden walks them)\n"));
        QVERIFY(m_dryRun.contains("site/bad\\xff.html: 3 addresses"));
        struct stat st {};
        QVERIFY(::stat(at("a.html"), &st) == 0);
        if (::geteuid() == 0)
            QCOMPARE(QList<unsigned>({st.st_uid, st.st_gid, st.st_mode & 07777}), QList<unsigned>({65534, 65534, 0600}));
    }

    void unreadableFolderIsReported()
    {
        QTemporaryDir dir;
        const QByteArray root = QFile::encodeName(dir.path());
        build(root, {"locked/", "locked/p.html"});
        QVERIFY(::chmod(root, 0755) == 0 && ::chmod(root + "/locked", 0) == 0);
        if (::geteuid() == 0 && (::setegid(65534) != 0 || ::seteuid(65534) != 0))
            QSKIP("no user nobody to read as");
        const SiteWalk walk = SiteWalk::walk({root}, false, false);
        QVERIFY(::seteuid(0) == 0 && ::setegid(0) == 0);
        QCOMPARE(walk.problems.size(), 1);
        QCOMPARE(walk.problems[0].problem, PageProblem::Unreadable);
        QCOMPARE(walk.problems[0].file, root + "/locked");
    }

    void pageChangedBetweenReadAndRenameIsLeftToTheOtherWriter_data()
    {
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("another writer") << false;
        QTest::newRow("cancelled just before the rename") << true;
    }

    void pageChangedBetweenReadAndRenameIsLeftToTheOtherWriter()
    {
        QFETCH(bool, cancelled);
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath("p.html"));
        QVERIFY(writeAt(path, Page));
        std::atomic<bool> stop{false};
        SiteTask task = AllDecimal;
        task.cancelled = &stop;
        task.beforeReplace = [&](const PageRef&) { cancelled ? void(stop = true) : void(writeAt(path, "theirs")); };
        const PageOutcome outcome = processOne(path, task);
        QCOMPARE(outcome.problem, cancelled ? PageProblem::None : PageProblem::ChangedMeanwhile);
        QCOMPARE(outcome.cancelled, cancelled);
        QCOMPARE(readAt(path), cancelled ? Page : QByteArray("theirs"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"p.html"});
    }

    void folderRefusingNewFilesLeavesThePage()
    {
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath("p.html"));
        QVERIFY(writeAt(path, Page) && ::chmod(path, 0666) == 0 && ::chmod(QFile::encodeName(dir.path()), 0555) == 0);
        if (::geteuid() == 0 && (::setegid(65534) != 0 || ::seteuid(65534) != 0))
            QSKIP("no user nobody to write as");
        const PageOutcome outcome = processOne(path, AllDecimal);
        QVERIFY(::seteuid(0) == 0 && ::setegid(0) == 0);
        ::chmod(QFile::encodeName(dir.path()), 0700);
        QCOMPARE(SiteRun::problemText(outcome), QString("cannot be written, left unchanged: Permission denied"));
        QCOMPARE(readAt(path), Page);
    }

    void twoRunsAtOnceLeaveEveryPageRewritten()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 100; ++i)
            writePage(dir, QStringLiteral("p%1.html").arg(i), Page.repeated(50));
        QProcess first, second;
        const QStringList options{"--forms=decimal", "--scope=at", "--quiet", dir.path()};
        first.start(QStringLiteral(QORVANE_SITE), options);
        second.start(QStringLiteral(QORVANE_SITE), options);
        for (QProcess* run : {&first, &second}) {
            QVERIFY(run->waitForFinished());
            QVERIFY(run->exitCode() == 0 || run->readAllStandardError().contains("another qorvane-site run is rewriting"));
        }
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
            QVERIFY2(name.endsWith(".html") && !readPage(dir.filePath(name)).contains('@'), qPrintable(name));
    }

    void pathGivenAsBytesIsTaken()
    {
        QTemporaryDir dir;
        QVERIFY(writeAt(QFile::encodeName(dir.path()) + "/bad\xff.html", Page));
        QProcess run;
        run.setWorkingDirectory(dir.path());
        run.start("/bin/sh", {"-c", "exec \"$0\" --forms=decimal --scope=at \"$(printf 'bad\\377.html')\"", QORVANE_SITE});
        QVERIFY(run.waitForFinished());
        QCOMPARE(run.exitCode(), 0);
        QVERIFY(!readAt(QFile::encodeName(dir.path()) + "/bad\xff.html").contains('@'));
        ::unlink(QFile::encodeName(dir.path()) + "/bad\xff.html");
    }

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
                                 "<!-- a@b.cd --><img alt=\"a&#64;b.cd\">a&#64;b.cd &#97;@b&#46;cd";
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
        each("every attribute value, any quoting; an href that is no link",
             "<link rev=made href=\"a@b.cd\"><meta name=author content='a@b.cd'><input value=a@b.cd title=\"x a@b.cd\">"
             "<a href=\"http://a@b.cd/\"><svg><text aria-label=\"a@b.cd\">");
        row("an attribute name is no value", "<p a@b.cd x=1>", "<p a@b.cd x=1>");
        row("attributes in an off zone", "<!--qorvane:off--><img alt=a@b.cd><!--qorvane:on-->",
            "<!--qorvane:off--><img alt=a@b.cd><!--qorvane:on-->");
        // Each second byte below is ASCII ("@", "A" or a digit) inside a two-byte character.
        each("EUC-KR", "<meta charset=euc-kr><p>\xB0\xA1\xC5\x41@b.cd a@b.cd");
        each("Big5", "<meta charset=big5><p>\xA4\x40" "b.cd a@b.cd");
        each("GB18030", "<meta charset=gbk><p>\x81\x40" "b.cd \x81\x30\x81\x30@b.cd a@b.cd");
        each("windows-1252", "<meta charset=windows-1252><p>caf\xE9 a@b.cd");
        each("ISO-2022-JP", "<meta charset=iso-2022-jp><p>\x1B$B$\"@b\x1B(B.cd a@b.cd");
        row("UTF-16LE with byte-order mark", wide("<p title=a@b.cd>\xE9\x80\xA3 a@b.cd"),
            wide("<p title=" + A + ">\xE9\x80\xA3 " + A));
        row("UTF-16 with a broken character", Broken, "error: UTF-16LE");
        row("a label browsers show no text for", "<meta charset=iso-2022-kr><p>a@b.cd", "error: iso-2022-kr");
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

    void checkRefusesAWrongRewrite_data()
    {
        QTest::addColumn<QByteArray>("href");
        QTest::addColumn<QByteArray>("written"); // in place of what follows the scheme
        QTest::addColumn<bool>("refused");
        QTest::newRow("escape split") << QByteArray("mailto:a@x.jp?s=Hi%20") << QByteArray("&#97;%40x.jp?s=Hi%%32%30")
                                      << true;
        QTest::newRow("port escaped") << QByteArray("http://b.cd:8080/") << QByteArray("&#98;.cd:%38080/") << true;
        QTest::newRow("user's @ escaped") << QByteArray("http://u@b.cd/") << QByteArray("&#117;%40b.cd/") << true;
        QTest::newRow("raw Japanese query, UTF-8 escape") << QByteArray("http://b.cd/?q=\xA4\xA2")
                                                          << QByteArray("&#98;.cd/?q=%E3%81%82") << true;
        QTest::newRow("right") << QByteArray("mailto:a@x.jp?s=Hi%20") << QByteArray("&#97;%40x.jp?s=H%69%20") << false;
    }

    void checkRefusesAWrongRewrite()
    {
        QFETCH(QByteArray, href);
        QFETCH(QByteArray, written);
        ScriptedRandom random(QList<double>(5000, 0.0));
        PageRewrite r = rewritePage("<meta charset=euc-jp><a href=\"" + href + "\">", {{}, true}, random);
        QCOMPARE(r.changes.size(), 1);
        SpanChange& change = r.changes[0];
        r.after.replace(change.span.start, change.replacement.size(), written);
        change.replacement = written;
        QTEST(!checkRewrite(r, r.after).isEmpty(), "refused");
    }

    // Every kind of link under every option set: rewritten whole, never refused while a reference form is on.
    void linksKeepTheirMeaningAndAreNeverRefusedByChance()
    {
        SystemRandom random;
        for (int set = 0; set < 7 * 3 * 8 * 10; ++set) {
            const int forms = set % 7 + 1, flags = set / 21 % 8;
            const QString link = generatedLink(random);
            const SiteOptions options{{bool(forms & 1), bool(forms & 2), bool(forms & 4), EntityScope(set / 7 % 3),
                                       bool(flags & 1), bool(flags & 2), bool(flags & 4)}, true};
            const QByteArray page = "<a href=\"" + link.toHtmlEscaped().toUtf8() + "\">x</a>";
            const PageRewrite r = rewritePage(page, options, random);
            const bool reference = (forms & 3) && options.conversion.scope != EntityScope::AtOnly;
            QVERIFY2(!reference || r.problem == PageProblem::None, qPrintable(link + ": " + r.detail));
            QVERIFY2(checkRewrite(r, r.after).isEmpty() || r.changes.isEmpty(), qPrintable(link));
        }
    }

    void linkTheOptionsCannotHideIsLeftAndTheRestRewritten()
    {
        QTemporaryDir dir;
        const QByteArray v6 = "<a href=\"http://[::1]/\">v6</a>";
        const QString page = writePage(dir, "p.html", v6 + "<a href=\"mailto:a@b.cd\">m</a>");
        QProcess run;
        QCOMPARE(runSite(run, {"--forms=percent", "--scope=all", "--links", page}), 1);
        QVERIFY(run.readAllStandardError().endsWith("p.html: these options cannot hide \"http://[::1]/\"\n"));
        QVERIFY(run.readAllStandardOutput().endsWith("1 pages, 1 changed, 1 addresses, 1 errors\n"));
        QCOMPARE(readPage(page).toLower(), v6 + "<a href=\"mailto:%61%40%62%2e%63%64\">m</a>");
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
        QCOMPARE(runSite(run, {"--help-all"}), 0);
        QCOMPARE(runSite(run, {"--forms=hex", dir.filePath("c.txt")}), 1);
        QVERIFY(run.readAllStandardError().endsWith("c.txt: not a page (.html, .htm, .xhtml); skipped\n"));
    }

    void scannerFindsWhatTheParserFinds_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<bool>("handedOver");
        const auto scanned = [](const char* name, const QByteArray& page) { QTest::newRow(name) << page << false; };
        const auto handed = [](const char* name, const QByteArray& page) { QTest::newRow(name) << page << true; };
        scanned("data, tags, every quoting, text that is no tag",
                "<!DOCTYPE html><html lang=ja><head><meta charset=\"utf-8\"><title>t a@b.cd</title></head><body>"
                "<p id='a@b.cd' title=\"a@b.cd\" data-x=a@b.cd>a@b.cd <a href=\"mailto:a@b.cd\">m</a> "
                "<a href=https://b.cd/>l</a> a < b <3 a@b.cd<</p></body></html>a@b.cd");
        scanned("raw text, RCDATA, comments, off zones, bogus comments",
                "<script>var s = 'a@b.cd</scripty>'; if (a<b) x@y.zz</script ><style>a@b.cd</style><textarea>a@b.cd"
                "</textarea><xmp>a@b.cd</xmp><iframe>a@b.cd</iframe><noembed>a@b.cd</noembed>"
                "<noframes>a@b.cd</noframes><!-- a@b.cd --><!-- qorvane:off -->a@b.cd<!--qorvane:on--><?xml x?>"
                "<!x y></ x>a@b.cd</><!-- a --->b@c.de");
        scanned("duplicate attributes, slashes, odd names, upper case",
                "<p a=a@b.cd A=c@d.ef/ \"x@y.zz\"=1 title = 'q@r.st'/><img/alt=w@x.yz/><P TITLE=a@b.cd>"
                "<SCRIPT>x@y.zz</SCRIPT><A HREF=MAILTO:a@b.cd>a@b.cd</A><title/>x@y.zz</title\n>");
        scanned("forms one after another",
                "<form action=\"mailto:a@b.cd\"><input value=a@b.cd></form><form action=mailto:c@d.ef></form>");
        scanned("declared in http-equiv", "<meta http-equiv=Content-Type content=\"text/html; charset=Shift_JIS\">"
                                          "<p>\x98\x41@b.cd a@b.cd");
        scanned("tables, text the parser moves out of them",
                "<table summary=a@b.cd>x@y.zz<tr title=t><td>a@b.cd<table><td>b@c.de</table></td></tr>q@r.st</table>");
        handed("a table cell outside a table", "<p><td title=a@b.cd>");
        handed("foreign content", "<svg><title>a@b.cd</title></svg>");
        handed("script with an escape", "<script><!--<script>x</script>a@b.cd--></script>");
        handed("a form within a form", "<form><form action=mailto:a@b.cd>");
        handed("a second body", "<p>x<body title=a@b.cd>");
        handed("an attribute name that starts with \"=\"", "<p =b@c.de>");
        handed("an end tag with an address", "<p>x</a@b.cd>");
        handed("a comment to the end", "<!-- a@b.cd");
        handed("a null byte", QByteArray("a@b.cd\0", 7));
        handed("noscript", "<noscript>a@b.cd</noscript>");
        handed("a raw-text element to the end", "<style>a@b.cd");
    }

    void scannerFindsWhatTheParserFinds()
    {
        QFETCH(QByteArray, page);
        bool handedOver = false;
        const QStringList fast = spansOf(page, AddressFinder::Mode::Fast, &handedOver);
        QTEST(handedOver, "handedOver");
        QCOMPARE(fast.join(QLatin1Char('|')), spansOf(page, AddressFinder::Mode::Parser).join(QLatin1Char('|')));
        QVERIFY(handedOver || fast.size() > 1); // a row that finds nothing proves nothing
    }

    void changedLinesShowEachLineOnce_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QStringList>("expected");
        const QString a = QString::fromLatin1(A);
        QTest::newRow("an address at the very start, two on one line")
            << QByteArray("a@b.cd\nx\ny a@b.cd a@b.cd\n")
            << QStringList{"1: a@b.cd > " + a, "3: y a@b.cd a@b.cd > y " + a + ' ' + a};
        QTest::newRow("UTF-16, whose line ends are two bytes")
            << wide("x\n\xE9\x80\xA3 a@b.cd\n")
            << QStringList{QString::fromUtf8("2: \xE9\x80\xA3 a@b.cd > \xE9\x80\xA3 ") + a};
    }

    void changedLinesShowEachLineOnce()
    {
        QFETCH(QByteArray, page);
        ScriptedRandom random(QList<double>(5000, 0.0));
        QStringList shown;
        const PageRewrite rewrite = rewritePage(page, {{true, false, false, EntityScope::All}}, random);
        for (const ChangedLine& line : changedLines(rewrite))
            shown.append(QStringLiteral("%1: %2 > %3").arg(line.number).arg(line.before, line.after));
        QTEST(shown, "expected");
    }

    void pipeRewritesOnePageOrPassesItThrough_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<int>("exitCode");
        const QStringList all{"--forms=decimal", "--scope=all", "-"};
        QTest::newRow("rewritten") << all << QByteArray("<p>a@b.cd") << "<p>" + A << 0;
        QTest::newRow("dry run") << QStringList{"--dry-run"} + all << QByteArray("<p>a@b.cd") << QByteArray("<p>a@b.cd")
                                 << 0;
        QTest::newRow("cannot be rewritten") << all << Broken << Broken << 1;
        QTest::newRow("with a path") << QStringList{"--forms=decimal", "-", "x"} << QByteArray("a@b.cd") << QByteArray()
                                     << 2;
    }

    void pipeRewritesOnePageOrPassesItThrough()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QProcess run;
        run.start(QStringLiteral(QORVANE_SITE), arguments);
        run.write(input);
        run.closeWriteChannel();
        QVERIFY(run.waitForFinished());
        QTEST(run.readAllStandardOutput(), "output");
        QTEST(run.exitCode(), "exitCode");
        QCOMPARE(run.readAllStandardError().contains("-: "), run.exitCode() == 1);
    }

    void readingSettingsCreatesNoFolder()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("bin/" QORVANE_DATA_FROM_BIN)));
        const auto locate = [&dir](FileLocations::Folders folders) {
            return FileLocations::forProgramIn(dir.filePath("bin"), dir.filePath("config"), dir.filePath("data"),
                                               folders);
        };
        locate(FileLocations::Folders::LeaveMissing);
        QVERIFY(!QFileInfo::exists(dir.filePath("config")) && !QFileInfo::exists(dir.filePath("data")));
        QCOMPARE(locate(FileLocations::Folders::Create).settingsFolder, dir.filePath("config/qorvane"));
        QVERIFY(QFileInfo(dir.filePath("config/qorvane")).isDir() && QFileInfo(dir.filePath("data/qorvane")).isDir());
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
