#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace zentrix::platform {

/// The process's current directory (host form); empty when it cannot be read.
std::string CurrentDirectory();
/// Changes the process's current directory; false on failure.
bool SetCurrentDirectory(const std::string& hostPath);

/// What RunAndWait returns for a program that did not end in time.
inline constexpr int kTimedOut = -2;

/// Runs a program with arguments and waits for it; returns its exit status, or -1
/// when it could not be started. Its output is discarded. A program still
/// running after `timeout` is ended (asked first, then killed) and kTimedOut is
/// returned.
int RunAndWait(const std::string& program, const std::vector<std::string>& args,
               std::chrono::milliseconds timeout = std::chrono::milliseconds::max());

/// How long ejecting a medium or unmounting a share may take: a server that is
/// gone can keep umount waiting for ever.
inline constexpr std::chrono::milliseconds kMediumToolTimeout{15000};
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
/// Runs a program from the PATH, writes `input` to its standard input (and
/// closes it), and waits; its standard output and error together go to
/// `output` when given (at most 1 MiB kept). Returns the exit status, or -1
/// when it could not be started. Secrets belong in `input`: a command line can
/// be read by every user of the machine. A program still running after
/// `timeout` is ended (asked first, then killed) and kTimedOut is returned,
/// with what it had written so far in `output`.
int RunWithInput(const std::string& program, const std::vector<std::string>& args,
                 const std::string& input, std::string* output = nullptr,
                 std::chrono::milliseconds timeout = std::chrono::milliseconds::max());
/// True when a program of that name is on the PATH.
bool ProgramExists(const std::string& program);

/// Ejects the removable medium mounted at mountPoint; false on failure, and when
/// the tools do not end within kMediumToolTimeout.
bool EjectMedium(const std::string& mountPoint);
/// Mounts a network share ("smb://server/share", "sftp://host/dir" ...) with
/// "gio mount", the password on its standard input; on success `localPath`
/// gets the directory gio makes for it. False with gio's own words in `error`
/// (or a sentence saying gio is missing).
bool MountShare(const std::string& uri, const std::string& password, std::string& localPath,
                std::string& error);
/// The "local path:" line of "gio info" output; empty when there is none.
std::string LocalPathFromGioInfo(const std::string& infoOutput);
/// How long listing a network location may take: a server that does not
/// answer keeps gio waiting for a long time.
inline constexpr std::chrono::milliseconds kNetworkListTimeout{20000};
/// Runs "gio list" on a location (long form, full URIs, display names and
/// shortcut targets) within kNetworkListTimeout. Returns gio's exit status
/// (-1 when gio is missing or could not be started, kTimedOut), its output
/// (standard output and error together) in `output`.
int ListGioLocation(const std::string& uri, std::string& output);
/// Runs "gio mount -l" within kNetworkListTimeout; its output in `output`.
int ListGioMounts(std::string& output);
/// The local directory that gio gives a mounted location ("gio info"); empty
/// when it is not mounted, has none, or gio is missing.
std::string GioLocalPath(const std::string& uri);
/// Unmounts a network share mounted at mountPoint, without forcing; false on
/// failure, and when the tools do not end within kMediumToolTimeout.
bool UnmountShare(const std::string& mountPoint);

} // namespace zentrix::platform
