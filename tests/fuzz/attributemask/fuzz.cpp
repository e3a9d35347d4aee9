// Attribute masks as typed ("+A-R", "-h +s", anything): every attribute word is
// judged as the tokens say, and a mask naming both signs of a letter matches
// nothing.
#include "filewindow/attributemask.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace zentrix;

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

bool hasToken(std::string_view text, char sign, char letter) {
    for (size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == sign && (text[i + 1] == letter || text[i + 1] == letter + 32))
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const AttributeMask mask(text);
    struct Letter {
        char letter;
        uint16_t bit;
    };
    const Letter letters[] = {{'A', AttributeMask::kArchive},
                              {'R', AttributeMask::kReadOnly},
                              {'S', AttributeMask::kSystem},
                              {'H', AttributeMask::kHidden}};
    // Which tokens the text holds, looked for once rather than per attribute word.
    bool plus[4], minus[4];
    bool contradictory = false;
    for (size_t i = 0; i < 4; ++i) {
        plus[i] = hasToken(text, '+', letters[i].letter);
        minus[i] = hasToken(text, '-', letters[i].letter);
        contradictory = contradictory || (plus[i] && minus[i]);
    }
    check(mask.Contradictory() == contradictory);
    for (uint32_t attributes = 0; attributes < 0x40; ++attributes) {
        bool expected = !contradictory;
        for (size_t i = 0; i < 4; ++i) {
            const bool set = (attributes & letters[i].bit) != 0;
            if ((plus[i] && !set) || (minus[i] && set))
                expected = false;
        }
        // Bits no letter names (directory, volume) never count.
        check(mask.Matches(static_cast<uint16_t>(attributes | 0xFF10)) == expected);
    }
    // What the box keeps of each typed character: the letters and signs only.
    for (const char c : text) {
        const auto kept = AttributeBoxChar(static_cast<unsigned char>(c));
        check(!kept || std::string_view("+-AHRS").find(*kept) != std::string_view::npos);
    }
    return 0;
}
