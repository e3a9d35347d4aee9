#pragma once

#include <cstdint>
#include <string>

namespace zentrix::test {

/// A temporary directory that is removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    /// path() + "/" + relative
    std::string at(const std::string& relative) const;

    /// Creates a directory (with missing parents).
    void mkdir(const std::string& relative) const;
    /// Creates or replaces a file with the given bytes (parents made as needed).
    void write(const std::string& relative, const std::string& content = {}) const;
    /// Creates a sparse file of the given size.
    void sparse(const std::string& relative, uint64_t size) const;
    /// Sets a file's modification time (seconds since 1970).
    void touch(const std::string& relative, int64_t unixSeconds) const;
    void symlink(const std::string& target, const std::string& relative) const;
    void remove(const std::string& relative) const;
    void chmod(const std::string& relative, unsigned mode) const;

private:
    std::string m_path;
};

/// Removes a tree of the file system (no error when it is gone).
void RemoveTree(const std::string& path);

} // namespace zentrix::test
