#include "ziparchive.h"

#include "core/text.h"
#include "core/wildcard.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <unordered_set>

namespace zentrix::unzip {

namespace {

using ArchivePtr = std::unique_ptr<archive, int (*)(archive*)>;

// Only ZIP as the file holds it, and no filter at all: no outer compression is
// undone (a gzip around a ZIP is no ZIP) and no program is ever started to undo
// one. The seekable reader takes the entries from the central directory.
ArchivePtr seekableReader() {
    ArchivePtr a(archive_read_new(), archive_read_free);
    archive_read_support_format_zip_seekable(a.get());
    return a;
}

// For a ZIP without a central directory only: entry after entry from the start.
ArchivePtr streamReader() {
    ArchivePtr a(archive_read_new(), archive_read_free);
    archive_read_support_format_zip_streamable(a.get());
    return a;
}

// A descriptor of the archive, which must be a regular file: a FIFO named
// "*.zip" would block the open (or the first read) for ever, and a device is
// nothing to read as an archive.
class ArchiveFile {
public:
    bool open(const std::string& path, std::string& error) {
        m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (m_fd < 0) {
            error = std::strerror(errno);
            return false;
        }
        struct stat st {};
        if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            error = "not a regular file";
            return false;
        }
        ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
        m_size = static_cast<uint64_t>(st.st_size);
        return true;
    }
    ~ArchiveFile() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int fd() const { return m_fd; }
    uint64_t size() const { return m_size; }
    // Makes a reader read this file from its start.
    int openReader(archive* a) const {
        ::lseek(m_fd, 0, SEEK_SET);
        return archive_read_open_fd(a, m_fd, 65536);
    }
    std::string read(uint64_t offset, size_t count) const {
        std::string bytes(count, '\0');
        const ssize_t n = ::pread(m_fd, bytes.data(), count, static_cast<off_t>(offset));
        bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
        return bytes;
    }

private:
    int m_fd = -1;
    uint64_t m_size = 0;
};

std::string errorOf(archive* a, const char* otherwise) {
    const char* text = archive_error_string(a);
    return text && *text ? text : otherwise;
}

// Opens the file and the seekable reader on it; false with the reason in `why`.
bool openCentral(ArchiveFile& file, archive* a, const std::string& path, std::string& why) {
    if (!file.open(path, why))
        return false;
    if (file.openReader(a) == ARCHIVE_OK)
        return true;
    why = errorOf(a, "not a ZIP archive");
    return false;
}

std::string entryName(archive_entry* e) {
    if (const char* utf8 = archive_entry_pathname_utf8(e))
        return utf8;
    const char* name = archive_entry_pathname(e);
    return name ? name : std::string();
}

const char* methodName(uint16_t method) {
    switch (method) {
    case 0:
        return "Stored";
    case 8:
        return "Deflated";
    case 9:
        return "Deflate64";
    case 12:
        return "BZip2";
    case 14:
        return "LZMA";
    case 93:
        return "Zstandard";
    case 95:
        return "XZ";
    case 99:
        return "AES";
    default:
        return "Other";
    }
}

uint32_t le(const std::string& d, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(d[at + static_cast<size_t>(i)]);
    return v;
}

struct Packed {
    int64_t size = -1;
    std::string method;
};

// Packed sizes and methods from the central directory (libarchive does not
// tell them). `read(offset, count)` gives bytes of the archive of `size`.
template <class Read> std::map<std::string, Packed> centralDirectory(Read&& read, uint64_t size) {
    std::map<std::string, Packed> out;
    const uint64_t tailSize = std::min<uint64_t>(size, 65536 + 22);
    const std::string tail = read(size - tailSize, static_cast<size_t>(tailSize));
    if (tail.size() < 22)
        return out;
    size_t eocd = std::string::npos;
    for (size_t i = tail.size() - 22 + 1; i-- > 0;)
        if (le(tail, i, 4) == 0x06054b50) {
            eocd = i;
            break;
        }
    if (eocd == std::string::npos)
        return out;
    const uint64_t eocdPos = size - tailSize + eocd;
    const uint32_t cdSize = le(tail, eocd + 12, 4);
    const uint32_t cdOffset = le(tail, eocd + 16, 4);
    if (cdSize > eocdPos || cdSize > (64u << 20))
        return out;
    // A self-extracting archive has the archive after a program: offsets then
    // count from the archive's start.
    const uint64_t cdPos = eocdPos - cdSize;
    (void)cdOffset;
    const std::string cd = read(cdPos, cdSize);
    size_t p = 0;
    while (p + 46 <= cd.size() && le(cd, p, 4) == 0x02014b50 && out.size() < 1000000) {
        const uint16_t method = static_cast<uint16_t>(le(cd, p + 10, 2));
        const uint32_t packed = le(cd, p + 20, 4);
        const size_t nameLen = le(cd, p + 28, 2);
        const size_t extraLen = le(cd, p + 30, 2);
        const size_t commentLen = le(cd, p + 32, 2);
        if (p + 46 + nameLen > cd.size())
            break;
        Packed info;
        info.size = packed == 0xFFFFFFFFu ? -1 : packed;
        info.method = methodName(method);
        out.emplace(cd.substr(p + 46, nameLen), info);
        p += 46 + nameLen + extraLen + commentLen;
    }
    return out;
}

ZipEntry entryOf(archive_entry* e, const std::map<std::string, Packed>& packed) {
    ZipEntry z;
    z.name = entryName(e);
    z.size = archive_entry_size_is_set(e) ? archive_entry_size(e) : -1;
    z.modified = archive_entry_mtime(e);
    z.directory = archive_entry_filetype(e) == AE_IFDIR;
    z.link = archive_entry_filetype(e) == AE_IFLNK || archive_entry_hardlink(e) != nullptr;
    const char* raw = archive_entry_pathname(e);
    if (auto it = packed.find(raw ? raw : z.name); it != packed.end()) {
        z.packed = it->second.size;
        z.method = it->second.method;
    }
    return z;
}

// A listing is for people: a million entries is enough.
constexpr size_t kMaxListed = 1000000;

// The entries as the central directory names them; passing over an entry is a
// seek, whatever it holds.
std::optional<std::vector<ZipEntry>>
listCentral(archive* a, const std::map<std::string, Packed>& packed, std::string* error) {
    std::vector<ZipEntry> entries;
    archive_entry* e = nullptr;
    while (entries.size() < kMaxListed) {
        const int r = archive_read_next_header(a, &e);
        if (r == ARCHIVE_EOF)
            break;
        if (r != ARCHIVE_OK && r != ARCHIVE_WARN) {
            if (error)
                *error = errorOf(a, "damaged archive");
            return std::nullopt;
        }
        entries.push_back(entryOf(e, packed));
    }
    return entries;
}

// The entries of a ZIP without a central directory: each must be read to its
// end to find the next, so the reading is bounded by bytes and time, and asks
// `progress` whether to go on.
std::optional<std::vector<ZipEntry>> listStream(archive* a, std::string* error,
                                                const ProgressCallback& progress,
                                                const ListBudget& budget) {
    const auto deadline = std::chrono::steady_clock::now() + budget.time;
    const std::map<std::string, Packed> none;
    std::vector<ZipEntry> entries;
    int64_t unpacked = 0;
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    const char* tooLong = "the archive has no central directory, and reading its entries one "
                          "after the other takes too long";
    archive_entry* e = nullptr;
    while (entries.size() < kMaxListed) {
        const int r = archive_read_next_header(a, &e);
        if (r == ARCHIVE_EOF)
            break;
        // Cut off after whole entries (where the central directory would
        // begin): what came before is the listing.
        if (r != ARCHIVE_OK && r != ARCHIVE_WARN && !entries.empty())
            break;
        if (r != ARCHIVE_OK && r != ARCHIVE_WARN)
            return fail(errorOf(a, "damaged archive"));
        entries.push_back(entryOf(e, none));
        if (std::chrono::steady_clock::now() > deadline)
            return fail(tooLong);
        if (progress && !progress(entries.back().name, unpacked, budget.bytes))
            return fail("stopped");
        // An entry that states its packed length is passed over by it; one that
        // states it only at its end must be unpacked to find that end.
        if (archive_entry_size_is_set(e) && archive_entry_size(e) >= 0) {
            if (archive_read_data_skip(a) != ARCHIVE_OK)
                return fail(errorOf(a, "damaged archive"));
            continue;
        }
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        int data = ARCHIVE_OK;
        while ((data = archive_read_data_block(a, &block, &size, &offset)) == ARCHIVE_OK ||
               data == ARCHIVE_WARN) {
            unpacked += static_cast<int64_t>(size);
            if (unpacked > budget.bytes || std::chrono::steady_clock::now() > deadline)
                return fail(tooLong);
            if (progress && !progress(entries.back().name, unpacked, budget.bytes))
                return fail("stopped");
        }
        if (data != ARCHIVE_EOF)
            return fail(errorOf(a, "damaged archive"));
    }
    return entries;
}

// The listing of an archive that `openReader` opens a reader on, from its start.
template <class Open>
std::optional<std::vector<ZipEntry>>
listArchive(Open&& openReader, const std::map<std::string, Packed>& packed, std::string* error,
            const ProgressCallback& progress, const ListBudget& budget) {
    ArchivePtr central = seekableReader();
    if (openReader(central.get()) == ARCHIVE_OK)
        return listCentral(central.get(), packed, error);
    ArchivePtr stream = streamReader();
    if (openReader(stream.get()) != ARCHIVE_OK) {
        if (error)
            *error = errorOf(stream.get(), "not a ZIP archive");
        return std::nullopt;
    }
    return listStream(stream.get(), error, progress, budget);
}

// Opens (creating when asked) the directories of `relative` below `root`, one
// at a time and never through a link. The descriptor of the last directory.
int openParents(int root, const std::string& relative, bool create) {
    int fd = ::dup(root);
    size_t pos = 0;
    while (fd >= 0) {
        const size_t slash = relative.find('/', pos);
        if (slash == std::string::npos)
            return fd;
        const std::string part = relative.substr(pos, slash - pos);
        pos = slash + 1;
        if (create)
            ::mkdirat(fd, part.c_str(), 0755);
        const int next =
            ::openat(fd, part.c_str(), O_DIRECTORY | O_NOFOLLOW | O_RDONLY | O_CLOEXEC);
        ::close(fd);
        fd = next;
    }
    return -1;
}

struct Space {
    int64_t free = INT64_MAX; // available to this user
    int64_t total = INT64_MAX;
};

Space spaceOf(int fd) {
    struct statvfs st {};
    if (::fstatvfs(fd, &st) != 0)
        return {};
    const auto unit = static_cast<int64_t>(st.f_frsize);
    return {static_cast<int64_t>(st.f_bavail) * unit, static_cast<int64_t>(st.f_blocks) * unit};
}

// What an entry may unpack to: what it declares, or when it declares nothing,
// kMaxRatio times what it packs; no bound when the archive says neither.
int64_t entryLimit(archive_entry* e, const std::map<std::string, Packed>& packed) {
    if (archive_entry_size_is_set(e))
        return std::max<int64_t>(0, archive_entry_size(e));
    const char* raw = archive_entry_pathname(e);
    if (auto it = packed.find(raw ? raw : ""); it != packed.end() && it->second.size >= 0)
        return it->second.size > (INT64_MAX - (1 << 20)) / kMaxRatio
                   ? INT64_MAX
                   : it->second.size * kMaxRatio + (1 << 20);
    return INT64_MAX;
}

std::string largerText(const std::string& name, int64_t limit) {
    return name + " unpacks to more than the " + std::to_string(limit) +
           " bytes the archive gives for it";
}

std::string temporaryName() {
    static std::mt19937 random(static_cast<unsigned>(
        std::chrono::steady_clock::now().time_since_epoch().count() ^ ::getpid()));
    return ".zx-unzip-" + std::to_string(random());
}

bool renameNoReplace(int dirfd, const std::string& from, const std::string& to) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(dirfd, from.c_str(), dirfd, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
#endif
    if (::linkat(dirfd, from.c_str(), dirfd, to.c_str(), 0) != 0)
        return false;
    ::unlinkat(dirfd, from.c_str(), 0);
    return true;
}

} // namespace

std::optional<std::vector<ZipEntry>> ListArchive(const std::string& path, std::string* error,
                                                 const ProgressCallback& progress,
                                                 const ListBudget& budget) {
    ArchiveFile file;
    std::string why;
    if (!file.open(path, why)) {
        if (error)
            *error = why;
        return std::nullopt;
    }
    const auto packed = centralDirectory(
        [&file](uint64_t offset, size_t count) { return file.read(offset, count); }, file.size());
    return listArchive([&file](archive* a) { return file.openReader(a); }, packed, error, progress,
                       budget);
}

std::optional<std::vector<ZipEntry>>
ListArchiveMemory(const void* data, size_t size, std::string* error, const ListBudget& budget) {
    const std::string bytes(static_cast<const char*>(data), size);
    const auto packed = centralDirectory(
        [&bytes](uint64_t offset, size_t count) {
            return offset >= bytes.size() ? std::string() : bytes.substr(offset, count);
        },
        bytes.size());
    return listArchive(
        [&bytes](archive* a) { return archive_read_open_memory(a, bytes.data(), bytes.size()); },
        packed, error, {}, budget);
}

std::optional<std::string> SafeEntryPath(const std::string& name) {
    if (name.empty() || name[0] == '/' || name[0] == '\\')
        return std::nullopt;
    if (name.size() >= 2 && name[1] == ':')
        return std::nullopt; // a drive letter
    std::string out;
    size_t pos = 0;
    while (pos <= name.size()) {
        size_t end = name.find_first_of("/\\", pos);
        if (end == std::string::npos)
            end = name.size();
        const std::string part = name.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == ".." || part.find('\0') != std::string::npos)
            return std::nullopt;
        if (!out.empty())
            out.push_back('/');
        out += part;
    }
    if (out.empty())
        return std::nullopt;
    return out;
}

int64_t FreeSpaceReserve(int64_t totalBytes) {
    return std::min<int64_t>(int64_t{64} << 20, std::max<int64_t>(0, totalBytes) / 20);
}

RunReport ExtractArchive(const std::string& archivePath, const std::string& targetDir,
                         const std::vector<std::string>& only, const ReplaceQuestion& replace,
                         const ProgressCallback& progress) {
    RunReport report;
    auto fail = [&](const std::string& line) {
        report.ok = false;
        report.lines.push_back(line);
    };
    const int root = ::open(targetDir.c_str(), O_DIRECTORY | O_RDONLY | O_CLOEXEC);
    if (root < 0) {
        fail("Cannot open the directory " + targetDir + ": " + std::strerror(errno));
        return report;
    }
    struct RootCloser {
        int fd;
        ~RootCloser() { ::close(fd); }
    } rootCloser{root};
    ArchiveFile file;
    std::string why;
    ArchivePtr a = seekableReader();
    if (!openCentral(file, a.get(), archivePath, why)) {
        fail("Cannot read the archive: " + why);
        return report;
    }
    const auto packed = centralDirectory(
        [&file](uint64_t offset, size_t count) { return file.read(offset, count); }, file.size());
    const std::unordered_set<std::string> wanted(only.begin(), only.end());
    // The room an extraction may take: the free space less the reserve.
    const int64_t reserve = FreeSpaceReserve(spaceOf(root).total);
    auto room = [reserve](int fd) {
        const Space space = spaceOf(fd);
        return space.free == INT64_MAX ? INT64_MAX : space.free - reserve;
    };
    std::vector<char> buffer(1 << 16);
    archive_entry* e = nullptr;
    while (!report.stopped) {
        const int r = archive_read_next_header(a.get(), &e);
        if (r == ARCHIVE_EOF)
            break;
        if (r != ARCHIVE_OK && r != ARCHIVE_WARN) {
            fail("Damaged archive: " + errorOf(a.get(), ""));
            break;
        }
        const std::string name = entryName(e);
        if (!wanted.empty() && !wanted.count(name))
            continue;
        const auto safe = SafeEntryPath(name);
        if (!safe) {
            fail("Refused (it would land outside the target): " + name);
            continue;
        }
        if (archive_entry_filetype(e) == AE_IFLNK || archive_entry_hardlink(e)) {
            fail("Link not created: " + name);
            continue;
        }
        if (archive_entry_filetype(e) == AE_IFDIR) {
            const int dir = openParents(root, *safe + "/", true);
            if (dir < 0)
                fail("Cannot make the directory " + name);
            else
                ::close(dir);
            continue;
        }
        if (archive_entry_filetype(e) != AE_IFREG) {
            fail("Not a file, skipped: " + name);
            continue;
        }
        const int dir = openParents(root, *safe, true);
        if (dir < 0) {
            fail("Cannot reach the directory of " + name + " (a link or no permission)");
            continue;
        }
        const std::string leaf =
            safe->substr(safe->rfind('/') == std::string::npos ? 0 : safe->rfind('/') + 1);
        const int64_t claimed = archive_entry_size_is_set(e) ? archive_entry_size(e) : 0;
        const int64_t limit = entryLimit(e, packed);
        if (claimed > room(dir)) {
            fail("Not enough free space on the disk for " + name + " (" + std::to_string(claimed) +
                 " bytes). Extraction stopped.");
            report.stopped = true;
            ::close(dir);
            break;
        }
        struct stat existing {};
        bool replacing = false;
        if (::fstatat(dir, leaf.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
            if (!S_ISREG(existing.st_mode)) {
                fail("Exists and is no file, skipped: " + name);
                ::close(dir);
                continue;
            }
            if (!replace || !replace(*safe)) {
                report.lines.push_back("Kept the existing " + name);
                ::close(dir);
                continue;
            }
            replacing = true;
        }
        const std::string temp = temporaryName();
        const int out =
            ::openat(dir, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                     (archive_entry_perm(e) & 0777) | 0600);
        if (out < 0) {
            fail("Cannot write " + name + ": " + std::strerror(errno));
            ::close(dir);
            continue;
        }
        int64_t done = 0;
        int64_t allowed = room(dir);
        bool good = true;
        while (true) {
            const la_ssize_t n = archive_read_data(a.get(), buffer.data(), buffer.size());
            if (n == 0)
                break;
            if (n < 0) {
                fail("Damaged entry " + name + ": " + errorOf(a.get(), ""));
                good = false;
                break;
            }
            // A lying entry is stopped at once, however far it would unpack.
            if (n > limit - done) {
                fail(largerText(name, limit) + ": not extracted.");
                good = false;
                break;
            }
            if (done + n > allowed) {
                // What was written so far is off the free space already.
                allowed = done + room(dir);
                if (done + n > allowed) {
                    fail("Not enough free space on the disk for " + name + ". Extraction stopped.");
                    report.stopped = true;
                    good = false;
                    break;
                }
            }
            done += n;
            const char* p = buffer.data();
            la_ssize_t left = n;
            while (left > 0) {
                const ssize_t w = ::write(out, p, static_cast<size_t>(left));
                if (w < 0 && errno == EINTR)
                    continue;
                if (w <= 0) {
                    fail("Cannot write " + name + ": " + std::strerror(errno));
                    good = false;
                    break;
                }
                p += w;
                left -= w;
            }
            if (!good)
                break;
            if (progress && !progress(name, done, claimed)) {
                report.stopped = true;
                good = false;
                break;
            }
        }
        if (good) {
            const struct timespec times[2] = {{archive_entry_mtime(e), 0},
                                              {archive_entry_mtime(e), 0}};
            ::futimens(out, times);
        }
        good = ::close(out) == 0 && good;
        if (good)
            good = replacing ? ::renameat(dir, temp.c_str(), dir, leaf.c_str()) == 0
                             : renameNoReplace(dir, temp, leaf);
        if (good) {
            ++report.written;
        } else {
            ::unlinkat(dir, temp.c_str(), 0); // no partial file ever keeps the name
        }
        ::close(dir);
    }
    return report;
}

RunReport TestArchive(const std::string& archivePath, const ProgressCallback& progress) {
    RunReport report;
    ArchiveFile file;
    std::string why;
    ArchivePtr a = seekableReader();
    if (!openCentral(file, a.get(), archivePath, why)) {
        report.ok = false;
        report.lines.push_back("Cannot read the archive: " + why);
        return report;
    }
    const auto packed = centralDirectory(
        [&file](uint64_t offset, size_t count) { return file.read(offset, count); }, file.size());
    std::vector<char> buffer(1 << 16);
    archive_entry* e = nullptr;
    int entries = 0;
    while (true) {
        const int r = archive_read_next_header(a.get(), &e);
        if (r == ARCHIVE_EOF)
            break;
        if (r != ARCHIVE_OK && r != ARCHIVE_WARN) {
            report.ok = false;
            report.lines.push_back("Damaged archive: " + errorOf(a.get(), ""));
            break;
        }
        ++entries;
        const std::string name = entryName(e);
        const int64_t limit = entryLimit(e, packed);
        const int64_t claimed = archive_entry_size_is_set(e) ? archive_entry_size(e) : -1;
        int64_t done = 0;
        bool good = true;
        while (true) {
            const la_ssize_t n = archive_read_data(a.get(), buffer.data(), buffer.size());
            if (n == 0)
                break;
            if (n < 0) {
                good = false;
                report.lines.push_back("Error  " + name + ": " + errorOf(a.get(), ""));
                break;
            }
            if (n > limit - done) {
                good = false;
                report.lines.push_back("Error  " + largerText(name, limit));
                break;
            }
            done += n;
            if (progress && !progress(name, done, claimed)) {
                report.stopped = true;
                return report;
            }
        }
        if (good)
            report.lines.push_back("OK     " + name);
        report.ok = report.ok && good;
    }
    if (entries == 0 && report.ok) {
        report.ok = false;
        report.lines.push_back("No entries: not an archive.");
    }
    return report;
}

namespace {

void walk(const std::string& dir, const std::string& relative, const std::string& mask,
          bool recurse, std::vector<std::pair<std::string, std::string>>& out, int depth) {
    if (depth > 64 || out.size() > 1000000)
        return;
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return;
    std::vector<std::string> subdirs;
    while (dirent* ent = ::readdir(d)) {
        const std::string name = ent->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string path = dir + "/" + name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0)
            continue; // links are neither packed nor followed
        if (S_ISDIR(st.st_mode)) {
            if (recurse)
                subdirs.push_back(name);
        } else if (S_ISREG(st.st_mode) && (mask == "*.*" || mask == "*" ||
                                           WildcardMatch(UpperCase(mask), UpperCase(name)))) {
            out.emplace_back(path, relative + name);
        }
    }
    ::closedir(d);
    for (const std::string& sub : subdirs)
        walk(dir + "/" + sub, relative + sub + "/", mask, recurse, out, depth + 1);
}

} // namespace

std::vector<PackItem> CollectPackItems(const std::vector<ZipListItem>& names,
                                       const std::string& baseDir, bool recurse,
                                       bool keepSubdirectories, const std::string& exclude) {
    struct stat ex {};
    const bool haveExclude = !exclude.empty() && ::stat(exclude.c_str(), &ex) == 0;
    std::vector<PackItem> items;
    std::set<std::pair<dev_t, ino_t>> seen; // each file once, whatever names it
    auto add = [&](const std::string& path, const std::string& relative) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            return;
        if (haveExclude && st.st_dev == ex.st_dev && st.st_ino == ex.st_ino)
            return; // the archive being written
        if (!seen.emplace(st.st_dev, st.st_ino).second)
            return;
        std::string stored = relative;
        if (!keepSubdirectories)
            stored = relative.substr(
                relative.rfind('/') == std::string::npos ? 0 : relative.rfind('/') + 1);
        items.push_back({path, stored});
    };
    for (const ZipListItem& item : names) {
        // "sub/" stands for "sub": a trailing "/" must not make stored names absolute.
        std::string name = item.path;
        while (name.size() > 1 && name.back() == '/')
            name.pop_back();
        if (name.empty() || name == "/")
            continue;
        const std::string path = name[0] == '/' ? name : baseDir + "/" + name;
        const size_t slash = path.rfind('/');
        const std::string last = path.substr(slash + 1);
        const std::string dir = slash == 0 ? "/" : path.substr(0, slash);
        std::vector<std::pair<std::string, std::string>> found;
        struct stat st {};
        if (item.mask) {
            walk(dir, "", last, recurse, found, 0);
        } else if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            walk(path, last + "/", "*", true, found, 0);
        } else {
            std::string relative = name[0] == '/' ? last : name;
            found.emplace_back(path, relative);
        }
        for (const auto& [p, rel] : found)
            add(p, rel);
    }
    return items;
}

RunReport CreateArchive(const std::string& archivePath, const std::vector<PackItem>& items,
                        const ProgressCallback& progress) {
    RunReport report;
    const size_t slash = archivePath.rfind('/');
    const std::string dir =
        slash == std::string::npos ? "." : archivePath.substr(0, std::max<size_t>(slash, 1));
    const std::string temp = dir + "/" + temporaryName() + ".zip";
    std::unique_ptr<archive, int (*)(archive*)> w(archive_write_new(), archive_write_free);
    archive_write_set_format_zip(w.get());
    if (archive_write_open_filename(w.get(), temp.c_str()) != ARCHIVE_OK) {
        report.ok = false;
        report.lines.push_back("Cannot write the archive: " +
                               std::string(archive_error_string(w.get()) ?: ""));
        return report;
    }
    std::vector<char> buffer(1 << 16);
    for (const PackItem& item : items) {
        const int fd =
            ::open(item.hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            if (fd >= 0)
                ::close(fd);
            report.ok = false;
            report.lines.push_back("Cannot read " + item.hostPath);
            continue;
        }
        std::unique_ptr<archive_entry, void (*)(archive_entry*)> e(archive_entry_new(),
                                                                   archive_entry_free);
        archive_entry_set_pathname_utf8(e.get(), item.name.c_str());
        archive_entry_set_size(e.get(), st.st_size);
        archive_entry_set_filetype(e.get(), AE_IFREG);
        archive_entry_set_perm(e.get(), st.st_mode & 0777);
        archive_entry_set_mtime(e.get(), st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
        bool good = archive_write_header(w.get(), e.get()) == ARCHIVE_OK;
        int64_t done = 0;
        while (good) {
            const ssize_t n = ::read(fd, buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                good = n == 0;
                break;
            }
            good = archive_write_data(w.get(), buffer.data(), static_cast<size_t>(n)) == n;
            done += n;
            if (progress && !progress(item.name, done, st.st_size)) {
                report.stopped = true;
                good = false;
            }
        }
        ::close(fd);
        if (report.stopped)
            break;
        if (good) {
            ++report.written;
            report.lines.push_back("Added  " + item.name);
        } else {
            report.ok = false;
            report.lines.push_back("Error  " + item.name);
        }
    }
    const bool closed = archive_write_close(w.get()) == ARCHIVE_OK;
    if (!closed || report.stopped || (!report.ok && report.written == 0)) {
        ::unlink(temp.c_str());
        report.ok = false;
        if (!closed)
            report.lines.push_back("Cannot finish the archive.");
        return report;
    }
    if (::rename(temp.c_str(), archivePath.c_str()) != 0) {
        ::unlink(temp.c_str());
        report.ok = false;
        report.lines.push_back("Cannot write " + archivePath + ": " + std::strerror(errno));
    }
    return report;
}

} // namespace zentrix::unzip
