#pragma once

#include "core/contentmatcher.h"
#include "view/viewertext.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zentrix {

class ViewerFile;

/// Finds the first text line that shows a text, by scanning the file's raw
/// bytes block by block instead of forming every line.
///
/// The scan looks for the longest run of printable ASCII characters of the text
/// (its anchor): in a UTF-8 or Latin-1 file these characters are the same bytes
/// on disk as on the screen, and the screen never makes them out of other bytes.
/// Only a line where the anchor occurs, or where a control character that the
/// screen leaves out could join two parts of it, is formed as shown and
/// compared with the whole text; so the answer is the one that forming every
/// line would give. Texts without such a run, and UTF-16 files, are not for
/// this finder (Usable() is false).
class ViewerTextFinder {
public:
    ViewerTextFinder(const ViewerFile& file, TextEncoding encoding, std::string_view text,
                     bool matchCase);

    bool Usable() const { return m_usable; }

    struct Hit {
        int64_t lineStart = 0; // where the line that shows the text begins
        int64_t feeds = -1;    // line feeds between the search's start and it (-1: not counted)
    };

    /// Searches from `from`, which must be where a line starts. With
    /// `countFeeds` the hit says how many lines lie before it. `keepGoing` is
    /// asked before each block with the offset reached; false stops (no hit).
    std::optional<Hit> Find(int64_t from, bool countFeeds,
                            const std::function<bool(int64_t)>& keepGoing = {});

    /// The bytes a block holds (public for tests that cross its edges).
    static constexpr size_t kBlock = size_t{256} << 10;

    /// The first byte in [data, data + size) that the screen leaves out of a
    /// line (a control character other than tab and line feed, or a carriage
    /// return not followed by a line feed); `size` when none. A carriage return
    /// in the last byte counts, since what follows it is not known here.
    static size_t FirstDroppedControl(const char* data, size_t size);

private:
    bool lineShowsText(int64_t lineStart);

    const ViewerFile& m_file;
    TextEncoding m_encoding;
    std::string m_text;
    bool m_matchCase;
    ContentMatcher m_anchor;
    bool m_usable = false;
    std::string m_line; // the bytes of a line being checked
};

} // namespace zentrix
