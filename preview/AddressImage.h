#pragma once

#include <QImage>
#include <QList>
#include <QString>

class MessagePresenter;
class PngWriter;

// ModPNG and the drawing of the address: the picture of the address text that the
// script examples fall back to, saved as JSP/mailadd.png.
namespace AddressImage {

constexpr int CharWidth = 8;
constexpr int Height = 15;
constexpr QRgb TextColour = 0xFF404000; // red 64, green 64, blue 0
constexpr int TextIndex = 18;

// The fixed 256-colour table: the palette of every address image, entry by entry.
const QList<QRgb>& colourTable();
// 8 pixels a character by 15, black background, the text in TextColour.
QImage render(const QString& address);
// Each pixel mapped to the index of its nearest colour in the fixed table.
QImage toIndexed(const QImage& picture);
// The address image as PNG bytes, drawn and made transparent as the preview's; empty when there is nothing to draw.
QByteArray pngBytes(const QString& address);
// True when the writer reported success. Empty name or picture: false, no message.
bool SavePng(const QImage& picture, const QString& fileName, PngWriter& writer, MessagePresenter& messages);
// Draws, saves and makes the background transparent; JSP/mailadd.png changes only
// when the whole new image is written. False when a failure was shown to the user;
// throws AppError when the transparency step fails.
bool RenderAddressImage(const QString& address, const QString& programFolder, PngWriter& writer,
                        MessagePresenter& messages);

} // namespace AddressImage
