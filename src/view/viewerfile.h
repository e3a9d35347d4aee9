#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace zentrix {

/// A file opened for viewing. It is read with pread, never mapped: another
/// program may truncate the file while it is shown, and a read past the new end
/// then simply comes back short instead of raising SIGBUS. Reads are safe from
/// several threads at once (the line index is built on a worker).
class ViewerFile {
public:
    /// Opens a host path for reading; none when it cannot be opened (`error`
    /// then holds the system's reason). Directories and other non-regular
    /// files that would block are refused.
    static std::unique_ptr<ViewerFile> Open(const std::string& hostPath,
                                            std::string* error = nullptr);
    ~ViewerFile();
    ViewerFile(const ViewerFile&) = delete;
    ViewerFile& operator=(const ViewerFile&) = delete;

    const std::string& Path() const { return m_path; }
    /// The size when opened or last refreshed.
    int64_t Size() const { return m_size; }
    /// Reads the size again (the file may have shrunk or grown); returns it.
    int64_t RefreshSize();

    /// Reads up to `count` bytes at `offset`; fewer at the end of the file (or
    /// when it was truncated meanwhile), 0 on errors.
    size_t Read(int64_t offset, void* buffer, size_t count) const;

private:
    ViewerFile(int fd, std::string path, int64_t size)
        : m_fd(fd), m_path(std::move(path)), m_size(size) {}

    int m_fd = -1;
    std::string m_path;
    int64_t m_size = 0;
};

} // namespace zentrix
