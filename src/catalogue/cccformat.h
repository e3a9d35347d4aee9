#pragma once

#include "catalogue/cccsizeencoding.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zentrix::ccc {

/// The value types of a CD-ROM catalogue cache (".ccc") file besides the
/// integers of cccsizeencoding.h. Every value starts with its type byte; all
/// multi-byte numbers are little-endian.
///
///   kText     (6)  one length byte, then the bytes     texts of 0 to 255 bytes
///   kLongText (12) 32-bit length, then the bytes       texts of 256 bytes or more
///   kReal     (5)  10-byte extended-precision number   (80-bit, x87 layout)
inline constexpr uint8_t kText = 6;
inline constexpr uint8_t kLongText = 12;
inline constexpr uint8_t kReal = 5;

/// The fixed byte every scrambled text starts its running exclusive-or from.
inline constexpr uint8_t kScrambleSeed = 0xA5;

/// Output byte i is the seed xor input bytes 0 to i; the length stays.
void Scramble(char* data, size_t size);
/// The inverse of Scramble.
void Unscramble(char* data, size_t size);

/// Milliseconds in a day; a date-time value counts days, the fraction the time.
inline constexpr int64_t kMsPerDay = 86400000;

/// The ten bytes of a date-time value: days since 30 December 1899 with the
/// time of day as the fraction, from milliseconds since that midnight. Before
/// that day the whole days count back and the fraction still counts forward
/// ("-1.25" is 29 December 1899, 06:00), the way date-time values have always
/// been written. Built from integers, so that the bytes are the same on every
/// machine whatever its own floating point.
std::array<uint8_t, 10> EncodeDateTime(int64_t msSince18991230);

/// The milliseconds a date-time value stands for (rounded to the nearest
/// millisecond); none for what no date can be: not a number, an infinity, or
/// beyond kMaxDays days either way.
std::optional<int64_t> DecodeDateTime(const uint8_t* tenBytes);
inline constexpr int64_t kMaxDays = 11000000;

/// Appends values in the file's encodings.
class Writer {
public:
    explicit Writer(std::string& out) : m_out(out) {}
    /// A text in the shorter encoding that holds it; scrambled when asked.
    void Text(std::string_view text, bool scrambled);
    void Integer(int64_t value) { AppendInteger(m_out, value); }
    void DateTime(int64_t msSince18991230);

private:
    std::string& m_out;
};

/// Reads values from a buffer it may change: scrambled texts are unscrambled
/// in place, so the views it returns point into the buffer. Every length is
/// checked against what is left; a failed read leaves the position unchanged.
class Reader {
public:
    Reader(char* data, size_t size) : m_data(data), m_size(size) {}

    std::optional<std::string_view> Text(bool scrambled);
    std::optional<int64_t> Integer();
    std::optional<int64_t> DateTime();

    size_t Position() const { return m_pos; }
    size_t Left() const { return m_size - m_pos; }

private:
    char* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

} // namespace zentrix::ccc
