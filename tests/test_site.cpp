#include "SiteTestSupport.h"

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
