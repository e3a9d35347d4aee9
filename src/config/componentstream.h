#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrix {

/// Writes values in the component stream encoding of the stored shortcut and
/// button lists and of shortcut templates (little-endian): an integer is a
/// type byte and its value (2 and one signed byte for -128..127, 3 and 16 bits
/// for -32768..32767, otherwise 4 and 32 bits); a string of up to 255 bytes is
/// 6, a length byte and the bytes, a longer one 12, a 32-bit length and the bytes.
class ComponentStreamWriter {
public:
    void WriteInteger(int32_t value);
    void WriteString(std::string_view text);
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

/// Reads the same encoding. Each read gives none when the next value is of
/// another type or runs past the end; the position then stays where it was.
class ComponentStreamReader {
public:
    explicit ComponentStreamReader(const std::vector<uint8_t>& bytes) : m_bytes(bytes) {}

    std::optional<int32_t> ReadInteger();
    std::optional<std::string> ReadString();
    bool AtEnd() const { return m_pos >= m_bytes.size(); }
    size_t Remaining() const { return m_bytes.size() - m_pos; }

private:
    bool take(size_t count, uint64_t& value);

    const std::vector<uint8_t>& m_bytes;
    size_t m_pos = 0;
};

} // namespace zentrix
