#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zentrix {

/// What the quick-view pane shows for the current file: the information lines,
/// the start of a text file, or a picture.
struct QuickViewContent {
    std::vector<std::string> lines;
    /// The host path of a picture to show instead of the lines ("" for none);
    /// when it cannot be loaded the lines are shown after all.
    std::string picture;
    /// Media kinds get the player panel (played by the viewer later).
    bool media = false;
};

/// The quick view of a file. `fileInfo` gives the information lines of a host
/// path (the FileInfo library); it is not asked for ".AVI" files. Text kinds
/// add their first 8192 characters, split at line feeds with carriage returns
/// dropped; text after the last line feed is not shown.
QuickViewContent BuildQuickView(const std::string& fileName, const std::string& hostPath,
                                const std::function<std::vector<std::string>(const std::string&)>& fileInfo);

/// The start of a text file as quick-view lines (the rule above).
std::vector<std::string> QuickViewTextLines(const std::string& hostPath);

} // namespace zentrix
