#include "TopWindowFixture.h"
#include "frm_Site.h"

static const QByteArray Page = "<p>Mail a@b.cd</p>\n<p>none</p>\n<a href='mailto:c@d.ef'>c</a>\n";

// The site window as the main window's menu opens it, over the folder "site" of the program folder.
class SiteWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void dryRunListsApplyWritesAndStopLeavesPagesWhole()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        f.writeFile("site/index.html", Page);
        f.writeFile("site/blog/entry.htm", Page);
        f.writeFile("site/empty.html", "<p>none</p>");
        f.w().mn_file_site->trigger();
        auto* site = f.window->findChild<frm_Site*>();
        QSignalSpy finished(site, &frm_Site::runFinished);
        auto* apply = site->findChild<QPushButton*>("cmd_Apply");
        site->setNextFolderAnswer(f.base() + "/site");
        site->cmd_Browse_Click();
        QVERIFY(!apply->isEnabled());
        site->cmd_Check_Click();
        QTRY_COMPARE(finished.count(), 1);
        auto* pages = site->findChild<QTreeWidget*>("lst_Pages");
        auto* lines = site->findChild<QTableWidget*>("tbl_Lines");
        QCOMPARE(pages->topLevelItemCount(), 2);
        QCOMPARE(pages->topLevelItem(0)->text(0) + ' ' + pages->topLevelItem(0)->text(2), "blog/entry.htm 変換します");
        QCOMPARE(lines->rowCount(), 2);
        QCOMPARE(lines->item(1, 0)->text() + ' ' + lines->item(1, 1)->text(), "3 <a href='mailto:c@d.ef'>c</a>");
        QCOMPARE(f.readFile("site/index.html"), Page);

        QVERIFY(apply->isEnabled());
        site->cmd_Apply_Click();
        QTRY_COMPARE(finished.count(), 2);
        QCOMPARE(pages->topLevelItem(1)->text(2), QStringLiteral("変換しました"));
        QVERIFY(!f.readFile("site/index.html").contains('@') && !apply->isEnabled());

        // Stopped while it writes: each page is either whole or converted, and listed when converted.
        const QByteArray big = Page.repeated(300);
        for (int i = 0; i < 60; ++i)
            f.writeFile(QString("site/p%1.html").arg(i, 2, 10, QChar('0')), big);
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

        site->findChild<QLineEdit*>("txt_Folder")->setText("/no/such/folder");
        site->cmd_Check_Click();
        QVERIFY(!site->isRunning());
        QCOMPARE(status->text(), QStringLiteral("フォルダが見つかりません。"));
    }
};

QTEST_MAIN(SiteWindowTest)
#include "test_sitewindow.moc"
