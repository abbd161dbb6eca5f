#include "ProfileFile.h"
#include "SettingsFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class SettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void readsLikeTheProfileFunctions_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<int>("number");
        QTest::addColumn<QByteArray>("text");

        QTest::newRow("plain") << QByteArray("[A]\r\nk=12\r\n") << QByteArray("A") << QByteArray("k") << 12
                               << QByteArray("12");
        QTest::newRow("lone CR, lone LF, no last end")
            << QByteArray("[A]\rx=1\ny=2\r\nk=7") << QByteArray("A") << QByteArray("k") << 7 << QByteArray("7");
        QTest::newRow("blanks and case in names")
            << QByteArray("  [ oPtIoN ]  junk\r\n  ReT  =  1  \r\n") << QByteArray("OPTION") << QByteArray("RET")
            << 1 << QByteArray("1");
        QTest::newRow("header without ]") << QByteArray("[A b\r\nk=3\r\n") << QByteArray("A b") << QByteArray("k")
                                          << 3 << QByteArray("3");
        QTest::newRow("comment and hash") << QByteArray("[A]\r\n;k=1\r\n#k=2\r\nk=3\r\n") << QByteArray("A")
                                          << QByteArray("k") << 3 << QByteArray("3");
        QTest::newRow("hash line is a key") << QByteArray("[A]\r\n#k=2\r\n") << QByteArray("A") << QByteArray("#k")
                                            << 2 << QByteArray("2");
        QTest::newRow("first duplicate key wins") << QByteArray("[A]\r\nk=1\r\nk=2\r\n") << QByteArray("A")
                                                  << QByteArray("k") << 1 << QByteArray("1");
        QTest::newRow("only the first section") << QByteArray("[A]\r\nx=1\r\n[A]\r\nk=2\r\n") << QByteArray("A")
                                                << QByteArray("k") << -9 << QByteArray("def");
        QTest::newRow("keys before a section are unreachable") << QByteArray("k=1\r\n[A]\r\n") << QByteArray("A")
                                                               << QByteArray("k") << -9 << QByteArray("def");
        QTest::newRow("quotes removed once") << QByteArray("[A]\r\nk= \"'5'\" \r\n") << QByteArray("A")
                                             << QByteArray("k") << 0 << QByteArray("'5'");
        QTest::newRow("unmatched quotes stay") << QByteArray("[A]\r\nk=\"5'\r\n") << QByteArray("A") << QByteArray("k")
                                               << 0 << QByteArray("\"5'");
        QTest::newRow("digits up to a non-digit") << QByteArray("[A]\r\nk=102abc\r\n") << QByteArray("A")
                                                  << QByteArray("k") << 102 << QByteArray("102abc");
        QTest::newRow("negative") << QByteArray("[A]\r\nk=-1500\r\n") << QByteArray("A") << QByteArray("k") << -1500
                                  << QByteArray("-1500");
        QTest::newRow("wraps to 32 bits") << QByteArray("[A]\r\nk=4294967297\r\n") << QByteArray("A")
                                          << QByteArray("k") << 1 << QByteArray("4294967297");
        QTest::newRow("empty value") << QByteArray("[A]\r\nk=\r\n") << QByteArray("A") << QByteArray("k") << -9
                                     << QByteArray("");
        QTest::newRow("no digit") << QByteArray("[A]\r\nk=x\r\n") << QByteArray("A") << QByteArray("k") << 0
                                  << QByteArray("x");
        // 0x83 0x5D is one character whose second byte looks like "]"; 0x83 0x61 must not fold to 0x83 0x41.
        QTest::newRow("double-byte name with a ] trail byte")
            << QByteArray("[\x83\x5D]\r\nk=4\r\n") << QByteArray("\x83\x5D") << QByteArray("k") << 4
            << QByteArray("4");
        QTest::newRow("trail bytes are not case-folded")
            << QByteArray("[A]\r\n\x83\x61=4\r\n") << QByteArray("A") << QByteArray("\x83\x41") << -9
            << QByteArray("def");
        QTest::newRow("NUL and junk bytes") << QByteArray("\xFF\x00junk\r\n[A]\r\nk=\x00\x01" "9\r\n", 20)
                                            << QByteArray("A") << QByteArray("k") << 0
                                            << QByteArray("\x00\x01" "9", 3);
    }

    void readsLikeTheProfileFunctions()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(int, number);
        QFETCH(QByteArray, text);
        const ProfileFile file(content);
        QCOMPARE(file.readInt(section, key, -9), number);
        QCOMPARE(file.readString(section, key, "def  "), text);
    }

    void writesInPlaceKeepingEverythingElse_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("missing file") << QByteArray() << QByteArray("[S]\r\nk=v\r\n");
        QTest::newRow("existing key keeps its spelling and line end")
            << QByteArray("; c\r\n[s]\n  K = old \nz=1") << QByteArray("; c\r\n[s]\nK=v\nz=1");
        QTest::newRow("new key after the last key line")
            << QByteArray("[S]\r\na=1\r\n\r\n;x\r\n[T]\r\n") << QByteArray("[S]\r\na=1\r\nk=v\r\n\r\n;x\r\n[T]\r\n");
        QTest::newRow("new key in a section without keys") << QByteArray("[S]\r\n[T]\r\n")
                                                            << QByteArray("[S]\r\nk=v\r\n[T]\r\n");
        QTest::newRow("new key after a last line without end") << QByteArray("[S]\r\na=1")
                                                               << QByteArray("[S]\r\na=1\r\nk=v\r\n");
        QTest::newRow("new section after a file without end") << QByteArray("[T]\r\nb=2")
                                                              << QByteArray("[T]\r\nb=2\r\n[S]\r\nk=v\r\n");
    }

    void writesInPlaceKeepingEverythingElse()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        ProfileFile file(before);
        file.write("S", "k", "v");
        QCOMPARE(file.content(), after);
    }

    void saveWritesTheWholeFileByteForByte()
    {
        QTemporaryDir dir;
        const QString path = SettingsFile::path(dir.path());
        StoredSettings s;
        s.top = 1500;
        s.left = -30;
        s.mail = "a@b.c";
        s.atAlways = s.dotAlways = s.decimal = 1;
        s.scopeTrue = {false, false, true};
        SettingsFile::save(path, s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("[Top]\r\nTop=1500\r\n[Left]\r\nLeft=-30\r\n[Mail]\r\nMail=a@b.c\r\n"
                                            "[INI_VER]\r\nINI_VER=1\r\n[OPTION]\r\nRET=0\r\n@ENT=1\r\nDOT=1\r\n"
                                            "[ENT_OUT_OP]\r\n10=1\r\n16_1=0\r\n16_2=0\r\n"
                                            "[ENT_OP]\r\nRAND=False\r\nALL=False\r\n@ONLY=True\r\n"));
        const StoredSettings back = SettingsFile::load(path);
        QCOMPARE(back.top, 1500);
        QCOMPARE(back.left, -30);
        QCOMPARE(back.version, 1);
        QCOMPARE(back.mail, QString("a@b.c"));
        QVERIFY(!back.scopeTrue[0] && !back.scopeTrue[1] && back.scopeTrue[2]);
    }

    void hostileFilesLoadAndKeepTheirBytes()
    {
        QByteArray keys;
        for (int i = 0; i < 100'000; ++i)
            keys += "k" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\r\n";
        // NULs, invalid bytes and a lone CR at the very end, in a file of more than 10 MB.
        const QByteArray junk = QByteArray(10 * 1024 * 1024, '\0') + "\x81\xFF\x82\r";
        const QByteArray content = "[OPTION\r\nRET=1\r\n[ENT_OUT_OP]\r\n" + keys + "16_2=1\r\n" + junk;
        QTemporaryDir dir;
        const QString path = SettingsFile::path(dir.path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();

        const StoredSettings loaded = SettingsFile::load(path);
        QCOMPARE(loaded.lineBreak, 1); // "[OPTION" without "]" still names the section
        QCOMPARE(loaded.percent, 1);
        QCOMPARE(loaded.version, 0);
        SettingsFile::save(path, loaded);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), "[OPTION\r\nRET=1\r\n@ENT=0\r\nDOT=0\r\n[ENT_OUT_OP]\r\n" + keys
                                     + "16_2=1\r\n10=0\r\n16_1=0\r\n" + junk
                                     + "\r\n[Top]\r\nTop=0\r\n[Left]\r\nLeft=0\r\n[Mail]\r\nMail=\r\n"
                                       "[INI_VER]\r\nINI_VER=1\r\n[ENT_OP]\r\nRAND=False\r\nALL=False\r\n@ONLY=False\r\n");
    }

    void savedInputEndsAtTheFirstNul()
    {
        QTemporaryDir dir;
        QFile file(SettingsFile::path(dir.path()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("[Mail]\r\nMail=a@b.c\0junk\r\n", 25));
        file.close();
        QCOMPARE(SettingsFile::load(file.fileName()).mail, QString("a@b.c"));
    }

    void scopeKeysAreJudgedByLength()
    {
        const QByteArray content("[ENT_OP]\r\nRAND=true\r\nALL=Yes\r\n@ONLY=\x82\xA0\x82\xA2\r\n");
        QTemporaryDir dir;
        QFile file(dir.filePath("mirelt.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        const StoredSettings s = SettingsFile::load(file.fileName());
        QVERIFY(s.scopeTrue[0]);
        QVERIFY(!s.scopeTrue[1]);
        QVERIFY(s.scopeTrue[2]); // two double-byte characters are four bytes
        QCOMPARE(s.version, 0);
    }

    void savedInputComesBackWhole_data()
    {
        QTest::addColumn<QString>("mail");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("code page 932") << "あ@b.c" << QByteArray("Mail=\x82\xA0@b.c\r\n");
        QTest::newRow("longer than 255 bytes") << QString(300, 'x') << "Mail=" + QByteArray(300, 'x') + "\r\n";
        QTest::newRow("outside code page 932") << "ü&#1;@b.c" << QByteArray("Mail=&#252;&#38;#1;@b.c\r\nMailEnc=NCR\r\n");
        QTest::newRow("line break and outer blanks")
            << " a\nb " << QByteArray("Mail=&#32;a&#10;b&#32;\r\nMailEnc=NCR\r\n");
        QTest::newRow("byte-order mark and yen") << "a\uFEFF\u00A5" << QByteArray("Mail=a&#65279;&#165;\r\nMailEnc=NCR\r\n");
        QTest::newRow("quoted") << "\"a\"" << QByteArray("Mail=&#34;a&#34;\r\nMailEnc=NCR\r\n");
    }

    void savedInputComesBackWhole()
    {
        QFETCH(QString, mail);
        QFETCH(QByteArray, stored);
        QTemporaryDir dir;
        const QString path = SettingsFile::path(dir.path());
        StoredSettings s;
        s.mail = mail;
        SettingsFile::save(path, s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("[Mail]\r\n" + stored));
        QCOMPARE(SettingsFile::load(path).mail, mail);

        s.mail = "plain";  // a later plain input clears the flag
        SettingsFile::save(path, s);
        QCOMPARE(SettingsFile::load(path).mail, QString("plain"));
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "test_settings.moc"
