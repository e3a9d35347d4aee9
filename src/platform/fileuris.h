#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrix::platform {

/// The "file://" URI of an absolute path as desktop programs write it: every
/// byte other than a letter, a digit, "/" and the few marks a path may carry
/// as they are is percent-encoded (blanks, line breaks and non-ASCII bytes
/// included), so that the URI holds no blank and no control character.
std::string FileUri(std::string_view path);

/// The absolute path of a "file://" URI with an empty or "localhost" host,
/// percent-decoded; none for another scheme or host, or for a path that would
/// hold a NUL byte.
std::optional<std::string> PathOfFileUri(std::string_view uri);

/// What other programs' file managers put on the clipboard or drag: the files
/// and whether they were cut (to be moved when pasted) or copied.
struct ClipboardFiles {
    bool cut = false;
    std::vector<std::string> paths; // absolute host paths, in the given order
};

/// At most this many files are read from a clipboard or a drop.
inline constexpr size_t kMaxClipboardFiles = 100000;

/// The local files of a text/uri-list: one URI a line (CR LF or LF), "#"
/// lines are comments. Entries that are not local files, that are relative,
/// or that hold "." or ".." or empty components ("/a//b") are left out, as is
/// every entry after the first kMaxClipboardFiles.
std::vector<std::string> ParseUriList(std::string_view text);

/// The files of an x-special/gnome-copied-files text: "copy" or "cut" on the
/// first line, then one URI a line (read as ParseUriList reads). None when the
/// first line is neither word.
std::optional<ClipboardFiles> ParseGnomeCopiedFiles(std::string_view text);

/// A text/uri-list of the paths: their URIs, each line ended by CR LF.
std::string UriListText(const std::vector<std::string>& paths);

/// An x-special/gnome-copied-files text: "copy" or "cut", then one URI a line.
std::string GnomeCopiedFilesText(const ClipboardFiles& files);

} // namespace zentrix::platform
