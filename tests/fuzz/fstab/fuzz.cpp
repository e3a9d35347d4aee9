// The file-system table: any text is read without harm, line by line, and
// every entry it gives has both of its fields.
#include "platform/serialguard.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto& e : zentrix::platform::ParseFstab(text))
        if (e.spec.empty() || e.mountPoint.empty() || e.spec.size() > size ||
            e.mountPoint.size() > size)
            std::abort();
    return 0;
}
