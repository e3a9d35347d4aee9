#pragma once
// What several benchmarks share: timing a reference tool, and the folder
// beside the benchmark where it keeps the data it makes.

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace zentrix::bench {

/// The seconds a piece of work takes.
inline double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

/// The middle value (the mean of the two middle ones for an even count); 0
/// for none.
inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

/// Runs a program from the PATH with its standard output thrown away and
/// returns the seconds it took, or -1 when it could not be started.
inline double TimeTool(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

/// The data folder: the first argument when given, else `name` beside this
/// program. Empty when the program's own path cannot be read.
inline std::string DataFolder(int argc, char** argv, const std::string& name) {
    if (argc > 1)
        return argv[1];
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return {};
    self[n] = 0;
    const std::string path(self);
    return path.substr(0, path.find_last_of('/')) + "/" + name;
}

/// The directory a benchmark is given as its first argument, made absolute
/// (drive roots are); empty, with the reason on standard error, when there is
/// none or it cannot be resolved.
inline std::string TreeArgument(int argc, char** argv, const char* program) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR\n", program);
        return {};
    }
    char resolved[PATH_MAX];
    if (!::realpath(argv[1], resolved)) {
        std::perror(argv[1]);
        return {};
    }
    return resolved;
}

/// The resident size of this process in bytes (0 when it cannot be read).
inline long ResidentBytes() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

} // namespace zentrix::bench
