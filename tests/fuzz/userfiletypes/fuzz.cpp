// The user's file types as the file specification dialog reads them, and a
// specification it starts from (the input's first line; the types are the
// other lines): each type's masks are words of their own, and what the dialog
// starts with builds the same specification again.
#include "filespecbuilder.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

using namespace zentrix::utils;

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

std::set<std::string> wordsOf(const std::string& spec) {
    const auto words = SplitMasks(spec);
    return {words.begin(), words.end()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos <= text.size()) {
        const size_t end = std::min(text.find('\n', pos), text.size());
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    const std::string spec = lines.front();
    const std::vector<std::string> entries(lines.begin() + 1, lines.end());
    const std::vector<UserFileType> types = ParseUserFileTypes(entries);
    check(types.size() <= entries.size());
    for (const UserFileType& type : types) {
        check(!type.masks.empty());
        const std::set<std::string> unique(type.masks.begin(), type.masks.end());
        check(unique.size() == type.masks.size());
        for (const std::string& mask : type.masks)
            check(!mask.empty() && mask.find(' ') == std::string::npos);
    }
    const SpecChoice choice = ChoiceFromSpec(types, spec);
    check(choice.chosen.size() == types.size());
    const std::string built = BuildFileSpec(types, choice.chosen, choice.otherMasks);
    const std::set<std::string> words = wordsOf(spec);
    if (words.empty())
        check(built == "*.*");
    else
        check(wordsOf(built) == words);
    return 0;
}
