#include "platform/process.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace zentrix::platform {

std::string CurrentDirectory() {
    char buf[PATH_MAX];
    return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

bool SetCurrentDirectory(const std::string& hostPath) { return ::chdir(hostPath.c_str()) == 0; }

bool ProgramExists(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t pos = 0;
    while (pos <= dirs.size()) {
        const size_t end = std::min(dirs.find(':', pos), dirs.size());
        const std::string candidate = dirs.substr(pos, end - pos) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0)
            return true;
        pos = end + 1;
    }
    return false;
}

namespace {

// Starts a program from the PATH with its input and output on /dev/null; the
// child's process id, or -1 when it could not be started.
pid_t spawnQuiet(const std::string& program, const std::vector<std::string>& args,
                 const std::string& workingDirectory = {}, bool quiet = true) {
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
    const int rc = ::posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
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

bool UnmountShare(const std::string& mountPoint) {
    return runWithin({{"gio", {"mount", "-u", mountPoint}},
                      {"fusermount", {"-u", mountPoint}},
                      {"umount", {mountPoint}}});
}

} // namespace zentrix::platform
