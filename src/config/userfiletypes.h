#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zentrix {

/// A user file type as the options dialog edits it: "description (MASK MASK)".
struct UserFileTypeParts {
    std::string description;   ///< the text before " ("
    std::string specification; ///< the text between the parentheses
};

/// The entry for a description and specification: the description, " (", the
/// specification without any "(" or ")" and in upper case, ")".
std::string MakeUserFileType(const std::string& description, const std::string& specification);

/// The description and specification of an entry (empty parts where the entry
/// lacks them).
UserFileTypeParts SplitUserFileType(const std::string& entry);

/// Adds a new entry unless the same entry is there already; false (nothing
/// added) for a duplicate or when either part is empty.
bool AddUserFileType(std::vector<std::string>& types, const std::string& description,
                     const std::string& specification);

/// Text without the characters a description may not hold ("(" and ")").
std::string WithoutParentheses(const std::string& text);

} // namespace zentrix
