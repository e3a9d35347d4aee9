// The GTK bookmarks file is written by any desktop program: every entry must
// come out as an absolute path without a NUL byte, and the list stays bounded.
#include "platform/gtkbookmarks.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto paths = zentrix::platform::ParseGtkBookmarks(text);
    if (paths.size() > 1000)
        std::abort();
    for (const auto& path : paths)
        if (path.empty() || path[0] != '/' || path.find('\0') != std::string::npos)
            std::abort();
    return 0;
}
