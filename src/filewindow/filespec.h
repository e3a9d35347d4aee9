#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zentrix {

/// True when the file name matches the file specification: blank-separated
/// words with "*" and "?", compared in upper case; "*.*" matches everything and
/// a name without extension is matched with a full stop appended, so that "*."
/// picks the names without one. Only blanks separate words.
bool MatchesFileSpec(std::string_view specification, std::string_view fileName);

/// A file specification taken apart once, for filtering many names: the words
/// are split and upper-cased when it is made. Passes() is MatchesFileSpec
/// against the specification, compared with the inversion flag.
class FileSpecFilter {
public:
    FileSpecFilter(std::string_view specification, bool inverted);

    bool Matches(std::string_view fileName) const;
    /// An entry passes when its match differs from the inversion flag.
    bool Passes(std::string_view fileName) const { return Matches(fileName) != m_inverted; }

private:
    /// 1 or 0 when the words decide by their fixed tails alone, -1 when the
    /// general match must run (wildcards inside a word, or non-ASCII text).
    int quickMatch(std::string_view fileName) const;

    std::vector<std::string> m_words;
    bool m_all = false; // the specification is exactly "*.*"
    // Every word is "*" followed by plain ASCII text (like "*.TXT"), or plain
    // ASCII text: then a name matches a word when it ends with / equals the text.
    bool m_quick = false;
    bool m_inverted = false;
    mutable std::string m_buffer; // the upper-cased name being matched
};

} // namespace zentrix
