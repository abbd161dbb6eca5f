// The address-file reader: no crash, no empty entry, no line end in an entry; every other byte survives.
#include "AddressList.h"
#include "Cp932.h"
#include "FuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = bytesOf(data, size);
    qsizetype kept = 0;
    for (const QByteArray& entry : AddressList::parseFile(bytes)) {
        if (entry.isEmpty() || entry.contains('\r') || entry.contains('\n')) std::abort();
        kept += entry.size();
        Cp932::decode(entry);
    }
    if (kept != bytes.size() - bytes.count('\r') - bytes.count('\n')) std::abort();
    return 0;
}
