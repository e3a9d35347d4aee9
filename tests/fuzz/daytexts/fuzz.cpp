// The tip and quote files: every text read is a non-empty line of the file of
// at most 255 characters, and a quote's parts come from its line.
#include "core/daytexts.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace zentrix;

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

size_t characters(const std::string& text) {
    size_t n = 0;
    for (const unsigned char c : text)
        n += (c & 0xC0) != 0x80;
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> texts = ReadDayTexts(file);
    check(texts.size() <= size);
    size_t read = 0;
    for (const std::string& text : texts) {
        check(!text.empty() && characters(text) <= 255);
        check(text.find('\n') == std::string::npos && text.find('\r') == std::string::npos);
        read += text.size();
        const QuoteParts quote = SplitQuote(text);
        check(quote.text.size() + quote.author.size() <= text.size());
        check(text.find(quote.text) != std::string::npos);
    }
    check(read <= size);
    const int count = static_cast<int>(texts.size());
    const int day = DayTextIndex(static_cast<long long>(size) * 7919, count);
    check(count == 0 ? day == 0 : day >= 0 && day < count);
    return 0;
}
