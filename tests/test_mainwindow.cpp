#include "TopWindowFixture.h"

#include <QAction>
#include <QTimer>
#include <QtTest>

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void firstStartAppliesDefaultsAndOptionClicksConvert()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        QVERIFY(QFileInfo(f.folder.filePath("JSP")).isDir());
        QCOMPARE(f.readFile("add.dat"), QByteArray());
        QVERIFY(f.w().opt_ent_rand->isChecked());
        QCOMPARE(f.boxes(), QString("100110"));
        QCOMPARE(f.window->retClickCount(), 1);
        QCOMPARE(f.output(), QString());
        QVERIFY(f.w().tim_ClipCh->isActive() && !f.w().lbl_err_ms->isVisible());
        QCOMPARE(f.w().tim_ClipCh->interval(), 500);
        QCOMPARE((QList<QKeySequence>{f.w().mn_file_end->shortcut(), f.w().mn_help_web->shortcut()}),
                 (QList<QKeySequence>{QKeySequence("Ctrl+Q"), QKeySequence("F1")}));
        f.type("a@b.c"); // then every option click converts
        for (QAbstractButton* control : QList<QAbstractButton*>{f.w().chk_syutu[1], f.w().chk_dot_ent,
                                                                f.w().chk_Ret, f.w().opt_ent_all}) {
            f.w().txt_MailAdd_Ent->clear();
            control->click();
            QVERIFY2(!f.output().isEmpty(), qPrintable(control->objectName()));
        }
        f.w().opt_ent_all->click(); // already selected: nothing changes
    }

    void loadedLineBreakDoesNotConvertButLaterClicksDo()
    {
        TopWindowFixture f;
        f.writeFile("mirelt.ini", "[INI_VER]\r\nINI_VER=1\r\n[OPTION]\r\nRET=1\r\n@ENT=1\r\nDOT=1\r\n"
                                  "[ENT_OUT_OP]\r\n10=1\r\n[ENT_OP]\r\nRAND=True\r\n[Mail]\r\nMail=a@b.c\r\n");
        f.clipboard.content = "x";
        frm_Top& window = f.start();
        QVERIFY(f.w().chk_Ret->isChecked());
        QCOMPARE((QStringList{window.inputText(), f.w().lbl_MailAdd_mojisu->text(), f.output()}),
                 (QStringList{"a@b.c", "5", ""}));
        QCOMPARE(f.clipboard.content, QString()); // a restored input clears the clipboard
        f.w().chk_Ret->click();
        QVERIFY(!f.output().isEmpty());
        QCOMPARE(window.retClickCount(), 2);
    }

    void atBoxFollowsTheScope()
    {
        TopWindowFixture f;
        f.startWith("mirelt.ini", "[INI_VER]\r\nINI_VER=1\r\n[ENT_OP]\r\nRAND=True\r\nALL=True\r\n@ONLY=False\r\n");
        QVERIFY(f.w().opt_ent_all->isChecked());
        QVERIFY(!f.w().chk_syutu[0]->isChecked()); // no ENT_OUT_OP section: no form
        f.w().txt_MailAdd->setEditText("a@b.c");
        f.window->cmd_Hen_Click();
        QCOMPARE(f.w().lbl_err_ms->text(), QString("出力形式が選択されていません。"));
        f.w().opt_ent_att->click();
        QVERIFY(f.w().chk_att_ent->isChecked() && !f.w().chk_att_ent->isEnabled());
        f.w().opt_ent_all->click();
        QVERIFY(f.w().chk_att_ent->isChecked() && f.w().chk_att_ent->isEnabled());

        TopWindowFixture g;
        g.startWith("mirelt.ini", "[INI_VER]\r\nINI_VER=1\r\n[OPTION]\r\n@ENT=0\r\n[ENT_OP]\r\n@ONLY=True\r\n");
        QVERIFY(g.w().chk_att_ent->isChecked() && !g.w().chk_att_ent->isEnabled());
    }

    void convertCommandInputEditsAndListPicks()
    {
        TopWindowFixture f;
        f.startWith("add.dat", "first@x.jp\r\nsecond@y.jp\r\n");
        QCOMPARE(f.window->inputText(), QString()); // filling the list leaves the input alone
        f.window->cmd_Hen_Click();
        QCOMPARE(f.w().lbl_err_ms->text(), QString("入力してから変換を押してください。"));
        QVERIFY(!f.w().lbl_err_ms->isHidden());
        QCOMPARE(f.output(), QString());

        f.clipboard.content = "other";
        f.window->setInputText("\U0001F600@b"); // raises the same edit reaction as typing
        QCOMPARE(f.clipboard.content, QString());
        QVERIFY(f.w().lbl_err_ms->isHidden());
        QCOMPARE(f.w().lbl_MailAdd_mojisu->text(), QString("3"));
        f.window->cmd_Hen_Click();
        QVERIFY(f.output().contains("&#64;"));
        QCOMPARE(f.w().lbl_MailAdd_ent_mojisu->text(), QString::number(codePointCount(f.output())));
        QCOMPARE(f.w().lbl_mask[0]->text(), QString("\U0001F600"));

        f.type("x"); // typing empties the output and the display
        QCOMPARE((QStringList{f.output(), f.w().lbl_MailAdd_ent_mojisu->text(), f.w().lbl_mask[0]->text()}),
                 (QStringList{"", "0", ""}));
        f.window->cmd_Hen_Click();
        f.pick(1); // empties the output but keeps the count
        QCOMPARE((QStringList{f.window->inputText(), f.output(), f.w().lbl_MailAdd_mojisu->text()}),
                 (QStringList{"second@y.jp", "", "4"}));
    }

    void copyFlashesAndASecondCopyEndsTheFlash()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        f.window->cmd_Clip_Click();
        QCOMPARE(f.w().lbl_err_ms->text(), QString("入力してからClipコピーを押してください。"));

        f.type("a@b.c");
        f.window->cmd_Clip_Click(); // empty output: converts first, then copies
        QVERIFY(!f.output().isEmpty());
        QCOMPARE(f.clipboard.content, f.output());
        QVERIFY(!f.w().lbl_cpfg->isHidden() && f.w().time_fg->isActive());
        QCOMPARE(f.window->copyFlashCount(), 1);
        f.window->time_fg_Timer();
        QVERIFY(f.w().lbl_cpfg->isHidden() && !f.w().time_fg->isActive());

        f.window->cmd_Clip_Click();
        f.window->cmd_Clip_Click(); // within the flash: ends it at once, still copies
        QVERIFY(f.w().lbl_cpfg->isHidden() && !f.w().time_fg->isActive());
        QCOMPARE(f.window->copyFlashCount(), 0);
        f.window->cmd_Clip_Click();
        QVERIFY(!f.w().lbl_cpfg->isHidden());
    }

    void watchAcceptsOneAddressOrUrl_data()
    {
        QTest::addColumn<QString>("clip");
        QTest::addColumn<QString>("taken");
        QTest::newRow("mail address") << "a@b.c" << "a@b.c";
        QTest::newRow("spaces around") << "  a@b.c " << "a@b.c";
        QTest::newRow("two at signs") << "a@b@c.d" << "";
        QTest::newRow("URL") << "http://x.jp/" << "http://x.jp/";
        QTest::newRow("URL in capitals") << "HTTP://x.jp/" << "";
        QTest::newRow("https URL") << "https://x.jp/?a=1&b=2" << "https://x.jp/?a=1&b=2";
        QTest::newRow("https URL in capitals") << "HTTPS://x.jp/" << "";
        QTest::newRow("own output with &amp;") << "a&amp;b@c.d" << "";
        QTest::newRow("no full stop") << "a@b" << "";
        QTest::newRow("own decimal output") << "a&#64;b.c" << "";
        QTest::newRow("own percent output") << "a%40b.c" << "";
        QTest::newRow("space inside") << "a@b .c" << "";
        QTest::newRow("longer than any address") << QString(5000, 'a') + "@b.c" << "";
        QTest::newRow("ideographic space stays") << "\u3000a@b.c" << "\u3000a@b.c";
    }

    void watchAcceptsOneAddressOrUrl()
    {
        QFETCH(QString, clip);
        QFETCH(QString, taken);
        TopWindowFixture f(TopWindowFixture::Started);
        f.clipboard.content = clip;
        f.window->ClipboardWatch();
        QCOMPARE(f.window->inputText(), taken);
        QCOMPARE(f.clipboard.content, taken.isEmpty() ? clip : QString());
        if (!taken.isEmpty()) {
            QCOMPARE(f.w().txt_MailAdd->lineEdit()->selectedText(), taken);
            QCOMPARE(f.w().lbl_MailAdd_mojisu->text(), QString::number(taken.size()));
        }
    }

    void watchReadsEachChangeOnceAndIsSilentOnlyFor521()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        f.clipboard.content = "a@b.c";
        f.window->ClipboardWatch();
        const int clears = f.clipboard.clears;
        f.window->ClipboardWatch();
        QCOMPARE(f.clipboard.clears, clears);
        f.clipboard.copyElsewhere("a@b.c"); // equal to the input: left alone
        f.window->ClipboardWatch();
        QCOMPARE(f.clipboard.content, QString("a@b.c"));

        const int reads = f.clipboard.reads;
        f.clipboard.content = QString(5'000'000, 'x'); // a big text the system never said was new
        f.window->ClipboardWatch();
        QCOMPARE(f.clipboard.reads, reads);
        f.clipboard.answerLater = true; // as the X clipboard answers: after the tick that asked
        f.clipboard.copyElsewhere("c@d.e");
        f.window->ClipboardWatch();
        f.clipboard.copyElsewhere("x@y.jp");
        f.window->ClipboardWatch(); // one read at a time
        QCOMPARE(f.clipboard.reads, reads + 1);
        f.clipboard.answer(); // older than the last change: dropped
        QCOMPARE(f.window->inputText(), QString("a@b.c"));
        f.window->ClipboardWatch();
        f.clipboard.answer(); // taken as it comes
        QCOMPARE(f.window->inputText(), QString("x@y.jp"));
        QCOMPARE(f.clipboard.reads, reads + 2);

        f.clipboard.answerLater = false;
        f.clipboard.failNext = 521; // a busy clipboard is tried again without a word
        f.clipboard.copyElsewhere("q@r.jp");
        f.window->ClipboardWatch();
        QVERIFY(f.messages.shown.isEmpty());
        f.clipboard.failNext = 57;
        f.type("a");
        QCOMPARE(f.messages.shown.size(), 1);
        QCOMPARE(f.messages.titled(), QString("ERR: ERR: 57"));
        QCOMPARE(f.messages.shown.last().icon, MessageIcon::Critical);
    }

    void noTickRunsWhileABoxIsOpen()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        f.type("a@b.c");
        f.w().cmdRegister->click();
        f.w().cmd_Clip->click();
        f.messages.answers = {MessageAnswer::Yes};
        f.messages.whileOpen = [&] {
            f.clipboard.copyElsewhere("x@y.jp");
            for (QTimer* timer : {f.w().tim_ClipCh, f.w().time_fg})
                QMetaObject::invokeMethod(timer, "timeout");
            f.messages.whileOpen = nullptr;
        };
        f.w().cmdDelete->click(); // "削除しますか？", then "削除しました。"
        QVERIFY(!f.w().lbl_cpfg->isHidden());
        QCOMPARE(f.clipboard.content, QString("x@y.jp"));
        QTRY_COMPARE(f.window->inputText(), QString("x@y.jp"));
    }

    void inputRefusesTextBeyondTheLimit()
    {
        TopWindowFixture f;
        frm_Top& window = f.startWith("mirelt.ini", "[Mail]\r\nMail=" + QByteArray(4097, 'a') + "\r\n");
        QCOMPARE(window.inputText(), QString());
        QCOMPARE(f.w().lbl_err_ms->text(), QString("前回の入力は4096文字を超えるため読み込みませんでした。"));
        window.setInputText(QString(4095, 'a'));
        f.type("bc"); // the second is one too many
        QCOMPARE(window.inputText(), QString(4095, 'a') + "b");
        QCOMPARE(f.w().lbl_err_ms->text(), QString("入力できるのは4096文字までです。"));
        QVERIFY(!f.w().lbl_err_ms->isHidden());
    }

    void presetsLeaveTheirOptions_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("boxes");
        QTest::newRow("tag inside") << 0 << "101111";
        QTest::newRow("tag outside") << 1 << "100110";
        QTest::newRow("i-mode inside") << 2 << "100111";
        QTest::newRow("BBS") << 4 << "101000";
        QTest::newRow("default") << 6 << "100110";
    }

    void presetsLeaveTheirOptions()
    {
        QFETCH(int, index);
        for (bool withInput : {false, true}) {
            TopWindowFixture f;
            frm_Top& window = f.start();
            f.w().opt_ent_att->click();
            f.w().chk_syutu[1]->click();
            if (withInput)
                f.type("a@b.c");
            f.w().mn_set_kiju[index]->trigger();
            QTEST(f.boxes(), "boxes");
            QVERIFY(f.w().opt_ent_rand->isChecked() && f.w().chk_att_ent->isEnabled() && f.w().lbl_err_ms->isHidden());
            QCOMPARE(f.output().isEmpty(), !withInput);
            QCOMPARE(window.conversionState().UsedHex, false);
        }
    }

    void settingsRoundTripAndAreWrittenOnce()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        f.w().opt_ent_att->click();
        f.w().chk_syutu[2]->click();
        f.w().chk_Ret->click();
        f.window->setInputText("\u00fc@b.c");
        f.window->move(30, 40);
        f.window->close();
        const QByteArray saved = f.readFile("mirelt.ini");
        QVERIFY(saved.contains("[Mail]\r\nMail=&#252;@b.c\r\nMailEnc=NCR\r\n"));
        QVERIFY(saved.contains("[ENT_OP]\r\nRAND=False\r\nALL=False\r\n@ONLY=True\r\n"));
        f.writeFile("mirelt.ini", "changed");
        f.window->close(); // a second close does not write again
        QCOMPARE(f.readFile("mirelt.ini"), QByteArray("changed"));

        f.startWith("mirelt.ini", saved);
        QCOMPARE(f.window->inputText(), QString("\u00fc@b.c"));
        QVERIFY(f.w().opt_ent_att->isChecked() && f.w().chk_syutu[2]->isChecked() && f.w().chk_Ret->isChecked());
        QCOMPARE(f.window->frameGeometry().topLeft(), QPoint(30, 40));

        f.writeFile("mirelt.ini", "[Top]\r\nTop=-300000\r\n[Left]\r\nLeft=900000\r\n"); // off every screen
        f.start();
        QCOMPARE(f.window->pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
    }

    void resizeKeepsControlsAndStretchesTheBand()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        const QRect button = f.w().cmd_Hen->geometry();
        f.window->resize(300, 200);
        QTRY_COMPARE(f.w().Line3->width(), f.window->frameGeometry().width());
        QCOMPARE(f.w().Shape1->geometry().right(), f.window->frameGeometry().width() + 12); // past the right edge
        QCOMPARE(f.w().cmd_Hen->geometry(), button);
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_mainwindow.moc"
