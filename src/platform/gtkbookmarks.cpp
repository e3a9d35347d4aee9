#include "platform/gtkbookmarks.h"

#include "platform/apppaths.h"
#include "platform/atomicfile.h"
#include "platform/drivetable.h"
#include "platform/fileprobe.h"
#include "platform/hexdigit.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace zentrix::platform {
namespace {

constexpr size_t kMaxEntries = 1000;
constexpr size_t kMaxFileBytes = 1024 * 1024;

bool keptInUri(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return std::strchr("/-._~!$&'()*+,;=:@", c) != nullptr && c != '\0';
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
            if (c == '%' && i + 2 < line.size() && HexDigit(line[i + 1]) >= 0 &&
                HexDigit(line[i + 2]) >= 0) {
                c = static_cast<char>(HexDigit(line[i + 1]) * 16 + HexDigit(line[i + 2]));
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

std::string GtkBookmarkUri(std::string_view path) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string uri = "file://";
    uri.reserve(uri.size() + path.size());
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if (keptInUri(c)) {
            uri += ch;
        } else {
            uri += '%';
            uri += digits[c >> 4];
            uri += digits[c & 15];
        }
    }
    return uri;
}

std::string WithGtkBookmark(std::string_view text, std::string_view path, std::string_view label) {
    std::string result(text);
    const std::vector<std::string> listed = ParseGtkBookmarks(text);
    if (std::find(listed.begin(), listed.end(), path) != listed.end())
        return result;
    // A label is the rest of its line: a line end in it would make a second entry.
    std::string cleanLabel;
    for (const char ch : label)
        cleanLabel += static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f ? ' ' : ch;
    const size_t first = cleanLabel.find_first_not_of(' ');
    cleanLabel = first == std::string::npos
                     ? std::string()
                     : cleanLabel.substr(first, cleanLabel.find_last_not_of(' ') - first + 1);
    if (!result.empty() && result.back() != '\n')
        result += '\n';
    result += GtkBookmarkUri(path);
    if (!cleanLabel.empty())
        result += ' ' + cleanLabel;
    result += '\n';
    return result;
}

std::string GtkBookmarksPath() {
    return AppPaths::ConfigHome() + "/gtk-3.0/bookmarks";
}

std::vector<std::string> FavoriteDirectories(const DriveTable& drives) {
    std::vector<std::string> out;
    for (const std::string& host : ReadGtkBookmarks())
        if (auto path = drives.ToCataloguePath(host, true))
            out.push_back(std::move(*path));
    return out;
}

std::vector<std::string> ReadGtkBookmarks() {
    const auto text = ReadWholeFile(GtkBookmarksPath(), kMaxFileBytes);
    std::vector<std::string> paths = text ? ParseGtkBookmarks(*text) : std::vector<std::string>{};
    std::erase_if(paths, [](const std::string& path) { return !IsDirectory(path); });
    return paths;
}

void AddGtkBookmark(const std::string& path, std::string_view label) {
    const std::string file = GtkBookmarksPath();
    std::optional<std::string> text = ReadWholeFile(file, kMaxFileBytes);
    if (!text) {
        // A file that is there but cannot be read is never replaced: its
        // entries would be lost.
        struct stat st {};
        if (::stat(file.c_str(), &st) == 0 || errno != ENOENT)
            throw FileWriteError(file, "the bookmarks cannot be read");
        text.emplace();
    }
    const std::string updated = WithGtkBookmark(*text, path, label);
    if (updated != *text)
        WriteFileAtomically(file, updated, 0644);
}

} // namespace zentrix::platform
