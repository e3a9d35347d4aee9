#pragma once

#include <string>

namespace zentrix {

/// What all viewer windows of a run share: the display mode, the hex line
/// lengths, the last search text and the font chosen last.
struct ViewerState {
    bool hexMode = false;
    int hexLineLength = 16;      // 1..255
    int firstHexLineLength = 16; // 1..255
    std::string lastSearchText;
    std::string fontText; // empty: the design font
    bool wrap = false;    // long text lines wrap at the window's edge

    /// The one instance of the run (the tagged-file text search sets its
    /// last search text here too).
    static ViewerState& Shared();
};

/// A hex line length typed by the user: a number from 1 to 255, otherwise none.
int ParseHexLineLength(const std::string& text);

} // namespace zentrix
