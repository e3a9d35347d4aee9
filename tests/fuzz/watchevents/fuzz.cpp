// The events of a watcher's queue: whatever the bytes, every name handed on
// names an entry of the directory watched, and what was delivered is gone.
#include "platform/watchevents.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool entryName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zentrix::platform;
    std::vector<uint64_t> aligned(size / sizeof(uint64_t) + 1);
    if (size > 0)
        std::memcpy(aligned.data(), data, size);
    WatchEvents events;
    events.Read(reinterpret_cast<const char*>(aligned.data()), size);
    WatchBatch batch;
    events.Deliver(batch);
    for (const WatchedName& n : batch.names)
        if (!entryName(n.name))
            std::abort();
    for (const WatchedMove& m : batch.moves)
        if (!entryName(m.fromName) || !entryName(m.toName))
            std::abort();
    WatchBatch again;
    events.Deliver(again);
    if (!again.Empty())
        std::abort();
    return 0;
}
