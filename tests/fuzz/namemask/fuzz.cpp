// Names come from directory listings and masks from typed text: the mask rule
// must never read past either, whatever bytes they hold.
#include "ops/namemask.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte splits the rest into a name and a mask.
    if (size == 0)
        return 0;
    const size_t split = std::min<size_t>(data[0], size - 1);
    const std::string name(reinterpret_cast<const char*>(data + 1), split);
    const std::string mask(reinterpret_cast<const char*>(data + 1 + split), size - 1 - split);
    int asked = 0;
    const std::string out = zentrix::ApplyNameMask(name, mask, [&](const std::string&) {
        return ++asked < 5; // the first few numbers are taken
    });
    if (mask.find_first_of("*?%") == std::string::npos && out != mask)
        std::abort();
    // Every character comes from the name or the mask (plus a number for "%").
    if (out.size() > (name.size() + 1) * (mask.size() + 1) + 16)
        std::abort();
    return 0;
}
