#include "TopWindowFixture.h"

// Sets the input (when given) and presses the button; its question, if any, is answered Yes.
static void press(TopWindowFixture& f, QPushButton* button, const char* input = nullptr)
{
    if (input) f.window->setInputText(input);
    f.messages.answers = {MessageAnswer::Yes}; button->click();
    f.messages.answers.clear();
}

class AddressListTest : public QObject
{
    Q_OBJECT

private slots:
    void registerAppendsNewEntriesOnly()
    {
        TopWindowFixture f(TopWindowFixture::Started);
        for (const char* text : {"", "a@b.c", "a@b.c", "A@B.C", " a@b.c", "\u3042@b.c"})
            press(f, f.w().cmdRegister, text);
        const QString added = "[i]登録: 登録しました。";
        QCOMPARE(f.messages.log(), (QStringList{"[i]入力エラー: 空白は登録できません。", added,
                                                "[i]登録済み: すでに登録済みです。", added, added, added}));
        QCOMPARE(f.readFile("add.dat"), QByteArray("a@b.c\r\nA@B.C\r\n a@b.c\r\n\x82\xA0@b.c\r\n"));
        QCOMPARE(f.w().txt_MailAdd->count(), 4);
        QCOMPARE(f.window->inputText() + '|' + f.w().txt_MailAdd->lineEdit()->selectedText(), "\u3042@b.c|\u3042@b.c");
    }

    void deleteRemovesEveryLineWithTheEntrysBytes()
    {
        TopWindowFixture f; // two entries that decode alike (an invalid byte each), and copies of entries
        f.start("add.dat", "a@b.c\r\n\r\nx\x80@e\r\nx\xA0@e\r\nkeep\x81\r\na@b.c\rx\x80@e\rlast\nx");
        QCOMPARE(f.w().txt_MailAdd->count(), 8);
        QCOMPARE(f.w().txt_MailAdd->itemText(1), f.w().txt_MailAdd->itemText(2));
        f.window->setInputText("a@b.c"); f.window->cmd_Hen_Click();
        press(f, f.w().cmdDelete);
        QCOMPARE(f.messages.log(), (QStringList{"[?]Delete: 削除しますか？", ": 削除しました。"}));
        QCOMPARE(f.readFile("add.dat"), QByteArray("x\x80@e\r\nx\xA0@e\r\nkeep\x81\r\nx\x80@e\r\nlast\r\nx\r\n"));
        QCOMPARE(f.fields(), QString("|0||0"));
        f.w().txt_MailAdd->setCurrentIndex(1); // a pick, as the list's own text does not tell the two apart
        emit f.w().txt_MailAdd->activated(1);
        press(f, f.w().cmdDelete);
        QCOMPARE(f.readFile("add.dat"), QByteArray("x\x80@e\r\nkeep\x81\r\nx\x80@e\r\nlast\r\nx\r\n"));
        f.w().txt_MailAdd->setCurrentIndex(0); emit f.w().txt_MailAdd->activated(0);
        press(f, f.w().cmdDelete);
        QCOMPARE(f.readFile("add.dat"), QByteArray("keep\x81\r\nlast\r\nx\r\n"));
    }

    void refusalsLeaveTheFile()
    {
        TopWindowFixture f;
        f.start("add.dat", "a@b.c");
        press(f, f.w().cmdRegister, "\u00fc@b.c"); press(f, f.w().cmdDelete, "");
        f.window->setInputText("a@b.c");
        f.w().cmdDelete->click(); // answered No
        press(f, f.w().cmdDelete, "zz");
        const QString ask = "[?]Delete: 削除しますか？";
        QCOMPARE(f.messages.log(), (QStringList{"[i]入力エラー: 保存できない文字が含まれているため、登録できません。",
                                                "[!]入力エラー: 削除するメールアドレスが入力されていません。", ask, ask,
                                                "[i]エラー: このデータは登録されていないため、削除できませんでした。"}));
        QCOMPARE(f.readFile("add.dat"), QByteArray("a@b.c"));
        QCOMPARE(f.w().txt_MailAdd->count(), 1);
        press(f, f.w().cmdRegister, "x@y.z"); // a file without a last line end gets one first
        QCOMPARE(f.readFile("add.dat"), QByteArray("a@b.c\r\nx@y.z\r\n"));
    }

    void unusableFileGivesTheDeleteStyleReport()
    {
        TopWindowFixture f;
        f.start("add.dat/x", ""); // a folder where the file should be
        press(f, f.w().cmdRegister, "a@b.c");
        QCOMPARE(f.messages.log().size(), 2);
        for (const QString& box : f.messages.log())
            QVERIFY2(box.contains(QRegularExpression("^\\[!\\]エラー: .*:(57|75)$")), qPrintable(box));
    }

    void largeHandEditedFileLoadsWhole()
    {
        TopWindowFixture f;
        QByteArray content;
        for (int i = 0; i < 100'000; ++i) content += "user" + QByteArray::number(i) + "@x.jp\n";
        f.start("add.dat", content + QByteArray("\0nul\xFF\r", 6)); // a NUL, an invalid byte, a lone CR at the end
        QCOMPARE(f.w().txt_MailAdd->count(), 100'001);
        QCOMPARE(f.w().txt_MailAdd->itemText(99'999), QString("user99999@x.jp"));
    }
};

QTEST_MAIN(AddressListTest)
#include "test_addresslist.moc"
