#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zentrix {

/// The file type description of a file, first non-empty of: the version
/// resource's "FileDescription" (PE files), the module description of a 16-bit
/// NE executable, the user file types, the registered type of the MIME database
/// ("comment (mime/name)"), and "EXT file" ("??? file" without an extension).
/// `hostPath` is the file on disk (it may be gone); `fileName` its catalogue name.
std::string FileTypeDescription(const std::string& hostPath, std::string_view fileName,
                                const std::vector<std::string>& userFileTypes);

/// Step 1: "FileDescription" of the right translation of a PE version resource.
std::string VersionResourceDescription(const std::string& hostPath);
/// Step 2: the non-resident name table's first entry of an NE executable.
std::string NeModuleDescription(const std::string& hostPath);
/// Step 3: the first user file type ("Text files (*.TXT *.DOC)") whose masks
/// match "." + the upper-case extension; empty when none does.
std::string UserTypeDescription(std::string_view fileName,
                                const std::vector<std::string>& userFileTypes);
/// Step 5: "TXT file", or "??? file" for a name without extension.
std::string ExtensionFallbackDescription(std::string_view fileName);

} // namespace zentrix
