#include "TopWindowFixture.h"

#include <QDir>
#include <QtTest>

namespace {

void registerInput(TopWindowFixture& f, const QString& text)
{
    f.window->setInputText(text);
    f.w().cmdRegister->click();
}

void deleteConfirmed(TopWindowFixture& f)
{
    f.messages.answers = {MessageAnswer::Yes};
    f.w().cmdDelete->click();
}

} // namespace

class AddressListTest : public QObject
{
    Q_OBJECT

private slots:
    void registerAppendsNewEntriesOnly()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        f.w().cmdRegister->click();
        QCOMPARE(f.messages.titled(), QString("入力エラー: 空白は登録できません。"));
        registerInput(f, "a@b.c");
        QCOMPARE(f.messages.titled(), QString("登録: 登録しました。"));
        QCOMPARE(f.messages.shown.last().icon, MessageIcon::Information);
        registerInput(f, "a@b.c");
        QCOMPARE(f.messages.titled(), QString("登録済み: すでに登録済みです。"));
        for (const char* text : {"A@B.C", " a@b.c", "\u3042@b.c"})
            registerInput(f, text);
        QCOMPARE(f.readFile("add.dat"), QByteArray("a@b.c\r\nA@B.C\r\n a@b.c\r\n\x82\xA0@b.c\r\n"));
        QCOMPARE(f.w().txt_MailAdd->count(), 4);
        QCOMPARE(f.window->inputText(), QString("\u3042@b.c")); // the list change left the input alone
        QCOMPARE(f.w().txt_MailAdd->lineEdit()->selectedText(), QString("\u3042@b.c"));
    }

    void deleteRemovesEveryCopyAndKeepsTheRest()
    {
        TopWindowFixture f;
        frm_Top& window = f.startWith("add.dat", "a@b.c\r\n\r\nkeep\x81\r\na@b.c\rlast\nx");
        QCOMPARE(f.w().txt_MailAdd->count(), 5);
        window.setInputText("a@b.c");
        window.cmd_Hen_Click();
        deleteConfirmed(f);
        QCOMPARE(f.messages.shown.size(), 2);
        QCOMPARE(f.messages.titled(0), QString("Delete: 削除しますか？"));
        QCOMPARE(f.messages.shown[0].buttons, MessageButtons::YesNo);
        QCOMPARE(f.messages.titled(1), QString(": 削除しました。"));
        QCOMPARE(f.messages.shown[1].icon, MessageIcon::None);
        QCOMPARE(f.readFile("add.dat"), QByteArray("keep\x81\r\nlast\r\nx\r\n"));
        QCOMPARE((QStringList{window.inputText(), f.output(), f.w().lbl_MailAdd_mojisu->text(),
                              f.w().lbl_MailAdd_ent_mojisu->text()}),
                 (QStringList{"", "", "0", "0"}));
    }

    void deleteRemovesTheLinesWithThePickedEntrysBytes()
    {
        TopWindowFixture f;
        // Two lines that decode alike (an invalid byte each), one of them twice.
        f.startWith("add.dat", "x\x80@e.jp\r\nx\xA0@e.jp\r\nx\x80@e.jp\r\nok\r\n");
        QCOMPARE(f.w().txt_MailAdd->itemText(0), f.w().txt_MailAdd->itemText(1));
        f.pick(1);
        deleteConfirmed(f);
        QCOMPARE(f.readFile("add.dat"), QByteArray("x\x80@e.jp\r\nx\x80@e.jp\r\nok\r\n"));
        f.pick(0);
        deleteConfirmed(f);
        QCOMPARE(f.readFile("add.dat"), QByteArray("ok\r\n"));
    }

    void refusalsLeaveTheFile()
    {
        TopWindowFixture f;
        frm_Top& window = f.startWith("add.dat", "a@b.c");
        registerInput(f, "\u00fc@b.c");
        QCOMPARE(f.messages.lastText(), QString("保存できない文字が含まれているため、登録できません。"));
        window.setInputText("");
        f.w().cmdDelete->click();
        QCOMPARE(f.messages.lastText(), QString("削除するメールアドレスが入力されていません。"));
        QCOMPARE(f.messages.shown.last().icon, MessageIcon::Critical);
        window.setInputText("a@b.c");
        f.w().cmdDelete->click(); // answered No
        QCOMPARE(f.messages.lastText(), QString("削除しますか？"));
        window.setInputText("zz");
        deleteConfirmed(f);
        QCOMPARE(f.messages.titled(), QString("エラー: このデータは登録されていないため、削除できませんでした。"));
        QCOMPARE(f.readFile("add.dat"), QByteArray("a@b.c"));
        QCOMPARE(f.w().txt_MailAdd->count(), 1);
        registerInput(f, "x@y.z"); // a file without a last line end gets one first
        QCOMPARE(f.readFile("add.dat"), QByteArray("a@b.c\r\nx@y.z\r\n"));
    }

    void unusableFileGivesTheDeleteStyleReport()
    {
        TopWindowFixture f;
        QDir(f.folder.path()).mkdir("add.dat"); // a folder where the file should be
        f.start();
        QCOMPARE(f.messages.shown.size(), 1);
        QVERIFY(f.messages.titled().contains(QRegularExpression("^エラー: .*:(57|75)$")));
        registerInput(f, "a@b.c");
        QCOMPARE(f.messages.shown.size(), 2);
        QVERIFY(f.messages.lastText().contains(':'));
    }

    void largeHandEditedFileLoadsWhole()
    {
        TopWindowFixture f;
        QByteArray content;
        for (int i = 0; i < 100'000; ++i)
            content += "user" + QByteArray::number(i) + "@x.jp\n";
        content += QByteArray("\0nul\xFF\r", 6); // a NUL, an invalid byte, a lone CR at the end
        f.startWith("add.dat", content);
        QCOMPARE(f.w().txt_MailAdd->count(), 100'001);
        QCOMPARE(f.w().txt_MailAdd->itemText(99'999), QString("user99999@x.jp"));
    }
};

QTEST_MAIN(AddressListTest)
#include "test_addresslist.moc"
