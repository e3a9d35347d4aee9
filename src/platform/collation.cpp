#include "platform/collation.h"

#include <algorithm>
#include <clocale>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <locale.h>
#include <string>

namespace zentrix::platform {
namespace {

bool g_useLocale = false;

int foldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

// Byte order with ASCII letters folded to lower case; shorter first on a tie
// of the common part.
int compareFolded(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int fa = foldAscii(static_cast<unsigned char>(a[i]));
        const int fb = foldAscii(static_cast<unsigned char>(b[i]));
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return 0;
}

} // namespace

void InitCollation() {
    const char* name = std::setlocale(LC_COLLATE, "");
    if (!name)
        name = std::setlocale(LC_COLLATE, nullptr);
    const std::string n = name ? name : "C";
    g_useLocale = !(n == "C" || n == "POSIX" || n.rfind("C.", 0) == 0);
}

int CompareNamesBuiltIn(std::string_view a, std::string_view b) {
    if (const int r = compareFolded(a, b))
        return r;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) // equal when folded: the lower-case letter first
            return static_cast<unsigned char>(a[i]) > static_cast<unsigned char>(b[i]) ? -1 : 1;
    }
    return 0;
}

namespace {

locale_t utf8Ctype() {
    static locale_t loc = [] {
        locale_t l = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        return l ? l : ::newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
    }();
    return loc;
}

// UTF-8 to lower-case wide characters; an invalid byte stands for itself.
void lowerWide(std::string_view s, std::wstring& out) {
    out.clear();
    std::mbstate_t state{};
    locale_t old = ::uselocale(utf8Ctype());
    size_t i = 0;
    while (i < s.size()) {
        wchar_t wc = 0;
        const size_t n = std::mbrtowc(&wc, s.data() + i, s.size() - i, &state);
        if (n == 0 || n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2)) {
            wc = static_cast<wchar_t>(static_cast<unsigned char>(s[i]));
            state = std::mbstate_t{};
            ++i;
        } else {
            i += n;
        }
        out.push_back(static_cast<wchar_t>(std::towlower(static_cast<wint_t>(wc))));
    }
    ::uselocale(old);
}

} // namespace

int CompareNamesIgnoreCase(std::string_view a, std::string_view b) {
    if (!g_useLocale)
        return compareFolded(a, b);
    thread_local std::wstring wa, wb;
    lowerWide(a, wa);
    lowerWide(b, wb);
    const int r = std::wcscoll(wa.c_str(), wb.c_str());
    return r < 0 ? -1 : r > 0 ? 1 : 0;
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
