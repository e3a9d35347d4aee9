#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zentrix::platform {

/// A file written only at its end, in whole records (the undo journal). Each
/// Append is one write under an exclusive lock, so that two programs appending
/// to it never mix their lines, and a write that falls short (a full disk) is
/// cut back, so that no half record stays. Owns its descriptor.
class AppendFile {
public:
    AppendFile() = default;
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    /// Opens the file for appending, creating it (mode 0600) and its missing
    /// directories. 0 or the errno.
    int Open(const std::string& path);
    bool IsOpen() const { return m_fd >= 0; }
    void Close();

    /// Appends `bytes`, with `header` before them when the file is empty. Sets
    /// where `bytes` went: [begin, end). 0 or the errno.
    int Append(const std::string& bytes, const std::string& header, uint64_t& begin, uint64_t& end);
    /// The data on the disk. 0 or the errno.
    int Sync();

private:
    int m_fd = -1;
};

/// Cuts a file back to its first `size` bytes. 0 or the errno.
int TruncateFileTo(const std::string& path, uint64_t size);

/// The bytes [begin, end) of a file; none when they cannot be read whole.
std::optional<std::string> ReadFileRange(const std::string& path, uint64_t begin, uint64_t end);

} // namespace zentrix::platform
