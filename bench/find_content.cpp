// Times the finder's content search against grep(1) on the same corpus, warm
// cache: 2,000 text files of 512 MiB in all, a rare word planted in 1% of
// them (made once beside this executable).
//   find_content [DIR]
// Last line: find_content bytes=B seconds=S grep_seconds=G ratio=R
#include "core/appstate.h"
#include "core/mainthreadcaller.h"
#include "platform/drivetable.h"
#include "search/contentsearch.h"
#include "search/finderui.h"
#include "search/tfilefinderthread.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace zentrix;

constexpr int kFiles = 2000;
constexpr int kDirs = 20;
constexpr uint64_t kTotalBytes = 512ull << 20;
constexpr const char* kWord = "Xylophonequartz";

const char* const kWords[] = {
    "the",    "of",      "and",     "to",      "in",       "is",      "was",     "that",
    "for",    "on",      "are",     "with",    "as",       "his",     "they",    "be",
    "at",     "one",     "have",    "this",    "from",     "or",      "had",     "by",
    "word",   "but",     "what",    "some",    "we",       "can",     "out",     "other",
    "were",   "all",     "there",   "when",    "up",       "use",     "your",    "how",
    "said",   "an",      "each",    "she",     "which",    "do",      "their",   "time",
    "if",     "will",    "way",     "about",   "many",     "then",    "them",    "write",
    "would",  "like",    "so",      "these",   "her",      "long",    "make",    "thing",
    "see",    "him",     "two",     "has",     "look",     "more",    "day",     "could",
    "go",     "come",    "did",     "number",  "sound",    "no",      "most",    "people",
    "my",     "over",    "know",    "water",   "than",     "call",    "first",   "who",
    "may",    "down",    "side",    "been",    "now",      "find",    "any",     "new",
    "work",   "part",    "take",    "get",     "place",    "made",    "live",    "where",
    "after",  "back",    "little",  "only",    "round",    "man",     "year",    "came",
    "show",   "every",   "good",    "me",      "give",     "our",     "under",   "name",
    "very",   "through", "just",    "form",    "sentence", "great",   "think",   "say",
    "help",   "low",     "line",    "differ",  "turn",     "cause",   "much",    "mean",
    "before", "move",    "right",   "boy",     "old",      "too",     "same",    "tell",
    "does",   "set",     "three",   "want",    "air",      "well",    "also",    "play",
    "small",  "end",     "put",     "home",    "read",     "hand",    "port",    "large",
    "spell",  "add",     "even",    "land",    "here",     "must",    "big",     "high",
    "such",   "follow",  "act",     "why",     "ask",      "men",     "change",  "went",
    "light",  "kind",    "off",     "need",    "house",    "picture", "try",     "again",
    "animal", "point",   "mother",  "world",   "near",     "build",   "self",    "earth",
    "father", "head",    "stand",   "own",     "page",     "should",  "country", "found",
    "answer", "school",  "grow",    "study",   "still",    "learn",   "plant",   "cover",
    "food",   "sun",     "four",    "between", "state",    "keep",    "eye",     "never",
    "last",   "let",     "thought", "city",    "tree",     "cross",   "farm",    "hard",
    "start",  "might",   "story",   "saw",     "far",      "sea",     "draw",    "left",
    "late",   "run",     "while",   "press",   "close",    "night",   "real",    "life",
    "few",    "north",   "open",    "seem",    "together", "next",    "white",   "children",
    "begin",  "got",     "walk",    "example", "ease",     "paper",   "group",   "always",
};

uint64_t g_state = 0x9E3779B97F4A7C15ull;
uint64_t next() {
    g_state ^= g_state << 13;
    g_state ^= g_state >> 7;
    g_state ^= g_state << 17;
    return g_state;
}

std::string fileText(size_t size, bool plant) {
    std::string text;
    text.reserve(size + 32);
    size_t line = 0;
    while (text.size() < size) {
        const char* w = kWords[next() % (sizeof kWords / sizeof *kWords)];
        text += w;
        line += std::char_traits<char>::length(w) + 1;
        if (line > 70) {
            text += '\n';
            line = 0;
        } else {
            text += ' ';
        }
        if (next() % 16 == 0)
            text[text.size() - 1] = next() % 2 ? ',' : '.';
    }
    text.resize(size);
    if (plant) {
        const size_t pos = next() % (size - 64);
        text.replace(pos, std::char_traits<char>::length(kWord), kWord);
    }
    return text;
}

bool writeAll(const std::string& path, const std::string& text) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) {
            ::close(fd);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return ::close(fd) == 0;
}

bool makeCorpus(const std::string& dir) {
    const std::string marker = dir + ".complete";
    struct stat st {};
    if (::stat(marker.c_str(), &st) == 0)
        return true;
    std::fprintf(stderr, "making the corpus in %s ...\n", dir.c_str());
    ::mkdir(dir.c_str(), 0755);
    const uint64_t each = kTotalBytes / kFiles;
    for (int i = 0; i < kFiles; ++i) {
        const std::string sub = dir + "/part" + std::to_string(i % kDirs);
        ::mkdir(sub.c_str(), 0755);
        const uint64_t size = i == kFiles - 1 ? kTotalBytes - each * (kFiles - 1) : each;
        // One file in a hundred holds the word.
        if (!writeAll(sub + "/text" + std::to_string(i) + ".txt", fileText(size, i % 100 == 37)))
            return false;
    }
    return writeAll(marker, "");
}

double cpuSeconds(const rusage& u) {
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

/// Processor time (user and system) of the last run of each side.
double g_toolCpu = 0;
double g_finderCpu = 0;

/// Runs a program with its output in a file; the seconds it took and the
/// number of lines it wrote.
double runTool(const std::vector<std::string>& args, const std::string& out, int& lines) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    g_toolCpu = cpuSeconds(usage);
    posix_spawn_file_actions_destroy(&actions);
    lines = 0;
    if (FILE* f = std::fopen(out.c_str(), "r")) {
        for (int c; (c = std::fgetc(f)) != EOF;)
            lines += c == '\n';
        std::fclose(f);
    }
    return seconds;
}

class DirectCaller : public MainThreadCaller {
public:
    bool Call(const std::function<void()>& call) override {
        call();
        return true;
    }
    void Post(std::function<void()> call) override { call(); }
};

double runFinder(const platform::DriveTable& drives, bool caseSensitive, int& found) {
    TFinderData data;
    data.StartDirs = "T:\\";
    data.MatchEnabled = true;
    data.MatchString = kWord;
    data.CaseSensitive = caseSensitive;
    data.Turbo = true;
    std::atomic<int> state{AppState::kStarting};
    DirectCaller main;
    FinderUi ui;
    TFileFinderThread finder(data, drives, state, ui, main);
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    const auto start = std::chrono::steady_clock::now();
    finder.Run();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    getrusage(RUSAGE_SELF, &after);
    g_finderCpu = cpuSeconds(after) - cpuSeconds(before);
    found = finder.ResultCount();
    return seconds;
}

std::string besideExecutable(const char* name) {
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string dir = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string("./x");
    return dir.substr(0, dir.rfind('/') + 1) + name;
}

} // namespace

int main(int argc, char** argv) {
    std::string dir = argc > 1 ? argv[1] : besideExecutable("find-content-corpus");
    if (!makeCorpus(dir)) {
        std::perror(dir.c_str());
        return 1;
    }
    char resolved[PATH_MAX];
    if (!::realpath(dir.c_str(), resolved)) {
        std::perror(dir.c_str());
        return 1;
    }
    dir = resolved;
    const auto drives = platform::DriveTable::FromSpec("T=" + dir, {});
    const std::string out = besideExecutable("find-content-grep.out");

    int grepFound = 0;
    int finderFound = 0;
    runTool({"grep", "-rlF", kWord, dir}, out, grepFound); // warms the cache
    double seconds = 1e9, grepSeconds = 1e9, foldedSeconds = 1e9, grepFoldedSeconds = 1e9;
    double finderCpu = 1e9, grepCpu = 1e9;
    // Best of three each, alternating, so that a busy moment weighs on both alike.
    for (int round = 0; round < 3; ++round) {
        seconds = std::min(seconds, runFinder(drives, true, finderFound));
        finderCpu = std::min(finderCpu, g_finderCpu);
        grepSeconds = std::min(grepSeconds, runTool({"grep", "-rlF", kWord, dir}, out, grepFound));
        grepCpu = std::min(grepCpu, g_toolCpu);
    }
    int foldedFound = 0, grepFoldedFound = 0;
    for (int round = 0; round < 3; ++round) {
        foldedSeconds = std::min(foldedSeconds, runFinder(drives, false, foldedFound));
        grepFoldedSeconds = std::min(grepFoldedSeconds,
                                     runTool({"grep", "-rliF", kWord, dir}, out, grepFoldedFound));
    }
    std::printf("files found: finder %d, grep %d; without case: finder %d, grep %d\n", finderFound,
                grepFound, foldedFound, grepFoldedFound);
    std::printf("processor time: finder %.3f s on %d threads, grep %.3f s\n", finderCpu,
                ParallelContentSearch::DefaultThreads(), grepCpu);
    std::printf("without case: seconds=%.3f grep_seconds=%.3f ratio=%.2f\n", foldedSeconds,
                grepFoldedSeconds, grepFoldedSeconds > 0 ? foldedSeconds / grepFoldedSeconds : 0);
    std::printf("find_content bytes=%llu seconds=%.3f grep_seconds=%.3f ratio=%.2f\n",
                static_cast<unsigned long long>(kTotalBytes), seconds, grepSeconds,
                grepSeconds > 0 ? seconds / grepSeconds : 0);
    return finderFound == grepFound ? 0 : 1;
}
