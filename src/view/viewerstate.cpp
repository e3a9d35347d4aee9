#include "view/viewerstate.h"

#include "core/text.h"

#include <charconv>

namespace zentrix {

ViewerState& ViewerState::Shared() {
    static ViewerState state;
    return state;
}

int ParseHexLineLength(const std::string& text) {
    const std::string t = Trim(text);
    int value = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (ec != std::errc() || end != t.data() + t.size() || value < 1 || value > 255)
        return 0;
    return value;
}

} // namespace zentrix
