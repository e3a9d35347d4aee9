#include "filewindow/filespec.h"

#include "core/text.h"
#include "core/wildcard.h"

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
}

bool FileSpecFilter::Matches(std::string_view fileName) const {
    if (m_all)
        return true;
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
