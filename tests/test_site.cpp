#include "AddressFinder.h"
#include "FakeConversionView.h"
#include "FileLocations.h"
#include "GeneratedLinks.h"
#include "HtmlDecode.h"
#include "PageRewriter.h"
#include "ParserBounds.h"
#include "ScriptedRandom.h"
#include "SiteJob.h"
#include "SiteRun.h"
#include "SiteWalk.h"

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
const QByteArray Long = QByteArray(245, 'x') + ".html"; // with a temporary name beside it, past 255 bytes

// Adds the columns of a data table and gives a function that adds a named row of them.
template <typename... T>
auto table(const char* const (&names)[sizeof...(T)])
{
    std::size_t i = 0;
    (QTest::addColumn<T>(names[i++]), ...);
    return [](const char* name, const T&... values) { (QTest::newRow(name) << ... << values); };
}

// Each character as a decimal reference, as scope "all" with decimal references writes it.
QByteArray refs(const QString& text)
{
    QByteArray out;
    for (char32_t c : text.toUcs4())
        out += "&#" + QByteArray::number(c) + ';';
    return out;
}

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

QByteArray readPage(const QString& path) { return readAt(QFile::encodeName(path)); }

QString writePage(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    return writeAt(QFile::encodeName(dir.filePath(name)), bytes) ? dir.filePath(name) : QString();
}

// No time limit of its own: under load a run may take long, and the test runner bounds it.
int runSite(QProcess& run, const QStringList& arguments, const QByteArray& input = {}, const QString& program = QORVANE_SITE)
{
    run.start(program, arguments);
    run.write(input);
    run.closeWriteChannel();
    return run.waitForFinished(-1) ? run.exitCode() : -1;
}

// Root reads and writes past any mode, so refused access is tried as user nobody.
bool asNobody() { return ::geteuid() != 0 || (::setegid(65534) == 0 && ::seteuid(65534) == 0); }
bool asBefore() { return ::getuid() != 0 || (::seteuid(0) == 0 && ::setegid(0) == 0); }

// A tree from entries "name" (a page), "name -> target" (a link), "name/" (a folder), "name|" (a FIFO).
void build(const QByteArray& root, const QList<QByteArray>& entries)
{
    for (const QByteArray& entry : entries) {
        const qsizetype arrow = entry.indexOf(" -> ");
        const QByteArray path = root + '/' + (arrow < 0 ? entry : entry.left(arrow));
        const bool made = arrow >= 0             ? ::symlink(entry.mid(arrow + 4).constData(), path.constData()) == 0
                          : entry.endsWith('/') ? ::mkdir(path.constData(), 0777) == 0
                          : entry.endsWith('|') ? ::mkfifo(path.chopped(1).constData(), 0666) == 0
                                                : writeAt(path, Page);
        QVERIFY2(made, entry.constData());
    }
}

} // namespace

class SiteTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tree;
    QByteArray m_dryRun, m_said, m_summary;

    QByteArray at(const QByteArray& name) const { return QFile::encodeName(m_tree.path()) + "/site/" + name; }

private slots:
    // One dry run and one run over a tree of every kind of entry.
    void initTestCase()
    {
        const QByteArray root = QFile::encodeName(m_tree.path());
        build(root, {"site/", "outside/", "outside/o.html", "outside/end.html", "outside/mid.html -> end.html",
                     "outside/bad\xff.html", "site2/", "site2/s.html"});
        build(root + "/site", {"a.html", "in/", "in/b.html", "link-in.html -> in/b.html", "linkdir -> in",
                               "out.html -> ../outside/o.html", "outdir -> ../outside", "sub/", "sub/end.html",
                               "sub/mid.html -> end.html", "c.html -> sub/mid.html", "chain.html -> ../outside/mid.html",
                               "loop.html -> loop2.html", "loop2.html -> loop.html", "fifo.html|", "pipe.html -> fifo.html",
                               "zero.html -> /dev/zero", "bad\xff.html", Long, "hard.html", ".git/", ".git/x.html",
                               "UPPER.HTM", "v1.2.html", "gone -> nowhere", "sib.html -> ../site2/s.html",
                               ".hidden.html", "node_modules/", "node_modules/y.html"});
        QByteArray stale; // a temporary file of a run that died
        QVERIFY(::close(PageFile::createTemporary(root + "/site", 0600, &stale)) == 0);
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
        m_said = run.readAllStandardError(); m_summary = run.readAllStandardOutput();
        QVERIFY(::access(stale, F_OK) != 0 && ::access(live, F_OK) == 0);
        run.setWorkingDirectory(m_tree.filePath("outside")); // a path given as bytes that are not text
        run.start("/bin/sh", {"-c", "exec \"$0\" --forms=decimal --scope=all \"$(printf 'bad\\377.html')\"",
                              QORVANE_SITE});
        QVERIFY(run.waitForFinished());
        QCOMPARE(run.exitCode(), 0);
    }

    // Qt's removal skips names that are not text.
    void cleanupTestCase() { std::filesystem::remove_all(QFile::encodeName(m_tree.path()).toStdString()); }

    void eachRealPageOnceLinksStayLinksOwnerAndModeKept()
    {
        QVERIFY(m_summary.endsWith("8 pages, 7 changed, 21 addresses, 11 errors\nreadable after the rewrite: raw 3, decoded 21, spelled 0\n"));
        QVERIFY(m_dryRun.startsWith("3 hidden entries and node_modules folders skipped (--hidden walks them)\n"));
        QVERIFY(m_dryRun.contains("site/bad\\xff.html: 3 addresses"));
        QVERIFY(QFileInfo(m_tree.filePath("site/sub/mid.html")).isSymLink() &&
                QFileInfo(m_tree.filePath("site/link-in.html")).isSymLink());
        struct stat st {};
        QVERIFY(::stat(at("a.html"), &st) == 0);
        if (::geteuid() == 0)
            QCOMPARE(QList<unsigned>({st.st_uid, st.st_gid, st.st_mode & 07777}), QList<unsigned>({65534, 65534, 0600}));
    }

    void everyEntryIsTakenOrReported_data()
    {
        // said: after "site/<entry>: ", empty when nothing is said; checked: the real file behind the entry
        const auto row = table<QByteArray, QByteArray, QByteArray, bool>({"entry", "said", "checked", "rewritten"});
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
        row("path named as bytes", "", "", "../outside/bad\xff.html", true);
        row("250-byte name", Long, "", Long, true);
        row("hard link", "hard.html", "has 2 hard links", "hard2.html", false);
        row("hidden folder", ".git/x.html", "", ".git/x.html", false);
        row("hidden page", ".hidden.html", "", ".hidden.html", false);
        row("node_modules", "node_modules/y.html", "", "node_modules/y.html", false);
        row("suffix in capitals", "UPPER.HTM", "", "UPPER.HTM", true);
        row("two dots in the name", "v1.2.html", "", "v1.2.html", true);
        row("link without suffix that leads nowhere", "gone", "a link that leads nowhere", "", false);
        row("link into a sibling named like the PATH", "sib.html", "a link to", "../site2/s.html", false);
    }

    void everyEntryIsTakenOrReported()
    {
        QFETCH(QByteArray, entry); QFETCH(QByteArray, said); QFETCH(QByteArray, checked);
        const QByteArray shown = "site/" + shownName(entry).toUtf8() + ":";
        QCOMPARE(m_said.count(said.isEmpty() ? shown : "qorvane-site: " + shown + ' ' + said), said.isEmpty() ? 0 : 1);
        if (!checked.isEmpty())
            QTEST(readAt(at(checked)).startsWith(Page.left(39) + "&#97;&#64;"), "rewritten");
    }

    // Each row is a tree of its own, "t", with page (when given) as its first file; kept must stay after the run.
    void nothingIsSkippedInSilence_data()
    {
        const auto row = table<QList<QByteArray>, QByteArray, QString, QByteArray, QByteArray>(
            {"entries", "page", "option", "said", "kept"});
        const QByteArray nowhere = "t/docs.v2: a link that leads nowhere: No such file or directory\n";
        row("dangling link with a dot", {"docs.v2 -> gone"}, "", "--quiet", nowhere, "");
        row("looping link with a dot", {"a.b -> a.b"}, "", "--quiet",
            "t/a.b: a link that leads nowhere: Too many levels of symbolic links\n", "");
        row("UTF-16 without its mark", {"w.html"}, wide("<p>a@b.cd").mid(2), "--quiet",
            "t/w.html: unsupported encoding \"UTF-16 without a byte-order mark\"\n", "");
        row("line end in a name", {"x\n1 pages, 1 changed, 3 addresses, 0 errors.html"}, "", "--dry-run",
            "t/x\\x0a1 pages, 1 changed, 3 addresses, 0 errors.html: 3 addresses\n", "");
        row("escape and bidi in a name", {"x\x1b[2K\xe2\x80\xaey.html"}, "", "--dry-run",
            "t/x\\x1b[2K\\u{202e}y.html: 3 addresses\n", "");
        row("a user's file named like a temporary", {".qorvane-notes.tmp", "p.html"}, "", "--hidden",
            "1 pages, 1 changed", ".qorvane-notes.tmp");
        row("a folder named like a temporary", {".qorvane-keep.tmp/", ".qorvane-keep.tmp/p.html"}, "", "--hidden",
            "t/.qorvane-keep.tmp/p.html: 3 addresses\n", ".qorvane-keep.tmp/p.html");
    }

    void nothingIsSkippedInSilence()
    {
        QFETCH(QList<QByteArray>, entries); QFETCH(QByteArray, page); QFETCH(QByteArray, kept);
        QTemporaryDir dir;
        const QByteArray root = QFile::encodeName(dir.path()) + "/t";
        build(QFile::encodeName(dir.path()), {"t/"}); build(root, entries);
        QVERIFY(page.isEmpty() || writeAt(root + '/' + entries[0], page));
        QProcess run;
        run.setWorkingDirectory(dir.path()); run.setProcessChannelMode(QProcess::MergedChannels);
        QFETCH(QString, option);
        runSite(run, {"--forms=decimal", "--scope=all", option, "t"});
        QFETCH(QByteArray, said);
        QVERIFY2(run.readAll().contains(said), said.constData());
        QVERIFY(kept.isEmpty() || ::access(root + '/' + kept, F_OK) == 0);
    }

    void jobSaysHowManyHiddenEntriesItSkipped()
    {
        QTemporaryDir dir;
        build(QFile::encodeName(dir.path()), {".a.html", ".git/", "node_modules/", "p.html"});
        SiteTask task; task.dryRun = true;
        SiteJob job({dir.path()}, task);
        QSignalSpy hidden(&job, &SiteJob::hiddenSkipped), finished(&job, &SiteJob::finished);
        job.start();
        QVERIFY(finished.wait());
        QCOMPARE(hidden, QList<QVariantList>{{3}});
    }

    void unreadableFolderIsReported()
    {
        QTemporaryDir dir;
        const QByteArray root = QFile::encodeName(dir.path());
        build(root, {"locked/", "locked/p.html"});
        QVERIFY(::chmod(root, 0755) == 0 && ::chmod(root + "/locked", 0) == 0);
        if (!asNobody())
            QSKIP("no user nobody to read as");
        const SiteWalk walk = SiteWalk::walk({root}, false, false);
        QVERIFY(asBefore());
        QCOMPARE(walk.problems.size(), 1);
        QCOMPARE(walk.problems[0].problem, PageProblem::Unreadable);
        QCOMPARE(walk.problems[0].file, root + "/locked");
    }

    void pageIsLeftWhenItCannotBeReplaced_data()
    {
        // meanwhile: 0 another program writes the page, 1 the run is cancelled, 2 the folder refuses new files,
        // else a shell command run on the page (p.html) in its folder
        const auto row = table<QString, QString, QByteArray>({"meanwhile", "said", "left"});
        const QString changed = "changed by another program while it was rewritten; its version is kept";
        row("another writer", "0", changed, "x");
        row("cancelled just before the rename", "1", "", Page);
        row("folder refusing new files", "2", "cannot be written, left unchanged: Permission denied", Page);
        const QByteArray same = QByteArray(Page).replace("Mail", "Post");
        row("same size, its time put back", "touch -r p.html t && printf '" + same + "' > p.html && touch -r t p.html",
            changed, same);
        row("chmod", "chmod 600 p.html", changed, Page);
        row("chown", "chown nobody p.html", changed, Page);
        row("a new hard link", "ln p.html q", changed, Page);
    }

    void pageIsLeftWhenItCannotBeReplaced()
    {
        QFETCH(QString, meanwhile); QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath("p.html"));
        QVERIFY(writeAt(path, Page) && ::chmod(path, 0666) == 0);
        QVERIFY(meanwhile != "2" || ::chmod(QFile::encodeName(dir.path()), 0555) == 0);
        if (meanwhile.startsWith("chown") && ::geteuid() != 0)
            QSKIP("only root gives a file away");
        if (meanwhile == "2" && !asNobody())
            QSKIP("no user nobody to write as");
        std::atomic<bool> stop{false};
        SiteTask task;
        task.options.conversion = {true, false, false, EntityScope::All};
        task.cancelled = &stop;
        task.beforeReplace = [&](auto&) {
            if (meanwhile.size() > 1)
                QProcess::execute("sh", {"-c", "cd \"$0\" && " + meanwhile, dir.path()});
            meanwhile == "0" ? void(writeAt(path, "x")) : void(stop = meanwhile == "1");
        };
        ScriptedRandom random(QList<double>(5000, 0.0));
        const PageOutcome outcome = SiteRun::processPage({path, path}, task, random);
        QVERIFY(asBefore() && ::chmod(QFile::encodeName(dir.path()), 0700) == 0);
        QTEST(SiteRun::problemText(outcome), "said");
        QCOMPARE(outcome.cancelled, meanwhile == "1");
        QTEST(readAt(path), "left");
        QCOMPARE(QDir(dir.path()).entryList({".*"}, QDir::Files | QDir::Hidden), QStringList());
    }

    // setup runs in a fresh folder holding p.html (mode 644); then the page is rewritten and its ACL and
    // attributes listed.
    void pageKeepsItsAclAndAttributes_data()
    {
        const auto row = table<QString, QByteArray>({"setup", "kept"});
        const QByteArray plain = "user::rw-\ngroup::r--\nother::r--\n\n[]\n";
        row("none", "true", plain);
        row("ACL", "setfacl -m u:nobody:rw,g:nogroup:r p.html",
            "user::rw-\nuser:nobody:rw-\ngroup::r--\ngroup:nogroup:r--\nmask::rw-\nother::r--\n\n[]\n");
        row("user and trusted attributes",
            "python3 -c \"import os; os.setxattr('p.html', 'user.a', b'1'); os.setxattr('p.html', 'trusted.b', b'')\"",
            ::geteuid() ? "user::rw-\ngroup::r--\nother::r--\n\n[('user.a', b'1')]\n"
                        : "user::rw-\ngroup::r--\nother::r--\n\n[('trusted.b', b''), ('user.a', b'1')]\n");
        row("the folder's default ACL is not given to it", "setfacl -d -m u:nobody:rwx .", plain);
    }

    void pageKeepsItsAclAndAttributes()
    {
        QFETCH(QString, setup); QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath("p.html"));
        QVERIFY(writeAt(path, Page) && ::chmod(path, 0644) == 0);
        QProcess run;
        run.setWorkingDirectory(dir.path()); run.setProcessChannelMode(QProcess::MergedChannels);
        runSite(run, {"-c", setup + " 2>&1 || echo no support; \"$0\" --forms=decimal --scope=all --quiet p.html && "
                      "getfacl -c p.html && python3 -c \"import os; print(sorted((n, os.getxattr('p.html', n)) "
                      "for n in os.listxattr('p.html') if not n.startswith('system.')))\"", QORVANE_SITE}, {}, "sh");
        const QByteArray said = run.readAll();
        if (said.startsWith("no support") || said.contains("Operation not supported"))
            QSKIP("this file system keeps no ACL or extended attributes");
        QTEST(said, "kept");
        QVERIFY(readAt(path).contains(A));
    }

    void twoRunsAtOnceLeaveEveryPageRewritten()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 100; ++i)
            writePage(dir, QStringLiteral("p%1.html").arg(i), Page.repeated(50));
        QProcess runs[2];
        for (QProcess& run : runs)
            run.start(QStringLiteral(QORVANE_SITE), {"--forms=decimal", "--scope=at", "--quiet", dir.path()});
        for (QProcess& run : runs) {
            QVERIFY(run.waitForFinished());
            QVERIFY(run.exitCode() == 0 || run.readAllStandardError().contains("another qorvane-site run is rewriting"));
        }
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
            QVERIFY2(name.endsWith(".html") && !readPage(dir.filePath(name)).contains('@'), qPrintable(name));
    }

    void rewritesOnlyAddressBytes_data()
    {
        // lines: the changed lines as shown, each once; checked where given
        const auto add = table<QByteArray, QByteArray, bool, QStringList>({"page", "expected", "links", "lines"});
        const auto row = [&](const char* n, const QByteArray& p, const QByteArray& e) { add(n, p, e, false, {}); };
        const auto each = [&](const char* n, const QByteArray& p) { row(n, p, QByteArray(p).replace("a@b.cd", A)); };
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
        add("links on", "<a href=\"https://b.cd/\">", "<a href=\"https://&#98;&#46;&#99;&#100;&#47;\">", true, {});
        each("UTF-8 byte-order mark", "\xEF\xBB\xBF<p>a@b.cd");
        // 連 is 0x98 0x41: its second byte reads as "A" to a byte-wise search. "連@b.cd" is an address of its own.
        row("Shift_JIS", "<meta charset=shift_jis><p>\x98\x41@b.cd \x98\x41 a@b.cd",
            "<meta charset=shift_jis><p>" + refs("連@b.cd") + " \x98\x41 " + A);
        row("Shift_JIS detected", "<p>\x82\xA8\x96\xE2\x82\xA2\x8D\x87\x82\xED\x82\xB9 \x98\x41@b.cd a@b.cd",
            "<p>\x82\xA8\x96\xE2\x82\xA2\x8D\x87\x82\xED\x82\xB9 " + refs("連@b.cd") + ' ' + A);
        row("EUC-JP query", "<meta charset=euc-jp><a href='mailto:a@b.cd?\xA4\xA2'>",
            "<meta charset=euc-jp><a href='mailto:" + A + "&#63;&#12354;'>");
        each("every attribute value, any quoting; an href that is no link",
             "<link rev=made href=\"a@b.cd\"><meta name=author content='a@b.cd'><input value=a@b.cd title=\"x a@b.cd\">"
             "<a href=\"http://a@b.cd/\"><svg><text aria-label=\"a@b.cd\">");
        row("an attribute name is no value", "<p a@b.cd x=1>", "<p a@b.cd x=1>");
        row("attributes in an off zone", "<!--qorvane:off--><img alt=a@b.cd><!--qorvane:on-->",
            "<!--qorvane:off--><img alt=a@b.cd><!--qorvane:on-->");
        // Each second byte below is ASCII ("@", "A" or a digit) inside a two-byte character.
        row("EUC-KR", "<meta charset=euc-kr><p>\xB0\xA1\xC5\x41@b.cd a@b.cd",
            "<meta charset=euc-kr><p>" + refs("가휕@b.cd") + ' ' + A);
        each("Big5", "<meta charset=big5><p>\xA4\x40" "b.cd a@b.cd");
        each("GB18030", "<meta charset=gbk><p>\x81\x40" "b.cd \x81\x30\x81\x30@b.cd a@b.cd");
        each("windows-1252", "<meta charset=windows-1252><p>caf\xE9 a@b.cd");
        each("ISO-2022-JP", "<meta charset=iso-2022-jp><p>\x1B$B$\"@b\x1B(B.cd a@b.cd");
        row("UTF-16LE with byte-order mark", wide("<p title=a@b.cd>\xE9\x80\xA3 a@b.cd"),
            wide("<p title=" + A + ">\xE9\x80\xA3 " + A));
        const QString a = QString::fromLatin1(A);
        add("an address at the very start, two on one line", "a@b.cd\nx\ny a@b.cd a@b.cd\n",
            A + "\nx\ny " + A + ' ' + A + '\n', false, {"1: a@b.cd > " + a, "3: y a@b.cd a@b.cd > y " + a + ' ' + a});
        add("UTF-16 line ends of two bytes", wide("x\n\xE9\x80\xA3 a@b.cd\n"), wide("x\n\xE9\x80\xA3 " + A + '\n'),
            false, {QString::fromUtf8("2: \xE9\x80\xA3 a@b.cd > \xE9\x80\xA3 ") + a});
        row("UTF-16 with a broken character", Broken, "error: UTF-16LE");
        row("UTF-16 with a character of four bytes", wide("\xF0\x9F\x98\x80 a@b.cd"), wide("\xF0\x9F\x98\x80 " + A));
        each("UTF-16 named in its own ASCII bytes: read as UTF-8", "<meta charset=utf-16><p>\xE9\x80\xA3 a@b.cd");
        for (const QByteArray& head : {"<meta charset=shift_jis><meta charset=euc-jp>", "<meta charset=x><meta charset=shift_jis>"})
            row(head.startsWith("<meta charset=x") ? "a label no browser knows, then one" : "declared twice: the first holds",
                head + "<p>\x98\x41@b.cd a@b.cd", head + "<p>" + refs("連@b.cd") + ' ' + A);
        row("Shift_JIS, the last lead bytes of its ranges", "<meta charset=shift_jis><p>\x9F\x41@b.cd \xFC\x41@b.cd a@b.cd",
            "<meta charset=shift_jis><p>" + refs("\u8617@b.cd") + ' ' + refs("\u9B75@b.cd") + ' ' + A);
        row("a label browsers show no text for", "<meta charset=ISO-2022-KR><p>a@b.cd", "error: ISO-2022-KR");
        const QByteArray x320 = QByteArray(320, 'x');
        row("an address longer than a harvester reads: the part it reads", "<p>" + QByteArray(80, 'x') + x320 + "@b.cd",
            "<p>" + QByteArray(80, 'x') + refs(x320 + "@b.cd"));
        row("addresses in one run, characters of two bytes", "<p>\xC3\xA9@b.cd:a@b.cd:\xC3\xA9@b.cd",
            "<p>" + refs("\u00E9@b.cd") + ':' + A + ':' + refs("\u00E9@b.cd"));
        const QByteArray escaped = "<script>x<!--<script>y</script>a@b.cd--></script>";
        row("script text escaped after its start", escaped, escaped);
        add("links on, in noscript: no link, an address is text",
            "<noscript><a href=\"https://b.cd/\"><a href=\"mailto:a@b.cd\">a@b.cd</noscript><a href=\"https://b.cd/\">",
            "<noscript><a href=\"https://b.cd/\"><a href=\"mailto:" + A + "\">" + A +
                "</noscript><a href=\"https://&#98;&#46;&#99;&#100;&#47;\">",
            true, {});
    }

    void rewritesOnlyAddressBytes()
    {
        QFETCH(QByteArray, page); QFETCH(bool, links);
        ScriptedRandom random(QList<double>(5000, 0.0));
        const PageRewrite rewrite = rewritePage(page, {{true, false, false, EntityScope::All}, links}, random);
        QTEST(rewrite.problem == PageProblem::None ? rewrite.after : "error: " + rewrite.detail.toUtf8(), "expected");
        QVERIFY(rewrite.problem != PageProblem::None || checkRewrite(rewrite, rewrite.after).isEmpty());
        QFETCH(QStringList, lines);
        QStringList shown;
        for (const ChangedLine& line : changedLines(rewrite))
            shown.append(QStringLiteral("%1: %2 > %3").arg(line.number).arg(line.before, line.after));
        if (!lines.isEmpty())
            QCOMPARE(shown, lines);
    }

    void everyAddressAHarvesterFindsIsHiddenOrReported_data()
    {
        // options: d h p the forms; A all, O "@" only, else random; "@" "." always. problem: the links reported.
        const auto row = table<QByteArray, QString, QByteArray, QString>({"page", "options", "expected", "problem"});
        const QString all = "dA@.";
        row("internationalised address", "<p>ü@例え.jp", all, "<p>" + refs("ü@例え.jp"), "");
        row("international in a mailto link", "<a href=\"mailto:メール@例え.jp\">", all,
            "<a href=\"mailto:" + refs("メール@例え.jp") + "\">", "");
        row("international in Shift_JIS", "<meta charset=shift_jis><p>\x83\x81\x81\x5B\x83\x8B@\x97\xE1\x82\xA6.jp",
            all, "<meta charset=shift_jis><p>" + refs("メール@例え.jp"), "");
        row("one-byte letter in windows-1252", "<meta charset=windows-1252><p>caf\xE9@b.cd", all,
            "<meta charset=windows-1252><p>" + refs("café@b.cd"), "");
        row("IP literal", "<a href=\"mailto:u@[1.2.3.4]\">", all, "<a href=\"mailto:" + refs("u@[1.2.3.4]") + "\">", "");
        row("quoted local part", "<p>\"a b\"@b.cd", all, "<p>" + refs("\"a b\"@b.cd"), "");
        row("address against Japanese words", "<p>連絡はa@b.cdまで", all, "<p>連絡は" + A + "まで", "");
        row("escape in the user name", "<a href=\"https://us%3Aer%40x:p:w@b.cd/\">", all,
            "<a href=\"https://" + refs("us%3Aer%40x:p:w@b.cd/") + "\">", "");
        row("references in the user name only", "<a href=\"https://&#117;&#115;&#114;@b.cd/\">", all,
            "<a href=\"https://" + refs("usr@b.cd/") + "\">", "");
        row("scope @, a link without an address", "<a href=\"http://b.cd/\">", "pO@", "<a href=\"http://b.cd/\">", "");
        row("scope @, a link with one", "<a href=\"https://b.cd/?email=a@b.jp\">", "pO@",
            "<a href=\"https://b.cd/?email=a&#64;b.jp\">", "");
        row("named by its own scheme and line", "<p>\n\n<a href=\"HTTPS://[::1]/\">", "pA",
            "<p>\n\n<a href=\"HTTPS://[::1]/\">", "HTTPS://[::1]/ on 3");
    }

    void everyAddressAHarvesterFindsIsHiddenOrReported()
    {
        QFETCH(QByteArray, page); QFETCH(QString, options);
        SystemRandom random;
        const PageRewrite r = rewritePage(page, {FakeConversionView::optionsFrom(options), true}, random);
        QTEST(r.after, "expected");
        QStringList reported;
        for (qsizetype i = 0; i < r.unhidden.size(); ++i)
            reported.append(r.unhidden[i] + " on " + QString::number(r.unhiddenLines.value(i)));
        QTEST(reported.join(' '), "problem");
        QCOMPARE(r.problem == PageProblem::CannotHide, !r.unhidden.isEmpty());
        QCOMPARE(checkRewrite(r, r.after), QString());
    }

    void checkRefusesAWrongRewrite_data()
    {
        // written: in place of what follows the scheme
        const auto row = table<QByteArray, QByteArray, bool>({"href", "written", "refused"});
        row("escape split", "mailto:a@x.jp?s=Hi%20", "&#97;%40x.jp?s=Hi%%32%30", true);
        row("port escaped", "http://b.cd:8080/", "&#98;.cd:%38080/", true);
        row("user's @ escaped", "http://u@b.cd/", "&#117;%40b.cd/", true);
        row("raw Japanese query, UTF-8 escape", "http://b.cd/?q=\xA4\xA2", "&#98;.cd/?q=%E3%81%82", true);
        row("right", "mailto:a@x.jp?s=Hi%20", "&#97;%40x.jp?s=H%69%20", false);
    }

    void checkRefusesAWrongRewrite()
    {
        QFETCH(QByteArray, href); QFETCH(QByteArray, written);
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
            QVERIFY2(r.problem == PageProblem::CannotHide || harvestAddresses(r.after).isEmpty(), qPrintable(link));
        }
    }

    void commandLineRewritesOnceReportsFailuresAndGoesOn()
    {
        QTemporaryDir dir;
        const QString readOnly = writePage(dir, "a.htm", Page), page = writePage(dir, "b.html", Page);
        const QString text = writePage(dir, "c.txt", Page);
        QFile::setPermissions(readOnly, QFileDevice::ReadOwner);
        QFile::setPermissions(page, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        const QStringList options{"--forms=decimal,hex,percent", "--scope=random", "--line-break", dir.path(),
                                  dir.filePath("none")};
        QProcess run;
        QCOMPARE(runSite(run, QStringList{"--dry-run"} + options), 1);
        QVERIFY(run.readAllStandardOutput().contains(" 3 addresses") && readPage(page) == Page); // nothing written
        QCOMPARE(runSite(run, options), 1);
        QVERIFY(run.readAllStandardError().contains("a.htm: the file is read-only"));
        QVERIFY(run.readAllStandardOutput().endsWith("2 pages, 1 changed, 3 addresses, 2 errors\nreadable after the rewrite: raw 3, decoded 3, spelled 0\n"));
        const QByteArray once = readPage(page);
        QVERIFY(!once.contains('@') && once.startsWith(Page.left(39)) && once.endsWith("\">c</a>\n"));
        QCOMPARE(runSite(run, options), 1); // a second run finds nothing more
        QVERIFY(run.readAllStandardOutput().endsWith("2 pages, 0 changed, 0 addresses, 2 errors\nreadable after the rewrite: raw 3, decoded 3, spelled 0\n"));
        QCOMPARE((QList<QByteArray>{readPage(page), readPage(readOnly), readPage(text)}),
                 (QList<QByteArray>{once, Page, Page}));
        QCOMPARE(int(QFile::permissions(page) & 0x7777), 0x6640);
        for (const QStringList& usage : {QStringList{"--scope=most", "x"}, {"--forms=", "x"}, {"--forms=hex"}})
            QCOMPARE(runSite(run, usage), 2);
        QCOMPARE(runSite(run, {"--help-all"}), 0);
        QCOMPARE(runSite(run, {"--forms=hex", text}), 1);
        QVERIFY(run.readAllStandardError().endsWith("c.txt: not a page (.html, .htm, .xhtml); skipped\n"));
        // A link these options cannot hide is left and the rest of its page rewritten.
        const QByteArray v6 = "<a href=\"http://[::1]/\">v6</a>";
        const QString linked = writePage(dir, "v6.html", v6 + "<a href=\"mailto:a@b.cd\">m</a>");
        QCOMPARE(runSite(run, {"--forms=percent", "--scope=all", "--links", linked}), 1);
        QVERIFY(run.readAllStandardError().endsWith("v6.html: these options cannot hide \"http://[::1]/\" (line 1)\n"));
        QVERIFY(run.readAllStandardOutput().endsWith("1 pages, 1 changed, 1 addresses, 1 errors\nreadable after the rewrite: raw 0, decoded 1, spelled 0\n"));
        QCOMPARE(readPage(linked).toLower(), v6 + "<a href=\"mailto:%61%40%62%2e%63%64\">m</a>");
    }

    void scannerFindsWhatTheParserFinds_data()
    {
        const auto row = table<QByteArray, bool>({"page", "handedOver"});
        row("data, tags, every quoting, text that is no tag",
            "<!DOCTYPE html><html lang=ja><head><meta charset=\"utf-8\"><title>t a@b.cd</title></head><body>"
            "<p id='a@b.cd' title=\"a@b.cd\" data-x=a@b.cd>a@b.cd <a href=\"mailto:a@b.cd\">m</a> "
            "<a href=https://b.cd/>l</a> a < b <3 a@b.cd<</p></body></html>a@b.cd", false);
        row("raw text, RCDATA, comments, off zones, bogus comments",
            "<script>var s = 'a@b.cd</scripty>'; if (a<b) x@y.zz</script ><style>a@b.cd</style><textarea>a@b.cd"
            "</textarea><xmp>a@b.cd</xmp><iframe>a@b.cd</iframe><noembed>a@b.cd</noembed>"
            "<noframes>a@b.cd</noframes><!-- a@b.cd --><!-- qorvane:off -->a@b.cd<!--qorvane:on--><?xml x?>"
            "<!x y></ x>a@b.cd</><!-- a --->b@c.de", false);
        row("duplicate attributes, slashes, odd names, upper case",
            "<p a=a@b.cd A=c@d.ef/ \"x@y.zz\"=1 title = 'q@r.st'/><img/alt=w@x.yz/><P TITLE=a@b.cd>"
            "<SCRIPT>x@y.zz</SCRIPT><A HREF=MAILTO:a@b.cd>a@b.cd</A><title/>x@y.zz</title\n>", false);
        row("forms one after another",
            "<form action=\"mailto:a@b.cd\"><input value=a@b.cd></form><form action=mailto:c@d.ef></form>", false);
        row("declared in http-equiv",
            "<meta name=keywords content=\"a\nb\"><meta http-equiv=Content-Type content=\"text/html; charset=Shift_JIS\">"
            "<p>\x98\x41@b.cd a@b.cd", false);
        row("declarations naming no encoding passed over", "<meta charset=x><meta http-equiv=content-type content=text/html>"
            "<meta name=a><meta charset=shift_jis><meta charset=euc-jp><p>\x98\x41@b.cd a@b.cd", false);
        row("tables, text the parser moves out of them",
            "<table summary=a@b.cd>x@y.zz<tr title=t><td>a@b.cd<table><td>b@c.de</table></td></tr>q@r.st</table>",
            false);
        row("a table cell outside a table", "<p><td title=a@b.cd>", true);
        row("svg and math, self-closing tags, text-only integration points",
            "<p>a@b.cd<svg viewBox=\"0 0 1 1\" aria-label=\"x@y.zz\"><path d=M0/>x@y.zz</path><path d='M0'/><g><title>"
            "Mail a@b.cd</title><desc>q@r.st</desc><style>s@t.uv</style><text>c@d.ef<tspan>e@f.gh</tspan></text></g>"
            "<a xlink:href=\"mailto:a@b.cd\" href=\"mailto:c@d.ef\">m</a><image href=i.png title=a@b.cd /><foreignObject>"
            "w@x.yz</foreignObject></SVG>g@h.ij<math XLINK:HREF=mailto:m@n.op><mi>x@y.zz</mi><mtext>a@b.cd</mtext>"
            "</math><svg/>k@l.mn",
            false);
        row("svg left by a tag of HTML", "<svg><p>a@b.cd</svg>", true);
        row("CDATA in svg", "<svg><![CDATA[a@b.cd]]></svg>", true);
        row("markup in an integration point", "<svg><title><b>a@b.cd</b></title></svg>", true);
        row("an end tag of no open svg element", "<svg><g></x>a@b.cd</svg>", true);
        row("script escaped: its end tag ends it, and so does \"-->\" before one",
            "<script><!-- x@y.zz <b> --> </script>a@b.cd<script><!--<!--></script>a@b.cd<script><!--x</SCRIPT\n>a@b.cd",
            false);
        row("script escaped twice: an end tag within is text, up to \"-->\" or the inner script's end",
            "<script><!--<script>x</script>a@b.cd--></script>q@r.st<script><!--<SCRIPT/></script>-></script>"
            "a@b.cd</script>q@r.st<script><!-- <script>x --></script>q@r.st", false);
        row("script names that escape nothing", "<script><!--<scripts></script>a@b.cd<script><!-<script></script>"
            "a@b.cd<script><!--<s cript></scripty></script>q@r.st", false);
        row("script escaped to the page's end", "<script><!--<script></script>a@b.cd", true);
        row("noscript read as markup; a link in it is text to a browser running scripts",
            "<head><noscript><link href=https://b.cd/ title=a@b.cd></noscript></head><noscript><p>a@b.cd"
            "<a href=\"mailto:a@b.cd\">m</a><!--</noscript>-->x@y.zz<a href=\"mailto:q@r.st\"></noscript>", false);
        row("a noscript within one", "<head><noscript><!--</noscript>--><noscript><a href=mailto:a@b.cd>", true);
        row("select: options, scripts, and dropped tags whose text stays",
            "<select name=a@b.cd><optgroup label=x@y.zz><option value=a@b.cd>a@b.cd<script>q@r.st</script><b title=x>"
            "<style>a@b.cd</style><svg><title>q@r.st</option></select>a@b.cd<style>x@y.zz</style>", false);
        for (const char* tag : {"<select>", "<input>", "<td>", "<b title=a@b.cd>", "</a@b.cd>"})
            row(tag, "<select><option>a@b.cd" + QByteArray(tag) + "x@y.zz", true);
        row("a form within a form", "<form><form action=mailto:a@b.cd>", true);
        row("a repeated attribute without a value", "<p x a=0 x a=a@b.cd>", true);
        row("a second body", "<p>x<body title=a@b.cd>", true);
        row("a link on a tag the parser merges", "x<html href=http://b.cd/>", true);
        row("an attribute name that starts with \"=\"", "<p =b@c.de>", true);
        row("an end tag with an address", "<p>x</a@b.cd>", true);
        row("a comment to the end", "<!-- a@b.cd", true);
        row("a null byte", QByteArray("a@b.cd\0", 7), true);
        row("a raw-text element to the end", "<style>a@b.cd", true);
    }

    void scannerFindsWhatTheParserFinds()
    {
        QFETCH(QByteArray, page);
        bool handedOver = false;
        const QStringList fast = spansOf(page, AddressFinder::Mode::Fast, &handedOver);
        QTEST(handedOver, "handedOver");
        QCOMPARE(fast, spansOf(page, AddressFinder::Mode::Parser));
        QVERIFY(handedOver || fast.size() > 1); // a row that finds nothing proves nothing
    }

    void plainTextReadsAsTheParserDoes()
    {
        const QStringList pieces{"a", "Z", "@", ".", "-", "&#64;", "&#x40;", "&#X2e;", "&#0064;", "&#;", "&#x;", "&amp;",
                                 "&#38;", "&#60;", "&#x1F600;", "&#64", "&#128;", "&#0;", "&#000000064;", "<b>", " ",
                                 "é", "\"", "'", "質", "\u0085", "\U0001F600", "&#x554F;", "&#xD800;", "&#1114112;"};
        int plain = 0;
        for (int i = 0; i < 20000; ++i) {
            QString source;
            for (int n = QRandomGenerator::global()->bounded(6); n > 0; --n)
                source += pieces[QRandomGenerator::global()->bounded(int(pieces.size()))];
            if (const std::optional<QString> text = HtmlDecode::plainText(source)) {
                QCOMPARE(*text, HtmlDecode::text(source));
                QCOMPARE(*text, HtmlDecode::attributeValue(source));
                ++plain;
            }
        }
        QVERIFY(plain > 2000); // a sixth of the sources are empty alone, and about as many more are plain
    }

    void pagesBeyondTheParsersBoundsAreReported_data()
    {
        const auto row = table<QByteArray, int, QString>({"page", "excess", "line"});
        const auto times = [](const QByteArray& part, int n) { return part.repeated(n); };
        const QByteArray attributes = "<p" + times(" a=1", ParserLoad::MaxAttributes);
        row("attributes at the bound", attributes + ">", 0, "");
        row("attributes past it, any quoting", "x\n" + attributes + " b='>'>", 1, "2");
        row("nested at the bound", times("<div>", ParserLoad::MaxDepth), 0, "");
        row("nested past it", "\n\n" + times("<div>", ParserLoad::MaxDepth) + "<span>", 2, "3");
        row("closed as it goes", times("<div></div>", 500), 0, "");
        row("elements that never nest by themselves", times("<p><li><br><a href=x><td>", 500), 0, "");
        row("an <a> in an open <a> adds no depth, what it holds does", times("<a><div>", 400), 2, "1");
        row("self-closed in SVG", "<svg>" + times("<g/>", 500), 0, "");
        row("self-closed in HTML nests", times("<div/>", 500), 2, "1");
        row("tags in a comment, a script and a title", "<!--" + times("<b>", 500) + "--><script>" + times("<b>", 500) +
            "</SCRIPT><title>" + times("<b>", 500) + "</title>", 0, "");
    }

    void pagesBeyondTheParsersBoundsAreReported()
    {
        QFETCH(QByteArray, page); QFETCH(int, excess);
        QCOMPARE(int(ParserLoad::of(page).excess), excess);
        ScriptedRandom random(QList<double>(50, 0.0));
        const PageRewrite r = rewritePage("<template></template>" + page + "a@b.cd", {{}, false}, random);
        const QList<PageProblem> problems{PageProblem::None, PageProblem::TooManyAttributes, PageProblem::NestedTooDeep};
        QCOMPARE(r.problem, problems[excess]);
        QTEST(excess ? r.detail : QString(), "line");
    }

    void pipeRewritesOnePageOrPassesItThrough_data()
    {
        const auto row = table<QStringList, QByteArray, QByteArray, int, QByteArray>(
            {"arguments", "input", "output", "exit", "says"});
        const QStringList all{"--forms=decimal", "--scope=all", "-"};
        row("rewritten", all, "<p>a@b.cd", "<p>" + A, 0, "");
        row("dry run", QStringList{"--dry-run"} + all, "<p>a@b.cd", "<p>a@b.cd", 0, "    a@b.cd\n");
        row("cannot be rewritten", all, Broken, Broken, 1, "-: unsupported encoding \"UTF-16LE\"");
        row("with a path", {"--forms=decimal", "-", "x"}, "a@b.cd", "", 2, "");
        const QByteArray v6 = "<a href=\"http://[::1]/\">6</a><a href=\"http://[::2]/\">6</a>";
        row("links it cannot hide, left; the rest rewritten", {"--forms=percent", "--scope=all", "--links", "-"},
            v6 + "<a href=\"mailto:a@b.cd\">", v6 + "<a href=\"mailto:%61%40%62%2e%63%64\">", 1,
            "-: these options cannot hide \"http://[::1]/\" (line 1), \"http://[::2]/\" (line 1)\n");
    }

    void pipeRewritesOnePageOrPassesItThrough()
    {
        QFETCH(QStringList, arguments); QFETCH(QByteArray, input); QFETCH(QByteArray, output); QFETCH(QByteArray, says);
        QProcess run;
        QTEST(runSite(run, arguments, input), "exit");
        QCOMPARE(run.readAllStandardOutput().toLower(), output.toLower()); // escapes are drawn in either case
        const QByteArray said = run.readAllStandardError();
        QVERIFY2(said.contains(says) && said.contains("-: ") == (run.exitCode() == 1), said);
    }

    // "$@" is the pipe's command line.
    void pipeIsReadToItsEndOrNotAtAll_data()
    {
        const auto row = table<QString, QByteArray, int>({"shell", "output", "exit"});
        row("a folder", "\"$@\" < /", "", 1);
        row("closed", "\"$@\" <&-", "", 1);
        row("non-blocking, filled late", "(head -c 70000 /dev/zero | tr '\\0' ' '; sleep 0.3; printf '<p>a@b.cd') | "
            "python3 -c 'import os, sys; os.set_blocking(0, False); os.execv(sys.argv[1], sys.argv[1:])' \"$@\"",
            QByteArray(70000, ' ') + "<p>" + A, 0);
    }

    void pipeIsReadToItsEndOrNotAtAll()
    {
        QFETCH(QString, shell);
        QProcess run;
        run.start("sh", {"-c", shell, "sh", QORVANE_SITE, "--forms=decimal", "--scope=all", "-"});
        QVERIFY(run.waitForFinished());
        QTEST(run.readAllStandardOutput(), "output");
        QTEST(run.exitCode(), "exit");
        QCOMPARE(run.readAllStandardError().contains("standard input could not be read"), run.exitCode() == 1);
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
        run.waitForFinished(150); run.kill();
        run.waitForFinished();
        for (const QString& name : QDir(dir.path()).entryList({"*.html"})) {
            const QByteArray got = readPage(dir.filePath(name));
            QVERIFY2(got == big || (got.size() == big.size() + 400 * 6 * 4 && !got.contains('@')), qPrintable(name));
        }
    }
};

QTEST_GUILESS_MAIN(SiteTest)
#include "test_site.moc"
