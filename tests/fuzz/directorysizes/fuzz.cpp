// The trash's directorysizes cache, written by any desktop program: updating it
// must keep only well-formed lines, never grow a line, and keep what it adds.
#include "platform/trash.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string cache(reinterpret_cast<const char*>(data), size);
    bool flip = false;
    const std::string out = zentrix::platform::UpdatedDirectorySizes(
        cache,
        [&](const std::string& name) {
            if (name.empty() || name.find('\n') != std::string::npos)
                std::abort();
            flip = !flip;
            return flip;
        },
        "12 34 added%20dir");
    if (out.size() > cache.size() + 19 || out.size() < 18 ||
        out.compare(out.size() - 18, 18, "12 34 added%20dir\n") != 0)
        std::abort();
    return 0;
}
