// Any desktop entry of any application, opened with a file whose name a shell
// would take apart: the program is never the file or a field code, and the
// file is always passed whole, as one argument or inside one, never split.
#include "platform/fileuris.h"
#include "view/openwith.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

const std::string kFile = "/tmp/it's \"q\" $HOME;rm -rf ~ `id` %f %U\n-x.txt";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zentrix;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto parts = SplitExec(text))
        if (parts->empty() || parts->front().empty())
            std::abort();
    auto app = ParseDesktopApplication(text);
    if (!app) {
        // The same bytes as an Exec line of their own.
        app.emplace();
        app->exec = std::string(text);
        app->name = "Name %f";
        app->icon = "icon";
    }
    const auto argv = OpenWithArguments(*app, kFile);
    if (!argv)
        return 0;
    if (argv->empty() || argv->front().find(kFile) != std::string::npos)
        std::abort();
    const bool whole = std::any_of(argv->begin(), argv->end(), [](const std::string& arg) {
        return arg.find(kFile) != std::string::npos;
    });
    const std::string uri = platform::FileUri(kFile);
    const bool asUri = std::any_of(argv->begin(), argv->end(), [&uri](const std::string& arg) {
        return arg.find(uri) != std::string::npos;
    });
    if (!whole && !asUri)
        std::abort();
    return 0;
}
