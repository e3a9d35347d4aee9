#include "platform/gtkbookmarks.h"

#include "platform/apppaths.h"
#include "platform/atomicfile.h"

namespace zentrix::platform {
namespace {

constexpr size_t kMaxEntries = 1000;
constexpr size_t kMaxFileBytes = 1024 * 1024;

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::vector<std::string> ParseGtkBookmarks(std::string_view text) {
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < text.size() && out.size() < kMaxEntries) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        line = line.substr(0, line.find_first_of(" \r\t"));
        constexpr std::string_view scheme = "file://";
        if (line.substr(0, scheme.size()) != scheme)
            continue;
        line.remove_prefix(scheme.size());
        const size_t slash = line.find('/');
        if (slash == std::string_view::npos)
            continue;
        const std::string_view host = line.substr(0, slash);
        if (!host.empty() && host != "localhost")
            continue;
        line.remove_prefix(slash);
        std::string path;
        bool bad = false;
        for (size_t i = 0; i < line.size(); ++i) {
            char c = line[i];
            if (c == '%' && i + 2 < line.size() && hexValue(line[i + 1]) >= 0 &&
                hexValue(line[i + 2]) >= 0) {
                c = static_cast<char>(hexValue(line[i + 1]) * 16 + hexValue(line[i + 2]));
                i += 2;
            }
            if (c == '\0') {
                bad = true;
                break;
            }
            path += c;
        }
        if (!bad && !path.empty())
            out.push_back(std::move(path));
    }
    return out;
}

std::vector<std::string> ReadGtkBookmarks() {
    const auto text = ReadWholeFile(AppPaths::ConfigHome() + "/gtk-3.0/bookmarks", kMaxFileBytes);
    return text ? ParseGtkBookmarks(*text) : std::vector<std::string>{};
}

} // namespace zentrix::platform
