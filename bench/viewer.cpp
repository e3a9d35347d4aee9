// The viewer's speed on a large text file: time to the first screen, time to
// the complete line index, and `wc -l` over the same file in the same run; then
// a search for a text that only the last line holds, as the viewer's Find runs
// it (without and with regard to case), beside `grep -F` for the same text.
//   viewer [FOLDER]     the 2 GiB file is made once in FOLDER (default: beside
//                       this program) and kept for later runs.
// Last line: viewer_search search_ms=S search_case_ms=C grep_ms=G search_ratio=R
#include "benchsupport.h"
#include "view/viewerdocument.h"
#include "view/viewerstate.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

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
    return 1000 * zentrix::bench::TimeTool({"wc", "-l", path});
}

// The text only the last line holds; written over the file's last bytes.
const std::string kMarker = "Zentrix viewer benchmark: the needle at the very end";

bool markLastLine(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::string tail(kMarker.size() + 1, '\0');
    const off_t at = static_cast<off_t>(kSize - static_cast<long long>(tail.size()));
    bool ok = ::pread(fd, tail.data(), tail.size(), at) == static_cast<ssize_t>(tail.size());
    if (ok && tail != kMarker + "\n") {
        tail = kMarker + "\n";
        ok = ::pwrite(fd, tail.data(), tail.size(), at) == static_cast<ssize_t>(tail.size());
    }
    ::close(fd);
    return ok;
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
    if (!makeFile(path) || !markLastLine(path)) {
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

    // The search: best of three rounds each, taking turns with grep.
    double search = 1e12, searchCase = 1e12, grep = 1e12;
    std::optional<int64_t> hit, hitCase;
    for (int round = 0; round < 3; ++round) {
        grep = std::min(grep, 1000 * zentrix::bench::TimeTool({"grep", "-F", kMarker, path}));
        auto t = Clock::now();
        hit = doc.Find(0, kMarker, false);
        search = std::min(search, msSince(t));
        t = Clock::now();
        hitCase = doc.Find(0, kMarker, true);
        searchCase = std::min(searchCase, msSince(t));
    }
    const int64_t lastLine = doc.LineCount() - 2; // the file ends with a line feed
    if (hit != lastLine || hitCase != lastLine) {
        std::fprintf(stderr, "viewer: the search found line %lld, not %lld\n",
                     static_cast<long long>(hit.value_or(-1)), static_cast<long long>(lastLine));
        return 1;
    }
    std::printf("viewer_search search_ms=%.0f search_case_ms=%.0f grep_ms=%.0f search_ratio=%.2f\n",
                search, searchCase, grep, grep > 0 ? search / grep : 0.0);
    return 0;
}
