#include "AddressImage.h"
#include "AppError.h"
#include "FileAccess.h"
#include "PreviewPages.h"
#include "ScriptedRandom.h"
#include "SettingsFile.h"
#include "SiteRun.h"
#include "SiteWalk.h"
#include "TopWindowFixture.h"
#include "UiLanguage.h"

#include <csignal>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

// As root a folder's mode is no bar, so step runs as user nobody; the number of the error it met, 0 when none.
int numberAsNobody(const std::function<void()>& step)
{
    const bool root = ::geteuid() == 0;
    int number = root && (::setegid(65534) != 0 || ::seteuid(65534) != 0) ? -1 : 0;
    try {
        if (number == 0) step();
    } catch (const AppError& e) {
        number = e.number();
    }
    return root && (::seteuid(0) != 0 || ::setegid(0) != 0) ? -2 : number;
}

// A cache folder anybody may write, so a write in place as nobody can keep the old bytes there.
struct OpenCache
{
    QTemporaryDir dir;
    OpenCache()
    {
        ::chmod(QFile::encodeName(dir.path()).constData(), 0777);
        qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.path()));
    }
    ~OpenCache() { qunsetenv("XDG_CACHE_HOME"); }
    QStringList kept() const { return QDir(dir.path() + "/qorvane").entryList(QDir::Files); }
};

// A folder holding site/sub/p.html, site/other/, out/p.html and out/sub/ outside the site, and what more makes.
struct Tree
{
    QTemporaryDir dir;
    QByteArray root = QFile::encodeName(dir.path());
    explicit Tree(const QString& more = "true")
    {
        run("mkdir -p site/sub site/other out/sub && echo 'Mail a@b.cd' | tee site/sub/p.html > out/p.html && " + more);
    }
    ~Tree() { ::umount2(root + "/bound", MNT_DETACH); }
    QByteArray run(const QString& command) const
    {
        QProcess sh;
        sh.start("sh", {"-c", "cd \"$0\" && " + command, dir.path()});
        return sh.waitForFinished() ? sh.readAllStandardOutput() : "not run";
    }
    // The paths (space-separated) a second run's lock refuses while a first run holds its own.
    QString refused(const QString& first, const QString& second) const
    {
        std::list<PageFile::FolderLock> held[2];
        QString refused;
        for (int run : {0, 1}) {
            QList<QByteArray> paths;
            for (const QString& path : (run ? second : first).split(' ', Qt::SkipEmptyParts))
                paths.append(root + '/' + path.toUtf8());
            for (const PageOutcome& busy : SiteRun::lockFolders(&paths, &held[run]))
                refused += busy.file.mid(root.size() + 1) + ' ';
        }
        return refused.trimmed();
    }
};

} // namespace

// How the preview command writes and opens its pages, and that a failed write keeps the old file.
class FileSafetyTest : public QObject
{
    Q_OBJECT

private slots:
    void previewConvertsWhenEmptyDrawsWithoutMailtoOpensThePageOrSaysWhyNot()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        f.w().mn_pre->trigger();
        QCOMPARE(f.w().lbl_err_ms->text(), QString("入力してからプレビューを押してください。"));
        QVERIFY(!f.w().lbl_err_ms->isHidden() && f.urls.opened.isEmpty());
        QVERIFY(!QFile::exists(f.base() + "/Preview.htm") && !QFile::exists(f.base() + "/JSP/mailadd.png"));

        f.window->setInputText("mailto:ab@mailto:c.d"); f.w().mn_pre->trigger();
        QVERIFY(!f.output().isEmpty() && f.messages.shown.isEmpty());
        QCOMPARE(QImage(f.folder.filePath("JSP/mailadd.png")).width(), 8 * 6); // "ab@c.d"
        QVERIFY(f.readFile("Preview.htm").contains(f.output().toLatin1()));
        QCOMPARE(f.urls.opened, QList<QUrl>{QUrl::fromLocalFile(f.folder.filePath("Preview.htm"))});

        f.w().txt_MailAdd_Ent->setText("kept&#64;as-is"); f.urls.exitCode = 3;
        f.w().mn_pre->trigger(); // a filled output is used unchanged
        QCOMPARE(f.output(), QString("kept&#64;as-is"));
        QVERIFY(f.readFile("preview_cd1.htm").contains("<a href=\"kept&#64;as-is\">"));
        QCOMPARE(f.urls.opened.size(), 2);
        QVERIFY(f.messages.lastText().startsWith("ブラウザを起動できませんでした。"));
        setCurrentUiLanguage(UiLanguage::English); // the pages in the window's language
        f.w().mn_pre->trigger();
        setCurrentUiLanguage(UiLanguage::Japanese);
        QVERIFY(f.readFile("Preview.htm").contains("<meta charset=\"utf-8\"><title>Preview of the hidden address"));

        QVERIFY(QFile::remove(f.base() + "/Preview.htm") && QDir(f.base()).mkdir("Preview.htm")); // unwritable
        f.w().mn_pre->trigger();
        QCOMPARE(f.messages.shown.size(), 3);
        QVERIFY(f.messages.titled().contains(QRegularExpression("^エラー: .*:\\d+$")));
        QCOMPARE(f.urls.opened.size(), 3);
    }

    void fullDiskKeepsEveryOldFileAndSaysSo()
    {
        QTemporaryDir disk; // a small tmpfs of its own
        const QByteArray mountPoint = QFile::encodeName(disk.path());
        if (::geteuid() != 0 || ::mount("tmpfs", mountPoint, "tmpfs", 0, "size=256k,mode=0755") != 0)
            QSKIP("filling a disk needs root and a tmpfs mount");
        const auto unmount = qScopeGuard([&] { ::umount2(mountPoint, MNT_DETACH); });
        TopWindowFixture f; f.root = disk.path();
        const QByteArray list = "user4@x.jp\r\nuser5@x.jp\r\n";
        const QMap<QString, QByteArray> old{{"add.dat", list}, {"mirelt.ini", "[INI_VER]\r\nINI_VER=1\r\n"},
                                            {"Preview.htm", "old page"}, {"JSP/mailadd.png", "old image"}};
        for (auto it = old.begin(); it != old.end(); ++it) f.writeFile(it.key(), it.value());
        f.start();
        f.writeFile("filler", QByteArray(256 * 1024, 'x')); // every free byte

        const QString full = AppError::descriptionOf(AppError::DiskFull) + ":" + QString::number(AppError::DiskFull);
        f.window->setInputText("new@x.jp"); f.w().cmdRegister->click();
        QCOMPARE(f.messages.lastText(), full);
        f.window->setInputText("user5@x.jp"); f.messages.answers = {MessageAnswer::Yes};
        f.w().cmdDelete->click();
        QCOMPARE(f.messages.lastText(), full);
        f.w().mn_pre->trigger();
        QCOMPARE(f.messages.lastText(), QString("ERR: 61"));
        QVERIFY(f.urls.opened.isEmpty());
        QVERIFY_THROWS_EXCEPTION(AppError, WritePreviewPages({"a@b.c", "a", true, false, false, {}}, f.random, f.base()));
        f.window->close();
        QCOMPARE(f.messages.lastText(), full);

        for (auto it = old.begin(); it != old.end(); ++it) QCOMPARE(f.readFile(it.key()), it.value());
        const QStringList files{"add.dat", "filler", "mirelt.ini", "Preview.htm"}; // no temporary left behind
        QCOMPARE(QDir(f.base()).entryList(QDir::Files), files);
        QCOMPARE(QDir(f.base() + "/JSP").entryList(QDir::Files), QStringList{"mailadd.png"});
    }

    void settingsGoInPlaceWhenTheFolderRefusesNewFiles_data()
    {
        QTest::addColumn<int>("fileMode"); QTest::addColumn<int>("number");
        QTest::newRow("file writable") << 0666 << 0;
        QTest::newRow("file read-only too") << 0444 << int(AppError::PermissionDenied);
    }

    void settingsGoInPlaceWhenTheFolderRefusesNewFiles()
    {
        QFETCH(int, fileMode); QFETCH(int, number);
        TopWindowFixture f;
        OpenCache cache;
        // Every key there already and a shorter input: the file shrinks in place.
        const QByteArray head = "[Top]\r\nTop=0\r\n[Left]\r\nLeft=0\r\n[Mail]\r\nMail=";
        const QByteArray rest = "\r\n[INI_VER]\r\nINI_VER=1\r\n[OPTION]\r\nRET=0\r\n@ENT=0\r\nDOT=0\r\n[ENT_OUT_OP]\r\n"
                                "10=0\r\n16_1=0\r\n16_2=0\r\n[ENT_OP]\r\nRAND=False\r\nALL=False\r\n@ONLY=False\r\n";
        f.writeFile("mirelt.ini", head + "an input longer than none" + rest);
        const QString path = SettingsFile::path(f.base());
        QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(fileMode)) == 0);
        QVERIFY(::chmod(QFile::encodeName(f.base()).constData(), 0555) == 0);
        QCOMPARE(numberAsNobody([&] { SettingsFile::save(path, StoredSettings{}); }), number);
        ::chmod(QFile::encodeName(f.base()).constData(), 0700);
        QCOMPARE(f.readFile("mirelt.ini"), head + (number == 0 ? "" : "an input longer than none") + rest);
        QCOMPARE(QDir(f.base()).entryList(QDir::Files), QStringList{"mirelt.ini"});
        QCOMPARE(cache.kept(), QStringList{});
    }

    void writeInPlaceKilledAtAnyStepLeavesTheOldOrTheNewFile_data()
    {
        QTest::addColumn<int>("killedAt");
        QTest::newRow("old bytes kept") << int(FileAccess::Step::BackupKept);
        QTest::newRow("half written") << int(FileAccess::Step::HalfWritten);
        QTest::newRow("written, old bytes not yet dropped") << int(FileAccess::Step::Written);
        QTest::newRow("not killed") << -1;
    }

    void writeInPlaceKilledAtAnyStepLeavesTheOldOrTheNewFile()
    {
        QFETCH(int, killedAt);
        if (::geteuid() != 0) QSKIP("a folder that refuses new files to a writer of its files needs a second user");
        OpenCache cache;
        QTemporaryDir folder;
        const QString path = folder.filePath("mirelt.ini");
        const QByteArray old = QByteArray("[OPTION]\r\nRET=1\r\n").repeated(5000), now = "[OPTION]\r\nRET=0\r\n";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size() && file.setPermissions(QFile::Permissions(0x6666)));
        file.close();
        ::chmod(QFile::encodeName(folder.path()).constData(), 0555);
        const pid_t child = ::fork();
        if (child == 0) {
            FileAccess::setStepHookForTest([killedAt](auto step) { if (int(step) == killedAt) ::raise(SIGKILL); });
            ::_exit(numberAsNobody([&] { FileAccess::writeAtomically(path, now); }) == 0 ? 0 : 3);
        }
        int status = 0;
        QVERIFY(child > 0 && ::waitpid(child, &status, 0) == child);
        QCOMPARE(WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status), killedAt < 0 ? 0 : -SIGKILL);
        QCOMPARE(cache.kept().size(), killedAt < 0 ? 0 : 1);
        QCOMPARE(FileAccess::read(path), killedAt < 0 ? now : old); // the read puts the old bytes back
        QCOMPARE(cache.kept(), QStringList{});
        ::chmod(QFile::encodeName(folder.path()).constData(), 0700);
    }

    // swap: a shell command run in the tree after the walk (before the read) or after the read (before the rename).
    void pageBehindAFolderSwappedForALinkIsLeft_data()
    {
        QTest::addColumn<QString>("swap"); QTest::addColumn<bool>("afterRead"); QTest::addColumn<QString>("said");
        const QString out = "a link to \"TREE/out%1\", outside the given PATHs; left as it is";
        const QString back = "rmdir out/sub && mv site/sub out && ln -s ../out/sub site";
        QTest::newRow("linked out, before the read") << "mv site/sub x && ln -s ../out site/sub" << false << out.arg("");
        QTest::newRow("moved out and linked back, before the read") << back << false << out.arg("/sub");
        QTest::newRow("moved out and linked back, before the rename") << back << true << out.arg("/sub");
        QTest::newRow("linked nowhere") << "mv site/sub x && ln -s nowhere site/sub" << false
                                        << "a link that leads nowhere: No such file or directory";
    }

    void pageBehindAFolderSwappedForALinkIsLeft()
    {
        QFETCH(QString, swap); QFETCH(bool, afterRead); QFETCH(QString, said);
        Tree tree;
        const SiteWalk walk = SiteWalk::walk({tree.root + "/site"}, false, false);
        SiteTask task;
        task.options.conversion = {true, false, false, EntityScope::All};
        task.beforeReplace = [&](auto&) { if (afterRead) tree.run(swap); };
        if (!afterRead) tree.run(swap);
        ScriptedRandom random(QList<double>(100, 0.0));
        const QString problem = SiteRun::problemText(SiteRun::processPage(walk.pages.value(0), task, random));
        QCOMPARE(tree.run("grep -rL a@b.cd ."), QByteArray()); // no page rewritten, in the tree or out of it
        QCOMPARE(problem, said.replace("TREE", tree.dir.path()));
    }

    // A run holds first; second is asked for by another, or by the same run when first is empty.
    void runOnAFolderAboveOrBelowAHeldOneIsRefused_data()
    {
        for (const char* column : {"more", "first", "second", "refused"})
            QTest::addColumn<QString>(column);
        QTest::newRow("subfolder") << "true" << "site" << "site/sub" << "site/sub";
        QTest::newRow("page below") << "true" << "site" << "site/sub/p.html out/p.html" << "site/sub/p.html";
        QTest::newRow("folder above") << "true" << "site/sub" << "site" << "site";
        QTest::newRow("folder beside") << "true" << "site/sub" << "site/other" << "";
        QTest::newRow("one folder twice through a bind mount")
            << "mkdir bound && mount --bind site bound 2>/dev/null" << "" << "site bound" << "";
    }

    void runOnAFolderAboveOrBelowAHeldOneIsRefused()
    {
        QFETCH(QString, more); QFETCH(QString, first); QFETCH(QString, second);
        Tree tree(more);
        if (more.contains("mount") && !QFile::exists(tree.dir.filePath("bound/sub/p.html")))
            QSKIP("mount --bind needs root");
        QTEST(tree.refused(first, second), "refused");
    }

    void imageWiderThanTheEncoderAllowsKeepsTheOldOne()
    {
        TopWindowFixture f;
        f.writeFile("mailadd.png", "old image");
        QImage wide(1'000'001, 1, QImage::Format_Indexed8); // 125,001 characters of 8 pixels
        wide.setColorTable(AddressImage::colourTable()); wide.fill(0);
        QVERIFY(!AddressImage::SavePng(wide, f.base() + "/mailadd.png", f.png, f.messages));
        QCOMPARE(f.messages.lastText(), QString("ERR: 57"));
        QCOMPARE(f.readFile("mailadd.png"), QByteArray("old image"));
    }
};

QTEST_MAIN(FileSafetyTest)
#include "test_file_safety.moc"
