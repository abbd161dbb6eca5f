#include "TopWindowFixture.h"
#include "UiLanguage.h"
#include "frm_Help.h"
#include "frm_Ver.h"
#include "frm_Vis.h"

class HelpTest : public QObject
{
    Q_OBJECT

private slots:
    void guideIsBuiltAndOpensOrExplainsWhyNot()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        QAction* guide = f.w().mn_help_guide;
        guide->trigger();
        f.writeFile("操作ガイド.pdf", "%PDF-1.4"); f.urls.pdfViewer = false;
        guide->trigger(); // answered No
        f.messages.answers = {MessageAnswer::Yes}; guide->trigger();
        f.urls.pdfViewer = true;
        for (int code : {0, 2, 3}) { // opened; then the opener says: file gone, or nothing could show it
            f.urls.exitCode = code; guide->trigger();
        }
        const QUrl file = QUrl::fromLocalFile(f.folder.filePath("操作ガイド.pdf"));
        QCOMPARE(f.urls.opened, (QList<QUrl>{QUrl("https://get.adobe.com/reader/"), file, file, file}));
        const QString missing = "[!]エラー: 操作ガイドが存在しません。";
        const QString noReader = "[?]エラー: Adobe Acrobat Readerがインストールされていません。\r\nAcrobat ReaderのWebページを開きますか？";
        QCOMPARE(f.messages.log(), (QStringList{missing, noReader, noReader, missing, noReader}));

        setCurrentUiLanguage(UiLanguage::English); // the guide of the window's language, beside the Japanese one
        f.writeFile("operating-guide.pdf", "%PDF-1.4"); guide->trigger();
        setCurrentUiLanguage(UiLanguage::Japanese);
        QCOMPARE(f.urls.opened.last(), QUrl::fromLocalFile(f.folder.filePath("operating-guide.pdf")));

        QProcess text; // the guides as the build puts them next to the program
        text.start("sh", {"-c", "for f; do pdfinfo \"$f\" && pdftotext -enc UTF-8 \"$f\" - || exit 1; done", "sh",
                          QCoreApplication::applicationDirPath() + "/../操作ガイド.pdf",
                          QCoreApplication::applicationDirPath() + "/../operating-guide.pdf"});
        QVERIFY(text.waitForFinished(30'000) && text.exitCode() == 0);
        const QString out = QString::fromUtf8(text.readAllStandardOutput());
        for (const char* word : {"Title: +Qorvane 操作ガイド", "変換", "Title: +Qorvane Operating Guide", "Convert"})
            QVERIFY2(out.contains(QRegularExpression(QString::fromUtf8(word))), word);
    }

    void openerFailureIsSeenWithoutWaiting()
    {
        for (auto [program, exitCode] : {std::pair{"false", 1}, {"/no/such/opener", -1}}) {
            int code = 0;
            ProcessUrlOpener opener(program);
            opener.open(QUrl("https://example.org/"), [&code](int c) { code = c; });
            QTRY_COMPARE(code, exitCode);
        }
    }

    void informationWindowsOpenOnceBelowTheMainWindowOpenLinksAndCloseByKey()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        HelpCommands& help = f.window->help();
        f.window->show(); f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QTest::keyClick(f.window.get(), Qt::Key_F1);

        f.w().mn_help_ver->trigger(); f.w().mn_help_ver->trigger();
        QCOMPARE(help.versionWindow()->pos(), f.window->frameGeometry().topLeft() + QPoint(83, 100));
        QVERIFY(help.versionWindow()->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(help.versionWindow()->windowTitle(), QString("Qorvaneのバージョン情報"));
        help.versionWindow()->findChild<QPushButton*>("cmd閉じる")->click();
        QTRY_VERIFY(help.versionWindow() == nullptr);
        f.window->move(300, 250); f.w().mn_help_ver->trigger();
        QCOMPARE(help.versionWindow()->pos(), f.window->frameGeometry().topLeft() + QPoint(83, 100));

        for (QLabel* note : f.w().lbl_tag_setu) QTest::mouseClick(note, Qt::LeftButton);
        QCOMPARE(help.tagHelpWindow()->windowTitle(), QString("タグ内のみとは？"));
        const QRect screen = f.window->screen()->availableGeometry();
        f.window->move(screen.bottomRight() - QPoint(50, 50)); f.w().mn_help_vis->trigger();
        QVERIFY(screen.contains(help.acknowledgementsWindow()->frameGeometry()));
        const QWidgetList all = QApplication::topLevelWidgets(); // each information window once, and the main one
        QCOMPARE(std::count_if(all.begin(), all.end(), [](QWidget* window) { return window->isVisible(); }), 4);

        frm_Vis* vis = help.acknowledgementsWindow();
        for (int i = 0; i < 9; ++i) // only three of them are links
            QTest::mouseClick(vis->findChild<QLabel*>(QString("lbl_msg_%1").arg(i)), Qt::LeftButton);
        QLabel* link = vis->findChild<QLabel*>("lbl_msg_2");
        QTest::mouseClick(link, Qt::RightButton);
        QTest::mousePress(link, Qt::LeftButton);
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-5, -5)); // let go elsewhere
        frm_Ver* ver = help.versionWindow();
        ver->findChild<QPushButton*>("cmd_IE_1")->click();
        ver->findChild<QPushButton*>("cmd_IE_0")->click();
        f.urls.exitCode = 3; ver->findChild<QPushButton*>("cmd_IE_0")->click();
        QStringList urls;
        for (const QUrl& url : f.urls.opened) urls << url.toString().remove("https://qorvane.example.org");
        QCOMPARE(urls.join(' '), "/soft/mirelt_rei.html /php/bbs/pppbbs.php /soft/soft_link.html /soft/keisai/ "
                                 "mailto:feedback@qorvane.example.org?subject=Qorvane ver 2.10 / /");
        QCOMPARE(f.messages.log(), QStringList{"[!]エラー: ブラウザを起動できませんでした。\nhttps://qorvane.example.org/"});

        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) { // either closes each of them
            for (auto* info : QWidgetList{help.versionWindow(), help.acknowledgementsWindow(), help.tagHelpWindow()}) {
                info->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(info));
                QCOMPARE(info->focusWidget(), info->findChild<QPushButton*>("cmd閉じる"));
                QPointer<QWidget> alive(info);
                QTest::keyClick(info, key);
                QTRY_VERIFY(alive.isNull());
            }
            help.mn_help_ver_Click(); help.mn_help_vis_Click(); help.lbl_tag_setu_Click();
        }
    }
};

QTEST_MAIN(HelpTest)
#include "test_help.moc"
