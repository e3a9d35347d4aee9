// Times the file test (every file read from end to end) against cat(1) into
// /dev/null on the same files, warm cache: 2,000 files of 512 MiB in all, in
// 20 directories (made once beside this executable).
//   test_files [DIR]
// The better of three rounds of each counts. Last line:
// test_files bytes=B seconds=S cat_seconds=C ratio=R
#include "benchsupport.h"
#include "catalogue/catalogue.h"
#include "catalogue/catalogueui.h"
#include "catalogue/disklogger.h"
#include "catalogue/loggeddisktabs.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "core/progress.h"
#include "filewindow/filewindow.h"
#include "ops/filetest.h"
#include "platform/drivetable.h"
#include "silentprompter.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace zentrix;

constexpr int kFiles = 2000;
constexpr int kDirs = 20;
constexpr uint64_t kTotalBytes = 512ull << 20;

std::string fileName(const std::string& dir, int i) {
    return dir + "/d" + std::to_string(i % kDirs) + "/f" + std::to_string(i) + ".bin";
}

/// The size of each file: around the mean, summing to the total exactly.
std::vector<uint64_t> sizes() {
    std::mt19937_64 random(2024);
    const uint64_t mean = kTotalBytes / kFiles;
    std::uniform_int_distribution<uint64_t> spread(0, mean);
    std::vector<uint64_t> out(kFiles);
    uint64_t sum = 0;
    for (int i = 0; i < kFiles; i += 2) {
        const uint64_t d = spread(random);
        out[i] = mean + d - mean / 2;
        out[i + 1] = mean - d + mean / 2;
        sum += out[i] + out[i + 1];
    }
    out.back() += kTotalBytes - sum;
    return out;
}

bool makeData(const std::string& dir) {
    if (::access((dir + "/.complete").c_str(), F_OK) == 0)
        return true;
    std::fprintf(stderr, "test_files: making the test data in %s\n", dir.c_str());
    ::mkdir(dir.c_str(), 0755);
    for (int d = 0; d < kDirs; ++d)
        ::mkdir((dir + "/d" + std::to_string(d)).c_str(), 0755);
    const std::vector<uint64_t> size = sizes();
    std::mt19937_64 random(7);
    std::vector<char> block(1 << 20);
    for (int i = 0; i < kFiles; ++i) {
        const int fd = ::open(fileName(dir, i).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0)
            return false;
        uint64_t left = size[i];
        while (left > 0) {
            for (size_t p = 0; p + 8 <= block.size(); p += 4096) {
                const uint64_t v = random();
                std::copy_n(reinterpret_cast<const char*>(&v), 8, block.data() + p);
            }
            const size_t n = static_cast<size_t>(std::min<uint64_t>(left, block.size()));
            if (::write(fd, block.data(), n) != static_cast<ssize_t>(n)) {
                ::close(fd);
                return false;
            }
            left -= n;
        }
        ::close(fd);
    }
    ::sync();
    const int fd = ::open((dir + "/.complete").c_str(), O_WRONLY | O_CREAT, 0644);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const std::string dir = bench::DataFolder(argc, argv, "test-data");
    if (dir.empty() || !makeData(dir)) {
        std::fprintf(stderr, "test_files: cannot make the test data in %s\n", dir.c_str());
        return 1;
    }
    // The engine as the window runs it: a catalogue with a file window over a
    // drive on the data, every file handed to the set test.
    const platform::DriveTable drives = platform::DriveTable::FromSpec("T=" + dir, {});
    Catalogue cat(drives);
    AppState state;
    Settings settings;
    settings.SoundWhenComplete = false;
    LoggedDiskTabs tabs(state);
    bench::SilentPrompter prompter;
    CatalogueUi catUi;
    DiskLogger logger(cat, state, settings, tabs, prompter, catUi);
    NullProgress progress;
    FileWindow fw(cat, state, settings, prompter, progress, logger);
    FileTest test(cat, state, settings, fw, prompter, progress);

    std::vector<FileTest::Item> items;
    std::vector<std::string> catArgs{"cat"};
    for (int i = 0; i < kFiles; ++i) {
        const std::string path = fileName(dir, i);
        items.push_back({"T:\\" + path.substr(dir.size() + 1), path});
        catArgs.push_back(path);
    }
    uint64_t bytes = 0;
    for (const FileTest::Item& item : items) {
        struct stat st {};
        if (::stat(item.hostPath.c_str(), &st) == 0)
            bytes += static_cast<uint64_t>(st.st_size);
    }

    bench::TimeTool(catArgs); // the files into the cache
    double engine = 1e9;
    double reference = 1e9;
    int failed = 0;
    for (int round = 0; round < 3; ++round) {
        const auto start = std::chrono::steady_clock::now();
        failed += test.TestFiles(items);
        engine = std::min(
            engine,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        reference = std::min(reference, bench::TimeTool(catArgs));
    }
    if (failed)
        std::fprintf(stderr, "test_files: %d file(s) failed testing\n", failed);
    std::printf("test_files bytes=%llu seconds=%.3f cat_seconds=%.3f ratio=%.3f\n",
                static_cast<unsigned long long>(bytes), engine, reference, engine / reference);
    return failed ? 1 : 0;
}
