#include "platform/collation.h"

#include <clocale>
#include <cstring>
#include <string>

namespace zentrix::platform {
namespace {

bool g_useLocale = false;

int foldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

} // namespace

void InitCollation() {
    const char* name = std::setlocale(LC_COLLATE, "");
    if (!name)
        name = std::setlocale(LC_COLLATE, nullptr);
    const std::string n = name ? name : "C";
    g_useLocale = !(n == "C" || n == "POSIX" || n.rfind("C.", 0) == 0);
}

int CompareNamesBuiltIn(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int fa = foldAscii(static_cast<unsigned char>(a[i]));
        const int fb = foldAscii(static_cast<unsigned char>(b[i]));
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) // equal when folded: the lower-case letter first
            return static_cast<unsigned char>(a[i]) > static_cast<unsigned char>(b[i]) ? -1 : 1;
    }
    return 0;
}

int CompareNodeText(std::string_view a, std::string_view b) {
    if (!g_useLocale)
        return CompareNamesBuiltIn(a, b);
    char sa[256], sb[256];
    std::string la, lb;
    const char* pa;
    const char* pb;
    if (a.size() < sizeof sa) {
        std::memcpy(sa, a.data(), a.size());
        sa[a.size()] = 0;
        pa = sa;
    } else {
        la.assign(a);
        pa = la.c_str();
    }
    if (b.size() < sizeof sb) {
        std::memcpy(sb, b.data(), b.size());
        sb[b.size()] = 0;
        pb = sb;
    } else {
        lb.assign(b);
        pb = lb.c_str();
    }
    const int r = std::strcoll(pa, pb);
    if (r != 0)
        return r < 0 ? -1 : 1;
    return CompareNamesBuiltIn(a, b); // distinct names never compare equal
}

} // namespace zentrix::platform
