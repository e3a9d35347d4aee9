#include "filespecbuilder.h"

#include <algorithm>
#include <cctype>

namespace zentrix::utils {
namespace {

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool containsWord(const std::vector<std::string>& words, const std::string& word) {
    return std::find(words.begin(), words.end(), word) != words.end();
}

void appendUnique(std::vector<std::string>& words, const std::string& word) {
    if (!word.empty() && !containsWord(words, word))
        words.push_back(word);
}

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
        size_t pos = 0;
        while (pos < masks.size()) {
            const size_t end = std::min(masks.find(' ', pos), masks.size());
            appendUnique(type.masks, masks.substr(pos, end - pos));
            pos = end + 1;
        }
        if (!type.masks.empty())
            types.push_back(std::move(type));
    }
    return types;
}

std::vector<std::string> SplitMasks(std::string_view text) {
    std::vector<std::string> words;
    std::string current;
    auto flush = [&] {
        appendUnique(words, upper(current));
        current.clear();
    };
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == ',' || c == ';' || c == '\n' || c == '\r')
            flush();
        else
            current += c;
    }
    flush();
    return words;
}

SpecChoice ChoiceFromSpec(const std::vector<UserFileType>& types, std::string_view spec) {
    const std::vector<std::string> words = SplitMasks(spec);
    SpecChoice choice;
    choice.chosen.assign(types.size(), false);
    std::vector<bool> covered(words.size(), false);
    for (size_t t = 0; t < types.size(); ++t) {
        const auto& masks = types[t].masks;
        const bool all = std::all_of(masks.begin(), masks.end(),
                                     [&](const std::string& m) { return containsWord(words, m); });
        if (!all)
            continue;
        choice.chosen[t] = true;
        for (size_t w = 0; w < words.size(); ++w)
            if (containsWord(masks, words[w]))
                covered[w] = true;
    }
    std::vector<std::string> rest;
    for (size_t w = 0; w < words.size(); ++w)
        if (!covered[w])
            rest.push_back(words[w]);
    // A lone "*.*" is what the box shows when nothing narrows the list: start empty.
    if (rest.size() == 1 && rest[0] == "*.*" && words.size() == 1)
        rest.clear();
    choice.otherMasks = join(rest);
    return choice;
}

std::string BuildFileSpec(const std::vector<UserFileType>& types, const std::vector<bool>& chosen,
                          std::string_view otherMasks) {
    std::vector<std::string> words;
    for (size_t t = 0; t < types.size() && t < chosen.size(); ++t)
        if (chosen[t])
            for (const std::string& m : types[t].masks)
                appendUnique(words, m);
    for (const std::string& m : SplitMasks(otherMasks))
        appendUnique(words, m);
    return words.empty() ? std::string("*.*") : join(words);
}

} // namespace zentrix::utils
