#include "config/userfiletypes.h"

#include "core/text.h"

#include <algorithm>

namespace zentrix {

std::string WithoutParentheses(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != '(' && c != ')')
            out += c;
    return out;
}

std::string MakeUserFileType(const std::string& description, const std::string& specification) {
    return description + " (" + UpperCase(WithoutParentheses(specification)) + ")";
}

UserFileTypeParts SplitUserFileType(const std::string& entry) {
    UserFileTypeParts parts;
    const size_t open = entry.find(" (");
    if (open == std::string::npos) {
        parts.description = entry;
        return parts;
    }
    parts.description = entry.substr(0, open);
    const size_t close = entry.rfind(')');
    const size_t start = open + 2;
    parts.specification = entry.substr(
        start, close == std::string::npos || close < start ? std::string::npos : close - start);
    return parts;
}

bool AddUserFileType(std::vector<std::string>& types, const std::string& description,
                     const std::string& specification) {
    if (description.empty() || specification.empty())
        return false;
    // The comparison is made with the specification as it will be stored, so
    // "*.txt" typed again beside an existing "*.TXT" is a duplicate too.
    const std::string entry = MakeUserFileType(description, specification);
    if (std::find(types.begin(), types.end(), entry) != types.end())
        return false;
    types.push_back(entry);
    return true;
}

} // namespace zentrix
