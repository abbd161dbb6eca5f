#include "ScriptWriter.h"
#include "SiteJob.h"
#include "TopWindowFixture.h"
#include "frm_Site.h"

static const QByteArray Page = "<p>Mail a@b.cd</p>\n<p>none</p>\n<a href='mailto:c@d.ef'>c</a>\n";

// The site window as the main window's menu opens it, over the folder "site" of the program folder.
class SiteWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QSignalSpy> m_finished;

    // The site window over the folder "site", its dry run done; m_finished counts its runs.
    frm_Site* checked(TopWindowFixture& f, int method = 0)
    {
        f.w().mn_file_site->trigger(); auto* site = f.window->findChild<frm_Site*>();
        site->findChild<QComboBox*>("cmb_Method")->setCurrentIndex(method);
        m_finished = std::make_unique<QSignalSpy>(site, &frm_Site::runFinished);
        site->setNextFolderAnswer(f.base() + "/site"); site->cmd_Browse_Click();
        [&] { QVERIFY(!site->findChild<QPushButton*>("cmd_Apply")->isEnabled()); }();
        site->cmd_Check_Click();
        [&] { QTRY_COMPARE(m_finished->count(), 1); }();
        return site;
    }

private slots:
    void theScriptMethodAppliesItsCheckWithTheKeyOfTheScriptItWrites()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        f.writeFile("site/a.html", Page); frm_Site* site = checked(f, 1);
        QVERIFY(!QFile::exists(f.base() + "/site/qorvane-mail.js")); site->cmd_Apply_Click(); QTRY_COMPARE(m_finished->count(), 2);
        const auto found = [](const QByteArray& bytes, const char* pattern) { return QRegularExpression(pattern).match(bytes).captured(1).toLatin1(); };
        const QByteArray key = QByteArray::fromBase64(found(f.readFile("site/qorvane-mail.js"), "bytesOf\\(\"([\\w-]+)\"\\)"),
                                                      QByteArray::Base64UrlEncoding);
        QCOMPARE(ScriptWriter::decrypt(key, found(f.readFile("site/a.html"), "data-qm=\"([\\w-]+)\"")), "la@b.cd");
    }

    void itsChoicesAreKeptInASectionOfTheSettingsFileAndAFailedSaveIsShown()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        f.writeFile("mirelt.ini", "[Top]\r\nTop=7\r\n");
        const auto open = [&f] { f.w().mn_file_site->trigger(); return f.window->findChildren<frm_Site*>().constLast(); };
        frm_Site* site = open();
        site->findChild<QCheckBox*>("chk_Links")->setChecked(true); site->findChild<QComboBox*>("cmb_Method")->setCurrentIndex(2);
        QCOMPARE(f.readFile("mirelt.ini"), "[Top]\r\nTop=7\r\n[SITE]\r\nLINKS=1\r\nMETHOD=2\r\n");
        site->close(); QTRY_VERIFY(f.window->findChildren<frm_Site*>().isEmpty());
        site = open();
        QVERIFY(site->findChild<QCheckBox*>("chk_Links")->isChecked()); QCOMPARE(site->findChild<QComboBox*>("cmb_Method")->currentIndex(), 2);
        QFile::remove(f.base() + "/mirelt.ini"); QDir(f.base()).mkdir("mirelt.ini");
        site->findChild<QComboBox*>("cmb_Method")->setCurrentIndex(0);
        QVERIFY(site->findChild<QLabel*>("lbl_Status")->text().startsWith("設定を保存できませんでした"));
        QDir(f.base()).rmdir("mirelt.ini");
    }

    void closingDuringASlowPageAnswersAtOnceAndLeavesItWhole()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        f.writeFile("site/a.html", Page); frm_Site* site = checked(f);
        QSemaphore entered, gate;
        site->setBeforeReplaceForTest([&](const PageRef&) { entered.release(); gate.acquire(); });
        site->cmd_Apply_Click();
        QTRY_COMPARE(entered.available(), 1);
        QElapsedTimer closing; closing.start();
        site->close();
        QVERIFY2(closing.elapsed() < 500, qPrintable(QString::number(closing.elapsed())));
        gate.release();
        QTRY_VERIFY(qApp->findChildren<SiteJob*>().isEmpty());
        QCOMPARE(f.readFile("site/a.html"), Page);
    }

    void aLongResultIsShownAStepAtATimeAsItIsScrolledToAndClosesAtOnce()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        f.writeFile("site/long.html", QByteArray("<p>a@b.cd</p>\n").repeated(1000)); frm_Site* site = checked(f);
        auto* table = site->findChild<QTableView*>("tbl_Lines"); QAbstractItemModel* lines = table->model();
        site->show(); QVERIFY(QTest::qWaitForWindowExposed(site));
        QList<int> steps{lines->rowCount()};
        for (QScrollBar* bar = table->verticalScrollBar(); steps.last() < 1000 && steps.size() < 10; steps.append(lines->rowCount())) {
            bar->setValue(bar->maximum()); QCoreApplication::processEvents(); // one turn of the event loop each
        }
        QCOMPARE(steps, QList<int>({200, 400, 600, 800, 1000}));
        QCOMPARE(lines->index(999, 0).data().toString() + ' ' + lines->index(999, 1).data(Qt::ToolTipRole).toString(),
                 "1000 <p>a@b.cd</p>");
        site->close();
        QVERIFY(!site->isVisible());
    }

    void dryRunListsApplyWritesWhatItShowedAndStopLeavesPagesWhole()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        f.writeFile("site/index.html", Page); f.writeFile("site/blog/entry.htm", Page);
        f.writeFile("site/empty.html", "<p>none</p>"); f.writeFile("site/.draft.html", Page); frm_Site* site = checked(f);
        QSignalSpy& finished = *m_finished;
        QCOMPARE(site->findChild<QLabel*>("lbl_Status")->text(),
                 QStringLiteral("確認しました: 3ページ中 2ページ、アドレス 4個を変換します、隠しファイル・フォルダ 1件は対象外。"));
        const auto readable = [site] { return site->findChild<QLabel*>("lbl_Readable")->text(); };
        const QString allDecoded = QStringLiteral("変換後も収集ロボットが読めるアドレス: そのまま 0個、参照を復号して 4個、表記を戻して 0個");
        QCOMPARE(readable(), allDecoded);
        auto* apply = site->findChild<QPushButton*>("cmd_Apply");
        auto* pages = site->findChild<QTreeWidget*>("lst_Pages");
        QAbstractItemModel* lines = site->findChild<QTableView*>("tbl_Lines")->model();
        const auto cell = [lines](int row, int column) { return lines->index(row, column).data().toString(); };
        QCOMPARE(pages->topLevelItemCount(), 2);
        QCOMPARE(pages->topLevelItem(0)->text(0) + ' ' + pages->topLevelItem(0)->text(2), "blog/entry.htm 変換します");
        QCOMPARE(lines->rowCount(), 2);
        QCOMPARE(cell(1, 0) + ' ' + cell(1, 1), "3 <a href='mailto:c@d.ef'>c</a>");
        QCOMPARE(f.readFile("site/index.html"), Page);

        // Apply writes what the check showed; a page changed since is converted anew.
        pages->setCurrentItem(pages->topLevelItem(0));
        const QString shown = cell(0, 2) + '\n' + cell(1, 2);
        f.writeFile("site/index.html", Page + "<p>new</p>");
        QVERIFY(apply->isEnabled());
        site->cmd_Apply_Click();
        QTRY_COMPARE(finished.count(), 2);
        const QStringList entry = QString::fromUtf8(f.readFile("site/blog/entry.htm")).split('\n');
        QCOMPARE(entry[0] + '\n' + entry[2], shown);
        QCOMPARE(pages->topLevelItem(0)->text(2), QStringLiteral("変換しました"));
        QCOMPARE(pages->topLevelItem(1)->text(2), QStringLiteral("確認の後に変更されていたため、新しく変換しました"));
        QVERIFY(!f.readFile("site/index.html").contains('@') && !apply->isEnabled());
        QCOMPARE(readable(), allDecoded);

        // Stopped while it writes: each page is either whole or converted, and listed when converted.
        const QByteArray big = Page.repeated(300);
        for (int i = 0; i < 60; ++i) f.writeFile(QString("site/p%1.html").arg(i, 2, 10, QChar('0')), big);
        site->cmd_Check_Click();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 3, 60000); // slow under the sanitizers
        site->cmd_Apply_Click();
        QVERIFY(!apply->isEnabled()); // not twice at once
        site->cmd_Cancel_Click();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 4, 60000);
        int written = 0;
        for (const QString& name : QDir(f.base() + "/site").entryList({"p*.html"})) {
            const QByteArray bytes = f.readFile("site/" + name);
            QVERIFY2(bytes == big || !bytes.contains('@'), qPrintable(name));
            written += bytes != big;
        }
        QCOMPARE(pages->topLevelItemCount(), written);
        auto* status = site->findChild<QLabel*>("lbl_Status");
        QVERIFY(status->text().startsWith(QStringLiteral("中止しました。")) || written == 60);

        site->findChild<QLineEdit*>("txt_Folder")->setText("/no/such/folder"); site->cmd_Check_Click();
        QVERIFY(!site->isRunning());
        QCOMPARE(status->text(), QStringLiteral("フォルダが見つかりません。"));
    }
};

QTEST_MAIN(SiteWindowTest)
#include "test_sitewindow.moc"
