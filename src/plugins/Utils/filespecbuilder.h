#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zentrix::utils {

/// One of the user's own file types: "Text files (*.TXT *.DOC)".
struct UserFileType {
    std::string description;        // "Text files"
    std::vector<std::string> masks; // upper case: "*.TXT", "*.DOC"
};

/// Reads the user file types list; entries without a "(" ... ")" mask list or
/// without any mask are left out.
std::vector<UserFileType> ParseUserFileTypes(const std::vector<std::string>& entries);

/// Splits typed masks into words at blanks, tabs, commas and semicolons, upper case,
/// without repeats (compared without regard to case; the first one stays).
std::vector<std::string> SplitMasks(std::string_view text);

/// What the dialog starts with for a specification: the types all of whose masks
/// occur in it are chosen, and its other words become the typed masks.
struct SpecChoice {
    std::vector<bool> chosen; // one per type
    std::string otherMasks;   // blank-separated
};
SpecChoice ChoiceFromSpec(const std::vector<UserFileType>& types, std::string_view spec);

/// The file specification: the masks of the chosen types in list order, then the
/// typed masks, each word once, separated by one blank. "*.*" when nothing is chosen.
std::string BuildFileSpec(const std::vector<UserFileType>& types, const std::vector<bool>& chosen,
                          std::string_view otherMasks);

/// True when the specification fits a buffer of `bufferSize` bytes with its terminator.
inline bool FitsBuffer(const std::string& spec, size_t bufferSize) {
    return spec.size() < bufferSize;
}

} // namespace zentrix::utils
