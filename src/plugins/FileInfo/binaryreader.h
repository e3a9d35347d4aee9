#pragma once

#include <cstdint>
#include <string>

namespace zentrix::fileinfo {

/// Bounded little- or big-endian reads from a file that may be truncated or
/// hostile: a read outside the file fails instead of giving garbage.
class BinaryReader {
public:
    explicit BinaryReader(const std::string& path);
    ~BinaryReader();
    BinaryReader(const BinaryReader&) = delete;
    BinaryReader& operator=(const BinaryReader&) = delete;

    bool ok() const { return m_fd >= 0; }
    uint64_t size() const { return m_size; }
    bool bigEndian = false;

    bool read(uint64_t offset, void* out, uint64_t count) const;
    bool u8(uint64_t offset, uint32_t& out) const;
    bool u16(uint64_t offset, uint32_t& out) const;
    bool u32(uint64_t offset, uint32_t& out) const;
    bool u64(uint64_t offset, uint64_t& out) const;
    /// A NUL-terminated string of at most `limit` bytes.
    std::string cString(uint64_t offset, size_t limit) const;

private:
    int m_fd = -1;
    uint64_t m_size = 0;
};

} // namespace zentrix::fileinfo
