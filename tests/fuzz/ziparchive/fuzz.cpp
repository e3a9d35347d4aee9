// Archive entries from any bytes: listing never fails, and every name that is
// let through stays below the target directory.
#include "ziparchive.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zentrix::unzip;
    if (auto entries = ListArchiveMemory(data, size)) {
        for (const ZipEntry& e : *entries) {
            if (const auto safe = SafeEntryPath(e.name)) {
                if (safe->empty() || (*safe)[0] == '/' || safe->find("..") == 0 ||
                    safe->find("/../") != std::string::npos ||
                    safe->find('\\') != std::string::npos)
                    std::abort();
            }
        }
    }
    const std::string name(reinterpret_cast<const char*>(data), std::min<size_t>(size, 512));
    if (const auto safe = SafeEntryPath(name)) {
        size_t pos = 0;
        while (pos <= safe->size()) {
            const size_t end = std::min(safe->find('/', pos), safe->size());
            const std::string part = safe->substr(pos, end - pos);
            if (part.empty() || part == ".." || part == ".")
                std::abort();
            pos = end + 1;
        }
    }
    return 0;
}
