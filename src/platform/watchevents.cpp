#include "platform/watchevents.h"

#include <cstring>
#include <sys/inotify.h>

namespace zentrix::platform {

namespace {

bool entryName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

} // namespace

bool WatchEvents::Read(const char* buffer, size_t length) {
    bool any = false;
    size_t pos = 0;
    while (length - pos >= sizeof(inotify_event)) {
        inotify_event e;
        std::memcpy(&e, buffer + pos, sizeof e);
        pos += sizeof e;
        if (e.len > length - pos)
            break;
        // The name is padded with NULs to its length.
        const char* name = buffer + pos;
        add(e.mask, e.wd, e.cookie, std::string(name, ::strnlen(name, e.len)));
        pos += e.len;
        any = true;
    }
    return any;
}

void WatchEvents::add(uint32_t mask, int wd, uint32_t cookie, std::string name) {
    const bool isDir = mask & IN_ISDIR;
    if (mask & IN_Q_OVERFLOW) {
        m_overflow = true;
        return;
    }
    if (mask & IN_IGNORED) {
        m_dropped.push_back(wd);
        return;
    }
    if (mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) {
        m_selfGone.push_back(wd);
        return;
    }
    if (!entryName(name))
        return;
    if (mask & IN_MOVED_FROM) {
        m_froms[cookie] = {wd, std::move(name), isDir};
        return;
    }
    if (mask & IN_MOVED_TO) {
        auto it = m_froms.find(cookie);
        if (it != m_froms.end()) {
            m_moves.push_back(
                {it->second.watch, std::move(it->second.name), wd, std::move(name), isDir});
            m_froms.erase(it);
            return;
        }
    }
    m_names[wd][std::move(name)] = isDir;
}

void WatchEvents::Deliver(WatchBatch& out) {
    for (auto& [cookie, from] : m_froms)
        m_names[from.watch][std::move(from.name)] = from.isDir;
    m_froms.clear();
    out.overflow = out.overflow || m_overflow;
    for (auto& m : m_moves)
        out.moves.push_back(std::move(m));
    for (auto& [watch, entries] : m_names)
        for (auto& [name, isDir] : entries)
            out.names.push_back({watch, name, isDir});
    out.selfGone.insert(out.selfGone.end(), m_selfGone.begin(), m_selfGone.end());
    out.dropped.insert(out.dropped.end(), m_dropped.begin(), m_dropped.end());
    m_names.clear();
    m_moves.clear();
    m_selfGone.clear();
    m_dropped.clear();
    m_overflow = false;
}

} // namespace zentrix::platform
