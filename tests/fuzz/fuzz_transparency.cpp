// The transparency matcher: one chunk after every marker, and nothing else changes.
#include "FuzzInput.h"
#include "PngTransparency.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = bytesOf(data, size);
    const QByteArray marker("\x58\xD2\x34\x44", 4), chunk("\0\0\0\x01tRNS\0\x40\xE6\xD8\x66", 13);
    const QByteArray output = InsertTransparencyChunk(input);
    if (QByteArray(output).replace(marker + chunk, marker) != input
        || output.size() != input.size() + 13 * input.count(marker))
        std::abort();
    return 0;
}
