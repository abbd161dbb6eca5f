// The profile-file reader and writer on any bytes: no crash; a value written reads back, the other keys keep theirs.
#include "FuzzInput.h"
#include "ProfileFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ProfileFile file(bytesOf(data, size));
    for (const QByteArray section : {"Top", "OPTION", "ENT_OP", "Mail", "A", "\x83\x5D"})
        for (const QByteArray key : {"Top", "RET", "RAND", "Mail", "k", "\x83\x61"}) {
            file.readInt(section, key, 7);
            file.readString(section, key, "x  ");
        }
    const QByteArray before = file.readString("OPTION", "DOT", "<none>");
    file.write("Mail", "Mail", "a@b.c"); file.write("Fuzz", "key", "value");
    if (file.readString("Mail", "Mail", "") != "a@b.c" || file.readString("Fuzz", "key", "") != "value"
        || file.readString("OPTION", "DOT", "<none>") != before)
        std::abort();
    return 0;
}
