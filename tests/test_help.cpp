#include "TopWindowFixture.h"
#include "UrlOpener.h"
#include "frm_Help.h"
#include "frm_Ver.h"
#include "frm_Vis.h"

#include <QAction>
#include <QProcess>
#include <QUrlQuery>
#include <QtTest>

namespace {

template <typename Window>
int openCount()
{
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        count += qobject_cast<Window*>(w) != nullptr && w->isVisible();
    return count;
}

} // namespace

class HelpTest : public QObject
{
    Q_OBJECT

private slots:
    void guideOpensOrExplainsWhyNot()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        QAction* guide = f.w().mn_help_guide;
        guide->trigger();
        QCOMPARE(f.messages.lastText(), QString("操作ガイドが存在しません。"));
        QCOMPARE(f.messages.shown.last().icon, MessageIcon::Critical);

        f.writeFile("操作ガイド.pdf", "%PDF-1.4");
        f.shell.pdfViewer = false;
        guide->trigger(); // answered No
        QCOMPARE(f.messages.titled(), QString("エラー: Adobe Acrobat Readerがインストールされていません。\r\n"
                                              "Acrobat ReaderのWebページを開きますか？"));
        QCOMPARE(f.messages.shown.last().buttons, MessageButtons::YesNo);
        QVERIFY(f.urls.opened.isEmpty());
        f.messages.answers = {MessageAnswer::Yes};
        guide->trigger();
        QCOMPARE(f.urls.opened.last().host(), QString("get.adobe.com"));

        f.shell.pdfViewer = true;
        guide->trigger();
        QCOMPARE(f.urls.opened.last(), QUrl::fromLocalFile(f.folder.filePath("操作ガイド.pdf")));
        const int shown = f.messages.shown.size();
        for (int code : {2, 3}) { // the opener's own verdict: file gone, or nothing could show it
            f.urls.exitCode = code;
            guide->trigger();
        }
        QCOMPARE(f.messages.shown.size(), shown + 2);
        QCOMPARE(f.messages.shown[shown].text, QString("操作ガイドが存在しません。"));
        QCOMPARE(f.messages.shown[shown + 1].buttons, MessageButtons::YesNo);
    }

    void openerFailureIsSeenWithoutWaiting()
    {
        QTemporaryDir dir;
        QFile script(dir.filePath("opener"));
        QVERIFY(script.open(QIODevice::WriteOnly) && script.write("#!/bin/sh\nexit 3\n") > 0);
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        for (const QString& program : {script.fileName(), dir.filePath("missing")}) {
            ProcessUrlOpener opener(program);
            int code = 0;
            opener.open(QUrl("https://example.org/"), [&code](int exitCode) { code = exitCode; });
            QTRY_VERIFY(code != 0);
            QCOMPARE(code, program == script.fileName() ? 3 : -1);
        }
    }

    void infoWindowsCloseByKey_data()
    {
        QTest::addColumn<int>("window");
        QTest::newRow("version") << 0;
        QTest::newRow("acknowledgements") << 1;
        QTest::newRow("tag help") << 2;
    }

    void infoWindowsCloseByKey()
    {
        QFETCH(int, window);
        TopWindowFixture f(TopWindowFixture::Started);
        HelpCommands& help = f.window->help();
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            window == 0 ? help.mn_help_ver_Click() : window == 1 ? help.mn_help_vis_Click() : help.lbl_tag_setu_Click();
            QWidget* info = window == 0   ? static_cast<QWidget*>(help.versionWindow())
                            : window == 1 ? static_cast<QWidget*>(help.acknowledgementsWindow())
                                          : help.tagHelpWindow();
            QVERIFY(QTest::qWaitForWindowActive(info));
            QCOMPARE(info->focusWidget(), info->findChild<QPushButton*>("cmd閉じる"));
            QPointer<QWidget> alive(info);
            QTest::keyClick(info, key);
            QTRY_VERIFY(alive.isNull());
        }
    }

    void informationWindowsOpenOnceBelowTheMainWindow()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        f.window->move(200, 150);
        f.window->show();
        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QTest::keyClick(f.window.get(), Qt::Key_F1);
        QCOMPARE(f.urls.opened, QList<QUrl>{QUrl("https://qorvane.example.org/soft/mirelt_rei.html")});

        const QPoint corner = f.window->frameGeometry().topLeft();
        f.w().mn_help_ver->trigger();
        f.w().mn_help_ver->trigger();
        QCOMPARE(openCount<frm_Ver>(), 1);
        frm_Ver* ver = f.window->help().versionWindow();
        QCOMPARE(ver->pos(), corner + QPoint(83, 100));
        QVERIFY(ver->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(ver->windowTitle(), QString("Qorvaneのバージョン情報"));
        ver->findChild<QPushButton*>("cmd閉じる")->click();
        QTRY_VERIFY(f.window->help().versionWindow() == nullptr);
        f.window->move(300, 250);
        f.w().mn_help_ver->trigger();
        QCOMPARE(f.window->help().versionWindow()->pos(), f.window->frameGeometry().topLeft() + QPoint(83, 100));

        QTest::mouseClick(f.w().lbl_tag_setu[0], Qt::LeftButton);
        QTest::mouseClick(f.w().lbl_tag_setu[1], Qt::LeftButton);
        QCOMPARE(openCount<frm_Help>(), 1);
        QCOMPARE(f.window->help().tagHelpWindow()->windowTitle(), QString("タグ内のみとは？"));
        const QRect screen = f.window->screen()->availableGeometry();
        f.window->move(screen.bottomRight() - QPoint(50, 50));
        f.w().mn_help_vis->trigger();
        QCOMPARE(openCount<frm_Vis>(), 1);
        QVERIFY(screen.contains(f.window->help().acknowledgementsWindow()->frameGeometry()));
    }

    void linksOpenTheirAddresses()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        f.w().mn_help_vis->trigger();
        frm_Vis* vis = f.window->help().acknowledgementsWindow();
        for (int i = 0; i < 9; ++i) // only three of them are links
            QTest::mouseClick(vis->findChild<QLabel*>(QString("lbl_msg_%1").arg(i)), Qt::LeftButton);
        QLabel* link = vis->findChild<QLabel*>("lbl_msg_2");
        QTest::mouseClick(link, Qt::RightButton);
        QTest::mousePress(link, Qt::LeftButton);
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-5, -5)); // let go elsewhere
        f.w().mn_help_ver->trigger();
        frm_Ver* ver = f.window->help().versionWindow();
        ver->findChild<QPushButton*>("cmd_IE_1")->click();
        ver->findChild<QPushButton*>("cmd_IE_0")->click();
        QStringList paths;
        for (const QUrl& url : f.urls.opened)
            paths << url.path();
        QCOMPARE(paths, (QStringList{"/php/bbs/pppbbs.php", "/soft/soft_link.html", "/soft/keisai/",
                                     "feedback@qorvane.example.org", "/"}));
        const QUrl mail = f.urls.opened[3];
        QCOMPARE(mail.scheme(), QString("mailto"));
        QCOMPARE(QUrlQuery(mail).queryItemValue("subject", QUrl::FullyDecoded), QString("Qorvane ver 2.10"));
        QCOMPARE(f.urls.opened[4], QUrl("https://qorvane.example.org/"));
        f.urls.exitCode = 3;
        ver->findChild<QPushButton*>("cmd_IE_0")->click();
        QCOMPARE(f.messages.lastText(), QString("ブラウザを起動できませんでした。\nhttps://qorvane.example.org/"));
    }

    void guideIsBuiltNextToTheProgram()
    {
        QProcess text;
        text.start("pdftotext", {"-enc", "UTF-8", QCoreApplication::applicationDirPath() + "/../操作ガイド.pdf", "-"});
        QVERIFY(text.waitForFinished(30'000) && text.exitCode() == 0);
        const QString words = QString::fromUtf8(text.readAllStandardOutput());
        for (const char* expected : {"Qorvane 操作ガイド", "変換", "クリップボード"})
            QVERIFY2(words.contains(QString::fromUtf8(expected)), expected);
    }
};

QTEST_MAIN(HelpTest)
#include "test_help.moc"
