#pragma once

#include <csignal>
#include <cstdio>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace zentrix::test {

/// Runs `command` through /bin/sh, reads its standard output line by line and
/// kills it (SIGKILL) at the first line `killNow` says yes to. True when it
/// was killed; false when it ended first. The shell makes way for the command
/// (exec), and the kill goes to the whole process group: a command that went
/// on working after the shell was killed would race with what the test does
/// next.
inline bool KillMidway(const std::string& command,
                       const std::function<bool(const char* line)>& killNow) {
    const std::string line = "exec " + command; // made before the fork
    int fds[2];
    if (::pipe(fds) != 0)
        return false;
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        ::setpgid(0, 0);
        ::dup2(fds[1], 1);
        ::close(fds[0]);
        ::execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::setpgid(child, child); // before the first kill, whichever runs first
    ::close(fds[1]);
    FILE* lines = ::fdopen(fds[0], "r");
    char text[256];
    bool killed = false;
    while (!killed && std::fgets(text, sizeof text, lines))
        if (killNow(text)) {
            ::kill(-child, SIGKILL);
            killed = true;
        }
    std::fclose(lines);
    int status = 0;
    ::waitpid(child, &status, 0);
    return killed && WIFSIGNALED(status);
}

} // namespace zentrix::test
