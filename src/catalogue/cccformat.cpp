#include "catalogue/cccformat.h"

#include <cstring>

namespace zentrix::ccc {

namespace {

using u128 = unsigned __int128;

constexpr int kExponentBias = 16383;

int bitLength(uint64_t v) {
    return v == 0 ? 0 : 64 - __builtin_clzll(v);
}

// The nearest 80-bit value to numerator / kMsPerDay.
std::array<uint8_t, 10> encodeRatio(int64_t numerator) {
    std::array<uint8_t, 10> out{};
    if (numerator == 0)
        return out;
    const bool negative = numerator < 0;
    const uint64_t a = negative ? uint64_t(0) - static_cast<uint64_t>(numerator)
                                : static_cast<uint64_t>(numerator);
    // Scale so that the quotient has 64 or 65 bits; the day's length has 27.
    int shift = 91 - bitLength(a);
    const auto divide = [&](int s, u128& remainder) {
        const u128 scaled = u128(a) << s;
        remainder = scaled % kMsPerDay;
        return scaled / kMsPerDay;
    };
    u128 remainder = 0;
    u128 q = divide(shift, remainder);
    while (q >> 64) {
        --shift;
        q = divide(shift, remainder);
    }
    while (!(q >> 63)) { // cannot happen with the scale above; kept for safety
        ++shift;
        q = divide(shift, remainder);
    }
    if (remainder * 2 >= u128(kMsPerDay))
        ++q;
    if (q >> 64) { // rounding carried into a new bit
        q >>= 1;
        --shift;
    }
    const uint64_t mantissa = static_cast<uint64_t>(q);
    const int exponent = 63 - shift + kExponentBias;
    for (int i = 0; i < 8; ++i)
        out[static_cast<size_t>(i)] = static_cast<uint8_t>(mantissa >> (8 * i));
    const uint16_t signExp = static_cast<uint16_t>((negative ? 0x8000 : 0) | (exponent & 0x7FFF));
    out[8] = static_cast<uint8_t>(signExp & 0xFF);
    out[9] = static_cast<uint8_t>(signExp >> 8);
    return out;
}

uint32_t readLength32(const char* p) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(p[i]);
    return v;
}

} // namespace

void Scramble(char* data, size_t size) {
    uint8_t running = kScrambleSeed;
    for (size_t i = 0; i < size; ++i) {
        running ^= static_cast<uint8_t>(data[i]);
        data[i] = static_cast<char>(running);
    }
}

void Unscramble(char* data, size_t size) {
    uint8_t previous = kScrambleSeed;
    for (size_t i = 0; i < size; ++i) {
        const uint8_t c = static_cast<uint8_t>(data[i]);
        data[i] = static_cast<char>(c ^ previous);
        previous = c;
    }
}

std::array<uint8_t, 10> EncodeDateTime(int64_t ms) {
    int64_t day = ms / kMsPerDay;
    int64_t time = ms % kMsPerDay;
    if (time < 0) {
        time += kMsPerDay;
        --day;
    }
    if (day >= 0)
        return encodeRatio(ms);
    return encodeRatio(-((-day) * kMsPerDay + time));
}

std::optional<int64_t> DecodeDateTime(const uint8_t* b) {
    uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i)
        mantissa = (mantissa << 8) | b[i];
    const uint16_t signExp = static_cast<uint16_t>(b[8] | (b[9] << 8));
    const bool negative = signExp & 0x8000;
    const int exponent = signExp & 0x7FFF;
    if (exponent == 0x7FFF)
        return std::nullopt; // infinity or not a number
    if (mantissa == 0 || exponent == 0)
        return 0; // zero, or too small to be anything but midnight of day 0
    const int e = exponent - kExponentBias;
    if (e > 24) // 2^24 days is beyond kMaxDays
        return std::nullopt;
    // |value| * kMsPerDay = mantissa * kMsPerDay * 2^(e - 63), rounded.
    const int right = 63 - e;
    if (right >= 120)
        return 0;
    const u128 product = u128(mantissa) * kMsPerDay;
    const u128 total128 = (product + (u128(1) << (right - 1))) >> right;
    if (total128 > u128(kMaxDays) * kMsPerDay)
        return std::nullopt;
    const int64_t total = static_cast<int64_t>(total128);
    if (!negative)
        return total;
    const int64_t day = total / kMsPerDay;
    const int64_t time = total % kMsPerDay;
    return -day * kMsPerDay + time;
}

void Writer::Text(std::string_view text, bool scrambled) {
    if (text.size() < 256) {
        m_out.push_back(static_cast<char>(kText));
        m_out.push_back(static_cast<char>(text.size()));
    } else {
        m_out.push_back(static_cast<char>(kLongText));
        const uint32_t n = static_cast<uint32_t>(text.size());
        for (int i = 0; i < 4; ++i)
            m_out.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
    }
    const size_t at = m_out.size();
    m_out.append(text);
    if (scrambled)
        Scramble(m_out.data() + at, text.size());
}

void Writer::DateTime(int64_t ms) {
    m_out.push_back(static_cast<char>(kReal));
    const auto bytes = EncodeDateTime(ms);
    m_out.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::optional<std::string_view> Reader::Text(bool scrambled) {
    if (Left() < 2)
        return std::nullopt;
    const uint8_t type = static_cast<uint8_t>(m_data[m_pos]);
    size_t header = 0;
    size_t length = 0;
    if (type == kText) {
        header = 2;
        length = static_cast<uint8_t>(m_data[m_pos + 1]);
    } else if (type == kLongText) {
        if (Left() < 5)
            return std::nullopt;
        header = 5;
        length = readLength32(m_data + m_pos + 1);
    } else {
        return std::nullopt;
    }
    if (Left() - header < length)
        return std::nullopt;
    char* text = m_data + m_pos + header;
    if (scrambled)
        Unscramble(text, length);
    m_pos += header + length;
    return std::string_view(text, length);
}

std::optional<int64_t> Reader::Integer() {
    const auto decoded = ReadInteger(reinterpret_cast<const uint8_t*>(m_data + m_pos), Left());
    if (!decoded)
        return std::nullopt;
    m_pos += decoded->length;
    return decoded->value;
}

std::optional<int64_t> Reader::DateTime() {
    if (Left() < 11 || static_cast<uint8_t>(m_data[m_pos]) != kReal)
        return std::nullopt;
    const auto ms = DecodeDateTime(reinterpret_cast<const uint8_t*>(m_data + m_pos + 1));
    if (!ms)
        return std::nullopt;
    m_pos += 11;
    return ms;
}

} // namespace zentrix::ccc
