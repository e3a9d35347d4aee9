#pragma once

#include <string>
#include <vector>

namespace zentrix::fileinfo {

/// Lines about an ELF file (class, byte order, machine, type, interpreter,
/// linking); false when the file is no ELF file.
bool DescribeElf(const std::string& path, std::vector<std::string>& lines);

/// Lines about a DOS/Windows executable: PE (machine, subsystem, DLL, .NET,
/// version description), NE (module description) or plain DOS; false when the
/// file does not start with "MZ".
bool DescribeWindowsExecutable(const std::string& path, std::vector<std::string>& lines);

} // namespace zentrix::fileinfo
