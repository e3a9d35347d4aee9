#include "platform/trashinfo.h"

#include "platform/hexdigit.h"

namespace zentrix::platform {
namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

/// Every component of a path is a name: none empty, "." or "..".
bool plainComponents(std::string_view path) {
    if (!path.empty() && path.front() == '/')
        path.remove_prefix(1);
    if (path.empty())
        return false;
    size_t pos = 0;
    for (;;) {
        const size_t slash = path.find('/', pos);
        const std::string_view part =
            path.substr(pos, slash == std::string_view::npos ? slash : slash - pos);
        if (part.empty() || part == "." || part == "..")
            return false;
        if (slash == std::string_view::npos)
            return true;
        pos = slash + 1;
    }
}

bool digits(std::string_view s) {
    for (const char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

/// "YYYY-MM-DDThh:mm:ss" with plausible numbers.
bool validDate(std::string_view d) {
    if (d.size() != 19 || d[4] != '-' || d[7] != '-' || d[10] != 'T' || d[13] != ':' ||
        d[16] != ':')
        return false;
    if (!digits(d.substr(0, 4)) || !digits(d.substr(5, 2)) || !digits(d.substr(8, 2)) ||
        !digits(d.substr(11, 2)) || !digits(d.substr(14, 2)) || !digits(d.substr(17, 2)))
        return false;
    auto two = [&](size_t at) {
        return (d[at] - '0') * 10 + (d[at + 1] - '0');
    };
    return two(5) >= 1 && two(5) <= 12 && two(8) >= 1 && two(8) <= 31 && two(11) <= 23 &&
           two(14) <= 59 && two(17) <= 60;
}

} // namespace

bool PercentDecode(std::string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return false;
        const int hi = HexDigit(text[i + 1]);
        const int lo = HexDigit(text[i + 2]);
        if (hi < 0 || lo < 0)
            return false;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return true;
}

std::optional<TrashInfo> ParseTrashInfo(std::string_view text) {
    bool inGroup = false;
    bool seenGroup = false;
    std::optional<std::string_view> rawPath;
    std::optional<std::string_view> rawDate;
    size_t pos = 0;
    while (pos <= text.size()) {
        const size_t end = std::min(text.find('\n', pos), text.size());
        const std::string_view line = trimmed(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            // The description's own group comes once; keys of any other group
            // are not the item's.
            inGroup = line == "[Trash Info]" && !seenGroup;
            seenGroup = seenGroup || inGroup;
            continue;
        }
        if (!inGroup)
            continue;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        const std::string_view key = trimmed(line.substr(0, eq));
        const std::string_view value = trimmed(line.substr(eq + 1));
        // A key given twice keeps its first value, as other readers do.
        if (key == "Path" && !rawPath)
            rawPath = value;
        else if (key == "DeletionDate" && !rawDate)
            rawDate = value;
    }
    if (!rawPath)
        return std::nullopt;
    TrashInfo info;
    if (!PercentDecode(*rawPath, info.path) || info.path.find('\0') != std::string::npos ||
        !plainComponents(info.path))
        return std::nullopt;
    if (rawDate && validDate(*rawDate))
        info.deletionDate = std::string(*rawDate);
    return info;
}

} // namespace zentrix::platform
