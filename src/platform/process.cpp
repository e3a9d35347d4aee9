#include "platform/process.h"

#include <cerrno>
#include <climits>
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

} // namespace

int RunAndWait(const std::string& program, const std::vector<std::string>& args) {
    const pid_t pid = spawnQuiet(program, args);
    return pid < 0 ? -1 : waitFor(pid);
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

bool EjectMedium(const std::string& mountPoint) {
    if (ProgramExists("gio") && RunAndWait("gio", {"mount", "-e", mountPoint}) == 0)
        return true;
    return ProgramExists("eject") && RunAndWait("eject", {mountPoint}) == 0;
}

bool UnmountShare(const std::string& mountPoint) {
    if (ProgramExists("gio") && RunAndWait("gio", {"mount", "-u", mountPoint}) == 0)
        return true;
    if (ProgramExists("fusermount") && RunAndWait("fusermount", {"-u", mountPoint}) == 0)
        return true;
    return RunAndWait("umount", {mountPoint}) == 0;
}

} // namespace zentrix::platform
