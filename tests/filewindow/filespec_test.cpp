#include "core/wildcard.h"
#include "filewindow/filespec.h"

#include <gtest/gtest.h>

#include <string>

namespace zentrix {
namespace {

struct Case {
    const char* spec;
    const char* name;
    bool matches;
};

TEST(MatchesFileSpec, WordsExtensionsAndCase) {
    const Case cases[] = {
        // Only blanks separate words; a semicolon or comma is part of the word.
        {"*.TXT *.DOC", "A.TXT", true},
        {"*.TXT *.DOC", "B.doc", true},
        {"*.TXT *.DOC", "C.BMP", false},
        {"*.TXT;*.DOC", "A.TXT", false},
        {"*.TXT;*.DOC", "A.TXT;X.DOC", true},
        {"*.TXT,*.DOC", "A.DOC", false},
        {"   *.TXT    *.DOC  ", "A.DOC", true},
        // "*." picks exactly the names without extension.
        {"*.", "README", true},
        {"*.", "README.TXT", false},
        {"*.", "C:\\DIR.X\\README", true},
        {"*.", "C:README", true},
        // "*.*" as the whole specification matches everything, even a name
        // without extension; as one word among others it matches by the rule.
        {"*.*", "README", true},
        {"*.* X", "README", true},
        {"*.*", "", true},
        // Case does not matter, also beyond ASCII.
        {"*.txt", "a.TXT", true},
        {"*.ÄÖ", "x.äö", true},
        {"ä*", "Äpfel.txt", true},
        // "?" stands for exactly one character.
        {"A?C.*", "ABC.X", true},
        {"A?C.*", "AC.X", false},
        {"A?C.*", "ABBC.X", false},
        {"?", "A", false}, // the name is "A." then
        {"??", "A", true},
        // Trailing stars once the name is used up: a lone "*" matches the rest,
        // two do not.
        {"README*", "README.TXT", true},
        {"README.TXT*", "README.TXT", true},
        {"README.TXT**", "README.TXT", false},
        {"*README.TXT", "README.TXT", true},
        {"*", "anything.at.all", true},
        {"", "A.TXT", false},
        {"   ", "A.TXT", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesFileSpec(c.spec, c.name), c.matches) << c.spec << " / " << c.name;
}

TEST(MatchesFileSpec, FilterInversion) {
    const FileSpecFilter plain("*.TXT", false);
    const FileSpecFilter inverted("*.TXT", true);
    EXPECT_TRUE(plain.Passes("a.txt"));
    EXPECT_FALSE(plain.Passes("a.doc"));
    EXPECT_FALSE(inverted.Passes("a.txt"));
    EXPECT_TRUE(inverted.Passes("a.doc"));
    // Inverted "*.*" lets nothing through.
    EXPECT_FALSE(FileSpecFilter("*.*", true).Passes("README"));
}

// The word match, written exactly as the rule reads, to hold the fast matcher to.
bool referenceMatch(std::string_view word, std::string_view name) {
    if (word == "*")
        return true;
    if (name.empty())
        return word.empty();
    if (word.empty())
        return false;
    if (word[0] == '*')
        return referenceMatch(word.substr(1), name) || referenceMatch(word, name.substr(1));
    if (word[0] == '?' || word[0] == name[0])
        return referenceMatch(word.substr(1), name.substr(1));
    return false;
}

void allStrings(const std::string& alphabet, size_t maxLen, std::vector<std::string>& out,
                std::string prefix = "") {
    out.push_back(prefix);
    if (prefix.size() == maxLen)
        return;
    for (char c : alphabet)
        allStrings(alphabet, maxLen, out, prefix + c);
}

TEST(MatchesFileSpec, WildcardMatchAgreesWithTheRuleExhaustively) {
    std::vector<std::string> words, names;
    allStrings("AB*?", 5, words);
    allStrings("AB", 5, names);
    int checked = 0;
    for (const auto& w : words)
        for (const auto& n : names) {
            ASSERT_EQ(WildcardMatch(w, n), referenceMatch(w, n)) << "word " << w << " name " << n;
            ++checked;
        }
    EXPECT_GT(checked, 80000);
}

// The rule over characters: each piece is one character of the text.
bool referenceCharacters(const std::vector<std::string>& word, size_t w,
                         const std::vector<std::string>& name, size_t n) {
    if (word.size() - w == 1 && word[w] == "*")
        return true;
    if (n == name.size())
        return w == word.size();
    if (w == word.size())
        return false;
    if (word[w] == "*")
        return referenceCharacters(word, w + 1, name, n) ||
               referenceCharacters(word, w, name, n + 1);
    return (word[w] == "?" || word[w] == name[n]) && referenceCharacters(word, w + 1, name, n + 1);
}

void allSequences(const std::vector<std::string>& alphabet, size_t maxLen,
                  std::vector<std::vector<std::string>>& out,
                  std::vector<std::string> prefix = {}) {
    out.push_back(prefix);
    if (prefix.size() == maxLen)
        return;
    for (const std::string& c : alphabet) {
        prefix.push_back(c);
        allSequences(alphabet, maxLen, out, prefix);
        prefix.pop_back();
    }
}

std::string joined(const std::vector<std::string>& pieces) {
    std::string s;
    for (const auto& p : pieces)
        s += p;
    return s;
}

TEST(MatchesFileSpec, QuestionMarkStandsForOneCharacterNotOneByte) {
    EXPECT_TRUE(MatchesFileSpec("?.TXT", "\xC3\xA9.txt")); // é, two bytes
    EXPECT_FALSE(MatchesFileSpec("??.TXT", "\xC3\xA9.txt"));
    EXPECT_TRUE(MatchesFileSpec("A?C.*", "A\xE2\x82\xAC"
                                         "C.txt")); // €, three bytes
    EXPECT_TRUE(MatchesFileSpec("?.TXT", "\xF0\x9F\x98\x80.txt"));
    // A byte that is no UTF-8 (kept as it is in a name) is one character.
    EXPECT_TRUE(MatchesFileSpec("?.TXT", "\xFF.txt"));
    EXPECT_TRUE(MatchesFileSpec("??.TXT", "\xC3\xFF.txt"));

    // Every word over letters, wildcards and multi-byte characters against every
    // name: a "*" that gave back part of a character once let "*??" match "€".
    const std::vector<std::string> letters{"A", "\xC3\xA9", "\xE2\x82\xAC"};
    std::vector<std::string> wordAlphabet = letters;
    wordAlphabet.push_back("*");
    wordAlphabet.push_back("?");
    std::vector<std::vector<std::string>> words, names;
    allSequences(wordAlphabet, 4, words);
    allSequences(letters, 4, names);
    for (const auto& w : words)
        for (const auto& n : names)
            ASSERT_EQ(WildcardMatch(joined(w), joined(n)), referenceCharacters(w, 0, n, 0))
                << "word " << joined(w) << " name " << joined(n);
}

std::string upperAscii(const std::string& s) {
    std::string up;
    for (char c : s)
        up.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c);
    return up;
}

// The filter decides words like "*.TXT" by the name's tail; it must agree with
// the rule on every name, with and without extension, in any case.
TEST(MatchesFileSpec, FilterAgreesWithTheRuleForEveryWordShape) {
    std::vector<std::string> words, names;
    allStrings("*a.?", 4, words);
    allStrings("aB.\\", 4, names);
    for (const auto& w : words) {
        if (w.empty())
            continue;
        const FileSpecFilter filter(w, false);
        for (const auto& n : names) {
            std::string name = upperAscii(n);
            const size_t sep = name.find_last_of("\\:");
            const size_t dot = name.rfind('.');
            if (dot == std::string::npos || (sep != std::string::npos && dot < sep))
                name.push_back('.');
            const bool expected = w == "*.*" || referenceMatch(upperAscii(w), name);
            ASSERT_EQ(filter.Matches(n), expected) << "word " << w << " name " << n;
        }
    }
    // Non-ASCII names take the general way.
    EXPECT_TRUE(FileSpecFilter("*.TXT", false).Matches("\xC3\xA4.txt"));
    EXPECT_TRUE(FileSpecFilter("*\xC3\x84", false).Matches("x.\xC3\xA4"));
}

} // namespace
} // namespace zentrix
