#pragma once

#include <string_view>
#include <sys/types.h>

namespace zentrix::platform {

/// Tells, for the subdirectories of one open directory, whether each may have
/// subdirectories of its own. File systems that keep a directory's link count
/// at 2 plus its subdirectories (ext2/3/4, XFS, tmpfs, F2FS, JFS, ReiserFS,
/// ramfs) say "none" with a count of 2; everywhere else, and for links and
/// mount points, every subdirectory may have some. One fstatfs for the
/// directory, one fstatat per subdirectory asked about. Does not own `dirFd`.
class SubdirHint {
public:
    explicit SubdirHint(int dirFd);
    /// False only when the subdirectory `hostName` surely has no subdirectory.
    bool MayHaveSubdirs(std::string_view hostName) const;

private:
    int m_fd;
    bool m_trusted = false;
    dev_t m_device = 0;
};

} // namespace zentrix::platform
