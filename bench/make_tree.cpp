// Writes a deterministic, realistic directory tree for the benchmarks:
//   make-tree DIR [--files N] [--seed S]
// 10 to 30 files per directory, now and then a directory with thousands of
// files, depth up to 8, names of 5 to 40 characters with blanks, dots and
// non-ASCII letters, all files empty.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct Rng {
    uint64_t s;
    uint64_t next() {
        uint64_t z = (s += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int range(int lo, int hi) { return lo + static_cast<int>(next() % uint64_t(hi - lo + 1)); }
    double unit() { return (next() >> 11) * (1.0 / 9007199254740992.0); }
};

const char* const kExtensions[] = {".txt", ".jpg", ".png", ".c",   ".h",   ".cpp", ".pdf",
                                   ".mp3", ".doc", ".html", ".js", ".json", ".xml", ".TXT",
                                   ".log", ".tar.gz", ".md", ".py", ".o", ".exe"};
const char* const kAccented[] = {"é", "ü", "ø", "ß", "ñ", "å", "č", "ž", "ö", "ł"};

// A name body of `len` characters: mostly letters, some digits, blanks, dots,
// dashes and non-ASCII letters; never a leading blank or dot.
std::string body(Rng& rng, int len) {
    std::string s;
    for (int i = 0; i < len; ++i) {
        const double u = rng.unit();
        if (i > 0 && u < 0.05)
            s += ' ';
        else if (i > 0 && u < 0.07)
            s += '.';
        else if (i > 0 && u < 0.09)
            s += '-';
        else if (u < 0.12)
            s += kAccented[rng.range(0, 9)];
        else if (u < 0.20)
            s += static_cast<char>('0' + rng.range(0, 9));
        else if (u < 0.30)
            s += static_cast<char>('A' + rng.range(0, 25));
        else
            s += static_cast<char>('a' + rng.range(0, 25));
    }
    return s;
}

// Name lengths lean toward the short end, as real names do.
int nameLength(Rng& rng) { return 5 + static_cast<int>(35.0 * rng.unit() * rng.unit()); }

std::string fileName(Rng& rng) {
    const double u = rng.unit();
    if (u < 0.01)
        return "." + body(rng, std::max(4, nameLength(rng) - 1)); // a hidden file
    if (u < 0.10)
        return body(rng, nameLength(rng)); // no extension
    const char* ext = kExtensions[rng.range(0, int(sizeof kExtensions / sizeof *kExtensions) - 1)];
    const int len = std::max(1, nameLength(rng) - static_cast<int>(std::strlen(ext)));
    return body(rng, len) + ext;
}

bool makeDir(const std::string& path) { return ::mkdir(path.c_str(), 0755) == 0 || errno == EEXIST; }

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make-tree DIR [--files N] [--seed S]\n");
        return 2;
    }
    std::string root = argv[1];
    long long target = 1000000;
    uint64_t seed = 20261208;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--files") == 0)
            target = std::atoll(argv[i + 1]);
        else if (std::strcmp(argv[i], "--seed") == 0)
            seed = std::strtoull(argv[i + 1], nullptr, 10);
    }
    Rng rng{seed};
    if (!makeDir(root)) {
        std::perror(root.c_str());
        return 1;
    }
    struct Dir {
        std::string path;
        int depth;
    };
    std::deque<Dir> queue{{root, 0}};
    long long files = 0, dirs = 1;
    while (!queue.empty() && files < target) {
        Dir d = queue.front();
        queue.pop_front();
        // A directory exists only once it is filled, so the tree never ends in
        // a fringe of empty directories.
        if (d.depth > 0) {
            if (!makeDir(d.path)) {
                std::perror(d.path.c_str());
                return 1;
            }
            ++dirs;
        }
        int count = rng.range(10, 30);
        if (rng.unit() < 0.002)
            count = rng.range(1000, 5000); // a directory of photos or logs
        std::set<std::string> used;
        for (int i = 0; i < count && files < target; ++i) {
            std::string name = fileName(rng);
            while (!used.insert(name).second)
                name += "_";
            const std::string path = d.path + "/" + name;
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0) {
                std::perror(path.c_str());
                return 1;
            }
            ::close(fd);
            ++files;
        }
        if (d.depth < 8) {
            const int subdirs = rng.range(2, 7);
            for (int i = 0; i < subdirs; ++i) {
                std::string name = body(rng, nameLength(rng));
                while (!used.insert(name).second)
                    name += "_";
                queue.push_back({d.path + "/" + name, d.depth + 1});
            }
        }
    }
    std::printf("make-tree files=%lld dirs=%lld root=%s\n", files, dirs, root.c_str());
    return 0;
}
