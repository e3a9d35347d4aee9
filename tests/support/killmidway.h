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
/// was killed; false when it ended first.
inline bool KillMidway(const std::string& command,
                       const std::function<bool(const char* line)>& killNow) {
    int fds[2];
    if (::pipe(fds) != 0)
        return false;
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        ::dup2(fds[1], 1);
        ::close(fds[0]);
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    FILE* lines = ::fdopen(fds[0], "r");
    char line[256];
    bool killed = false;
    while (!killed && std::fgets(line, sizeof line, lines))
        if (killNow(line)) {
            ::kill(child, SIGKILL);
            killed = true;
        }
    std::fclose(lines);
    int status = 0;
    ::waitpid(child, &status, 0);
    return killed && WIFSIGNALED(status);
}

} // namespace zentrix::test
