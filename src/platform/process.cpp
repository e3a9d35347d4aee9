#include "platform/process.h"

#include "platform/fileprobe.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace zentrix::platform {

std::string CurrentDirectory() {
    char buf[PATH_MAX];
    return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

bool SetCurrentDirectory(const std::string& hostPath) {
    return ::chdir(hostPath.c_str()) == 0;
}

bool ProgramExists(const std::string& program) {
    return !FindProgram(program).empty();
}

namespace {

// Starts a program from the PATH with its input and output on /dev/null; the
// child's process id, or -1 when it could not be started.
pid_t spawnQuiet(const std::string& program, const std::vector<std::string>& args,
                 const std::string& workingDirectory = {}, bool quiet = true) {
    // Found here rather than by posix_spawnp, which takes an empty PATH entry
    // for the current directory.
    const std::string found = FindProgram(program);
    if (found.empty())
        return -1;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    if (!workingDirectory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, found.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

int waitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Waits until the child ends or the deadline passes; true when it ended.
bool waitUntil(pid_t pid, std::chrono::steady_clock::time_point deadline, int& status) {
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return true;
        if (done < 0 && errno != EINTR) {
            status = -1;
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace

int RunAndWait(const std::string& program, const std::vector<std::string>& args,
               std::chrono::milliseconds timeout) {
    const pid_t pid = spawnQuiet(program, args);
    if (pid < 0)
        return -1;
    if (timeout == std::chrono::milliseconds::max())
        return waitFor(pid);
    int status = 0;
    if (waitUntil(pid, std::chrono::steady_clock::now() + timeout, status))
        return status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    // Asked to end first, so that it can let go of what it holds; then killed.
    ::kill(pid, SIGTERM);
    if (!waitUntil(pid, std::chrono::steady_clock::now() + std::chrono::seconds(1), status)) {
        ::kill(pid, SIGKILL);
        waitFor(pid);
    }
    return kTimedOut;
}

int RunWithInput(const std::string& program, const std::vector<std::string>& args,
                 const std::string& input, std::string* output, std::chrono::milliseconds timeout) {
    const std::string found = FindProgram(program);
    if (found.empty())
        return -1;
    int in[2];
    int out[2];
    if (::pipe2(in, O_CLOEXEC) != 0)
        return -1;
    if (::pipe2(out, O_CLOEXEC) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        return -1;
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, out[1], 2);
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, found.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    if (rc != 0) {
        ::close(in[1]);
        ::close(out[0]);
        return -1;
    }
    // Feed and drain together, so that a child that talks before it reads
    // cannot block either side.
    size_t sent = 0;
    int inFd = in[1];
    if (input.empty()) {
        ::close(inFd);
        inFd = -1;
    }
    std::string collected;
    char buffer[4096];
    const bool limited = timeout != std::chrono::milliseconds::max();
    const auto deadline = limited ? std::chrono::steady_clock::now() + timeout
                                  : std::chrono::steady_clock::time_point::max();
    bool timedOut = false;
    for (;;) {
        int wait = -1;
        if (limited) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                timedOut = true;
                break;
            }
            wait = static_cast<int>(std::min<long long>(left.count(), INT_MAX));
        }
        pollfd fds[2] = {{out[0], POLLIN, 0}, {inFd, POLLOUT, 0}};
        const int ready = ::poll(fds, inFd >= 0 ? 2 : 1, wait);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (ready == 0)
            continue;
        if (inFd >= 0 && (fds[1].revents & (POLLOUT | POLLERR | POLLHUP))) {
            // A child that ends without reading must not kill us with SIGPIPE.
            sigset_t pipeSet, old;
            sigemptyset(&pipeSet);
            sigaddset(&pipeSet, SIGPIPE);
            ::pthread_sigmask(SIG_BLOCK, &pipeSet, &old);
            const ssize_t n = ::write(inFd, input.data() + sent, input.size() - sent);
            timespec zero{};
            while (::sigtimedwait(&pipeSet, nullptr, &zero) > 0) {
            }
            ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
            if (n > 0)
                sent += static_cast<size_t>(n);
            if (n < 0 || sent == input.size()) {
                ::close(inFd);
                inFd = -1;
            }
        }
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            const ssize_t n = ::read(out[0], buffer, sizeof buffer);
            if (n <= 0)
                break;
            if (collected.size() < (1u << 20))
                collected.append(buffer, static_cast<size_t>(n));
        }
    }
    if (inFd >= 0)
        ::close(inFd);
    ::close(out[0]);
    if (output)
        *output = std::move(collected);
    if (!limited)
        return waitFor(pid);
    // A program that closed its output may still be running.
    int status = 0;
    if (!timedOut && waitUntil(pid, deadline, status))
        return status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    // Asked to end first, so that it can let go of what it holds; then killed.
    ::kill(pid, SIGTERM);
    if (!waitUntil(pid, std::chrono::steady_clock::now() + std::chrono::seconds(1), status)) {
        ::kill(pid, SIGKILL);
        waitFor(pid);
    }
    return kTimedOut;
}

namespace {

// Ends a child that is still running: asked first, then killed.
void endChild(pid_t pid) {
    int status = 0;
    ::kill(pid, SIGTERM);
    if (!waitUntil(pid, std::chrono::steady_clock::now() + std::chrono::seconds(1), status)) {
        ::kill(pid, SIGKILL);
        waitFor(pid);
    }
}

// Writes all of `text`, with SIGPIPE held off: a child that ends without
// reading must not end us.
bool writeQuietly(int fd, const std::string& text) {
    sigset_t pipeSet, old;
    sigemptyset(&pipeSet);
    sigaddset(&pipeSet, SIGPIPE);
    ::pthread_sigmask(SIG_BLOCK, &pipeSet, &old);
    size_t sent = 0;
    bool ok = true;
    while (sent < text.size()) {
        const ssize_t n = ::write(fd, text.data() + sent, text.size() - sent);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        sent += static_cast<size_t>(n);
    }
    timespec zero{};
    while (::sigtimedwait(&pipeSet, nullptr, &zero) > 0) {
    }
    ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return ok;
}

} // namespace

PromptedRun RunPrompted(const std::string& program, const std::vector<std::string>& args,
                        const std::vector<std::string>& extraEnv, const PromptAnswer& answer,
                        std::chrono::milliseconds timeout, const std::atomic<bool>& cancel) {
    PromptedRun run;
    const std::string found = FindProgram(program);
    if (found.empty())
        return run;
    int in[2];
    int out[2];
    if (::pipe2(in, O_CLOEXEC) != 0)
        return run;
    if (::pipe2(out, O_CLOEXEC) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        return run;
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    // The environment with the extra variables in place of any of their names.
    std::vector<char*> envp;
    for (char** e = environ; *e; ++e) {
        const std::string_view entry(*e);
        bool replaced = false;
        for (const std::string& extra : extraEnv)
            replaced = replaced || entry.substr(0, entry.find('=') + 1) ==
                                       std::string_view(extra).substr(0, extra.find('=') + 1);
        if (!replaced)
            envp.push_back(*e);
    }
    for (const std::string& extra : extraEnv)
        envp.push_back(const_cast<char*>(extra.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, out[1], 2);
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, found.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    if (rc != 0) {
        ::close(in[1]);
        ::close(out[0]);
        return run;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    size_t answeredTo = 0; // output before this was asked and answered
    bool ended = false;    // we ended the child
    char buffer[4096];
    for (;;) {
        if (cancel) {
            run.cancelled = true;
            break;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            run.timedOut = true;
            break;
        }
        // In slices, so that a cancel is seen soon.
        pollfd fd{out[0], POLLIN, 0};
        const int ready = ::poll(&fd, 1, static_cast<int>(std::min<long long>(left.count(), 100)));
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        const ssize_t n = ::read(out[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break; // the child closed its output: it ends
        if (run.output.size() < (1u << 20))
            run.output.append(buffer, static_cast<size_t>(n));
        // A question: the text since the last line end (or answer) ends in ": "
        // and nothing more comes for a moment (an error message may be written
        // in pieces, "sh: 1: " first).
        const size_t lineStart = run.output.rfind('\n');
        const size_t from =
            std::max(answeredTo, lineStart == std::string::npos ? size_t{0} : lineStart + 1);
        if (run.output.size() < from + 2 || run.output.compare(run.output.size() - 2, 2, ": ") != 0)
            continue;
        pollfd more{out[0], POLLIN, 0};
        if (::poll(&more, 1, static_cast<int>(kPromptPause.count())) != 0)
            continue; // more output (or its end): read on
        const std::optional<std::string> reply = answer(run.output.substr(from));
        answeredTo = run.output.size();
        run.answered = answeredTo;
        if (!reply) {
            run.unanswered = true;
            break;
        }
        if (cancel) {
            run.cancelled = true;
            break;
        }
        writeQuietly(in[1], *reply + "\n");
    }
    ::close(in[1]);
    ::close(out[0]);
    if (run.cancelled || run.timedOut || run.unanswered) {
        endChild(pid);
        ended = true;
    }
    if (!ended) {
        int status = 0;
        if (waitUntil(pid, deadline, status)) {
            run.status = status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        } else {
            run.timedOut = true;
            endChild(pid);
        }
    }
    return run;
}

bool StartDetached(const std::string& program, const std::vector<std::string>& args) {
    const pid_t pid = spawnQuiet(program, args);
    if (pid < 0)
        return false;
    // A thread of its own waits for the child so that no zombie stays behind.
    std::thread([pid] { waitFor(pid); }).detach();
    return true;
}

bool StartDetachedIn(const std::string& program, const std::vector<std::string>& args,
                     const std::string& workingDirectory) {
    const pid_t pid = spawnQuiet(program, args, workingDirectory);
    if (pid < 0)
        return false;
    std::thread([pid] { waitFor(pid); }).detach();
    return true;
}

int RunAndWaitIn(const std::string& program, const std::vector<std::string>& args,
                 const std::string& workingDirectory) {
    const pid_t pid = spawnQuiet(program, args, workingDirectory, false);
    return pid < 0 ? -1 : waitFor(pid);
}

namespace {

// Runs the first tool that ends in success, all of them within one time limit.
bool runWithin(const std::vector<std::pair<std::string, std::vector<std::string>>>& tools) {
    const auto deadline = std::chrono::steady_clock::now() + kMediumToolTimeout;
    for (const auto& [program, args] : tools) {
        if (!ProgramExists(program))
            continue;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left <= std::chrono::milliseconds(0))
            return false;
        const int status = RunAndWait(program, args, left);
        if (status == 0)
            return true;
        if (status == kTimedOut)
            return false;
    }
    return false;
}

} // namespace

bool EjectMedium(const std::string& mountPoint) {
    return runWithin({{"gio", {"mount", "-e", mountPoint}}, {"eject", {mountPoint}}});
}

std::string LocalPathFromGioInfo(const std::string& infoOutput) {
    static const std::string key = "local path: ";
    size_t pos = 0;
    while (pos < infoOutput.size()) {
        size_t end = infoOutput.find('\n', pos);
        if (end == std::string::npos)
            end = infoOutput.size();
        std::string line = infoOutput.substr(pos, end - pos);
        pos = end + 1;
        const size_t start = line.find_first_not_of(' ');
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0)
            continue;
        line = line.substr(start + key.size());
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (!line.empty() && line[0] == '/')
            return line;
    }
    return {};
}

namespace {

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

} // namespace

bool MountShare(const std::string& uri, const PromptAnswer& answer, std::string& localPath,
                std::string& error, const std::atomic<bool>& cancel) {
    error.clear();
    if (!ProgramExists("gio")) {
        error = "Mapping a network disk needs gio (package libglib2.0-bin).";
        return false;
    }
    // "--" keeps a name that begins with "-" from being read as an option; the
    // questions come in English, so that they can be told apart.
    const PromptedRun run = RunPrompted("gio", {"mount", "--", uri}, {"LC_ALL=C", "LANGUAGE=C"},
                                        answer, kNetworkMountTimeout, cancel);
    if (run.cancelled)
        return false;
    if (run.timedOut) {
        error = "The server of " + uri + " did not answer in time.";
        return false;
    }
    if (run.unanswered) {
        const std::string asked = trimmed(run.output);
        error = "gio asked what cannot be answered here:\n" +
                asked.substr(asked.size() > 2000 ? asked.size() - 2000 : 0);
        return false;
    }
    // Already mounted is as good as mounted now.
    // What gio said after its questions were answered.
    const std::string said = run.output.substr(std::min(run.answered, run.output.size()));
    if (run.status != 0 && said.find("lready mounted") == std::string::npos) {
        error = trimmed(said);
        if (error.empty())
            error = "gio could not mount " + uri + ".";
        return false;
    }
    localPath = GioLocalPath(uri);
    if (localPath.empty()) {
        error = "gio mounted " + uri + " but gave no local directory for it.";
        return false;
    }
    return true;
}

int ListGioLocation(const std::string& uri, std::string& output) {
    output.clear();
    if (!ProgramExists("gio"))
        return -1;
    return RunWithInput(
        "gio", {"list", "-l", "-u", "-a", "standard::display-name,standard::target-uri", "--", uri},
        std::string(), &output, kNetworkListTimeout);
}

int ListGioMounts(std::string& output) {
    output.clear();
    if (!ProgramExists("gio"))
        return -1;
    return RunWithInput("gio", {"mount", "-l"}, std::string(), &output, kNetworkListTimeout);
}

std::string GioLocalPath(const std::string& uri) {
    if (!ProgramExists("gio"))
        return {};
    std::string info;
    if (RunWithInput("gio", {"info", "--", uri}, std::string(), &info, kNetworkListTimeout) != 0)
        return {};
    return LocalPathFromGioInfo(info);
}

bool UnmountShare(const std::string& mountPoint) {
    return runWithin({{"gio", {"mount", "-u", mountPoint}},
                      {"fusermount", {"-u", mountPoint}},
                      {"umount", {mountPoint}}});
}

} // namespace zentrix::platform
