// Any mimeapps.list, written by any program or by hand: reading never fails,
// stays within its bounds, and every type and id it yields is one trimmed,
// non-empty line piece without separators.
#include "view/openwith.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void check(const std::map<std::string, std::vector<std::string>>& group) {
    if (group.size() > 10000)
        std::abort();
    for (const auto& [type, ids] : group) {
        if (type.empty() || type.find('\n') != std::string::npos || ids.size() > 100)
            std::abort();
        for (const std::string& id : ids)
            if (id.empty() || id.find_first_of(";\n") != std::string::npos || id.front() == ' ' ||
                id.back() == ' ')
                std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto list =
        zentrix::ParseMimeAppsList(std::string_view(reinterpret_cast<const char*>(data), size));
    check(list.defaults);
    check(list.added);
    check(list.removed);
    return 0;
}
