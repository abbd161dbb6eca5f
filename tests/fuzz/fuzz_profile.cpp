// The profile-file reader and writer on arbitrary bytes: no crash, and a value
// written is read back as written while the file's other keys keep their values.
#include "FuzzInput.h"
#include "ProfileFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray content = bytesOf(data, size);
    ProfileFile file(content);
    const QByteArray sections[] = {"Top", "OPTION", "ENT_OP", "Mail", "A", "\x83\x5D"};
    const QByteArray keys[] = {"Top", "RET", "RAND", "Mail", "k", "\x83\x61"};
    for (const QByteArray& section : sections)
        for (const QByteArray& key : keys) {
            file.readInt(section, key, 7);
            file.readString(section, key, "x  ");
        }
    const QByteArray before = file.readString("OPTION", "DOT", "<none>");
    file.write("Mail", "Mail", "a@b.c");
    file.write("Fuzz", "key", "value");
    if (file.readString("Mail", "Mail", "") != "a@b.c" || file.readString("Fuzz", "key", "") != "value")
        std::abort();
    if (file.readString("OPTION", "DOT", "<none>") != before)
        std::abort();
    return 0;
}
