#include "view/desktopentry.h"

#include "core/text.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
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

namespace {

// The content of a regular file of at most `limit` bytes; none for anything
// else. Opened without waiting, so a FIFO is refused instead of blocking.
std::optional<std::string> readRegular(const std::string& path, size_t limit, bool cut) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        (!cut && static_cast<unsigned long long>(st.st_size) > limit)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string content(limit, '\0');
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::read(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    content.resize(done);
    return content;
}

} // namespace

std::string DesktopEntryIcon(const std::string& hostPath) {
    const auto content = readRegular(hostPath, 1 << 20, true);
    if (!content)
        return {};
    const auto keys = ParseDesktopEntry(*content);
    const auto it = keys.find("Icon");
    return it == keys.end() ? std::string() : it->second;
}

std::string ReadIconFile(const std::string& hostPath) {
    if (hostPath.empty() || hostPath[0] != '/')
        return {};
    return readRegular(hostPath, kMaxIconFileBytes, false).value_or(std::string());
}

} // namespace zentrix
