#include "ops/namemask.h"

#include "core/text.h"

#include <vector>

namespace zentrix {
namespace {

using Units = std::vector<std::string_view>;

// The characters of a text: one slice per UTF-8 sequence, one per stray byte.
Units splitUnits(std::string_view s) {
    Units out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        size_t len = b0 < 0x80         ? 1
                     : (b0 >> 5) == 6  ? 2
                     : (b0 >> 4) == 14 ? 3
                     : (b0 >> 3) == 30 ? 4
                                       : 1;
        if (i + len > s.size())
            len = 1;
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                len = 1;
                break;
            }
        out.push_back(s.substr(i, len));
        i += len;
    }
    return out;
}

bool sameLetter(std::string_view a, std::string_view b) {
    return a == b || EqualsIgnoreCase(a, b);
}

bool isUnit(std::string_view u, char c) {
    return u.size() == 1 && u[0] == c;
}

// "**" counts as "*" and "%%" as "%", however many there are in a row.
Units collapse(const Units& mask) {
    Units out;
    out.reserve(mask.size());
    for (std::string_view u : mask) {
        if (!out.empty() && (isUnit(u, '*') || isUnit(u, '%')) && out.back() == u)
            continue;
        out.push_back(u);
    }
    return out;
}

} // namespace

std::string ApplyNameMask(std::string_view name, std::string_view mask, const NameTaken& taken) {
    if (mask.find_first_of("*?%") == std::string_view::npos)
        return std::string(mask);
    const Units m = collapse(splitUnits(mask));
    // "*" and "*.*" keep every name whole, also one with several dots, which
    // the positional walk would cut to its first and last part.
    if ((m.size() == 1 && isUnit(m[0], '*')) ||
        (m.size() == 3 && isUnit(m[0], '*') && isUnit(m[1], '.') && isUnit(m[2], '*')))
        return std::string(name);

    const Units n = splitUnits(name);
    const size_t count = n.size();
    std::string out;
    std::string_view lastWritten;               // the last character written
    auto append = [&](size_t from, size_t to) { // name characters [from, to)
        for (size_t k = from; k < to && k < count; ++k) {
            out += n[k];
            lastWritten = n[k];
        }
    };

    size_t p = 0; // name characters consumed
    for (size_t i = 0; i < m.size(); ++i) {
        const std::string_view c = m[i];
        if (isUnit(c, '?')) {
            append(i, i + 1);
            ++p;
        } else if (isUnit(c, '*') && i + 1 < m.size()) {
            const std::string_view next = m[i + 1];
            size_t k = p;
            while (k < count && !sameLetter(n[k], next))
                ++k;
            // Not found: k is the end, and the rest of the name is taken.
            append(i, k);
            p = k;
        } else if (isUnit(c, '*')) {
            size_t from = 0;
            if (!lastWritten.empty()) {
                for (size_t k = count; k-- > 0;)
                    if (sameLetter(n[k], lastWritten)) {
                        from = k + 1;
                        break;
                    }
            }
            append(from, count);
            p = count;
        } else {
            out += c;
            lastWritten = c;
            ++p;
        }
    }

    const size_t percent = out.find('%');
    if (percent == std::string::npos || out.find('%', percent + 1) != std::string::npos)
        return out;
    // A directory cannot hold more names than this; the bound only keeps a
    // `taken` that always says yes from running for ever.
    constexpr int kLimit = 1000000;
    std::string candidate;
    for (int number = 1; number <= kLimit; ++number) {
        candidate = out.substr(0, percent) + std::to_string(number) + out.substr(percent + 1);
        if (!taken || !taken(candidate))
            return candidate;
    }
    return candidate;
}

std::string ApplyNameMaskToFile(std::string_view name, std::string_view mask,
                                const NameTaken& taken) {
    if (name.find('.') != std::string_view::npos)
        return ApplyNameMask(name, mask, taken);
    auto withoutAddedDot = [](std::string n) {
        if (n.size() > 1 && n.back() == '.')
            n.pop_back();
        return n;
    };
    NameTaken askTaken;
    if (taken)
        askTaken = [&](const std::string& n) {
            return taken(withoutAddedDot(n));
        };
    return withoutAddedDot(ApplyNameMask(std::string(name) + ".", mask, askTaken));
}

} // namespace zentrix
