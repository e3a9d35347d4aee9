// The mount table read for the options that make a file system ignore case:
// any text is read without harm, every entry has its device, and no entry
// holds more than the text.
#include "platform/casefolding.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto mounts = zentrix::platform::ParseMountOptions(text);
    for (const auto& m : mounts) {
        if (m.device.empty() || m.device.size() > size || m.options.size() > size)
            std::abort();
        zentrix::platform::MountFoldsCase(mounts, m.device);
    }
    return 0;
}
