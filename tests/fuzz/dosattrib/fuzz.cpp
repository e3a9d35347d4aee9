// user.DOSATTRIB values come from any file of a Samba share: reading one must
// never go past its end, and writing an attribute word into one must give a
// value that reads back as that word.
#include "platform/attributes.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string value(reinterpret_cast<const char*>(data), size);
    uint32_t old = 0;
    zentrix::platform::ParseDosAttrib(data, size, old);
    const uint32_t wanted = (old ^ 0x27u) & 0xFFFFu;
    const std::string out = zentrix::platform::ReplaceDosAttrib(value, wanted);
    uint32_t back = 0;
    if (!zentrix::platform::ParseDosAttrib(reinterpret_cast<const unsigned char*>(out.data()),
                                           out.size(), back) ||
        back != wanted)
        std::abort();
    return 0;
}
