#include "filespecbuilder.h"

#include <algorithm>
#include <cctype>
#include <unordered_set>

namespace zentrix::utils {
namespace {

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// Words in order, each once: the set answers "seen?" at once, however many
// masks a type holds.
class WordList {
public:
    void add(const std::string& word) {
        if (!word.empty() && m_seen.insert(word).second)
            m_words.push_back(word);
    }
    std::vector<std::string> take() { return std::move(m_words); }

private:
    std::vector<std::string> m_words;
    std::unordered_set<std::string> m_seen;
};

std::string join(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words) {
        if (!out.empty())
            out += ' ';
        out += w;
    }
    return out;
}

} // namespace

std::vector<UserFileType> ParseUserFileTypes(const std::vector<std::string>& entries) {
    std::vector<UserFileType> types;
    for (const std::string& entry : entries) {
        const size_t open = entry.find('(');
        const size_t close = entry.rfind(')');
        if (open == std::string::npos || close == std::string::npos || close < open)
            continue;
        UserFileType type;
        type.description = entry.substr(0, open);
        while (!type.description.empty() && type.description.back() == ' ')
            type.description.pop_back();
        // Only blanks separate the masks of a stored type.
        const std::string masks = upper(std::string_view(entry).substr(open + 1, close - open - 1));
        WordList words;
        size_t pos = 0;
        while (pos < masks.size()) {
            const size_t end = std::min(masks.find(' ', pos), masks.size());
            words.add(masks.substr(pos, end - pos));
            pos = end + 1;
        }
        type.masks = words.take();
        if (!type.masks.empty())
            types.push_back(std::move(type));
    }
    return types;
}

std::vector<std::string> SplitMasks(std::string_view text) {
    WordList words;
    std::string current;
    auto flush = [&] {
        words.add(upper(current));
        current.clear();
    };
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == ',' || c == ';' || c == '\n' || c == '\r')
            flush();
        else
            current += c;
    }
    flush();
    return words.take();
}

SpecChoice ChoiceFromSpec(const std::vector<UserFileType>& types, std::string_view spec) {
    const std::vector<std::string> words = SplitMasks(spec);
    const std::unordered_set<std::string> inSpec(words.begin(), words.end());
    SpecChoice choice;
    choice.chosen.assign(types.size(), false);
    std::unordered_set<std::string> covered;
    for (size_t t = 0; t < types.size(); ++t) {
        const auto& masks = types[t].masks;
        const bool all = std::all_of(masks.begin(), masks.end(),
                                     [&](const std::string& m) { return inSpec.count(m) > 0; });
        if (!all)
            continue;
        choice.chosen[t] = true;
        covered.insert(masks.begin(), masks.end());
    }
    std::vector<std::string> rest;
    for (const std::string& word : words)
        if (!covered.count(word))
            rest.push_back(word);
    // A lone "*.*" is what the box shows when nothing narrows the list: start empty.
    if (rest.size() == 1 && rest[0] == "*.*" && words.size() == 1)
        rest.clear();
    choice.otherMasks = join(rest);
    return choice;
}

std::string BuildFileSpec(const std::vector<UserFileType>& types, const std::vector<bool>& chosen,
                          std::string_view otherMasks) {
    WordList list;
    for (size_t t = 0; t < types.size() && t < chosen.size(); ++t)
        if (chosen[t])
            for (const std::string& m : types[t].masks)
                list.add(m);
    for (const std::string& m : SplitMasks(otherMasks))
        list.add(m);
    const std::vector<std::string> words = list.take();
    return words.empty() ? std::string("*.*") : join(words);
}

} // namespace zentrix::utils
