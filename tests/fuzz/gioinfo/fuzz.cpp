// "gio info" output names the directory a mapped share gets: whatever gio (or
// something in its place) prints, the answer is an absolute path on one line
// or nothing.
#include "platform/process.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string path = zentrix::platform::LocalPathFromGioInfo(text);
    if (!path.empty() &&
        (path[0] != '/' || path.find('\n') != std::string::npos || path.size() > text.size()))
        std::abort();
    return 0;
}
