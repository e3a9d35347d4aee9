// Another program's clipboard or drop: text/uri-list and
// x-special/gnome-copied-files of any bytes. Every file read from them is an
// absolute path without NUL and without "." or ".." or empty components, the
// list is bounded, and each list written back reads as the same list.
#include "platform/fileuris.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void checkPaths(const std::vector<std::string>& paths) {
    using namespace zentrix::platform;
    if (paths.size() > kMaxClipboardFiles)
        std::abort();
    for (const std::string& path : paths) {
        if (path.empty() || path[0] != '/' || path.find('\0') != std::string::npos)
            std::abort();
        if (path != "/" && path.back() == '/')
            std::abort();
        if (path.find("//") != std::string::npos || path.find("/./") != std::string::npos ||
            path.find("/../") != std::string::npos || path.ends_with("/.") ||
            path.ends_with("/.."))
            std::abort();
    }
    if (ParseUriList(UriListText(paths)) != paths)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zentrix::platform;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkPaths(ParseUriList(text));
    if (const auto files = ParseGnomeCopiedFiles(text)) {
        checkPaths(files->paths);
        const auto again = ParseGnomeCopiedFiles(GnomeCopiedFilesText(*files));
        if (!again || again->cut != files->cut || again->paths != files->paths)
            std::abort();
    }
    if (const auto path = PathOfFileUri(text)) {
        if (path->find('\0') != std::string::npos || (!path->empty() && (*path)[0] != '/'))
            std::abort();
        if (PathOfFileUri(FileUri(*path)) != path)
            std::abort();
    }
    return 0;
}
