#pragma once

#include <string>
#include <vector>

namespace zentrix {

/// The directory last shown on each disk: at most one path per disk, kept
/// sorted, found by the path's first character without regard to case.
class LastDirList {
public:
    /// Replaces the disk's entry by this path.
    void Set(const std::string& path);
    /// The disk's entry, or an empty text.
    std::string Get(char letter) const;
    void Forget(char letter);
    const std::vector<std::string>& Entries() const { return m_entries; }

private:
    std::vector<std::string> m_entries;
};

} // namespace zentrix
