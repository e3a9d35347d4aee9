#include "binaryreader.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrix::fileinfo {

BinaryReader::BinaryReader(const std::string& path) {
    // O_NONBLOCK: a FIFO given by name must not hang the caller.
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st {};
    if (m_fd >= 0 && ::fstat(m_fd, &st) == 0 && S_ISREG(st.st_mode)) {
        m_size = static_cast<uint64_t>(st.st_size);
    } else if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

BinaryReader::~BinaryReader() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool BinaryReader::read(uint64_t offset, void* out, uint64_t count) const {
    if (m_fd < 0 || offset > m_size || count > m_size - offset)
        return false;
    auto* p = static_cast<char*>(out);
    while (count > 0) {
        const ssize_t n = ::pread(m_fd, p, count, static_cast<off_t>(offset));
        if (n <= 0)
            return false;
        p += n;
        offset += static_cast<uint64_t>(n);
        count -= static_cast<uint64_t>(n);
    }
    return true;
}

bool BinaryReader::u8(uint64_t offset, uint32_t& out) const {
    unsigned char b = 0;
    if (!read(offset, &b, 1))
        return false;
    out = b;
    return true;
}

bool BinaryReader::u16(uint64_t offset, uint32_t& out) const {
    unsigned char b[2];
    if (!read(offset, b, 2))
        return false;
    out = bigEndian ? (uint32_t(b[0]) << 8 | b[1]) : (uint32_t(b[1]) << 8 | b[0]);
    return true;
}

bool BinaryReader::u32(uint64_t offset, uint32_t& out) const {
    unsigned char b[4];
    if (!read(offset, b, 4))
        return false;
    out = bigEndian ? (uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3])
                    : (uint32_t(b[3]) << 24 | uint32_t(b[2]) << 16 | uint32_t(b[1]) << 8 | b[0]);
    return true;
}

bool BinaryReader::u64(uint64_t offset, uint64_t& out) const {
    uint32_t lo = 0, hi = 0;
    if (!u32(offset, bigEndian ? hi : lo) || !u32(offset + 4, bigEndian ? lo : hi))
        return false;
    out = uint64_t(hi) << 32 | lo;
    return true;
}

std::string BinaryReader::cString(uint64_t offset, size_t limit) const {
    // One read for the whole string (it may end at the end of the file).
    if (m_fd < 0 || offset >= m_size)
        return {};
    std::string out(static_cast<size_t>(std::min<uint64_t>(limit, m_size - offset)), '\0');
    if (!read(offset, out.data(), out.size()))
        return {};
    out.resize(std::min(out.find('\0'), out.size()));
    return out;
}

} // namespace zentrix::fileinfo
