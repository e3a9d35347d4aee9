// The viewer's speed on a large text file: time to the first screen, time to
// the complete line index, and `wc -l` over the same file in the same run.
//   viewer [FOLDER]     the 2 GiB file is made once in FOLDER (default: beside
//                       this program) and kept for later runs.
#include "view/viewerdocument.h"
#include "view/viewerstate.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

constexpr long long kSize = 2LL << 30;

bool makeFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && st.st_size == kSize)
        return true;
    std::fprintf(stderr, "viewer: writing %s (2 GiB, once) ...\n", path.c_str());
    const std::string temp = path + ".part";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    // 80-character lines: 79 characters and a line feed.
    std::string block;
    for (int line = 0; block.size() < (1 << 20); ++line) {
        std::string text = "line " + std::to_string(line) + " ";
        while (text.size() < 79)
            text += static_cast<char>('a' + (text.size() + line) % 26);
        block += text + "\n";
    }
    block.resize(1 << 20);
    block.back() = '\n';
    for (long long written = 0; written < kSize; written += static_cast<long long>(block.size()))
        if (::write(fd, block.data(), block.size()) != static_cast<ssize_t>(block.size()))
            return ::close(fd), false;
    ::close(fd);
    return ::rename(temp.c_str(), path.c_str()) == 0;
}

double timeWc(const std::string& path) {
    const auto start = Clock::now();
    pid_t pid = 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    char wc[] = "wc", l[] = "-l";
    char* argv[] = {wc, l, const_cast<char*>(path.c_str()), nullptr};
    if (::posix_spawnp(&pid, "wc", &actions, nullptr, argv, environ) != 0)
        return -1;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return msSince(start);
}

long residentMb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long kb = 0;
    while (status >> key)
        if (key == "VmHWM:") {
            status >> kb;
            break;
        }
    return kb / 1024;
}

} // namespace

int main(int argc, char** argv) {
    std::string dir = argc > 1 ? argv[1] : std::string(argv[0]);
    if (argc <= 1) {
        const size_t slash = dir.rfind('/');
        dir = slash == std::string::npos ? "." : dir.substr(0, slash);
    }
    const std::string path = dir + "/viewer-2g.txt";
    if (!makeFile(path)) {
        std::fprintf(stderr, "viewer: cannot write %s\n", path.c_str());
        return 1;
    }
    timeWc(path); // both read the file from the page cache

    zentrix::ViewerState state;
    zentrix::ViewerDocument doc(state);
    const auto start = Clock::now();
    if (doc.Load(path, true) != zentrix::ViewerDocument::LoadResult::Loaded)
        return 1;
    size_t shown = 0;
    for (int line = 0; line < 60; ++line)
        shown += doc.Line(line).size();
    const double firstScreen = msSince(start);
    doc.WaitForIndex();
    const double index = msSince(start);
    const double wc = timeWc(path);
    std::printf("lines=%lld index_memory_kb=%zu shown_chars=%zu\n",
                static_cast<long long>(doc.LineCount()), doc.IndexMemoryBytes() / 1024, shown);
    std::printf(
        "viewer bytes=%lld first_screen_ms=%.1f index_ms=%.0f wc_ms=%.0f ratio=%.2f rss_mb=%ld\n",
        static_cast<long long>(doc.Size()), firstScreen, index, wc, wc > 0 ? index / wc : 0.0,
        residentMb());
    return 0;
}
