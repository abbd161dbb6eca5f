// Code page 932 edges: decoding never fails, and text that encodes comes back whole.
#include "Cp932.h"
#include "FuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = bytesOf(data, size);
    const QString text = Cp932::decode(bytes);
    if (const auto again = Cp932::encode(text))
        if (Cp932::decode(*again) != text)
            std::abort();
    const QString utf16 = QString::fromUtf16(reinterpret_cast<const char16_t*>(data), qsizetype(size / 2));
    if (const auto encoded = Cp932::encode(utf16))
        if (Cp932::decode(*encoded) != utf16)
            std::abort();
    Cp932::encodeWithReferences(utf16);
    return 0;
}
