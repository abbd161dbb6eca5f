#include "TopWindowFixture.h"

#include <QDir>
#include <QtTest>

namespace {

void registerInput(TopWindowFixture& f, const QString& text)
{
    f.window->setInputText(text);
    f.w().cmdRegister->click();
}

} // namespace

class AddressListTest : public QObject
{
    Q_OBJECT

private slots:
    void registerAppendsNewEntriesOnly()
    {
        TopWindowFixture f;
        f.start();
        f.w().cmdRegister->click();
        QCOMPARE(f.messages.lastText(), QString("空白は登録できません。"));
        QCOMPARE(f.messages.shown.last().title, QString("入力エラー"));

        registerInput(f, "a@b.c");
        QCOMPARE(f.messages.lastText(), QString("登録しました。"));
        QCOMPARE(f.messages.shown.last().title, QString("登録"));
        QCOMPARE(f.messages.shown.last().icon, MessageIcon::Information);
        registerInput(f, "a@b.c");
        QCOMPARE(f.messages.lastText(), QString("すでに登録済みです。"));
        QCOMPARE(f.messages.shown.last().title, QString("登録済み"));
        registerInput(f, "A@B.C");
        registerInput(f, " a@b.c");
        registerInput(f, "\u3042@b.c");
        QCOMPARE(f.readFile("add.dat"), QByteArray("a@b.c\r\nA@B.C\r\n a@b.c\r\n\x82\xA0@b.c\r\n"));
        QCOMPARE(f.w().txt_MailAdd->count(), 4);
        QCOMPARE(f.window->inputText(), QString("\u3042@b.c")); // the list change left the input alone
        QCOMPARE(f.w().txt_MailAdd->lineEdit()->selectedText(), QString("\u3042@b.c"));
    }

    void registerRefusesWhatTheFileCannotHold()
    {
        TopWindowFixture f;
        f.writeFile("add.dat", "x@y.z");
        f.start();
        registerInput(f, "\u00fc@b.c");
        QCOMPARE(f.messages.lastText(), QString("保存できない文字が含まれているため、登録できません。"));
        QCOMPARE(f.readFile("add.dat"), QByteArray("x@y.z"));
        registerInput(f, "a@b.c"); // a file without a last line end gets one first
        QCOMPARE(f.readFile("add.dat"), QByteArray("x@y.z\r\na@b.c\r\n"));
    }

    void deleteRemovesEveryCopyAndKeepsTheRest()
    {
        TopWindowFixture f;
        f.writeFile("add.dat", "a@b.c\r\n\r\nkeep\x81\r\na@b.c\rlast\nx");
        frm_Top& window = f.start();
        QCOMPARE(f.w().txt_MailAdd->count(), 5);
        window.setInputText("a@b.c");
        window.cmd_Hen_Click();
        f.messages.answers = {MessageAnswer::Yes};
        f.w().cmdDelete->click();
        QCOMPARE(f.messages.shown.size(), 2);
        QCOMPARE(f.messages.shown[0].text, QString("削除しますか？"));
        QCOMPARE(f.messages.shown[0].title, QString("Delete"));
        QCOMPARE(f.messages.shown[0].buttons, MessageButtons::YesNo);
        QCOMPARE(f.messages.shown[1].text, QString("削除しました。"));
        QCOMPARE(f.messages.shown[1].title, QString());
        QCOMPARE(f.messages.shown[1].icon, MessageIcon::None);
        QCOMPARE(f.readFile("add.dat"), QByteArray("keep\x81\r\nlast\r\nx\r\n"));
        QCOMPARE(window.inputText(), QString());
        QCOMPARE(f.output(), QString());
        QCOMPARE(f.w().lbl_MailAdd_mojisu->text(), QString("0"));
        QCOMPARE(f.w().lbl_MailAdd_ent_mojisu->text(), QString("0"));
    }

    void deleteRemovesTheLinesWithThePickedEntrysBytes()
    {
        TopWindowFixture f;
        // Two lines that decode alike (an invalid byte each), one of them twice.
        f.writeFile("add.dat", "x\x80@e.jp\r\nx\xA0@e.jp\r\nx\x80@e.jp\r\nok\r\n");
        f.start();
        QCOMPARE(f.w().txt_MailAdd->itemText(0), f.w().txt_MailAdd->itemText(1));
        f.w().txt_MailAdd->setCurrentIndex(1);
        emit f.w().txt_MailAdd->activated(1);
        f.messages.answers = {MessageAnswer::Yes};
        f.w().cmdDelete->click();
        QCOMPARE(f.readFile("add.dat"), QByteArray("x\x80@e.jp\r\nx\x80@e.jp\r\nok\r\n"));
        f.w().txt_MailAdd->setCurrentIndex(0);
        emit f.w().txt_MailAdd->activated(0);
        f.messages.answers = {MessageAnswer::Yes};
        f.w().cmdDelete->click();
        QCOMPARE(f.readFile("add.dat"), QByteArray("ok\r\n"));
    }

    void deleteRefusalsLeaveTheFile()
    {
        TopWindowFixture f;
        f.writeFile("add.dat", "a@b.c\r\n");
        frm_Top& window = f.start();
        f.w().cmdDelete->click();
        QCOMPARE(f.messages.lastText(), QString("削除するメールアドレスが入力されていません。"));
        QCOMPARE(f.messages.shown.last().icon, MessageIcon::Critical);

        window.setInputText("a@b.c");
        f.w().cmdDelete->click(); // answered No
        QCOMPARE(f.messages.lastText(), QString("削除しますか？"));
        window.setInputText("zz");
        f.messages.answers = {MessageAnswer::Yes};
        f.w().cmdDelete->click();
        QCOMPARE(f.messages.lastText(), QString("このデータは登録されていないため、削除できませんでした。"));
        QCOMPARE(f.messages.shown.last().title, QString("エラー"));
        QCOMPARE(f.readFile("add.dat"), QByteArray("a@b.c\r\n"));
        QCOMPARE(f.w().txt_MailAdd->count(), 1);
    }

    void unusableFileGivesTheDeleteStyleReport()
    {
        TopWindowFixture f;
        QDir(f.folder.path()).mkdir("add.dat"); // a folder where the file should be
        f.start();
        QCOMPARE(f.messages.shown.size(), 1);
        QVERIFY(f.messages.lastText().contains(QRegularExpression(":(57|75)$")));
        QCOMPARE(f.messages.shown.last().title, QString("エラー"));
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
        f.writeFile("add.dat", content);
        f.start();
        QCOMPARE(f.w().txt_MailAdd->count(), 100'001);
        QCOMPARE(f.w().txt_MailAdd->itemText(99'999), QString("user99999@x.jp"));
    }
};

QTEST_MAIN(AddressListTest)
#include "test_addresslist.moc"
