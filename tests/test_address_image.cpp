// The image read back with libpng's own reader, and the transparency step's matcher.
#include "AddressImage.h"
#include "AppError.h"
#include "FakeMessagePresenter.h"
#include "LibPngWriter.h"
#include "PngTransparency.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <png.h>

namespace {

struct Decoded
{
    int width = 0, height = 0, bitDepth = 0, colourType = 0;
    QList<QRgb> palette;
    QList<int> alphas;
    QList<QByteArray> rows;
};

Decoded decode(const QString& path)
{
    Decoded d;
    FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file)
        return d;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
        d.width = int(png_get_image_width(png, info));
        d.height = int(png_get_image_height(png, info));
        d.bitDepth = png_get_bit_depth(png, info);
        d.colourType = png_get_color_type(png, info);
        png_colorp colours = nullptr;
        int count = 0;
        if (png_get_PLTE(png, info, &colours, &count))
            for (int i = 0; i < count; ++i)
                d.palette.append(qRgb(colours[i].red, colours[i].green, colours[i].blue));
        png_bytep alpha = nullptr;
        int alphaCount = 0;
        if (png_get_tRNS(png, info, &alpha, &alphaCount, nullptr))
            for (int i = 0; i < alphaCount; ++i)
                d.alphas.append(alpha[i]);
        png_bytepp rows = png_get_rows(png, info);
        for (int y = 0; y < d.height; ++y)
            d.rows.append(QByteArray(reinterpret_cast<const char*>(rows[y]), d.width));
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return d;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class UnavailableWriter : public PngWriter
{
public:
    bool available() const override { return false; }
    bool writeIndexed(const QString&, const QImage&) override { return true; }
};

class FailingWriter : public PngWriter
{
public:
    bool available() const override { return true; }
    bool writeIndexed(const QString&, const QImage&) override { throw AppError(AppError::PermissionDenied); }
};

} // namespace

class AddressImageTest : public QObject
{
    Q_OBJECT

private slots:
    void imageIsAPalettePngWithATransparentBackground()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkdir("JSP");
        LibPngWriter writer;
        FakeMessagePresenter messages;
        AddressImage::RenderAddressImage("a@b.jp", dir.path(), writer, messages);
        const QString path = dir.filePath("JSP/mailadd.png");
        const Decoded d = decode(path);
        QCOMPARE(d.width, 48);
        QCOMPARE(d.height, 15);
        QCOMPARE(d.bitDepth, 8);
        QCOMPARE(d.colourType, PNG_COLOR_TYPE_PALETTE);
        QCOMPARE(d.palette, AddressImage::colourTable());
        QCOMPARE(d.palette[18], qRgb(64, 64, 0));
        QCOMPARE(d.palette[245], qRgb(5 * 32, 6 * 32, 0xC0));
        QCOMPARE(d.alphas, QList<int>{0});
        int text = 0;
        for (const QByteArray& row : d.rows)
            for (char index : row) {
                QVERIFY(index == 0 || index == 18);
                text += index == 18;
            }
        QVERIFY(text > 40); // the six glyphs are drawn

        const QByteArray bytes = readFile(path);
        const qsizetype marker = bytes.indexOf(QByteArray("\x58\xD2\x34\x44", 4));
        QVERIFY(marker > 0);
        QCOMPARE(bytes.mid(marker - 768 - 4, 4), QByteArray("PLTE"));
        QCOMPARE(bytes.mid(marker + 4, 13), QByteArray("\0\0\0\x01tRNS\0\x40\xE6\xD8\x66", 13));
        QVERIFY(!QFile::exists(dir.filePath("JSP/mailadd.tmp")));
        QVERIFY(messages.shown.isEmpty());
    }

    void matcherInsertsAfterEveryWholeMarker_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("output");
        const QByteArray chunk("\0\0\0\x01tRNS\0\x40\xE6\xD8\x66", 13);
        const QByteArray marker("\x58\xD2\x34\x44");
        QTest::newRow("repeated first byte") << "\x58" + marker << "\x58" + marker + chunk;
        QTest::newRow("trailing 58") << QByteArray("ab\x58") << QByteArray("ab\x58");
        QTest::newRow("trailing 58 D2") << QByteArray("ab\x58\xD2") << QByteArray("ab\x58\xD2");
        QTest::newRow("broken marker") << QByteArray("\x58\xD2\x58\xD2\x34\x45") << QByteArray("\x58\xD2\x58\xD2\x34\x45");
        QTest::newRow("two markers") << marker + "x" + marker << marker + chunk + "x" + marker + chunk;
        QTest::newRow("no marker") << QByteArray("plain") << QByteArray("plain");
    }

    void matcherInsertsAfterEveryWholeMarker()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, output);
        QCOMPARE(InsertTransparencyChunk(input), output);
    }

    void failedWriteLeavesTheOldImageAlone()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkdir("JSP");
        const QString path = dir.filePath("JSP/mailadd.png");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray("old\x58\xD2\x34\x44", 7));
        old.close();
        QFile leftover(dir.filePath("JSP/mailadd.tmp"));
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.write(QByteArray(100, 'x'));
        leftover.close();

        FakeMessagePresenter messages;
        UnavailableWriter unavailable;
        AddressImage::RenderAddressImage("a@b.c", dir.path(), unavailable, messages);
        QCOMPARE(messages.lastText(), QString("mpng.dllが存在しません。"));
        QCOMPARE(messages.shown.last().title, QString("DLLエラー"));
        FailingWriter failing;
        AddressImage::RenderAddressImage("a@b.c", dir.path(), failing, messages);
        QCOMPARE(messages.lastText(), QString("ERR: 70"));
        QCOMPARE(readFile(path), QByteArray("old\x58\xD2\x34\x44", 7));

        LibPngWriter writer; // a good run truncates the leftover copy before using it
        AddressImage::RenderAddressImage("a@b.c", dir.path(), writer, messages);
        QCOMPARE(decode(path).width, 40);
        QCOMPARE(readFile(path).count(QByteArray("tRNS")), 1);
    }

    void emptyNameOrPictureWritesNothing()
    {
        LibPngWriter writer;
        FakeMessagePresenter messages;
        QVERIFY(!AddressImage::SavePng(AddressImage::render(""), "/tmp/never.png", writer, messages));
        QVERIFY(!AddressImage::SavePng(AddressImage::render("a"), "", writer, messages));
        QVERIFY(messages.shown.isEmpty());
    }
};

QTEST_MAIN(AddressImageTest)
#include "test_address_image.moc"
