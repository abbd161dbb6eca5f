#include "ProfileFile.h"
#include "SettingsFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void readRow(const char* name, const QByteArray& content, int number, const QByteArray& text,
             const QByteArray& key = "k", const QByteArray& section = "A")
{
    QTest::newRow(name) << content << section << key << number << text;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

StoredSettings loadFrom(const QByteArray& content)
{
    QTemporaryDir dir;
    writeAll(SettingsFile::path(dir.path()), content);
    return SettingsFile::load(SettingsFile::path(dir.path()));
}

} // namespace

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
        readRow("plain", "[A]\r\nk=12\r\n", 12, "12");
        readRow("lone CR, lone LF, no last end", "[A]\rx=1\ny=2\r\nk=7", 7, "7");
        readRow("blanks and case in names", "  [ oPtIoN ]  junk\r\n  ReT  =  1  \r\n", 1, "1", "RET", "OPTION");
        readRow("header without ]", "[A b\r\nk=3\r\n", 3, "3", "k", "A b");
        readRow("comment and hash", "[A]\r\n;k=1\r\n#k=2\r\nk=3\r\n", 3, "3");
        readRow("hash line is a key", "[A]\r\n#k=2\r\n", 2, "2", "#k");
        readRow("first duplicate key wins", "[A]\r\nk=1\r\nk=2\r\n", 1, "1");
        readRow("only the first section", "[A]\r\nx=1\r\n[A]\r\nk=2\r\n", -9, "def");
        readRow("keys before a section are unreachable", "k=1\r\n[A]\r\n", -9, "def");
        readRow("quotes removed once", "[A]\r\nk= \"'5'\" \r\n", 0, "'5'");
        readRow("unmatched quotes stay", "[A]\r\nk=\"5'\r\n", 0, "\"5'");
        readRow("digits up to a non-digit", "[A]\r\nk=102abc\r\n", 102, "102abc");
        readRow("negative", "[A]\r\nk=-1500\r\n", -1500, "-1500");
        readRow("wraps to 32 bits", "[A]\r\nk=4294967297\r\n", 1, "4294967297");
        readRow("empty value", "[A]\r\nk=\r\n", -9, "");
        readRow("no digit", "[A]\r\nk=x\r\n", 0, "x");
        // 0x83 0x5D is one character whose second byte looks like "]"; 0x83 0x61 must not fold to 0x83 0x41.
        readRow("double-byte name with a ] trail byte", "[\x83\x5D]\r\nk=4\r\n", 4, "4", "k", "\x83\x5D");
        readRow("trail bytes are not case-folded", "[A]\r\n\x83\x61=4\r\n", -9, "def", "\x83\x41");
        readRow("NUL and junk bytes", QByteArray("\xFF\x00junk\r\n[A]\r\nk=\x00\x01" "9\r\n", 20), 0,
                QByteArray("\x00\x01" "9", 3));
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
        QTest::newRow("section without keys") << QByteArray("[S]\r\n[T]\r\n") << QByteArray("[S]\r\nk=v\r\n[T]\r\n");
        QTest::newRow("last line without end") << QByteArray("[S]\r\na=1") << QByteArray("[S]\r\na=1\r\nk=v\r\n");
        QTest::newRow("new section") << QByteArray("[T]\r\nb=2") << QByteArray("[T]\r\nb=2\r\n[S]\r\nk=v\r\n");
    }

    void writesInPlaceKeepingEverythingElse()
    {
        QFETCH(QByteArray, before);
        ProfileFile file(before);
        file.write("S", "k", "v");
        QTEST(file.content(), "after");
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
        QCOMPARE(readAll(path), QByteArray("[Top]\r\nTop=1500\r\n[Left]\r\nLeft=-30\r\n[Mail]\r\nMail=a@b.c\r\n"
                                           "[INI_VER]\r\nINI_VER=1\r\n[OPTION]\r\nRET=0\r\n@ENT=1\r\nDOT=1\r\n"
                                           "[ENT_OUT_OP]\r\n10=1\r\n16_1=0\r\n16_2=0\r\n"
                                           "[ENT_OP]\r\nRAND=False\r\nALL=False\r\n@ONLY=True\r\n"));
        const StoredSettings back = SettingsFile::load(path);
        QCOMPARE((QList<int>{back.top, back.left, back.version}), (QList<int>{1500, -30, 1}));
        QCOMPARE(back.mail, QString("a@b.c"));
        QCOMPARE(back.scopeTrue, s.scopeTrue);
    }

    void hostileFilesLoadAndKeepTheirBytes()
    {
        QByteArray keys;
        for (int i = 0; i < 100'000; ++i)
            keys += "k" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\r\n";
        // NULs, invalid bytes and a lone CR at the very end, in a file of more than 10 MB.
        const QByteArray junk = QByteArray(10 * 1024 * 1024, '\0') + "\x81\xFF\x82\r";
        QTemporaryDir dir;
        const QString path = SettingsFile::path(dir.path());
        writeAll(path, "[OPTION\r\nRET=1\r\n[ENT_OUT_OP]\r\n" + keys + "16_2=1\r\n" + junk);
        const StoredSettings loaded = SettingsFile::load(path);
        // "[OPTION" without "]" still names the section
        QCOMPARE((QList<int>{loaded.lineBreak, loaded.percent, loaded.version}), (QList<int>{1, 1, 0}));
        SettingsFile::save(path, loaded);
        QCOMPARE(readAll(path), "[OPTION\r\nRET=1\r\n@ENT=0\r\nDOT=0\r\n[ENT_OUT_OP]\r\n" + keys
                                    + "16_2=1\r\n10=0\r\n16_1=0\r\n" + junk
                                    + "\r\n[Top]\r\nTop=0\r\n[Left]\r\nLeft=0\r\n[Mail]\r\nMail=\r\n"
                                      "[INI_VER]\r\nINI_VER=1\r\n[ENT_OP]\r\nRAND=False\r\nALL=False\r\n@ONLY=False\r\n");
    }

    void loadJudgesMailAndScopeKeys()
    {
        QCOMPARE(loadFrom(QByteArray("[Mail]\r\nMail=a@b.c\0junk\r\n", 25)).mail, QString("a@b.c"));
        // by length: two double-byte characters are four bytes
        const StoredSettings s = loadFrom("[ENT_OP]\r\nRAND=true\r\nALL=Yes\r\n@ONLY=\x82\xA0\x82\xA2\r\n");
        QCOMPARE(s.scopeTrue, (std::array<bool, 3>{true, false, true}));
        QCOMPARE(s.version, 0);
    }

    void savedInputComesBackWhole_data()
    {
        QTest::addColumn<QString>("mail");
        QTest::addColumn<QByteArray>("stored");
        const QByteArray flag = "\r\nMailEnc=NCR\r\n";
        QTest::newRow("code page 932") << "あ@b.c" << QByteArray("Mail=\x82\xA0@b.c\r\n");
        QTest::newRow("longer than 255 bytes") << QString(300, 'x') << "Mail=" + QByteArray(300, 'x') + "\r\n";
        QTest::newRow("outside code page 932") << "ü&#1;@b.c" << "Mail=&#252;&#38;#1;@b.c" + flag;
        QTest::newRow("line break and outer blanks") << " a\nb " << "Mail=&#32;a&#10;b&#32;" + flag;
        QTest::newRow("byte-order mark and yen") << "a\uFEFF\u00A5" << "Mail=a&#65279;&#165;" + flag;
        QTest::newRow("quoted") << "\"a\"" << "Mail=&#34;a&#34;" + flag;
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
        QVERIFY(readAll(path).contains("[Mail]\r\n" + stored));
        QCOMPARE(SettingsFile::load(path).mail, mail);
        s.mail = "plain"; // a later plain input clears the flag
        SettingsFile::save(path, s);
        QCOMPARE(SettingsFile::load(path).mail, QString("plain"));
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "test_settings.moc"
