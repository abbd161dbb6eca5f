#pragma once

#include <QString>

class QImage;

// Writes an 8-bit palette PNG: the palette is the image's colour table in order,
// rows top first. Throws AppError when the image cannot be encoded or the file
// cannot be written; a failed write leaves the old file.
class PngWriter
{
public:
    virtual ~PngWriter() = default;
    // False when the encoder cannot be loaded on this system.
    virtual bool available() const = 0;
    virtual bool writeIndexed(const QString& path, const QImage& indexed) = 0;
};
