#include "catalogue/lastdirlist.h"

#include <algorithm>
#include <cctype>

namespace zentrix {
namespace {

bool sameDisk(const std::string& path, char letter) {
    return !path.empty() && std::toupper(static_cast<unsigned char>(path[0])) ==
                                std::toupper(static_cast<unsigned char>(letter));
}

} // namespace

void LastDirList::Set(const std::string& path) {
    if (path.empty())
        return;
    Forget(path[0]);
    m_entries.insert(std::lower_bound(m_entries.begin(), m_entries.end(), path), path);
}

std::string LastDirList::Get(char letter) const {
    for (const auto& e : m_entries)
        if (sameDisk(e, letter))
            return e;
    return {};
}

void LastDirList::Forget(char letter) {
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [&](const std::string& e) { return sameDisk(e, letter); }),
                    m_entries.end());
}

} // namespace zentrix
