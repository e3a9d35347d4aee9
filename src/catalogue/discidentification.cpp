#include "catalogue/discidentification.h"

#include "platform/dirlisting.h"

#include <array>

namespace zentrix {

namespace {

constexpr std::array<uint32_t, 256> makeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kCrcTable = makeCrcTable();

} // namespace

uint32_t DiscLabelCrc(std::string_view label) {
    std::array<uint8_t, 14> buffer{};
    for (size_t i = 0; i < buffer.size() && i < label.size(); ++i)
        buffer[i] = static_cast<uint8_t>(label[i]);
    uint32_t crc = 0;
    for (const uint8_t b : buffer)
        crc = kCrcTable[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return crc;
}

std::optional<uint32_t> DiscIdentificationValue(std::string_view label,
                                                const std::string& hostRoot) {
    platform::DirListing listing(platform::AttrSource::Posix, platform::StatMode::All);
    if (!listing.Open(hostRoot))
        return std::nullopt;
    uint32_t value = DiscLabelCrc(label);
    platform::DirEntry e;
    while (listing.Next(e)) {
        if (e.hostName == "." || e.hostName == "..")
            continue;
        // The listing record's reserved word adds nothing here: this system has none.
        value += static_cast<uint32_t>(static_cast<uint64_t>(e.lastWriteTime));
        for (const char c : e.hostName)
            value += static_cast<uint8_t>(c);
    }
    if (listing.Failed())
        return std::nullopt; // a listing cut short would give another disc's identification
    return value;
}

std::string DiscIdentificationText(uint32_t value) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out(8, '0');
    for (int i = 7; i >= 0; --i) {
        out[static_cast<size_t>(i)] = digits[value & 0xF];
        value >>= 4;
    }
    return out;
}

} // namespace zentrix
