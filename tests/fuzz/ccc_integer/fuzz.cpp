// Integers of a CD-ROM catalogue cache file: any bytes are read without harm,
// and whatever is read is written back the same way, as short as it can be.
#include "catalogue/cccsizeencoding.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    size_t pos = 0;
    while (pos < size) {
        const auto read = zentrix::ccc::ReadInteger(data + pos, size - pos);
        if (!read) {
            ++pos;
            continue;
        }
        if (read->length < 2 || read->length > size - pos)
            std::abort();
        std::string again;
        zentrix::ccc::AppendInteger(again, read->value);
        const auto back =
            zentrix::ccc::ReadInteger(reinterpret_cast<const uint8_t*>(again.data()), again.size());
        if (!back || back->value != read->value || back->length != again.size() ||
            back->length > read->length)
            std::abort();
        pos += read->length;
    }
    return 0;
}
