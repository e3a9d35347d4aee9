// user-dirs.dirs is written by the desktop's tools and edited by hand: every
// directory read from it is an absolute path without a NUL byte or a line
// break, the home directory itself is never among them, the list is at most
// one entry per key, and reading never depends on more than the text.
#include "platform/gtkbookmarks.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zentrix::platform;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const std::string home : {"/home/user", "/home/user/", "/"}) {
        const auto dirs = ParseUserDirs(text, home);
        if (dirs.empty() || dirs.size() > 6)
            std::abort(); // Desktop is always there, six keys at most
        for (const std::string& dir : dirs) {
            if (dir.empty() || dir[0] != '/' || dir.find('\0') != std::string::npos ||
                dir.find('\n') != std::string::npos || dir.find('\r') != std::string::npos)
                std::abort();
            if (dir == "/home/user" && home != "/")
                std::abort();
            if (dir.size() > text.size() + home.size() + 8)
                std::abort();
        }
        if (ParseUserDirs(text, home) != dirs)
            std::abort();
    }
    return 0;
}
