#pragma once

#include <string>
#include <vector>

namespace zentrix::platform {

/// The process's current directory (host form); empty when it cannot be read.
std::string CurrentDirectory();
/// Changes the process's current directory; false on failure.
bool SetCurrentDirectory(const std::string& hostPath);

/// Runs a program with arguments and waits for it; returns its exit status, or -1
/// when it could not be started. Its output is discarded.
int RunAndWait(const std::string& program, const std::vector<std::string>& args);
/// Starts a program from the PATH with its input and output on /dev/null and
/// returns at once; the child is reaped in the background. False when it could
/// not be started.
bool StartDetached(const std::string& program, const std::vector<std::string>& args);
/// StartDetached in a working directory (the program's own when empty).
bool StartDetachedIn(const std::string& program, const std::vector<std::string>& args,
                     const std::string& workingDirectory);
/// RunAndWait in a working directory, with the program's output where the
/// program's own goes (a terminal window shows it).
int RunAndWaitIn(const std::string& program, const std::vector<std::string>& args,
                 const std::string& workingDirectory);
/// True when a program of that name is on the PATH.
bool ProgramExists(const std::string& program);

/// Ejects the removable medium mounted at mountPoint; false on failure.
bool EjectMedium(const std::string& mountPoint);
/// Unmounts a network share mounted at mountPoint, without forcing; false on failure.
bool UnmountShare(const std::string& mountPoint);

} // namespace zentrix::platform
