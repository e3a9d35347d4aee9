#pragma once

#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrix::test {

/// A small tmpfs (or another memory file system, such as ramfs, which keeps no
/// extended attributes) mounted on a directory for the lifetime of the object;
/// the directory is made when missing. Needs root: check mounted() and skip
/// the test with the reason when it is false. A tmpfs lists a directory in the
/// order its entries were made (or in the reverse order, by kernel version), so
/// a test can know the order.
class TmpfsMount {
public:
    explicit TmpfsMount(const std::string& directory, const std::string& options = "size=16m",
                        const std::string& type = "tmpfs")
        : m_directory(directory) {
        ::mkdir(directory.c_str(), 0755);
        if (::geteuid() != 0) {
            m_reason = "mounting a " + type + " needs root";
            return;
        }
        if (::mount(type.c_str(), directory.c_str(), type.c_str(), 0, options.c_str()) != 0) {
            m_reason = "a " + type + " cannot be mounted here";
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
    bool remountReadOnly() {
        return ::mount("none", m_directory.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    std::string m_directory;
    std::string m_reason;
    bool m_mounted = false;
};

} // namespace zentrix::test
