#include "platform/gtkbookmarks.h"

#include "platform/apppaths.h"
#include "platform/atomicfile.h"
#include "platform/drivetable.h"
#include "platform/fileprobe.h"
#include "platform/fileuris.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace zentrix::platform {
namespace {

constexpr size_t kMaxEntries = 1000;
constexpr size_t kMaxFileBytes = 1024 * 1024;

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
        if (auto path = PathOfFileUri(line); path && !path->empty())
            out.push_back(std::move(*path));
    }
    return out;
}

std::string GtkBookmarkUri(std::string_view path) {
    return FileUri(path);
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

std::vector<std::string> ParseUserDirs(std::string_view text, const std::string& home) {
    // The keys in the order the favorites list them.
    static constexpr std::string_view kKeys[] = {"DESKTOP", "DOCUMENTS", "DOWNLOAD",
                                                 "MUSIC",   "PICTURES",  "VIDEOS"};
    constexpr size_t kCount = std::size(kKeys);
    std::optional<std::string> found[kCount];
    std::string bareHome = home;
    while (bareHome.size() > 1 && bareHome.back() == '/')
        bareHome.pop_back();
    auto skipBlanks = [](std::string_view& s) {
        while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
            s.remove_prefix(1);
    };
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        skipBlanks(line);
        if (!line.starts_with("XDG_"))
            continue;
        line.remove_prefix(4);
        size_t key = kCount;
        for (size_t k = 0; k < kCount; ++k)
            if (line.starts_with(kKeys[k]) && line.substr(kKeys[k].size()).starts_with("_DIR")) {
                key = k;
                line.remove_prefix(kKeys[k].size() + 4);
                break;
            }
        if (key == kCount || found[key])
            continue;
        skipBlanks(line);
        if (!line.starts_with('='))
            continue;
        line.remove_prefix(1);
        skipBlanks(line);
        if (!line.starts_with('"'))
            continue;
        line.remove_prefix(1);
        std::string path;
        if (line.starts_with("$HOME") && (line.size() == 5 || line[5] == '/' || line[5] == '"')) {
            line.remove_prefix(5);
            path = bareHome == "/" ? std::string() : bareHome;
        } else if (!line.starts_with('/')) {
            continue;
        }
        bool closed = false;
        bool bad = false;
        for (size_t i = 0; i < line.size() && !closed; ++i) {
            char c = line[i];
            if (c == '"') {
                closed = true;
                break;
            }
            if (c == '\\' && i + 1 < line.size())
                c = line[++i];
            if (c == '\0' || c == '\r') {
                bad = true;
                break;
            }
            path += c;
        }
        if (!closed || bad)
            continue;
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        if (path.empty())
            path.push_back('/');
        // A directory set to the home directory is switched off.
        found[key] = path == bareHome ? std::string() : path;
    }
    if (!found[0])
        found[0] = (bareHome == "/" ? std::string() : bareHome) + "/Desktop";
    std::vector<std::string> out;
    for (auto& dir : found)
        if (dir && !dir->empty())
            out.push_back(std::move(*dir));
    return out;
}

std::vector<std::string> ReadUserDirs() {
    const std::string home = AppPaths::Home();
    std::vector<std::string> dirs{home};
    const auto text = ReadWholeFile(AppPaths::ConfigHome() + "/user-dirs.dirs", kMaxFileBytes);
    for (std::string& dir : ParseUserDirs(text ? *text : std::string(), home))
        dirs.push_back(std::move(dir));
    std::erase_if(dirs, [](const std::string& path) { return !IsDirectory(path); });
    return dirs;
}

std::vector<std::string> FavoriteDirectories(const DriveTable& drives) {
    std::vector<std::string> out;
    auto add = [&](const std::string& host) {
        auto path = drives.ToCataloguePath(host, true);
        if (path && std::find(out.begin(), out.end(), *path) == out.end())
            out.push_back(std::move(*path));
    };
    for (const std::string& host : ReadGtkBookmarks())
        add(host);
    for (const std::string& host : ReadUserDirs())
        add(host);
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
