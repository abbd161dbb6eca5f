#include "LibPngWriter.h"

#include "AppError.h"
#include "FileAccess.h"

#include <QImage>
#include <csetjmp>
#include <png.h>
#include <string>
#include <vector>

namespace {

struct Output
{
    QByteArray bytes;
    std::string error;
};

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    static_cast<Output*>(png_get_io_ptr(png))->bytes.append(reinterpret_cast<const char*>(data), qsizetype(length));
}

void keepError(png_structp png, png_const_charp message)
{
    static_cast<Output*>(png_get_error_ptr(png))->error = message;
    png_longjmp(png, 1);
}

// libpng warns before it fails; the failure itself is what gets reported.
void ignoreWarning(png_structp, png_const_charp) {}

// libpng reports errors by longjmp; everything it touches here is plain data, made before setjmp.
bool encode(const QImage& image, Output& out)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &out, keepError, ignoreWarning);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    std::vector<png_color> palette(256);
    const QList<QRgb> table = image.colorTable();
    for (int i = 0; i < 256 && i < table.size(); ++i)
        palette[i] = {png_byte(qRed(table[i])), png_byte(qGreen(table[i])), png_byte(qBlue(table[i]))};
    std::vector<png_bytep> rows(image.height());
    for (int y = 0; y < image.height(); ++y)
        rows[y] = const_cast<png_bytep>(image.constScanLine(y));

    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, appendBytes, nullptr);
    png_set_IHDR(png, info, image.width(), image.height(), 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, palette.data(), 256);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool LibPngWriter::writeIndexed(const QString& path, const QImage& indexed)
{
    if (indexed.format() != QImage::Format_Indexed8 || indexed.isNull())
        return false;
    // Encoded in memory first: an image libpng refuses (wider than its limit of
    // 1,000,000 pixels, for one) never reaches the file.
    Output out;
    if (!encode(indexed, out))
        throw AppError(AppError::DeviceIo, path + QStringLiteral(": ") + QString::fromStdString(out.error));
    FileAccess::writeAtomically(path, out.bytes);
    return true;
}
