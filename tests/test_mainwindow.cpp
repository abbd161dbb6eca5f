#include "TopWindowFixture.h"
#include "WindowPlacement.h"

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void startShowsTheSavedState_data()
    {
        QTest::addColumn<QByteArray>("ini"); QTest::addColumn<QString>("options"); QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("error");
        const QByteArray v1 = "[INI_VER]\r\nINI_VER=1\r\n";
        const QByteArray mail = "[Mail]\r\nMail=";
        QTest::newRow("first start") << QByteArray() << "100110r" << "" << "";
        QTest::newRow("line break, not converted")
            << v1 + "[OPTION]\r\nRET=1\r\n@ENT=1\r\nDOT=1\r\n[ENT_OUT_OP]\r\n10=1\r\n[ENT_OP]\r\nRAND=True\r\n" + mail
                   + "a@b.c" << "100111r" << "a@b.c" << "";
        QTest::newRow("no form") << v1 + "[ENT_OP]\r\nRAND=True\r\nALL=True\r\n" << "000000a" << "" << "";
        QTest::newRow("@ only") << v1 + "[OPTION]\r\n@ENT=0\r\n[ENT_OP]\r\n@ONLY=True\r\n" << "000x00@" << "" << "";
        QTest::newRow("input at the limit") << mail + QByteArray(4096, 'a') << "100110r" << QString(4096, 'a') << "";
        QTest::newRow("input too long") << mail + QByteArray(4097, 'a') << "100110r" << ""
                                        << "前回の入力は4096文字を超えるため読み込みませんでした。";
    }

    void startShowsTheSavedState()
    {
        QFETCH(QByteArray, ini); QFETCH(QString, input);
        TopWindowFixture f;
        f.clipboard.content = "x";
        f.start(ini.isEmpty() ? "" : "mirelt.ini", ini);
        QVERIFY(QFileInfo(f.folder.filePath("JSP")).isDir() && f.readFile("add.dat").isEmpty());
        QTEST(f.options(), "options");
        QTEST(f.errorLine(), "error");
        QCOMPARE(f.fields(), input + '|' + QString::number(input.size()) + "||0");
        QCOMPARE(f.clipboard.content, input.isEmpty() ? "x" : ""); // a restored input clears the clipboard
        f.w().chk_Ret->click();
        QCOMPARE(f.output().isEmpty(), input.isEmpty());
    }

    void aCopyFlashesAndEveryOptionClickConverts()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        const TopWindowWidgets& w = f.w();
        QVERIFY(w.tim_ClipCh->isActive() && w.mn_file_end->shortcut() == QKeySequence("Ctrl+Q"));
        f.window->cmd_Clip_Click();
        QCOMPARE(f.errorLine(), QString("入力してからClipコピーを押してください。"));
        f.type("a@b.c");
        const auto flash = [&] { // label shown, timer running, count
            return QString::asprintf("%d%d%d", !w.lbl_cpfg->isHidden(), w.time_fg->isActive(),
                                     f.window->copyFlashCount());
        };
        f.window->cmd_Clip_Click(); // empty output: converts first, then copies
        QVERIFY(!f.output().isEmpty() && f.clipboard.content == f.output());
        QStringList flashes{flash()};
        f.window->time_fg_Timer();
        flashes << flash();
        f.window->cmd_Clip_Click();
        f.window->cmd_Clip_Click(); // the second within the flash ends it at once
        flashes << flash();
        f.window->cmd_Clip_Click();
        flashes << flash();
        QCOMPARE(flashes, (QStringList{"111", "000", "000", "111"}));

        QStringList seen;
        for (auto* control : QList<QAbstractButton*>{w.chk_syutu[1], w.chk_att_ent, w.chk_dot_ent, w.chk_Ret,
                                                     w.opt_ent_att, w.opt_ent_all, w.chk_syutu[0], w.chk_syutu[1]}) {
            w.txt_MailAdd_Ent->clear();
            control->click();
            seen << f.options() + (f.output().isEmpty() ? ": " + f.errorLine() : "");
        }
        QCOMPARE(seen, (QStringList{"110110r", "110010r", "110000r", "110001r", "110x01@", "110101a", "010101a",
                                    "000101a: 出力形式が選択されていません。"}));
    }

    void convertCommandInputEditsAndListPicks()
    {
        TopWindowFixture f;
        f.start("add.dat", "first@x.jp\r\nsecond@y.jp\r\n");
        QCOMPARE(f.fields(), QString("|0||0")); // filling the list leaves the input alone
        f.window->cmd_Hen_Click();
        QCOMPARE(f.errorLine(), QString("入力してから変換を押してください。"));

        f.clipboard.content = "other";
        f.window->setInputText("\U0001F600@b"); // raises the same edit reaction as typing
        QCOMPARE(f.clipboard.content + f.errorLine(), QString());
        f.window->cmd_Hen_Click();
        QVERIFY(f.output().contains("&#64;"));
        QCOMPARE(f.fields(), "\U0001F600@b|3|" + f.output() + '|' + QString::number(codePointCount(f.output())));
        QCOMPARE(f.w().lbl_mask[0]->text(), QString("\U0001F600"));
        f.type("x"); // empties the output and the display
        QCOMPARE(f.fields() + f.w().lbl_mask[0]->text(), QString("\U0001F600@bx|4||0"));
        f.window->cmd_Hen_Click();
        f.w().txt_MailAdd->setCurrentIndex(1);
        emit f.w().txt_MailAdd->activated(1); // a pick empties the output but keeps the count
        QCOMPARE(f.fields(), QString("second@y.jp|4||0"));

        f.window->setInputText(QString(4095, 'a'));
        f.type("bc"); // the second is one too many
        QCOMPARE(f.window->inputText(), QString(4095, 'a') + "b");
        QCOMPARE(f.errorLine(), QString("入力できるのは4096文字までです。"));
    }

    void watchAcceptsOneAddressOrUrl_data()
    {
        QTest::addColumn<QString>("clip"); QTest::addColumn<QString>("taken");
        const QString longest = QString(4092, 'a') + "@b.c";
        for (QString text : QStringList{"a@b.c", "http://x.jp/", "https://x.jp/?a=1&b=2", "\u3000a@b.c", longest})
            QTest::addRow("taken %s (%d)", qPrintable(text.left(20)), int(text.size())) << text << text;
        QTest::newRow("spaces around") << "  a@b.c " << "a@b.c";
        // Two at signs, capitals, own output (&#, &amp;, %), no full stop, a space, one character too many.
        for (QString text : QStringList{"a@b@c.d", "HTTP://x.jp/", "HTTPS://x.jp/", "a&amp;b@c.d", "a&#64;b.c",
                                        "a%40b.c", "a@b", "a@b .c", 'a' + longest})
            QTest::addRow("refused %s (%d)", qPrintable(text.left(20)), int(text.size())) << text << "";
    }

    void watchAcceptsOneAddressOrUrl()
    {
        QFETCH(QString, clip); QFETCH(QString, taken);
        TopWindowFixture f(TopWindowFixture::Started);
        f.clipboard.content = clip;
        f.window->ClipboardWatch();
        QCOMPARE(f.clipboard.content, taken.isEmpty() ? clip : QString());
        QCOMPARE(f.fields(), taken + '|' + QString::number(taken.size()) + "||0");
        QCOMPARE(f.w().txt_MailAdd->lineEdit()->selectedText(), taken);
    }

    void watchReadsEachChangeOnceNeverUnderABoxAndIsSilentOnlyFor521()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        FakeClipboard& c = f.clipboard;
        const auto copy = [&](const QString& text) {
            c.copyElsewhere(text);
            f.window->ClipboardWatch();
        };
        copy("a@b.c");
        copy("a@b.c"); // equal to the input: left alone
        QCOMPARE(c.content, QString("a@b.c"));

        const int reads = c.reads;
        c.content = QString(5'000'000, 'x'); // a big text the system never said was new
        f.window->ClipboardWatch();
        QCOMPARE(c.reads, reads);
        c.answerLater = true; // as the X clipboard answers: after the tick that asked
        copy("c@d.e");
        copy("x@y.jp"); // one read at a time
        QCOMPARE(c.reads, reads + 1);
        c.answer(); // older than the last change: dropped
        QCOMPARE(f.window->inputText(), QString("a@b.c"));
        f.window->ClipboardWatch();
        c.answer(); // taken as it comes
        QCOMPARE(f.window->inputText(), QString("x@y.jp"));
        QCOMPARE(c.reads, reads + 2);

        c.answerLater = false;
        c.failNext = 521; // a busy clipboard is tried again without a word
        copy("q@r.jp");
        f.window->ClipboardWatch();
        QCOMPARE(f.window->inputText(), QString("q@r.jp"));
        c.failNext = 57;
        f.type("a");
        QCOMPARE(f.messages.log(), QStringList{"[!]ERR: ERR: 57"});

        // No tick runs while a box is open: neither the flash's nor the watch's.
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

    // Steps: "c TEXT" copied elsewhere, "t" a tick of the watch, "k TEXT" typed over the whole input.
    void watchTakesOneCopyOnce_data()
    {
        QTest::addColumn<bool>("clearKeeps"); QTest::addColumn<QString>("steps"); QTest::addColumn<QString>("input");
        QTest::newRow("a clear that does nothing") << true << "c h@ex.jp|t|k new@site.jp|t|t" << "new@site.jp";
        QTest::newRow("same text changed twice") << false << "c a@b.c|t|k x@y.jp|c a@b.c|t" << "x@y.jp";
        QTest::newRow("restored, clear kept") << true << "k a@b.c|c a@b.c|t|k x@y.jp|t" << "x@y.jp";
        QTest::newRow("empty text between") << false << "c a@b.c|t|k x@y.jp|t|c a@b.c|t" << "a@b.c";
        QTest::newRow("other text between") << true << "c a@b.c|t|k x@y.jp|c o@p.jp|t|c a@b.c|t" << "a@b.c";
    }

    void watchTakesOneCopyOnce()
    {
        QFETCH(bool, clearKeeps); QFETCH(QString, steps);
        TopWindowFixture f(TopWindowFixture::Started);
        f.clipboard.clearKeeps = clearKeeps;
        for (const QString& step : steps.split('|')) {
            const QString text = step.mid(2);
            if (step[0] == 'c')
                f.clipboard.copyElsewhere(text);
            else if (step[0] == 't')
                f.window->ClipboardWatch();
            else
                f.typeOver(text);
        }
        QTEST(f.window->inputText(), "input");
    }

    // A text that stands in the list, not picked from it: leaving the input must not count as a pick.
    void keyboardCommandsOnAnInputNotPicked_data()
    {
        QTest::addColumn<QString>("how"); QTest::addColumn<int>("key");
        for (const char* how : {"restored", "caught", "typed"}) {
            QTest::addRow("%s, Alt+X", how) << how << int(Qt::Key_X);
            QTest::addRow("%s, Alt+C", how) << how << int(Qt::Key_C);
        }
    }

    void keyboardCommandsOnAnInputNotPicked()
    {
        QFETCH(QString, how); QFETCH(int, key);
        TopWindowFixture f;
        f.writeFile("add.dat", "a@b.c\r\n");
        f.start(how == "restored" ? "mirelt.ini" : "", "[Mail]\r\nMail=a@b.c\r\n");
        f.clipboard.copyElsewhere(how == "caught" ? "a@b.c" : "");
        f.window->ClipboardWatch();
        f.window->show();
        QApplication::setActiveWindow(f.window.get());
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.w().txt_MailAdd->setFocus();
        f.type(how == "typed" ? "a@b.c" : "");
        QTest::keyClick(f.w().txt_MailAdd->lineEdit(), Qt::Key(key), Qt::AltModifier);
        QTRY_VERIFY(f.output().contains("&#"));
        QCOMPARE(f.clipboard.content == f.output() && !f.w().lbl_cpfg->isHidden(), key == Qt::Key_C); // copied, flashed
    }

    void darkSchemeKeepsColouredTextReadable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<uint>("colour"); // given to the cell; 0 for a legend as built
        for (const char* legend : {"Label5", "Label6", "Label7"})
            QTest::newRow(legend) << legend << 0u;
        for (uint colour : {0x009F9F9Fu, 0x0000FFFFu, 0x0080FF80u, 0x00FFFFC0u})
            QTest::addRow("cell %06x", colour) << "lbl_mask_0" << colour;
    }

    void darkSchemeKeepsColouredTextReadable()
    {
        QFETCH(QString, name); QFETCH(uint, colour);
        const QPalette light = QApplication::palette();
        QApplication::setPalette(QPalette(Qt::white, QColor(0x35, 0x35, 0x35))); // white text on dark grey
        TopWindowFixture f(TopWindowFixture::Started);
        if (colour != 0) {
            f.window->setCellColour(0, colour);
            f.window->setCellCaption(0, "M");
        }
        const QImage image = f.window->findChild<QLabel*>(name)->grab().toImage();
        QApplication::setPalette(light);
        const auto luminance = [](QRgb c) {
            const auto linear = [](int v) { return v <= 10 ? v / 3295.4 : std::pow((v / 255.0 + 0.055) / 1.055, 2.4); };
            return 0.2126 * linear(qRed(c)) + 0.7152 * linear(qGreen(c)) + 0.0722 * linear(qBlue(c));
        };
        const double back = luminance(image.pixel(0, 0));
        double best = 1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const double l = luminance(image.pixel(x, y));
                best = std::max(best, (std::max(l, back) + 0.05) / (std::min(l, back) + 0.05));
            }
        QVERIFY2(best >= 4.5, qPrintable(QString::number(best)));
    }

    // Two screens side by side, a window of 432 x 330 unless given: one showing 64 pixels of its title bar stays.
    void savedPositionLandsOnAScreen_data()
    {
        QTest::addColumn<QPoint>("saved"); QTest::addColumn<QSize>("frame"); QTest::addColumn<QPoint>("placed");
        const auto row = [](const char* name, QPoint saved, QPoint placed, QSize frame = {432, 330}) {
            QTest::newRow(name) << saved << frame << placed;
        };
        row("none saved", {0, 0}, {0, 0});
        row("partly left, grabbable", {-300, 100}, {-300, 100});
        row("title bar above the top", {-3, -30}, {0, 0});
        row("off every screen", {60000, -20000}, {1872, 0});
        row("on the second screen", {1500, 100}, {1500, 100});
        row("right of the second", {2500, 900}, {1872, 694});
        row("below the first", {100, 900}, {100, 438});
        row("64 pixels of the title bar shown", {2240, 100}, {2240, 100});
        row("63 pixels shown", {2241, 100}, {1872, 100});
        row("taller than the screen", {100, 900}, {100, 0}, {432, 1000});
        row("wider than the screen", {-3000, 100}, {0, 100}, {1500, 330});
    }

    void savedPositionLandsOnAScreen()
    {
        QFETCH(QPoint, saved); QFETCH(QSize, frame);
        QTEST(WindowPlacement::placeOnScreens(saved, frame, {{0, 0, 1024, 768}, {1024, 0, 1280, 1024}}), "placed");
    }

    void presetsLeaveTheirOptions_data()
    {
        QTest::addColumn<int>("index"); QTest::addColumn<QString>("options");
        for (auto [name, index, options] : {std::tuple{"tag inside", 0, "101111r"}, {"tag outside", 1, "100110r"},
                                            {"i-mode inside", 2, "100111r"}, {"BBS", 4, "101000r"},
                                            {"default", 6, "100110r"}})
            QTest::newRow(name) << index << options;
    }

    void presetsLeaveTheirOptions()
    {
        QFETCH(int, index);
        for (const char* input : {"", "a@b.c"}) {
            TopWindowFixture f(TopWindowFixture::Started);
            f.w().opt_ent_att->click();
            f.w().chk_syutu[1]->click();
            f.type(input);
            f.w().mn_set_kiju[index]->trigger();
            QTEST(f.options() + f.errorLine(), "options");
            QCOMPARE(f.output().isEmpty(), !*input);
            QVERIFY(!f.window->conversionState().UsedHex);
        }
    }

    void settingsRoundTripAndAreWrittenOnce()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        for (QAbstractButton* control : QList<QAbstractButton*>{f.w().opt_ent_att, f.w().chk_syutu[2], f.w().chk_Ret})
            control->click();
        f.window->setInputText("\u00fc@b.c");
        f.window->move(30, 40);
        f.window->close();
        const QByteArray saved = f.readFile("mirelt.ini");
        f.writeFile("mirelt.ini", "changed");
        f.window->close(); // a second close does not write again
        QCOMPARE(f.readFile("mirelt.ini"), QByteArray("changed"));

        f.start("mirelt.ini", saved);
        QCOMPARE(f.window->inputText(), QString("\u00fc@b.c"));
        QCOMPARE(f.options(), QString("101x11@"));
        QCOMPARE(f.window->frameGeometry().topLeft(), QPoint(30, 40));
        f.start("mirelt.ini", "[Top]\r\nTop=-300000\r\n[Left]\r\nLeft=900000\r\n"); // off every screen
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(f.window->pos(), QPoint(screen.right() + 1 - f.window->frameGeometry().width(), screen.top()));
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
