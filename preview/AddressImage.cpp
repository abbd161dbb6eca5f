#include "AddressImage.h"

#include "AppError.h"
#include "ConversionRequest.h"
#include "Message.h"
#include "PngTransparency.h"
#include "PngWriter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QHash>
#include <QPainter>

namespace AddressImage {

const QList<QRgb>& colourTable()
{
    static const QList<QRgb> table = [] {
        QList<QRgb> t(256);
        const QRgb first[10] = {qRgb(0, 0, 0),       qRgb(128, 0, 0),     qRgb(0, 128, 0),   qRgb(128, 128, 0),
                                qRgb(0, 0, 128),     qRgb(128, 0, 128),   qRgb(0, 128, 128), qRgb(192, 192, 192),
                                qRgb(192, 220, 192), qRgb(166, 202, 240)};
        const QRgb last[10] = {qRgb(255, 251, 240), qRgb(160, 160, 164), qRgb(128, 128, 128), qRgb(255, 0, 0),
                               qRgb(0, 255, 0),     qRgb(255, 255, 0),   qRgb(0, 0, 255),     qRgb(255, 0, 255),
                               qRgb(0, 255, 255),   qRgb(255, 255, 255)};
        for (int i = 0; i < 10; ++i) {
            t[i] = first[i];
            t[246 + i] = last[i];
        }
        for (int i = 10; i < 246; ++i)
            t[i] = qRgb((i & 7) * 32, ((i & 0x38) / 8) * 32, i & 0xC0);
        return t;
    }();
    return table;
}

QImage render(const QString& address)
{
    const int width = CharWidth * int(codePointCount(address));
    if (width == 0)
        return {};
    QImage picture(width, Height, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic")});
    font.setPixelSize(16); // 12 points at 96 dots per inch: half-width glyphs 8 pixels wide
    // Plain two-colour text, as a bitmap font prints it: every text pixel is palette entry 18.
    font.setStyleStrategy(QFont::NoAntialias);
    QPainter painter(&picture);
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(TextColour));
    painter.drawText(0, QFontMetrics(font).ascent(), address);
    return picture;
}

QImage toIndexed(const QImage& picture)
{
    const QList<QRgb>& table = colourTable();
    QImage indexed(picture.size(), QImage::Format_Indexed8);
    indexed.setColorTable(table);
    QHash<QRgb, uchar> nearest;
    for (int y = 0; y < picture.height(); ++y) {
        uchar* row = indexed.scanLine(y);
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb colour = picture.pixel(x, y) | 0xFF000000;
            auto found = nearest.constFind(colour);
            if (found == nearest.constEnd()) {
                int best = 0, bestDistance = INT_MAX;
                for (int i = 0; i < table.size(); ++i) {
                    const int dr = qRed(colour) - qRed(table[i]), dg = qGreen(colour) - qGreen(table[i]),
                              db = qBlue(colour) - qBlue(table[i]);
                    const int distance = dr * dr + dg * dg + db * db;
                    if (distance < bestDistance) {
                        best = i;
                        bestDistance = distance;
                    }
                }
                found = nearest.insert(colour, uchar(best));
            }
            row[x] = *found;
        }
    }
    return indexed;
}

QByteArray pngBytes(const QString& address)
{
    const QImage picture = render(address);
    QByteArray png;
    QBuffer buffer(&png);
    if (picture.isNull() || !toIndexed(picture).save(&buffer, "PNG"))
        return {};
    return InsertTransparencyChunk(png);
}

bool SavePng(const QImage& picture, const QString& fileName, PngWriter& writer, MessagePresenter& messages)
{
    if (fileName.isEmpty() || picture.isNull())
        return false;
    if (!writer.available()) {
        messages.show({QCoreApplication::translate("AddressImage", "mpng.dllが存在しません。"),
                       QCoreApplication::translate("AddressImage", "DLLエラー"), MessageIcon::Critical, MessageButtons::Ok});
        return false;
    }
    try {
        return writer.writeIndexed(fileName, toIndexed(picture));
    } catch (const AppError& e) {
        messages.show(errorNumberMessage(e.number()));
        return false;
    }
}

bool RenderAddressImage(const QString& address, const QString& programFolder, PngWriter& writer,
                        MessagePresenter& messages)
{
    // The encoder writes a scratch copy; the image itself is replaced only by a whole new one.
    const QString temporary = programFolder + QStringLiteral("/JSP/mailadd.tmp");
    const QImage picture = render(address);
    if (SavePng(picture, temporary, writer, messages)) {
        ApplyPngTransparency(programFolder);
        return true;
    }
    // Nothing to draw, or no encoder (already said): the pages go on with the image there is.
    return picture.isNull() || !writer.available();
}

} // namespace AddressImage
