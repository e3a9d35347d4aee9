#include "config/componentstream.h"

namespace zentrix {
namespace {

enum : uint8_t { vaInt8 = 2, vaInt16 = 3, vaInt32 = 4, vaString = 6, vaLString = 12 };

} // namespace

void ComponentStreamWriter::WriteInteger(int32_t value) {
    auto put = [this](uint32_t bits, int bytes) {
        for (int i = 0; i < bytes; ++i)
            m_bytes.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    };
    if (value >= -128 && value <= 127) {
        m_bytes.push_back(vaInt8);
        put(static_cast<uint32_t>(value), 1);
    } else if (value >= -32768 && value <= 32767) {
        m_bytes.push_back(vaInt16);
        put(static_cast<uint32_t>(value), 2);
    } else {
        m_bytes.push_back(vaInt32);
        put(static_cast<uint32_t>(value), 4);
    }
}

void ComponentStreamWriter::WriteString(std::string_view text) {
    if (text.size() <= 255) {
        m_bytes.push_back(vaString);
        m_bytes.push_back(static_cast<uint8_t>(text.size()));
    } else {
        m_bytes.push_back(vaLString);
        const auto n = static_cast<uint32_t>(text.size());
        for (int i = 0; i < 4; ++i)
            m_bytes.push_back(static_cast<uint8_t>(n >> (8 * i)));
    }
    m_bytes.insert(m_bytes.end(), text.begin(), text.end());
}

bool ComponentStreamReader::take(size_t count, uint64_t& value) {
    if (Remaining() < count)
        return false;
    value = 0;
    for (size_t i = 0; i < count; ++i)
        value |= static_cast<uint64_t>(m_bytes[m_pos + i]) << (8 * i);
    m_pos += count;
    return true;
}

std::optional<int32_t> ComponentStreamReader::ReadInteger() {
    if (AtEnd())
        return std::nullopt;
    const size_t start = m_pos;
    const uint8_t type = m_bytes[m_pos++];
    uint64_t v = 0;
    switch (type) {
    case vaInt8:
        if (take(1, v))
            return static_cast<int8_t>(v);
        break;
    case vaInt16:
        if (take(2, v))
            return static_cast<int16_t>(v);
        break;
    case vaInt32:
        if (take(4, v))
            return static_cast<int32_t>(static_cast<uint32_t>(v));
        break;
    default:
        break;
    }
    m_pos = start;
    return std::nullopt;
}

std::optional<std::string> ComponentStreamReader::ReadString() {
    if (AtEnd())
        return std::nullopt;
    const size_t start = m_pos;
    const uint8_t type = m_bytes[m_pos++];
    uint64_t length = 0;
    const bool ok = (type == vaString && take(1, length)) || (type == vaLString && take(4, length));
    if (ok && length <= Remaining()) {
        std::string text(m_bytes.begin() + static_cast<std::ptrdiff_t>(m_pos),
                         m_bytes.begin() + static_cast<std::ptrdiff_t>(m_pos + length));
        m_pos += length;
        return text;
    }
    m_pos = start;
    return std::nullopt;
}

} // namespace zentrix
