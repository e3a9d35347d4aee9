// Archive entries from any bytes: listing never fails, and every name that is
// let through stays below the target directory.
#include "ziparchive.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// A relative path of plain parts: none empty, none "." or "..", no backslash.
// ("..a" is an ordinary name.)
bool staysBelow(const std::string& path) {
    if (path.empty() || path[0] == '/' || path.find('\\') != std::string::npos)
        return false;
    size_t pos = 0;
    while (pos <= path.size()) {
        const size_t end = std::min(path.find('/', pos), path.size());
        const std::string part = path.substr(pos, end - pos);
        if (part.empty() || part == ".." || part == ".")
            return false;
        pos = end + 1;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zentrix::unzip;
    // A small budget: an archive without a central directory is read entry by
    // entry, and the fuzzer makes such archives all the time.
    const ListBudget budget{int64_t{4} << 20, std::chrono::milliseconds(2000)};
    if (auto entries = ListArchiveMemory(data, size, nullptr, budget)) {
        for (const ZipEntry& e : *entries)
            if (const auto safe = SafeEntryPath(e.name); safe && !staysBelow(*safe))
                std::abort();
    }
    const std::string name(reinterpret_cast<const char*>(data), std::min<size_t>(size, 512));
    if (const auto safe = SafeEntryPath(name); safe && !staysBelow(*safe))
        std::abort();
    return 0;
}
