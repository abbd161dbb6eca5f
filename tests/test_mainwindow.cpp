#include "TopWindowFixture.h"

#include <QAction>
#include <QTimer>
#include <QtTest>

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void firstStartAppliesDefaultsWithoutConverting()
    {
        TopWindowFixture f;
        frm_Top& window = f.start();
        QVERIFY(QFileInfo(f.folder.filePath("JSP")).isDir());
        QCOMPARE(f.readFile("add.dat"), QByteArray());
        QVERIFY(f.w().opt_ent_rand->isChecked());
        QVERIFY(f.w().chk_syutu[0]->isChecked() && !f.w().chk_syutu[1]->isChecked());
        QVERIFY(f.w().chk_att_ent->isChecked() && f.w().chk_dot_ent->isChecked() && !f.w().chk_Ret->isChecked());
        QCOMPARE(window.retClickCount(), 1);
        QCOMPARE(f.output(), QString());
        QVERIFY(f.w().tim_ClipCh->isActive());
        QCOMPARE(f.w().tim_ClipCh->interval(), 500);
        QVERIFY(!f.w().lbl_err_ms->isVisible());
        QCOMPARE(f.w().mn_file_end->shortcut(), QKeySequence("Ctrl+Q"));
        QCOMPARE(f.w().mn_help_web->shortcut(), QKeySequence("F1"));
    }

    void loadedLineBreakDoesNotConvertButLaterClicksDo()
    {
        TopWindowFixture f;
        f.writeFile("mirelt.ini", "[INI_VER]\r\nINI_VER=1\r\n[OPTION]\r\nRET=1\r\n@ENT=1\r\nDOT=1\r\n"
                                  "[ENT_OUT_OP]\r\n10=1\r\n[ENT_OP]\r\nRAND=True\r\n[Mail]\r\nMail=a@b.c\r\n");
        f.clipboard.content = "x";
        frm_Top& window = f.start();
        QVERIFY(f.w().chk_Ret->isChecked());
        QCOMPARE(window.inputText(), QString("a@b.c"));
        QCOMPARE(f.w().lbl_MailAdd_mojisu->text(), QString("5"));
        QCOMPARE(f.output(), QString());
        QCOMPARE(f.clipboard.content, QString()); // a restored input clears the clipboard
        f.w().chk_Ret->click();
        QVERIFY(!f.output().isEmpty());
        QCOMPARE(window.retClickCount(), 2);
    }

    void loadedAtOnlyScopeLocksTheAtBox()
    {
        TopWindowFixture f;
        f.writeFile("mirelt.ini", "[INI_VER]\r\nINI_VER=1\r\n[ENT_OP]\r\nRAND=True\r\nALL=True\r\n@ONLY=False\r\n");
        f.start();
        QVERIFY(f.w().opt_ent_all->isChecked());
        QVERIFY(!f.w().chk_syutu[0]->isChecked()); // no ENT_OUT_OP section: no form
        f.w().txt_MailAdd->setEditText("a@b.c");
        f.window->cmd_Hen_Click();
        QCOMPARE(f.w().lbl_err_ms->text(), QString("出力形式が選択されていません。"));

        TopWindowFixture g;
        g.writeFile("mirelt.ini", "[INI_VER]\r\nINI_VER=1\r\n[OPTION]\r\n@ENT=0\r\n[ENT_OP]\r\n@ONLY=True\r\n");
        g.start();
        QVERIFY(g.w().chk_att_ent->isChecked());
        QVERIFY(!g.w().chk_att_ent->isEnabled());
    }

    void optionInterlock()
    {
        TopWindowFixture f;
        f.start();
        f.w().opt_ent_att->click();
        QVERIFY(f.w().chk_att_ent->isChecked() && !f.w().chk_att_ent->isEnabled());
        f.w().opt_ent_all->click();
        QVERIFY(f.w().chk_att_ent->isChecked() && f.w().chk_att_ent->isEnabled());
    }

    void everyOptionClickConverts()
    {
        TopWindowFixture f;
        f.start();
        f.type("a@b.c");
        for (QAbstractButton* control : QList<QAbstractButton*>{f.w().chk_syutu[1], f.w().chk_dot_ent,
                                                                f.w().chk_Ret, f.w().opt_ent_all}) {
            f.w().txt_MailAdd_Ent->clear();
            control->click();
            QVERIFY2(!f.output().isEmpty(), qPrintable(control->objectName()));
        }
        f.w().opt_ent_all->click(); // already selected: nothing changes
    }

    void convertCommandAndInputEdits()
    {
        TopWindowFixture f;
        frm_Top& window = f.start();
        window.cmd_Hen_Click();
        QCOMPARE(f.w().lbl_err_ms->text(), QString("入力してから変換を押してください。"));
        QVERIFY(!f.w().lbl_err_ms->isHidden());
        QCOMPARE(f.output(), QString());

        f.clipboard.content = "other";
        f.window->setInputText("\U0001F600@b"); // raises the same edit reaction as typing
        QCOMPARE(f.clipboard.content, QString());
        QVERIFY(f.w().lbl_err_ms->isHidden());
        QCOMPARE(f.w().lbl_MailAdd_mojisu->text(), QString("3"));
        window.cmd_Hen_Click();
        QVERIFY(f.output().contains("&#64;"));
        QCOMPARE(f.w().lbl_MailAdd_ent_mojisu->text(), QString::number(codePointCount(f.output())));
        QCOMPARE(f.w().lbl_mask[0]->text(), QString("\U0001F600"));

        f.type("x"); // typing empties the output and the display
        QCOMPARE(f.output(), QString());
        QCOMPARE(f.w().lbl_MailAdd_ent_mojisu->text(), QString("0"));
        QCOMPARE(f.w().lbl_mask[0]->text(), QString());
    }

    void listPickEmptiesTheOutputButKeepsTheCount()
    {
        TopWindowFixture f;
        f.writeFile("add.dat", "first@x.jp\r\nsecond@y.jp\r\n");
        frm_Top& window = f.start();
        QCOMPARE(window.inputText(), QString()); // filling the list leaves the input alone
        f.type("ab");
        window.cmd_Hen_Click();
        f.w().txt_MailAdd->setCurrentIndex(1);
        emit f.w().txt_MailAdd->activated(1);
        QCOMPARE(window.inputText(), QString("second@y.jp"));
        QCOMPARE(f.output(), QString());
        QCOMPARE(f.w().lbl_MailAdd_mojisu->text(), QString("2"));
    }

    void copyFlashesAndASecondCopyEndsTheFlash()
    {
        TopWindowFixture f;
        frm_Top& window = f.start();
        window.cmd_Clip_Click();
        QCOMPARE(f.w().lbl_err_ms->text(), QString("入力してからClipコピーを押してください。"));

        f.type("a@b.c");
        window.cmd_Clip_Click(); // empty output: converts first, then copies
        QVERIFY(!f.output().isEmpty());
        QCOMPARE(f.clipboard.content, f.output());
        QVERIFY(!f.w().lbl_cpfg->isHidden() && f.w().time_fg->isActive());
        QCOMPARE(window.copyFlashCount(), 1);
        window.time_fg_Timer();
        QVERIFY(f.w().lbl_cpfg->isHidden() && !f.w().time_fg->isActive());

        window.cmd_Clip_Click();
        window.cmd_Clip_Click(); // within the flash: ends it at once, still copies
        QVERIFY(f.w().lbl_cpfg->isHidden() && !f.w().time_fg->isActive());
        QCOMPARE(window.copyFlashCount(), 0);
        window.cmd_Clip_Click();
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
        TopWindowFixture f;
        frm_Top& window = f.start();
        f.clipboard.content = clip;
        window.ClipboardWatch();
        QCOMPARE(window.inputText(), taken);
        QCOMPARE(f.clipboard.content, taken.isEmpty() ? clip : QString());
        if (!taken.isEmpty()) {
            QCOMPARE(f.w().txt_MailAdd->lineEdit()->selectedText(), taken);
            QCOMPARE(f.w().lbl_MailAdd_mojisu->text(), QString::number(taken.size()));
        }
    }

    void watchCatchesOneCopyOnce()
    {
        TopWindowFixture f;
        frm_Top& window = f.start();
        f.clipboard.content = "a@b.c";
        window.ClipboardWatch();
        const int clears = f.clipboard.clears;
        window.ClipboardWatch();
        QCOMPARE(f.clipboard.clears, clears);
        f.clipboard.copyElsewhere("a@b.c"); // equal to the input: left alone
        window.ClipboardWatch();
        QCOMPARE(f.clipboard.content, QString("a@b.c"));
    }

    void watchReadsOnlyAfterAChange()
    {
        TopWindowFixture f;
        frm_Top& window = f.start();
        window.ClipboardWatch();
        const int reads = f.clipboard.reads;
        f.clipboard.content = QString(5'000'000, 'x'); // a big text the system never said was new
        window.ClipboardWatch();
        QCOMPARE(f.clipboard.reads, reads);
        f.clipboard.answerLater = true; // as the X clipboard answers: after the tick that asked
        f.clipboard.copyElsewhere("a@b.c");
        window.ClipboardWatch();
        f.clipboard.copyElsewhere("x@y.jp");
        window.ClipboardWatch(); // one read at a time
        QCOMPARE(f.clipboard.reads, reads + 1);
        f.clipboard.answer(); // older than the last change: dropped
        QCOMPARE(window.inputText(), QString());
        window.ClipboardWatch();
        f.clipboard.answer(); // taken as it comes
        QCOMPARE(window.inputText(), QString("x@y.jp"));
        QCOMPARE(f.clipboard.reads, reads + 2);
    }

    void noTickRunsWhileABoxIsOpen()
    {
        TopWindowFixture f;
        frm_Top& window = f.start();
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
        QTRY_COMPARE(window.inputText(), QString("x@y.jp"));
    }

    void inputRefusesTextBeyondTheLimit()
    {
        TopWindowFixture f;
        f.writeFile("mirelt.ini", "[Mail]\r\nMail=" + QByteArray(4097, 'a') + "\r\n");
        frm_Top& window = f.start();
        QCOMPARE(window.inputText(), QString());
        QCOMPARE(f.w().lbl_err_ms->text(), QString("前回の入力は4096文字を超えるため読み込みませんでした。"));
        window.setInputText(QString(4095, 'a'));
        f.type("bc"); // the second is one too many
        QCOMPARE(window.inputText(), QString(4095, 'a') + "b");
        QCOMPARE(f.w().lbl_err_ms->text(), QString("入力できるのは4096文字までです。"));
        QVERIFY(!f.w().lbl_err_ms->isHidden());
    }

    void clipboardFailuresAreSilentOnlyFor521()
    {
        TopWindowFixture f;
        frm_Top& window = f.start();
        f.clipboard.failNext = 521;
        window.ClipboardWatch();
        QVERIFY(f.messages.shown.isEmpty());
        f.clipboard.failNext = 57;
        f.type("a");
        QCOMPARE(f.messages.shown.size(), 1);
        QCOMPARE(f.messages.lastText(), QString("ERR: 57"));
        QCOMPARE(f.messages.shown.last().title, QString("ERR"));
        QCOMPARE(f.messages.shown.last().icon, MessageIcon::Critical);
    }

    void presetsLeaveTheirOptions_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("boxes"); // decimal hex percent @ . line-break
        QTest::newRow("tag inside") << 0 << "101111";
        QTest::newRow("tag outside") << 1 << "100110";
        QTest::newRow("i-mode inside") << 2 << "100111";
        QTest::newRow("BBS") << 4 << "101000";
        QTest::newRow("default") << 6 << "100110";
    }

    void presetsLeaveTheirOptions()
    {
        QFETCH(int, index);
        QFETCH(QString, boxes);
        for (bool withInput : {false, true}) {
            TopWindowFixture f;
            frm_Top& window = f.start();
            f.w().opt_ent_att->click();
            f.w().chk_syutu[1]->click();
            if (withInput)
                f.type("a@b.c");
            f.w().mn_set_kiju[index]->trigger();
            const TopWindowWidgets& w = f.w();
            QCheckBox* order[] = {w.chk_syutu[0], w.chk_syutu[1], w.chk_syutu[2], w.chk_att_ent, w.chk_dot_ent, w.chk_Ret};
            for (int i = 0; i < 6; ++i)
                QCOMPARE(order[i]->isChecked(), boxes[i] == '1');
            QVERIFY(w.opt_ent_rand->isChecked() && w.chk_att_ent->isEnabled());
            QVERIFY(w.lbl_err_ms->isHidden());
            QCOMPARE(f.output().isEmpty(), !withInput);
            QCOMPARE(window.conversionState().UsedHex, false);
        }
    }

    void settingsRoundTripAndAreWrittenOnce()
    {
        TopWindowFixture f;
        f.start();
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

        f.writeFile("mirelt.ini", saved);
        f.start();
        QCOMPARE(f.window->inputText(), QString("\u00fc@b.c"));
        QVERIFY(f.w().opt_ent_att->isChecked() && f.w().chk_syutu[2]->isChecked() && f.w().chk_Ret->isChecked());
        QCOMPARE(f.window->frameGeometry().topLeft(), QPoint(30, 40));
    }

    void offScreenPositionFallsBackToTheCorner()
    {
        TopWindowFixture f;
        f.writeFile("mirelt.ini", "[Top]\r\nTop=-300000\r\n[Left]\r\nLeft=900000\r\n");
        f.start();
        QCOMPARE(f.window->pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
    }

    void resizeKeepsControlsAndStretchesTheBand()
    {
        TopWindowFixture f;
        f.start();
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
