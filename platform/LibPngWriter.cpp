#include "LibPngWriter.h"

#include "AppError.h"

#include <QFile>
#include <QImage>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <png.h>
#include <vector>

namespace {

int errorNumberFor(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: return AppError::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS: return AppError::PermissionDenied;
    case ENOSPC: return AppError::DiskFull;
    default: return AppError::DeviceIo;
    }
}

// libpng reports errors by longjmp; everything it touches here is plain data.
bool encode(FILE* file, const QImage& image)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
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
    png_init_io(png, file);
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
    errno = 0;
    FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (file == nullptr)
        throw AppError(errorNumberFor(errno), path);
    const bool encoded = encode(file, indexed);
    const bool closed = std::fclose(file) == 0;
    if (encoded && !closed)
        throw AppError(errorNumberFor(errno), path);
    return encoded;
}
