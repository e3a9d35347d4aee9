#include "catalogue/cccsizeencoding.h"

namespace zentrix::ccc {

namespace {

void appendLittleEndian(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

uint64_t readLittleEndian(const uint8_t* data, int bytes) {
    uint64_t value = 0;
    for (int i = bytes; i-- > 0;)
        value = (value << 8) | data[i];
    return value;
}

// Sign-extends the low `bytes` bytes of a value.
int64_t signExtend(uint64_t value, int bytes) {
    if (bytes == 8)
        return static_cast<int64_t>(value);
    const uint64_t sign = uint64_t(1) << (8 * bytes - 1);
    return static_cast<int64_t>((value ^ sign) - sign);
}

} // namespace

void AppendInteger(std::string& out, int64_t value) {
    if (value >= INT8_MIN && value <= INT8_MAX) {
        out.push_back(static_cast<char>(kInt8));
        appendLittleEndian(out, static_cast<uint64_t>(value), 1);
    } else if (value >= INT16_MIN && value <= INT16_MAX) {
        out.push_back(static_cast<char>(kInt16));
        appendLittleEndian(out, static_cast<uint64_t>(value), 2);
    } else if (value >= INT32_MIN && value <= INT32_MAX) {
        out.push_back(static_cast<char>(kInt32));
        appendLittleEndian(out, static_cast<uint64_t>(value), 4);
    } else {
        out.push_back(static_cast<char>(kInt64));
        appendLittleEndian(out, static_cast<uint64_t>(value), 8);
    }
}

std::optional<DecodedInteger> ReadInteger(const uint8_t* data, size_t size) {
    if (!data || size == 0)
        return std::nullopt;
    int bytes = 0;
    switch (data[0]) {
    case kInt8:
        bytes = 1;
        break;
    case kInt16:
        bytes = 2;
        break;
    case kInt32:
        bytes = 4;
        break;
    case kInt64:
        bytes = 8;
        break;
    default:
        return std::nullopt;
    }
    if (size - 1 < static_cast<size_t>(bytes))
        return std::nullopt;
    return DecodedInteger{signExtend(readLittleEndian(data + 1, bytes), bytes),
                          static_cast<size_t>(bytes) + 1};
}

} // namespace zentrix::ccc
