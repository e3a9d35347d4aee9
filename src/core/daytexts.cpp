#include "core/daytexts.h"

namespace zentrix {
namespace {

constexpr size_t kMaxText = 255;

// Cuts to at most kMaxText characters (code points), never inside one.
std::string cut(std::string text) {
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue;
        if (chars == kMaxText) {
            text.resize(i);
            break;
        }
        ++chars;
    }
    return text;
}

} // namespace

std::vector<std::string> ReadDayTexts(std::string_view resource) {
    std::vector<std::string> texts;
    size_t pos = 0;
    while (pos < resource.size()) {
        size_t end = resource.find('\n', pos);
        if (end == std::string_view::npos)
            end = resource.size();
        std::string line(resource.substr(pos, end - pos));
        std::erase(line, '\r');
        if (line.empty())
            break;
        texts.push_back(cut(std::move(line)));
        pos = end + 1;
    }
    return texts;
}

int DayTextIndex(long long daysSinceEpoch, int count) {
    if (count <= 0)
        return 0;
    const long long index = daysSinceEpoch % count;
    return static_cast<int>(index < 0 ? index + count : index);
}

QuoteParts SplitQuote(const std::string& line) {
    const size_t at = line.rfind(" -- ");
    if (at == std::string::npos)
        return {line, {}};
    return {line.substr(0, at), line.substr(at + 4)};
}

} // namespace zentrix
