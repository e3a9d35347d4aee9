#include "view/shellhistory.h"

#include "core/text.h"

#include <algorithm>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrix {

std::string ShellHistoryPath(const char* histfile, const char* home) {
    if (histfile && *histfile)
        return histfile;
    return std::string(home && *home ? home : "") + "/.bash_history";
}

std::vector<std::string> ParseShellHistory(std::string_view content, size_t limit) {
    // Newest last in the file: walk backwards so the last `limit` distinct survive.
    std::vector<std::string> newestFirst;
    std::set<std::string> seen;
    size_t end = content.size();
    while (end > 0 && newestFirst.size() < limit) {
        const size_t nl = content.rfind('\n', end - 1);
        const size_t start = nl == std::string_view::npos ? 0 : nl + 1;
        std::string_view line = content.substr(start, end - start);
        end = nl == std::string_view::npos ? 0 : nl;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        // bash time stamps: "#1700000000".
        if (line.size() > 1 && line[0] == '#' &&
            std::all_of(line.begin() + 1, line.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        // zsh extended history: ": 1700000000:0;command".
        if (line.size() > 2 && line[0] == ':' && line[1] == ' ') {
            const size_t semi = line.find(';');
            if (semi != std::string_view::npos)
                line.remove_prefix(semi + 1);
        }
        std::string command = Trim(line);
        if (command.empty() || !seen.insert(command).second)
            continue;
        newestFirst.push_back(std::move(command));
    }
    std::sort(newestFirst.begin(), newestFirst.end());
    return newestFirst;
}

std::vector<std::string> ReadShellHistory(const std::string& path, size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {};
    struct stat st {};
    std::string content;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        constexpr off_t kMax = 1 << 20;
        const off_t from = st.st_size > kMax ? st.st_size - kMax : 0;
        content.resize(static_cast<size_t>(st.st_size - from));
        const ssize_t n = ::pread(fd, content.data(), content.size(), from);
        content.resize(n > 0 ? static_cast<size_t>(n) : 0);
        if (from > 0) {
            // The first line was cut: drop it.
            const size_t nl = content.find('\n');
            content.erase(0, nl == std::string::npos ? content.size() : nl + 1);
        }
    }
    ::close(fd);
    return ParseShellHistory(content, limit);
}

} // namespace zentrix
