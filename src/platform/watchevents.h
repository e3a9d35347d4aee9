#pragma once

#include "platform/dirwatcher.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace zentrix::platform {

/// The events read from a watcher's queue, gathered until they settle: one
/// name per entry however often it changed, the two halves of a move paired
/// by their cookie. Names that could not name an entry of the directory
/// (empty, ".", "..", holding a "/") are dropped, so that nothing downstream
/// ever looks outside the directory watched.
class WatchEvents {
public:
    /// Takes the events of one read, laid out as the kernel gives them
    /// (`buffer` aligned for inotify_event). A truncated event at the end is
    /// ignored. True when anything was taken.
    bool Read(const char* buffer, size_t length);
    /// Hands over what was gathered (a move whose other end never came is a
    /// name that went) and starts afresh.
    void Deliver(WatchBatch& out);

private:
    struct From {
        int watch;
        std::string name;
        bool isDir;
    };
    void add(uint32_t mask, int wd, uint32_t cookie, std::string name);

    std::unordered_map<int, std::unordered_map<std::string, bool>> m_names;
    std::unordered_map<uint32_t, From> m_froms; // move-from events waiting for their move-to
    std::vector<WatchedMove> m_moves;
    std::vector<int> m_selfGone;
    std::vector<int> m_dropped;
    bool m_overflow = false;
};

} // namespace zentrix::platform
