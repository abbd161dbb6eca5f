// The image read back as a browser would and checked byte by byte, and the transparency step's matcher.
#include "AddressImage.h"
#include "AppError.h"
#include "FakeMessagePresenter.h"
#include "LibPngWriter.h"
#include "PngTransparency.h"

#include <QtTest>

namespace {

const QByteArray Marker("\x58\xD2\x34\x44"), Trns("\0\0\0\x01tRNS\0\x40\xE6\xD8\x66", 13);

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A writer that is not installed, or one that fails the way a read-only folder does.
struct BrokenWriter : PngWriter
{
    bool installed;
    explicit BrokenWriter(bool installed) : installed(installed) {}
    bool available() const override { return installed; }
    bool writeIndexed(const QString&, const QImage&) override { throw AppError(AppError::PermissionDenied); }
};

} // namespace

class AddressImageTest : public QObject
{
    Q_OBJECT

private slots:
    void imageIsAPaletteThatReplacesTheOldOneOnlyWhenWrittenWhole()
    {
        QTemporaryDir dir; QDir(dir.path()).mkdir("JSP");
        const QString path = dir.filePath("JSP/mailadd.png"), leftover = dir.filePath("JSP/mailadd.tmp");
        const QList<std::pair<QString, QByteArray>> files{{path, "old" + Marker}, {leftover, QByteArray(100, 'x')}};
        for (const auto& [name, bytes] : files) {
            QFile f(name);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        }
        LibPngWriter writer; FakeMessagePresenter messages;
        QVERIFY(!AddressImage::SavePng(AddressImage::render(""), path, writer, messages)); // silently: empty picture
        QVERIFY(!AddressImage::SavePng(AddressImage::render("a"), "", writer, messages));  // or name
        QVERIFY(messages.shown.isEmpty());
        BrokenWriter unavailable(false), failing(true);
        AddressImage::RenderAddressImage("a@b.jp", dir.path(), unavailable, messages);
        QCOMPARE(messages.titled(), QString("DLLエラー: mpng.dllが存在しません。"));
        AddressImage::RenderAddressImage("a@b.jp", dir.path(), failing, messages);
        QCOMPARE(messages.lastText(), QString("ERR: 70"));
        QCOMPARE(readFile(path), "old" + Marker);
        AddressImage::RenderAddressImage("a@b.jp", dir.path(), writer, messages); // truncates the leftover copy first
        QVERIFY(!QFile::exists(leftover) && messages.shown.size() == 2);
        const QByteArray bytes = readFile(path);
        QCOMPARE(bytes.mid(12, 14), QByteArray("IHDR\0\0\0\x30\0\0\0\x0F\x08\x03", 14)); // 48 x 15, 8-bit palette
        const qsizetype marker = bytes.indexOf(Marker); // the palette's last entry, then the only tRNS chunk
        QCOMPARE(bytes.mid(marker - 768 - 4, 4) + bytes.mid(marker + 4, 13), "PLTE" + Trns);
        QCOMPARE(bytes.count(QByteArray("tRNS")), 1);
        QList<QRgb> colours = AddressImage::colourTable();
        QCOMPARE(QList<QRgb>({colours[18], colours[245]}), QList<QRgb>({qRgb(64, 64, 0), qRgb(5 * 32, 6 * 32, 0xC0)}));
        colours[0] &= RGB_MASK; // the background is the one transparent entry
        const QImage image(path);
        QCOMPARE(image.format(), QImage::Format_Indexed8);
        QCOMPARE(image.colorTable(), colours);
        const QByteArray pixels(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
        QCOMPARE(pixels.count('\0') + pixels.count('\x12'), pixels.size()); // background or text colour only
        QVERIFY(pixels.count('\x12') > 40); // the six glyphs are drawn
    }

    void matcherInsertsAfterEveryWholeMarker()
    {
        QCOMPARE(InsertTransparencyChunk("\x58" + Marker), "\x58" + Marker + Trns); // repeated first byte
        QCOMPARE(InsertTransparencyChunk(Marker + "x" + Marker), Marker + Trns + "x" + Marker + Trns);
        for (const char* unchanged : {"ab\x58", "ab\x58\xD2", "\x58\xD2\x58\xD2\x34\x45", "plain"})
            QCOMPARE(InsertTransparencyChunk(unchanged), QByteArray(unchanged));
    }
};

QTEST_MAIN(AddressImageTest)
#include "test_address_image.moc"
