// What gio lists of the network and of its mounts fills the network browser
// and decides which mapped letters come back: whatever it prints, every entry
// names a URI of one line, and the readers stay linear in their input.
#include "ops/networkbrowser.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool oneLine(const std::string& s) {
    return s.find('\n') == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using zentrix::NetworkBrowser;
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const auto& entry : NetworkBrowser::ParseList(text)) {
        if (entry.uri.empty() || entry.name.empty() || !oneLine(entry.uri) ||
            !oneLine(entry.name) || !oneLine(entry.target) || entry.uri.size() > size ||
            entry.Location().find(':') == std::string::npos)
            std::abort();
        NetworkBrowser::CanOpen(entry.Location());
    }
    const auto mounts = NetworkBrowser::ParseMounts(text);
    for (const auto& uri : mounts) {
        if (!oneLine(uri) || uri.find("://") == std::string::npos)
            std::abort();
        if (!NetworkBrowser::SameLocation(uri, uri))
            std::abort();
    }
    return 0;
}
