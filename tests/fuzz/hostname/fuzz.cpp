// Host names from any directory listing: escaping must be reversible for every
// byte string, the escaped form must never hold a backslash, and a name that is
// taken as it is must be exactly one that escaping leaves alone.
#include "platform/hostname.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string host(reinterpret_cast<const char*>(data), size);
    const std::string shown = zentrix::platform::EscapeHostName(host);
    if (shown.find('\\') != std::string::npos)
        std::abort();
    if (zentrix::platform::UnescapeName(shown) != host)
        std::abort();
    if (zentrix::platform::IsPlainHostName(host) != (shown == host))
        std::abort();
    return 0;
}
