#include "view/desktopentry.h"

#include "core/text.h"

#include <fcntl.h>
#include <unistd.h>

namespace zentrix {

std::map<std::string, std::string> ParseDesktopEntry(std::string_view content) {
    std::map<std::string, std::string> keys;
    bool inEntry = false;
    size_t pos = 0;
    while (pos < content.size()) {
        size_t nl = content.find('\n', pos);
        if (nl == std::string_view::npos)
            nl = content.size();
        std::string_view line = content.substr(pos, nl - pos);
        pos = nl + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#')
            continue;
        if (trimmed[0] == '[') {
            inEntry = trimmed == "[Desktop Entry]";
            continue;
        }
        if (!inEntry)
            continue;
        const size_t eq = trimmed.find('=');
        if (eq == std::string::npos || eq == 0)
            continue;
        keys.emplace(Trim(std::string_view(trimmed).substr(0, eq)),
                     Trim(std::string_view(trimmed).substr(eq + 1)));
    }
    return keys;
}

std::string DesktopEntryIcon(const std::string& hostPath) {
    const int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {};
    std::string content(1 << 20, '\0');
    const ssize_t n = ::read(fd, content.data(), content.size());
    ::close(fd);
    content.resize(n > 0 ? static_cast<size_t>(n) : 0);
    const auto keys = ParseDesktopEntry(content);
    const auto it = keys.find("Icon");
    return it == keys.end() ? std::string() : it->second;
}

} // namespace zentrix
