// User tool command lines from the settings file: the program part is a prefix
// of the line, and no argument is ever longer than the parameters with every
// placeholder filled could make it.
#include "config/usertools.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace zentrix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    // Every word that starts with "/" or has an extension counts as a program.
    const ToolProbe probe{[](const std::string& p) { return p.size() % 3 == 0; },
                          [](const std::string& p) {
                              return p.size() % 2 == 0;
                          }};
    const ToolCommand cmd = SplitToolCommand(line, probe);
    if (cmd.program.size() > line.size() || cmd.parameters.size() > line.size())
        std::abort();

    ToolContext ctx;
    ctx.file = "/a b/c'd\"e$f";
    ctx.name = "c'd\"e$f";
    ctx.directory = "/a b";
    ctx.tagged = {"/x y", "/z"};
    const auto args = ToolArguments(line, ctx);
    size_t total = 0;
    for (const std::string& a : args)
        total += a.size();
    // Each character of the line yields at most the longest value.
    if (total > line.size() * ctx.file.size() * ctx.tagged.size() + line.size())
        std::abort();
    return 0;
}
