#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace zentrix::platform {

/// A file could not be written. what() names the path and the system's reason.
class FileWriteError : public std::runtime_error {
public:
    FileWriteError(const std::string& path, const std::string& reason)
        : std::runtime_error("Cannot write " + path + ": " + reason), m_path(path) {}
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

/// What a path that is a symbolic link stands for.
enum class Links {
    Follow, ///< the file the link points at
    Refuse, ///< nothing: reading fails, writing replaces the link itself
};

/// The whole content of a regular file; none when it does not exist or cannot
/// be read. Files larger than maxBytes are refused (none), so a hostile file
/// cannot exhaust memory.
std::optional<std::string> ReadWholeFile(const std::string& path,
                                         size_t maxBytes = 64 * 1024 * 1024,
                                         Links links = Links::Follow);

/// Replaces a file's content so that a reader sees either the old or the new
/// bytes, never a mixture: the bytes go to a temporary file beside it, which is
/// flushed to the disk and renamed over the target. Missing parent directories
/// are created. A new file gets `newFileMode`; a replaced one keeps its mode. On
/// failure the old file is left as it was, the temporary file is removed and
/// FileWriteError is thrown. A link at `path` is followed (a settings file kept
/// in the user's dotfiles stays a link), or with Links::Refuse replaced by the
/// new file: in a directory that others can reach (a trash on a shared
/// volume) the link may point anywhere.
void WriteFileAtomically(const std::string& path, const std::string& content,
                         unsigned newFileMode = 0600, Links links = Links::Follow);

/// The file a path names: the target of a symbolic link, the path itself
/// otherwise (also when it does not exist).
std::string LinkTarget(const std::string& path);

/// Creates a directory and its missing parents (mode 0700 for new ones).
/// False when it does not exist afterwards.
bool MakeDirectories(const std::string& path);

} // namespace zentrix::platform
