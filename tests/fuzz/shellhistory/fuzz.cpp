// Any shell history: commands come out sorted, once each, never empty, and
// never more than asked for.
#include "view/shellhistory.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto commands =
        zentrix::ParseShellHistory(std::string_view(reinterpret_cast<const char*>(data), size), 50);
    if (commands.size() > 50 || !std::is_sorted(commands.begin(), commands.end()) ||
        std::adjacent_find(commands.begin(), commands.end()) != commands.end())
        std::abort();
    for (const std::string& c : commands)
        if (c.empty() || c.find('\n') != std::string::npos)
            std::abort();
    return 0;
}
