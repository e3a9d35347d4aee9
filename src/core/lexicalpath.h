#pragma once

#include <string>
#include <string_view>

namespace zentrix {

/// An absolute path resolved by its names alone, not through links: "." and
/// empty names dropped, ".." taking away the name before it (never above the
/// root); "/" when nothing is left. "/a/./b//../c" gives "/a/c".
std::string LexicalPath(std::string_view path);

} // namespace zentrix
