// The GTK bookmarks file is written by any desktop program: every entry must
// come out as an absolute path without a NUL byte, and the list stays bounded.
// Adding an entry keeps every byte of the others, and each path read comes
// back unchanged from the URI written for it.
#include "platform/gtkbookmarks.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

constexpr std::string_view kAdded = "/home/user/new dir/\xc3\xa9t\xc3\xa9 %20#?";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zentrix::platform;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto paths = ParseGtkBookmarks(text);
    if (paths.size() > 1000)
        std::abort();
    for (const auto& path : paths) {
        if (path.empty() || path[0] != '/' || path.find('\0') != std::string::npos)
            std::abort();
        const auto again = ParseGtkBookmarks(GtkBookmarkUri(path) + " label\n");
        if (again.size() != 1 || again[0] != path)
            std::abort();
    }

    // The same text as a label: it may not add a second line.
    const std::string updated = WithGtkBookmark(text, kAdded, text);
    if (updated.compare(0, text.size(), text) != 0)
        std::abort();
    const std::string_view tail = std::string_view(updated).substr(text.size());
    const size_t lineEnd = tail.find('\n', tail.empty() || tail[0] != '\n' ? 0 : 1);
    if (!tail.empty() && lineEnd != tail.size() - 1)
        std::abort();
    if (paths.size() < 1000) {
        const auto after = ParseGtkBookmarks(updated);
        if (after.empty() || (after.back() != kAdded &&
                              std::find(paths.begin(), paths.end(), kAdded) == paths.end()))
            std::abort();
    }
    return 0;
}
