// An archive on the disk as anyone may have made it: extraction writes regular
// files below its target only, none larger than its entry declares; the test
// reads it to the end; and the files a typed list names for packing are
// regular files, packed into an archive that tests sound.
#include "ziparchive.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace zentrix::unzip;
namespace fs = std::filesystem;

namespace {

std::string g_dir; // the fuzzer's own folder: in.zip, target/, tree/, outside/

void check(bool ok) {
    if (!ok)
        std::abort();
}

void write(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void extractAndTest(const std::string& bytes) {
    const std::string archive = g_dir + "/in.zip";
    const std::string target = g_dir + "/target";
    write(archive, bytes);
    fs::remove_all(target);
    fs::create_directory(target);
    // The listing's sizes by safe path: what extraction may write at most.
    std::map<std::string, int64_t> declared;
    const ListBudget budget{int64_t{4} << 20, std::chrono::milliseconds(2000)};
    const auto entries = ListArchive(archive, nullptr, {}, budget);
    if (entries)
        for (const ZipEntry& e : *entries)
            if (const auto safe = SafeEntryPath(e.name))
                declared[*safe] = std::max(declared[*safe], e.size);
    int64_t seen = 0;
    const RunReport report = ExtractArchive(
        archive, target, {}, [](const std::string&) { return true; },
        [&seen](const std::string&, int64_t done, int64_t) {
            seen = done;
            return true;
        });
    check(report.written >= 0);
    // Nothing beside the target changed; below it, files and folders only.
    for (const auto& e : fs::directory_iterator(g_dir)) {
        const std::string name = e.path().filename().string();
        check(name == "in.zip" || name == "target" || name == "tree" || name == "outside" ||
              name == "out.zip");
    }
    check(fs::is_empty(g_dir + "/outside"));
    for (const auto& e : fs::recursive_directory_iterator(target)) {
        check(!e.is_symlink() && (e.is_regular_file() || e.is_directory()));
        if (!e.is_regular_file())
            continue;
        const std::string relative = fs::relative(e.path(), target).string();
        check(relative.rfind(".zx-unzip-", 0) != 0); // no temporary file stays
        // (A listing cut short by damage knows only the entries before it.)
        const auto it = declared.find(relative);
        if (entries) {
            check(it != declared.end());
            check(it->second < 0 || static_cast<int64_t>(e.file_size()) <= it->second);
        }
    }
    (void)TestArchive(archive);
}

// The list as typed (one mask a line) or as chosen (a line that starts with
// "=" is an exact name), kept below the tree (no "..", nothing absolute), so
// that the fuzzer cannot wander into /proc.
void collectAndPack(const std::string& bytes) {
    std::vector<zentrix::ZipListItem> names;
    size_t pos = 0;
    while (pos < bytes.size() && names.size() < 8) {
        const size_t end = std::min(bytes.find('\n', pos), bytes.size());
        std::string name = bytes.substr(pos, std::min<size_t>(end - pos, 200));
        pos = end + 1;
        const bool exact = !name.empty() && name[0] == '=';
        if (exact)
            name.erase(0, 1);
        while (!name.empty() && name[0] == '/')
            name.erase(0, 1);
        if (name.find('\0') != std::string::npos || name.find("..") != std::string::npos)
            continue;
        names.push_back({name, !exact});
    }
    const std::string out = g_dir + "/out.zip";
    for (const bool recurse : {false, true}) {
        const auto items = CollectPackItems(names, g_dir + "/tree", recurse, recurse, out);
        check(items.size() <= 64);
        for (const PackItem& item : items) {
            struct stat st {};
            check(::lstat(item.hostPath.c_str(), &st) == 0 && S_ISREG(st.st_mode));
            check(!item.name.empty() && item.name[0] != '/');
        }
        if (items.empty())
            continue;
        check(CreateArchive(out, items).ok);
        check(TestArchive(out).ok);
        ::unlink(out.c_str());
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char dir[] = "/tmp/zentrix-fuzz-zipfile-XXXXXX";
    if (!::mkdtemp(dir))
        std::abort();
    g_dir = dir;
    static const std::string folder = dir;
    std::atexit([] { fs::remove_all(folder); });
    // A small tree to pack from: files, a subfolder, a link out of it and a FIFO.
    fs::create_directories(g_dir + "/tree/sub/deeper");
    fs::create_directories(g_dir + "/outside");
    write(g_dir + "/tree/a.txt", "alpha");
    write(g_dir + "/tree/b.doc", "beta");
    write(g_dir + "/tree/sub/c.txt", std::string(3000, 'c'));
    write(g_dir + "/tree/sub/deeper/d.bin", std::string("\0\1\2", 3));
    fs::create_directory_symlink(g_dir + "/outside", g_dir + "/tree/out");
    ::mkfifo((g_dir + "/tree/pipe.zip").c_str(), 0600);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    extractAndTest(bytes);
    collectAndPack(bytes);
    return 0;
}
