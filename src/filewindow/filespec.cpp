#include "filewindow/filespec.h"

#include "core/text.h"
#include "core/wildcard.h"

#include <algorithm>

namespace zentrix {
namespace {

// Upper case of a name into a reused buffer; plain ASCII names (nearly all)
// need no allocation.
void upperInto(std::string& out, std::string_view name) {
    out.clear();
    for (const char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80) {
            out = UpperCase(name);
            return;
        }
        out.push_back(b >= 'a' && b <= 'z' ? static_cast<char>(b - 32) : c);
    }
}

// A name without a full stop after its last backslash or colon gets one, so
// that "*." selects exactly the names without extension.
void markMissingExtension(std::string& name) {
    for (size_t i = name.size(); i-- > 0;) {
        const char c = name[i];
        if (c == '.')
            return;
        if (c == '\\' || c == ':')
            break;
    }
    name.push_back('.');
}

} // namespace

FileSpecFilter::FileSpecFilter(std::string_view specification, bool inverted)
    : m_inverted(inverted) {
    if (specification == "*.*") {
        m_all = true;
        return;
    }
    const std::string upper = UpperCase(specification);
    size_t pos = 0;
    while (pos <= upper.size()) {
        const size_t end = std::min(upper.find(' ', pos), upper.size());
        // Only blanks separate words; other white space is trimmed off a word.
        std::string word = Trim(std::string_view(upper).substr(pos, end - pos));
        // An empty word can never match a name (a name is never empty here).
        if (!word.empty())
            m_words.push_back(std::move(word));
        pos = end + 1;
    }
    m_quick = std::all_of(m_words.begin(), m_words.end(), [](const std::string& w) {
        const size_t from = w[0] == '*' ? 1 : 0;
        for (size_t i = from; i < w.size(); ++i)
            if (w[i] == '*' || w[i] == '?' || static_cast<unsigned char>(w[i]) >= 0x80)
                return false;
        return true;
    });
}

int FileSpecFilter::quickMatch(std::string_view name) const {
    bool hasExtension = false;
    for (size_t i = name.size(); i-- > 0;) {
        const char c = name[i];
        if (c == '.') {
            hasExtension = true;
            break;
        }
        if (c == '\\' || c == ':')
            break;
    }
    const size_t length = name.size() + (hasExtension ? 0 : 1);
    // The name as matched: upper case, with the full stop appended when needed.
    auto at = [&](size_t i) -> int {
        if (i >= name.size())
            return '.';
        const auto b = static_cast<unsigned char>(name[i]);
        if (b >= 0x80)
            return -1;
        return b >= 'a' && b <= 'z' ? b - 32 : b;
    };
    for (const std::string& word : m_words) {
        const bool suffix = word[0] == '*';
        const std::string_view text = std::string_view(word).substr(suffix ? 1 : 0);
        if (suffix ? text.size() > length : text.size() != length)
            continue;
        const size_t from = length - text.size();
        bool equal = true;
        for (size_t k = 0; k < text.size() && equal; ++k) {
            const int c = at(from + k);
            if (c < 0)
                return -1;
            equal = c == static_cast<unsigned char>(text[k]);
        }
        if (equal)
            return 1;
    }
    return 0;
}

bool FileSpecFilter::Matches(std::string_view fileName) const {
    if (m_all)
        return true;
    if (m_quick) {
        const int quick = quickMatch(fileName);
        if (quick >= 0)
            return quick == 1;
    }
    upperInto(m_buffer, fileName);
    markMissingExtension(m_buffer);
    for (const std::string& word : m_words)
        if (WildcardMatch(word, m_buffer))
            return true;
    return false;
}

bool MatchesFileSpec(std::string_view specification, std::string_view fileName) {
    return FileSpecFilter(specification, false).Matches(fileName);
}

} // namespace zentrix
