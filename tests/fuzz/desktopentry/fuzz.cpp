// Any .desktop file: parsing never fails and keys never hold line ends.
#include "view/desktopentry.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto keys =
        zentrix::ParseDesktopEntry(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const auto& [key, value] : keys)
        if (key.empty() || key.find('\n') != std::string::npos ||
            value.find('\n') != std::string::npos)
            std::abort();
    return 0;
}
