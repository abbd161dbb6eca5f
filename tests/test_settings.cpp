#include "ProfileFile.h"
#include "SettingsFile.h"

#include <QtTest>

namespace {

const QByteArray Position = "[Top]\r\nTop=0\r\n[Left]\r\nLeft=0\r\n";
const QByteArray Version = "[INI_VER]\r\nINI_VER=1\r\n";
const QByteArray Boxes = "[OPTION]\r\nRET=0\r\n@ENT=0\r\nDOT=0\r\n[ENT_OUT_OP]\r\n10=0\r\n16_1=0\r\n16_2=0\r\n";
const QByteArray Scope = "[ENT_OP]\r\nRAND=False\r\nALL=False\r\n@ONLY=False\r\n";

} // namespace

class SettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void readsLikeTheProfileFunctions_data()
    {
        QTest::addColumn<QByteArray>("content"); QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key"); QTest::addColumn<int>("number"); QTest::addColumn<QByteArray>("text");
        const auto row = [](const char* name, const QByteArray& content, int number, const QByteArray& text,
                            const QByteArray& key = "k", const QByteArray& section = "A") {
            QTest::newRow(name) << content << section << key << number << text;
        };
        row("lone CR, lone LF, no last end", "[A]\rx=1\ny=2\r\nk=7", 7, "7");
        row("blanks and case in names", "  [ oPtIoN ]  junk\r\n  ReT  =  1  \r\n", 1, "1", "RET", "OPTION");
        row("header without ]", "[A b\r\nk=3\r\n", 3, "3", "k", "A b");
        row("comment and hash", "[A]\r\n;k=1\r\n#k=2\r\nk=3\r\n", 3, "3");
        row("hash line is a key", "[A]\r\n#k=2\r\n", 2, "2", "#k");
        row("first duplicate key wins", "[A]\r\nk=1\r\nk=2\r\n", 1, "1");
        row("only the first section", "[A]\r\nx=1\r\n[A]\r\nk=2\r\n", -9, "def");
        row("keys before a section are unreachable", "k=1\r\n[A]\r\n", -9, "def");
        row("quotes removed once", "[A]\r\nk= \"'5'\" \r\n", 0, "'5'");
        row("unmatched quotes stay", "[A]\r\nk=\"5'\r\n", 0, "\"5'");
        row("digits up to a non-digit", "[A]\r\nk=102abc\r\n", 102, "102abc");
        row("negative", "[A]\r\nk=-1500\r\n", -1500, "-1500");
        row("wraps to 32 bits", "[A]\r\nk=4294967297\r\n", 1, "4294967297");
        row("empty value", "[A]\r\nk=\r\n", -9, "");
        row("no digit", "[A]\r\nk=x\r\n", 0, "x");
        // 0x83 0x5D is one character whose second byte looks like "]"; 0x83 0x61 must not fold to 0x83 0x41.
        row("double-byte name with a ] trail byte", "[\x83\x5D]\r\nk=4\r\n", 4, "4", "k", "\x83\x5D");
        row("trail bytes are not case-folded", "[A]\r\n\x83\x61=4\r\n", -9, "def", "\x83\x41");
        row("NUL and junk bytes", QByteArray("\xFF\x00junk\r\n[A]\r\nk=\x00\x01" "9\r\n", 20), 0,
            QByteArray("\x00\x01" "9", 3));
    }

    void readsLikeTheProfileFunctions()
    {
        QFETCH(QByteArray, content); QFETCH(QByteArray, section); QFETCH(QByteArray, key);
        QTEST(ProfileFile(content).readInt(section, key, -9), "number");
        QTEST(ProfileFile(content).readString(section, key, "def  "), "text");
    }

    void writesInPlaceKeepingEverythingElse_data()
    {
        QTest::addColumn<QByteArray>("before"); QTest::addColumn<QByteArray>("after");
        QTest::newRow("missing file") << QByteArray() << QByteArray("[S]\r\nk=v\r\n");
        QTest::newRow("existing key keeps its spelling and line end")
            << QByteArray("; c\r\n[s]\n  K = old \nz=1") << QByteArray("; c\r\n[s]\nK=v\nz=1");
        QTest::newRow("new key after the last key line")
            << QByteArray("[S]\r\na=1\r\n\r\n;x\r\n[T]\r\n") << QByteArray("[S]\r\na=1\r\nk=v\r\n\r\n;x\r\n[T]\r\n");
        QTest::newRow("section without keys") << QByteArray("[S]\r\n[T]\r\n") << QByteArray("[S]\r\nk=v\r\n[T]\r\n");
        QTest::newRow("last line without end") << QByteArray("[S]\r\na=1") << QByteArray("[S]\r\na=1\r\nk=v\r\n");
        QTest::newRow("new section") << QByteArray("[T]\r\nb=2") << QByteArray("[T]\r\nb=2\r\n[S]\r\nk=v\r\n");
    }

    void writesInPlaceKeepingEverythingElse()
    {
        QFETCH(QByteArray, before);
        ProfileFile file(before); file.write("S", "k", "v");
        QTEST(file.content(), "after");
    }

    // What is loaded shows in what is saved back.
    void loadsAndSavesByteForByte_data()
    {
        QTest::addColumn<QByteArray>("before"); QTest::addColumn<QString>("mail");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("no file") << QByteArray() << "" << Position + "[Mail]\r\nMail=\r\n" + Version + Boxes + Scope;
        const QByteArray values = "[Top]\r\nTop=1500\r\n[Left]\r\nLeft=-30\r\n[Mail]\r\nMail=a@b.c\r\n" + Version
                                  + "[OPTION]\r\nRET=0\r\n@ENT=1\r\nDOT=1\r\n[ENT_OUT_OP]\r\n10=1\r\n16_1=0\r\n"
                                    "16_2=1\r\n[ENT_OP]\r\nRAND=False\r\nALL=True\r\n@ONLY=False\r\n";
        QTest::newRow("every key") << values << "a@b.c" << values;
        // The input ends at a NUL; a scope key reads as "True" by its length (two double-byte characters).
        QTest::newRow("input and scope keys judged")
            << QByteArray("[Mail]\r\nMail=a@b.c\0junk\r\n[ENT_OP]\r\nRAND=true\r\nALL=Yes\r\n"
                          "@ONLY=\x82\xA0\x82\xA2\r\n", 65)
            << "a@b.c"
            << "[Mail]\r\nMail=a@b.c\r\n[ENT_OP]\r\nRAND=True\r\nALL=False\r\n@ONLY=True\r\n" + Position + Version
                   + Boxes;
        QByteArray keys;
        for (int i = 0; i < 100'000; ++i) keys += "k" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\r\n";
        // NULs, invalid bytes and a lone CR at the very end, in a file of more than 10 MB; "[OPTION" names a section.
        const QByteArray junk = QByteArray(10 * 1024 * 1024, '\0') + "\x81\xFF\x82\r";
        QTest::newRow("hostile") << "[OPTION\r\nRET=1\r\n[ENT_OUT_OP]\r\n" + keys + "16_2=1\r\n" + junk << ""
                                 << "[OPTION\r\nRET=1\r\n@ENT=0\r\nDOT=0\r\n[ENT_OUT_OP]\r\n" + keys
                                        + "16_2=1\r\n10=0\r\n16_1=0\r\n" + junk + "\r\n" + Position
                                        + "[Mail]\r\nMail=\r\n" + Version + Scope;
        // An input that code page 932 or a profile line cannot hold whole is stored with references, and flagged.
        const QByteArray rest = Position + Version + Boxes + Scope;
        const auto input = [&rest](const char* name, const QString& mail, const QByteArray& stored) {
            QTest::newRow(name) << "[Mail]\r\nMail=" + stored << mail << "[Mail]\r\nMail=" + stored + rest;
        };
        const QByteArray flag = "\r\nMailEnc=NCR\r\n";
        input("code page 932", "あ@b.c", "\x82\xA0@b.c\r\n");
        input("longer than 255 bytes", QString(300, 'x'), QByteArray(300, 'x') + "\r\n");
        input("outside code page 932", "ü&#1;@b.c", "&#252;&#38;#1;@b.c" + flag);
        input("line break and outer blanks", " a\nb ", "&#32;a&#10;b&#32;" + flag);
        input("byte-order mark and yen", "a\uFEFF\u00A5", "a&#65279;&#165;" + flag);
        input("quoted", "\"a\"", "&#34;a&#34;" + flag);
        QTest::newRow("plain input clears the flag")
            << "[Mail]\r\nMail=plain" + flag << "plain" << "[Mail]\r\nMail=plain\r\nMailEnc=\r\n" + rest;
    }

    void loadsAndSavesByteForByte()
    {
        QFETCH(QByteArray, before);
        QTemporaryDir dir;
        QFile file(SettingsFile::path(dir.path()));
        QVERIFY(before.isNull() || (file.open(QIODevice::WriteOnly) && file.write(before) == before.size()));
        file.close();
        const StoredSettings loaded = SettingsFile::load(file.fileName());
        QTEST(loaded.mail, "mail");
        SettingsFile::save(file.fileName(), loaded);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTEST(file.readAll(), "after");
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "test_settings.moc"
