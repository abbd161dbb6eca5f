#include "TopWindowFixture.h"

#include <QAction>
#include <QImage>
#include <QtTest>

class PreviewCommandTest : public QObject
{
    Q_OBJECT

private slots:
    void emptyInputWritesNothing()
    {
        TopWindowFixture f;
        f.start();
        f.w().mn_pre->trigger();
        QCOMPARE(f.w().lbl_err_ms->text(), QString("入力してからプレビューを押してください。"));
        QVERIFY(!f.w().lbl_err_ms->isHidden());
        QVERIFY(!QFile::exists(f.folder.filePath("Preview.htm")));
        QVERIFY(!QFile::exists(f.folder.filePath("JSP/mailadd.png")));
        QVERIFY(f.urls.opened.isEmpty());
    }

    void previewConvertsWhenEmptyDrawsWithoutMailtoAndOpensThePage()
    {
        TopWindowFixture f;
        f.start();
        f.window->setInputText("mailto:ab@mailto:c.d");
        f.w().mn_pre->trigger();
        QVERIFY(!f.output().isEmpty());
        QCOMPARE(QImage(f.folder.filePath("JSP/mailadd.png")).width(), 8 * 6); // "ab@c.d"
        QVERIFY(f.readFile("Preview.htm").contains(f.output().toLatin1()));
        QCOMPARE(f.urls.opened, QList<QUrl>{QUrl::fromLocalFile(f.folder.filePath("Preview.htm"))});
        QVERIFY(f.messages.shown.isEmpty());

        f.w().txt_MailAdd_Ent->setText("kept&#64;as-is");
        f.urls.exitCode = 3;
        f.w().mn_pre->trigger(); // a filled output is used unchanged
        QCOMPARE(f.output(), QString("kept&#64;as-is"));
        QVERIFY(f.readFile("preview_cd1.htm").contains("<a href=\"kept&#64;as-is\">"));
        QCOMPARE(f.urls.opened.size(), 2);
        QVERIFY(f.messages.lastText().startsWith("ブラウザを起動できませんでした。"));
    }

    void unwritablePagesAreReportedAndNotOpened()
    {
        TopWindowFixture f;
        f.start();
        QDir(f.folder.path()).mkdir("Preview.htm");
        f.window->setInputText("a@b.c");
        f.w().mn_pre->trigger();
        QCOMPARE(f.messages.shown.size(), 1);
        QCOMPARE(f.messages.shown.last().title, QString("エラー"));
        QVERIFY(f.messages.lastText().contains(QRegularExpression(":\\d+$")));
        QVERIFY(f.urls.opened.isEmpty());
    }
};

QTEST_MAIN(PreviewCommandTest)
#include "test_preview_command.moc"
