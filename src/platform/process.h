#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
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

/// The answer to one question a program asks: the line to send, or none to
/// end the program.
using PromptAnswer = std::function<std::optional<std::string>(const std::string& prompt)>;

/// How long a program's output must rest at a question before it is taken
/// for one.
inline constexpr std::chrono::milliseconds kPromptPause{150};

/// How a RunPrompted run ended.
struct PromptedRun {
    int status = -1;         ///< the exit status; -1 when not started or ended by us
    std::string output;      ///< standard output and error together (at most 1 MiB)
    size_t answered = 0;     ///< the output up to here held the questions answered
    bool unanswered = false; ///< it asked what `answer` would not answer
    bool cancelled = false;  ///< `cancel` was set
    bool timedOut = false;   ///< it ran past the time limit
};

/// Runs a program that asks its questions on its standard output and reads the
/// answers from its standard input, one after the other ("User [me]: ",
/// "Password: "). Each time its output stops at a question (text ending in
/// ": " after the last line end or the last answer), `answer` gets that
/// question on this thread and its line is sent; nothing is written that was
/// not asked for. The program is ended (asked first, then killed) when
/// `answer` gives none, when `cancel` is set (from any thread) or after
/// `timeout`. `extraEnv` ("LC_ALL=C") is added to the environment.
PromptedRun RunPrompted(const std::string& program, const std::vector<std::string>& args,
                        const std::vector<std::string>& extraEnv, const PromptAnswer& answer,
                        std::chrono::milliseconds timeout, const std::atomic<bool>& cancel);

/// Ejects the removable medium mounted at mountPoint; false on failure, and when
/// the tools do not end within kMediumToolTimeout.
bool EjectMedium(const std::string& mountPoint);
/// How long mounting a network share may take: a server that never answers
/// must not keep the command waiting for ever.
inline constexpr std::chrono::milliseconds kNetworkMountTimeout{60000};
/// Mounts a network share ("smb://server/share", "sftp://host/dir" ...) with
/// "gio mount", within kNetworkMountTimeout and until `cancel` is set. gio's
/// questions ("User [me]: ", "Domain [WORKGROUP]: ", "Password: ") go to
/// `answer` one at a time, in English whatever the user's language; a question
/// it does not answer ends gio. On success `localPath` gets the directory gio
/// makes for the share. False with gio's own words in `error` (or a sentence
/// saying gio is missing, did not answer in time, or asked what nobody could
/// answer); empty `error` when cancelled.
bool MountShare(const std::string& uri, const PromptAnswer& answer, std::string& localPath,
                std::string& error, const std::atomic<bool>& cancel);
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
