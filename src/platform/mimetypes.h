#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zentrix::platform {

/// The registered type of a file name in the shared MIME database, as
/// "comment (mime/name)" (the comment alone when the type has no name); empty
/// when the database knows no type for the name. Decided by the name alone.
std::string RegisteredTypeDescription(std::string_view fileName);

/// The MIME type name for a file name ("text/plain"); empty when unknown.
std::string MimeTypeNameFor(std::string_view fileName);

/// The MIME type of a file by its name and its first bytes ("text/x-csrc"),
/// then every type it is a kind of, nearest first ("text/plain"), each once;
/// "application/octet-stream" last for a regular file (any file is one).
std::vector<std::string> MimeTypesOfFile(const std::string& hostPath);

} // namespace zentrix::platform
