#include "frm_Site.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

namespace {

const QByteArray Page = "<p>Mail a@b.cd</p>\n<p>none</p>\n<a href='mailto:c@d.ef'>c</a>\n";

QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "unreadable";
}

} // namespace

class SiteWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void dryRunListsThenApplyWrites()
    {
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath("blog"));
        for (const char* name : {"index.html", "blog/entry.htm", "empty.html"}) {
            QFile file(dir.filePath(name));
            file.open(QIODevice::WriteOnly);
            file.write(QByteArray(name) == "empty.html" ? "<p>none</p>" : Page);
        }
        frm_Site window([] { return ConversionSettings{}; });
        QSignalSpy finished(&window, &frm_Site::runFinished);
        auto* apply = window.findChild<QPushButton*>("cmd_Apply");
        window.setNextFolderAnswer(dir.path());
        window.cmd_Browse_Click();
        QVERIFY(!apply->isEnabled());

        window.cmd_Check_Click();
        QTRY_COMPARE(finished.count(), 1);
        auto* pages = window.findChild<QTreeWidget*>("lst_Pages");
        QCOMPARE(pages->topLevelItemCount(), 2);
        QCOMPARE(pages->topLevelItem(0)->text(0), QStringLiteral("blog/entry.htm"));
        QCOMPARE(pages->topLevelItem(0)->text(2), QStringLiteral("変換します"));
        auto* lines = window.findChild<QTableWidget*>("tbl_Lines");
        QCOMPARE(lines->rowCount(), 2);
        QCOMPARE(lines->item(1, 0)->text(), QStringLiteral("3"));
        QCOMPARE(lines->item(1, 1)->text(), QStringLiteral("<a href='mailto:c@d.ef'>c</a>"));
        QCOMPARE(read(dir.filePath("index.html")), Page);

        QVERIFY(apply->isEnabled());
        window.cmd_Apply_Click();
        QTRY_COMPARE(finished.count(), 2);
        QCOMPARE(pages->topLevelItem(1)->text(2), QStringLiteral("変換しました"));
        QVERIFY(!read(dir.filePath("index.html")).contains('@'));
        QVERIFY(!apply->isEnabled());
    }

    void stopLeavesEveryPageWholeAndListsWhatWasWritten()
    {
        QTemporaryDir dir;
        const QByteArray big = Page.repeated(300);
        for (int i = 0; i < 60; ++i) {
            QFile file(dir.filePath(QStringLiteral("p%1.html").arg(i, 2, 10, QLatin1Char('0'))));
            file.open(QIODevice::WriteOnly);
            file.write(big);
        }
        frm_Site window([] { return ConversionSettings{}; });
        QSignalSpy finished(&window, &frm_Site::runFinished);
        window.setNextFolderAnswer(dir.path());
        window.cmd_Browse_Click();
        window.cmd_Check_Click();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000); // slow under the sanitizers
        window.cmd_Apply_Click();
        window.cmd_Cancel_Click();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 60000);
        auto* pages = window.findChild<QTreeWidget*>("lst_Pages");
        int written = 0;
        for (const QString& name : QDir(dir.path()).entryList({"*.html"})) {
            const QByteArray bytes = read(dir.filePath(name));
            QVERIFY2(bytes == big || !bytes.contains('@'), qPrintable(name));
            written += bytes != big;
        }
        QCOMPARE(pages->topLevelItemCount(), written);
        QVERIFY(window.findChild<QLabel*>("lbl_Status")->text().startsWith(QStringLiteral("中止しました。")) ||
                written == 60);
    }

    void missingFolderIsSaidInTheWindow()
    {
        frm_Site window([] { return ConversionSettings{}; });
        window.findChild<QLineEdit*>("txt_Folder")->setText("/no/such/folder");
        window.cmd_Check_Click();
        QVERIFY(!window.isRunning());
        QCOMPARE(window.findChild<QLabel*>("lbl_Status")->text(), QStringLiteral("フォルダが見つかりません。"));
    }
};

QTEST_MAIN(SiteWindowTest)
#include "test_sitewindow.moc"
