// gio's questions while it mounts a share, and the share's address, as a
// server or a typed address may make them (the input's first line is the
// address, the others the questions): every answer is one line, the password
// goes out at most once and only when asked for it, and any other question
// gets none.
#include "ops/sharelogin.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace zentrix;

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const size_t first = std::min(text.find('\n'), text.size());
    const std::string uri = text.substr(0, first);
    const std::string password = "pass word";
    ShareLogin login(uri, password, [](const std::string& suggestion) {
        return suggestion.empty() ? std::optional<std::string>() : suggestion;
    });
    int passwords = 0;
    size_t pos = first + 1;
    while (pos < text.size()) {
        const size_t end = std::min(text.find('\n', pos), text.size());
        const std::string prompt = text.substr(pos, end - pos) + ": ";
        pos = end + 1;
        const std::optional<std::string> answer = login.Answer(prompt);
        if (!answer)
            continue;
        check(answer->find_first_of("\r\n") == std::string::npos);
        if (prompt.rfind("Password", 0) == 0) {
            check(*answer == password);
            ++passwords;
        } else {
            check(prompt.rfind("User", 0) == 0 || prompt.rfind("Domain", 0) == 0);
        }
    }
    check(passwords <= 1);
    return 0;
}
