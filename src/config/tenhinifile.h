#pragma once

#include "config/fontfields.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zentrix {

namespace platform {
class FileWriteError;
}

struct SharedSettingsFile;

/// The settings store: the program's registry-shaped settings file seen as an INI
/// file. A section is a key path below the program's own key ("Options" is
/// Software\Morvane\Zentrix\Options); a section that starts with a backslash is a
/// path from the user's root instead, and the empty section is the program's key
/// itself. Key paths and value names compare without regard to case; values keep
/// the order in which they were first written.
///
/// Every instance opened on the same file shares one picture of it, so a write
/// through one is seen by all. Changes reach the disk on UpdateFile(), which
/// writes only this process's changes over what the file holds by then (another
/// instance of the program may have saved its own meanwhile), under a lock and
/// in one atomic step. It throws platform::FileWriteError when the file cannot be
/// written; the destructor writes whatever is still pending and hands a failure
/// to the write-failure handler. Reading a damaged file never fails: lines that make no sense are
/// skipped and the callers' defaults apply. Safe to use from any thread.
class TEnhIniFile {
public:
    /// `iniName` only selects the key: "Software\Morvane\" + its base name in lower
    /// case with an upper-case first letter ("/opt/zentrix/Zentrix.INI" gives
    /// Software\Morvane\Zentrix). `storePath` is the file that holds the settings;
    /// empty means the user's settings file.
    explicit TEnhIniFile(const std::string& iniName, const std::string& storePath = {});
    ~TEnhIniFile();
    TEnhIniFile(const TEnhIniFile&) = delete;
    TEnhIniFile& operator=(const TEnhIniFile&) = delete;

    /// Software\Morvane\Zentrix for every settings file named Zentrix.INI.
    static std::string KeyPathFor(const std::string& iniName);

    const std::string& KeyPath() const { return m_keyPath; }
    const std::string& StorePath() const { return m_storePath; }

    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& def) const;
    void WriteString(const std::string& section, const std::string& ident,
                     const std::string& value);

    /// Decimal text, or hexadecimal after "0x"/"0X" (text of three or more
    /// characters); anything else gives the default.
    int ReadInteger(const std::string& section, const std::string& ident, int def) const;
    void WriteInteger(const std::string& section, const std::string& ident, int value);

    /// Read as an integer with default 0 or 1; any value other than 0 is true.
    bool ReadBool(const std::string& section, const std::string& ident, bool def) const;
    void WriteBool(const std::string& section, const std::string& ident, bool value);

    /// Applies the stored font text (default ",,,,", which changes nothing) to
    /// `font` and returns it.
    FontFields ReadFont(const std::string& section, const std::string& ident,
                        FontFields font) const;
    void WriteFont(const std::string& section, const std::string& ident, const FontFields& font);

    /// Bytes of a binary value; none when it is missing or not binary.
    std::optional<std::vector<uint8_t>> ReadBinary(const std::string& section,
                                                   const std::string& ident) const;
    void WriteBinary(const std::string& section, const std::string& ident,
                     const std::vector<uint8_t>& bytes);

    /// Names of the section's values, in enumeration order.
    std::vector<std::string> ReadSection(const std::string& section) const;
    /// The section's string values as "name=value" lines, in enumeration order.
    std::vector<std::string> ReadSectionValues(const std::string& section) const;
    /// The same as pairs, for callers that must not split at an "=" of a name.
    std::vector<std::pair<std::string, std::string>>
    ReadSectionPairs(const std::string& section) const;
    /// Names of the keys directly below a section.
    std::vector<std::string> ReadSubSections(const std::string& section) const;

    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& ident) const;
    /// Removes the section with all its values and all sections below it.
    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& ident);

    /// Writes pending changes to the file; throws platform::FileWriteError.
    void UpdateFile();
    /// Pending changes not yet written.
    bool Modified() const;
    /// Lines of the file that were skipped because they made no sense.
    int SkippedLines() const;

    /// Receives a failure of the write that the destructor makes. The default
    /// prints it on the standard error stream.
    static void
    SetWriteFailureHandler(std::function<void(const platform::FileWriteError&)> handler);

private:
    std::string path(const std::string& section) const;

    std::string m_keyPath;
    std::string m_storePath;
    std::shared_ptr<SharedSettingsFile> m_file;
};

} // namespace zentrix
