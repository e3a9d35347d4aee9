// The catalogue's type-description reader is compiled into this library for its
// version-resource parser; this is the one catalogue helper it needs, without
// the records it belongs to.

#include "catalogue/fileclass.h"

#include <cctype>

namespace zentrix {

std::string ExtensionOf(std::string_view fileName) {
    const auto dot = fileName.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    std::string ext(fileName.substr(dot));
    for (auto& c : ext)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext;
}

} // namespace zentrix
