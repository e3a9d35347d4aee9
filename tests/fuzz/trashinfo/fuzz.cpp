// A trash item's description, written by any program that puts things in the
// trash: reading it never crashes, and a path it gives back is a plain path
// (no NUL, no empty, "." or ".." component), whatever the escapes held.
#include "platform/trashinfo.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto info = zentrix::platform::ParseTrashInfo(text);
    if (!info)
        return 0;
    const std::string& p = info->path;
    if (p.empty() || p.find('\0') != std::string::npos || p.find("//") != std::string::npos ||
        p.back() == '/')
        std::abort();
    const std::string wrapped = "/" + p + "/";
    if (wrapped.find("/./") != std::string::npos || wrapped.find("/../") != std::string::npos)
        std::abort();
    if (!info->deletionDate.empty() && info->deletionDate.size() != 19)
        std::abort();
    return 0;
}
