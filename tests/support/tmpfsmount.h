#pragma once

#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace zentrix::test {

/// A small tmpfs mounted on an existing directory for the lifetime of the
/// object. Needs root: check mounted() and skip the test with the reason when
/// it is false. A tmpfs lists a directory in the order its entries were made
/// (or in the reverse order, by kernel version), so a test can know the order.
class TmpfsMount {
public:
    explicit TmpfsMount(const std::string& directory) : m_directory(directory) {
        if (::geteuid() != 0) {
            m_reason = "mounting a tmpfs needs root";
            return;
        }
        if (::mount("tmpfs", directory.c_str(), "tmpfs", 0, "size=16m") != 0) {
            m_reason = "a tmpfs cannot be mounted here";
            return;
        }
        m_mounted = true;
    }
    ~TmpfsMount() {
        if (m_mounted)
            ::umount2(m_directory.c_str(), MNT_DETACH);
    }
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    bool mounted() const { return m_mounted; }
    const std::string& reason() const { return m_reason; }

private:
    std::string m_directory;
    std::string m_reason;
    bool m_mounted = false;
};

} // namespace zentrix::test
