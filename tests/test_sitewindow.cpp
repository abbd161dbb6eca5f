#include "frm_Site.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const QByteArray Page = "<p>Mail a@b.cd</p>\n<p>none</p>\n<a href='mailto:c@d.ef'>c</a>\n";

// A site window over a temporary folder of pages.
struct SiteFixture
{
    QTemporaryDir dir;
    frm_Site window{[] { return ConversionSettings{}; }};
    QSignalSpy finished{&window, &frm_Site::runFinished};

    void write(const QString& name, const QByteArray& bytes)
    {
        QDir(dir.path()).mkpath(QFileInfo(name).path());
        QFile file(dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }
    QByteArray read(const QString& name)
    {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : "unreadable";
    }
    template <typename Widget> Widget* find(const char* name) { return window.findChild<Widget*>(name); }
    void checkFolder()
    {
        window.setNextFolderAnswer(dir.path());
        window.cmd_Browse_Click();
        window.cmd_Check_Click();
    }
};

} // namespace

class SiteWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void dryRunListsThenApplyWrites()
    {
        SiteFixture s;
        auto* apply = s.find<QPushButton>("cmd_Apply");
        s.find<QLineEdit>("txt_Folder")->setText("/no/such/folder");
        s.window.cmd_Check_Click();
        QVERIFY(!s.window.isRunning() && !apply->isEnabled());
        QCOMPARE(s.find<QLabel>("lbl_Status")->text(), QStringLiteral("フォルダが見つかりません。"));

        s.write("index.html", Page);
        s.write("blog/entry.htm", Page);
        s.write("empty.html", "<p>none</p>");
        s.checkFolder();
        QTRY_COMPARE(s.finished.count(), 1);
        auto* pages = s.find<QTreeWidget>("lst_Pages");
        auto* lines = s.find<QTableWidget>("tbl_Lines");
        QCOMPARE(pages->topLevelItemCount(), 2);
        QCOMPARE(pages->topLevelItem(0)->text(0) + ' ' + pages->topLevelItem(0)->text(2), "blog/entry.htm 変換します");
        QCOMPARE(lines->rowCount(), 2);
        QCOMPARE(lines->item(1, 0)->text() + ' ' + lines->item(1, 1)->text(), "3 <a href='mailto:c@d.ef'>c</a>");
        QCOMPARE(s.read("index.html"), Page);

        QVERIFY(apply->isEnabled());
        s.window.cmd_Apply_Click();
        QTRY_COMPARE(s.finished.count(), 2);
        QCOMPARE(pages->topLevelItem(1)->text(2), QStringLiteral("変換しました"));
        QVERIFY(!s.read("index.html").contains('@') && !apply->isEnabled());
    }

    void stopLeavesEveryPageWholeAndListsWhatWasWritten()
    {
        SiteFixture s;
        const QByteArray big = Page.repeated(300);
        for (int i = 0; i < 60; ++i)
            s.write(QString("p%1.html").arg(i, 2, 10, QChar('0')), big);
        s.checkFolder();
        QTRY_COMPARE_WITH_TIMEOUT(s.finished.count(), 1, 60000); // slow under the sanitizers
        s.window.cmd_Apply_Click();
        s.window.cmd_Cancel_Click();
        QTRY_COMPARE_WITH_TIMEOUT(s.finished.count(), 2, 60000);
        int written = 0;
        for (const QString& name : QDir(s.dir.path()).entryList({"*.html"})) {
            const QByteArray bytes = s.read(name);
            QVERIFY2(bytes == big || !bytes.contains('@'), qPrintable(name));
            written += bytes != big;
        }
        QCOMPARE(s.find<QTreeWidget>("lst_Pages")->topLevelItemCount(), written);
        QVERIFY(s.find<QLabel>("lbl_Status")->text().startsWith(QStringLiteral("中止しました。")) || written == 60);
    }
};

QTEST_MAIN(SiteWindowTest)
#include "test_sitewindow.moc"
