#include "TopWindowFixture.h"
#include "frm_Help.h"
#include "frm_Ver.h"
#include "frm_Vis.h"

#include <QAction>
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
        TopWindowFixture f;
        f.start();
        f.w().mn_help_guide->trigger();
        QCOMPARE(f.messages.lastText(), QString("操作ガイドが存在しません。"));
        QCOMPARE(f.messages.shown.last().icon, MessageIcon::Critical);
        QVERIFY(f.urls.opened.isEmpty());

        f.writeFile("操作ガイド.pdf", "%PDF-1.4");
        f.shell.pdfViewer = false;
        f.w().mn_help_guide->trigger(); // answered No
        QCOMPARE(f.messages.lastText(),
                 QString("Adobe Acrobat Readerがインストールされていません。\r\nAcrobat ReaderのWebページを開きますか？"));
        QCOMPARE(f.messages.shown.last().buttons, MessageButtons::YesNo);
        QCOMPARE(f.messages.shown.last().title, QString("エラー"));
        QVERIFY(f.urls.opened.isEmpty());
        f.messages.answers = {MessageAnswer::Yes};
        f.w().mn_help_guide->trigger();
        QCOMPARE(f.urls.opened.last().host(), QString("get.adobe.com"));

        f.shell.pdfViewer = true;
        f.w().mn_help_guide->trigger();
        QCOMPARE(f.urls.opened.last(), QUrl::fromLocalFile(f.folder.filePath("操作ガイド.pdf")));
    }

    void informationWindowsOpenOnceBelowTheMainWindow()
    {
        TopWindowFixture f;
        f.start();
        f.window->move(200, 150);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
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
        f.w().mn_help_vis->trigger();
        QCOMPARE(openCount<frm_Vis>(), 1);
    }

    void onlyTheThreeAcknowledgementLinksReact()
    {
        TopWindowFixture f;
        f.start();
        f.w().mn_help_vis->trigger();
        frm_Vis* vis = f.window->help().acknowledgementsWindow();
        for (int i = 0; i < 9; ++i)
            QTest::mouseClick(vis->findChild<QLabel*>(QString("lbl_msg_%1").arg(i)), Qt::LeftButton);
        QCOMPARE(f.urls.opened.size(), 3);
        QCOMPARE(f.urls.opened[0].path(), QString("/php/bbs/pppbbs.php"));
        QCOMPARE(f.urls.opened[1].path(), QString("/soft/soft_link.html"));
        QCOMPARE(f.urls.opened[2].path(), QString("/soft/keisai/"));
    }

    void feedbackButtonPreparesAMail()
    {
        TopWindowFixture f;
        f.start();
        f.w().mn_help_ver->trigger();
        frm_Ver* ver = f.window->help().versionWindow();
        ver->findChild<QPushButton*>("cmd_IE_1")->click();
        ver->findChild<QPushButton*>("cmd_IE_0")->click();
        QCOMPARE(f.urls.opened.size(), 2);
        const QUrl mail = f.urls.opened[0];
        QCOMPARE(mail.scheme(), QString("mailto"));
        QCOMPARE(mail.path(), QString("feedback@qorvane.example.org"));
        QCOMPARE(QUrlQuery(mail).queryItemValue("subject", QUrl::FullyDecoded), QString("Qorvane ver 2.10"));
        QCOMPARE(f.urls.opened[1], QUrl("https://qorvane.example.org/"));
        f.urls.succeed = false;
        ver->findChild<QPushButton*>("cmd_IE_0")->click();
        QVERIFY(f.messages.shown.isEmpty()); // their failures are silent
    }

    void f1OpensTheWebHelp()
    {
        TopWindowFixture f;
        f.start();
        f.window->show();
        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QTest::keyClick(f.window.get(), Qt::Key_F1);
        QCOMPARE(f.urls.opened, QList<QUrl>{QUrl("https://qorvane.example.org/soft/mirelt_rei.html")});
    }

    void guideIsBuiltNextToTheProgram()
    {
        QFile guide(QCoreApplication::applicationDirPath() + "/../操作ガイド.pdf");
        QVERIFY(guide.open(QIODevice::ReadOnly));
        QVERIFY(guide.read(5) == "%PDF-");
        QVERIFY(guide.size() > 20'000);
    }
};

QTEST_MAIN(HelpTest)
#include "test_help.moc"
