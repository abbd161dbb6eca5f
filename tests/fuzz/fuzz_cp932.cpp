// Code page 932 edges: decoding never fails, and text that encodes comes back whole.
#include "Cp932.h"
#include "FuzzInput.h"

#include <cstdlib>

static void comesBackWhole(const QString& text)
{
    if (const auto encoded = Cp932::encode(text); encoded && Cp932::decode(*encoded) != text) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    comesBackWhole(Cp932::decode(bytesOf(data, size)));
    const QString utf16 = QString::fromUtf16(reinterpret_cast<const char16_t*>(data), qsizetype(size / 2));
    comesBackWhole(utf16);
    Cp932::encodeWithReferences(utf16);
    return 0;
}
