// Icons inside any file: PE resources and icon directories are read without
// ever leaving the data, and whatever comes out is a well-formed icon file.
#include "view/iconresources.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const zentrix::ByteReader read = [&bytes](uint64_t offset, size_t count) {
        if (count > (64u << 20))
            std::abort(); // a reader is never asked for absurd amounts
        return offset >= bytes.size() ? std::string() : bytes.substr(offset, count);
    };
    for (const auto& group : zentrix::IconsOfPeFile(read, bytes.size()))
        if (group.ico.size() < 6 || group.ico[2] != 1)
            std::abort();
    for (const auto& icon : zentrix::IconsOfIcoFile(bytes))
        if (icon.ico.size() < 22)
            std::abort();
    return 0;
}
