#pragma once

#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

namespace zentrix::test {

/// Runs a command line with /bin/sh in a process of its own (as another
/// program would act on the files) and returns its exit status, -1 when it
/// could not run or did not end normally.
inline int RunShell(const std::string& command) {
    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ))
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace zentrix::test
