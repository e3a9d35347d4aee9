#include "platform/fileuris.h"

#include "platform/hexdigit.h"

#include <cctype>
#include <cstring>

namespace zentrix::platform {
namespace {

bool keptInUri(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return c != '\0' && std::strchr("/-._~!$&'()*+,;=:@", c) != nullptr;
}

/// True for a path whose components are all names: no empty, "." or ".."
/// component (a trailing "/" is allowed).
bool plainComponents(std::string_view path) {
    if (path.empty() || path[0] != '/')
        return false;
    if (path == "/")
        return true;
    size_t pos = 1;
    while (pos <= path.size()) {
        size_t end = path.find('/', pos);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view part = path.substr(pos, end - pos);
        const bool last = end >= path.size() - 1;
        if ((part.empty() && !last) || part == "." || part == "..")
            return false;
        pos = end + 1;
    }
    return true;
}

/// The lines of a text (LF or CR LF), each passed to `line` until it says stop.
template <typename F> void forEachLine(std::string_view text, F&& line) {
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view one = text.substr(pos, end - pos);
        pos = end + 1;
        if (!one.empty() && one.back() == '\r')
            one.remove_suffix(1);
        if (!line(one))
            return;
    }
}

void addUris(std::string_view text, std::vector<std::string>& out) {
    forEachLine(text, [&out](std::string_view line) {
        if (line.empty() || line[0] == '#')
            return true;
        if (auto path = PathOfFileUri(line); path && plainComponents(*path)) {
            // "/dir/" names the directory.
            if (path->size() > 1 && path->back() == '/')
                path->pop_back();
            out.push_back(std::move(*path));
        }
        return out.size() < kMaxClipboardFiles;
    });
}

} // namespace

std::string FileUri(std::string_view path) {
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

std::optional<std::string> PathOfFileUri(std::string_view uri) {
    constexpr std::string_view scheme = "file://";
    if (uri.size() < scheme.size())
        return std::nullopt;
    for (size_t i = 0; i < scheme.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(uri[i])) != scheme[i])
            return std::nullopt;
    uri.remove_prefix(scheme.size());
    const size_t slash = uri.find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    const std::string_view host = uri.substr(0, slash);
    if (!host.empty() && host != "localhost")
        return std::nullopt;
    uri.remove_prefix(slash);
    std::string path;
    path.reserve(uri.size());
    for (size_t i = 0; i < uri.size(); ++i) {
        char c = uri[i];
        if (c == '%' && i + 2 < uri.size() && HexDigit(uri[i + 1]) >= 0 &&
            HexDigit(uri[i + 2]) >= 0) {
            c = static_cast<char>(HexDigit(uri[i + 1]) * 16 + HexDigit(uri[i + 2]));
            i += 2;
        }
        if (c == '\0')
            return std::nullopt;
        path += c;
    }
    return path;
}

std::vector<std::string> ParseUriList(std::string_view text) {
    std::vector<std::string> out;
    addUris(text, out);
    return out;
}

std::optional<ClipboardFiles> ParseGnomeCopiedFiles(std::string_view text) {
    const size_t end = text.find('\n');
    std::string_view first = text.substr(0, end);
    if (!first.empty() && first.back() == '\r')
        first.remove_suffix(1);
    ClipboardFiles files;
    if (first == "cut")
        files.cut = true;
    else if (first != "copy")
        return std::nullopt;
    if (end != std::string_view::npos)
        addUris(text.substr(end + 1), files.paths);
    return files;
}

std::string UriListText(const std::vector<std::string>& paths) {
    std::string text;
    for (const std::string& path : paths)
        text += FileUri(path) + "\r\n";
    return text;
}

std::string GnomeCopiedFilesText(const ClipboardFiles& files) {
    std::string text = files.cut ? "cut" : "copy";
    for (const std::string& path : files.paths)
        text += "\n" + FileUri(path);
    return text;
}

} // namespace zentrix::platform
