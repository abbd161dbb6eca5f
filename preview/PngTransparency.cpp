#include "PngTransparency.h"

#include "AppError.h"
#include "FileAccess.h"

namespace {

// The CRC that closes the palette chunk of the fixed 256-colour table.
constexpr char Marker[4] = {'\x58', '\xD2', '\x34', '\x44'};
constexpr char Chunk[13] = {0, 0, 0, 1, 't', 'R', 'N', 'S', 0, '\x40', '\xE6', '\xD8', '\x66'};

} // namespace

QByteArray InsertTransparencyChunk(const QByteArray& png)
{
    QByteArray out;
    out.reserve(png.size() + 13);
    int held = 0; // how many leading marker bytes are held back
    for (char byte : png) {
        if (byte == Marker[0]) {
            out.append(Marker, held);
            held = 1;
        } else if (held > 0 && byte == Marker[held]) {
            if (++held == 4) {
                out.append(Marker, 4);
                out.append(Chunk, 13);
                held = 0;
            }
        } else {
            out.append(Marker, held);
            out.append(byte);
            held = 0;
        }
    }
    out.append(Marker, held);
    return out;
}

void ApplyPngTransparency(const QString& programFolder)
{
    const QString image = programFolder + QStringLiteral("/JSP/mailadd.png");
    const QString temporary = programFolder + QStringLiteral("/JSP/mailadd.tmp");
    try {
        FileAccess::writeAtomically(image, InsertTransparencyChunk(FileAccess::read(temporary)));
    } catch (const AppError&) {
        FileAccess::remove(temporary);
        throw;
    }
    FileAccess::remove(temporary);
}
