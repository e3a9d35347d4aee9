#include "ops/freename.h"

#include "platform/hostname.h"

#include <cerrno>
#include <ctime>

namespace zentrix {
namespace {

// How many numbered names are tried before giving up.
constexpr int kLastNumber = 9999;

} // namespace

std::string FreeNumberedName(const platform::DirHandle& dir, const std::string& name,
                             const std::atomic<bool>* stop) {
    const size_t limit = dir.NameMax();
    const size_t dot = name.find_last_of('.');
    // An extension too long to leave room for a number is part of the stem.
    const bool hasExt = dot != std::string::npos && dot > 0 && name.size() - dot + 16 < limit;
    const std::string stem = hasExt ? name.substr(0, dot) : name;
    const std::string ext = hasExt ? name.substr(dot) : std::string();
    for (int n = 2; n <= kLastNumber && !(stop && *stop); ++n) {
        const std::string suffix = " (" + std::to_string(n) + ")" + ext;
        std::string candidate = std::string(platform::NamePrefix(stem, limit - suffix.size()));
        candidate += suffix;
        platform::EntryStat st;
        const int e = dir.Stat(candidate, st);
        if (e == ENOENT)
            return candidate;
        if (e != 0)
            return {};
    }
    return {};
}

std::string FreeNumberedName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    platform::DirHandle dir;
    if (platform::DirHandle::Open(slash == 0 ? "/" : path.substr(0, slash), dir) != 0)
        return {};
    return FreeNumberedName(dir, path.substr(slash + 1));
}

std::string EntrySizeText(const platform::EntryStat& st) {
    if (st.kind == platform::EntryKind::Directory)
        return "directory";
    return std::to_string(st.size) + " bytes";
}

std::string EntryDateText(int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    ::localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

} // namespace zentrix
