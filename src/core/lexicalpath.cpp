#include "core/lexicalpath.h"

#include <algorithm>
#include <vector>

namespace zentrix {

std::string LexicalPath(std::string_view path) {
    std::vector<std::string_view> parts;
    size_t pos = 0;
    while (pos <= path.size()) {
        const size_t end = std::min(path.find('/', pos), path.size());
        const std::string_view part = path.substr(pos, end - pos);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        pos = end + 1;
    }
    std::string out;
    for (const std::string_view part : parts) {
        out += '/';
        out += part;
    }
    return out.empty() ? "/" : out;
}

} // namespace zentrix
