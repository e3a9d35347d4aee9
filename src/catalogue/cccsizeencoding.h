#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace zentrix::ccc {

/// How a CD-ROM catalogue cache (".ccc") file writes its integers. Every value
/// starts with a type byte; multi-byte numbers are little-endian. The three
/// original integer encodings stay exactly as they were, so every file written
/// for sizes under 2 GiB reads as before:
///
///   kInt8   (2) one signed byte         -128 .. 127
///   kInt16  (3) 16-bit signed           -32768 .. 32767 (otherwise)
///   kInt32  (4) 32-bit signed           any other value of 32 bits
///
/// A file of 2 GiB or more does not fit the 32-bit encoding, which would make
/// it read negative. Such a size is written with one more type byte:
///
///   kInt64 (19) 64-bit signed           any value beyond 32 bits
///
/// (19 is a type byte no other value of the format uses.) A reader accepts each
/// of the four wherever an integer stands; a writer always picks the shortest
/// that holds the value. A 2 GiB file thus costs 9 bytes instead of 5, and
/// files below 2 GiB are written exactly as before.
inline constexpr uint8_t kInt8 = 2;
inline constexpr uint8_t kInt16 = 3;
inline constexpr uint8_t kInt32 = 4;
inline constexpr uint8_t kInt64 = 19;

/// Appends the shortest encoding of `value` (type byte and number).
void AppendInteger(std::string& out, int64_t value);

struct DecodedInteger {
    int64_t value = 0;
    size_t length = 0; // bytes taken, type byte included
};

/// Reads an integer at the start of `data`; none when the type byte is not an
/// integer's or the bytes end before the number does.
std::optional<DecodedInteger> ReadInteger(const uint8_t* data, size_t size);

} // namespace zentrix::ccc
