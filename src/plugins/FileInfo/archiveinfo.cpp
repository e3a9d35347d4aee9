#include "archiveinfo.h"

#include "numbertext.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrix::fileinfo {
namespace {

// Every format libarchive reads, but ZIP only through its central directory:
// the streaming ZIP reader passes over an entry of unknown length by unpacking
// it, and an entry may unpack to any size.
void supportFormats(archive* a) {
    archive_read_support_format_7zip(a);
    archive_read_support_format_ar(a);
    archive_read_support_format_cab(a);
    archive_read_support_format_cpio(a);
    archive_read_support_format_empty(a);
    archive_read_support_format_iso9660(a);
    archive_read_support_format_lha(a);
    archive_read_support_format_mtree(a);
    archive_read_support_format_rar(a);
    archive_read_support_format_rar5(a);
    archive_read_support_format_tar(a);
    archive_read_support_format_warc(a);
    archive_read_support_format_xar(a);
    archive_read_support_format_zip_seekable(a);
}

// The outer compressions libarchive undoes itself. Where it lacks the library
// for one (lzop, lrzip, grzip always; the others when built without theirs) it
// would start an external program found on the PATH and feed it the file: a
// file that merely starts like such a stream must never run anything.
void supportBuiltInFilters(archive* a) {
    archive_read_support_filter_compress(a);
    archive_read_support_filter_uu(a);
    archive_read_support_filter_rpm(a);
    if (archive_zlib_version())
        archive_read_support_filter_gzip(a);
    if (archive_bzlib_version())
        archive_read_support_filter_bzip2(a);
    if (archive_liblzma_version()) {
        archive_read_support_filter_xz(a);
        archive_read_support_filter_lzma(a);
        archive_read_support_filter_lzip(a);
    }
    if (archive_libzstd_version())
        archive_read_support_filter_zstd(a);
    if (archive_liblz4_version())
        archive_read_support_filter_lz4(a);
}

// Formats whose entries lie in the file as they are, or whose skip is a seek
// past a stored length: passing over an entry costs nothing when no filter
// (gzip, bzip2 ...) lies around the whole. Anywhere else passing over an entry
// means unpacking it.
bool skipIsASeek(archive* a) {
    if (archive_filter_count(a) > 1 || archive_filter_code(a, 0) != ARCHIVE_FILTER_NONE)
        return false;
    switch (archive_format(a) & ARCHIVE_FORMAT_BASE_MASK) {
    case ARCHIVE_FORMAT_TAR:
    case ARCHIVE_FORMAT_CPIO:
    case ARCHIVE_FORMAT_AR:
    case ARCHIVE_FORMAT_ISO9660:
    case ARCHIVE_FORMAT_ZIP:
    case ARCHIVE_FORMAT_EMPTY:
        return true;
    default:
        return false;
    }
}

} // namespace

ArchiveFacts ReadArchiveFacts(const std::string& path, std::chrono::milliseconds budget,
                              uint64_t maxEntries, uint64_t maxUnpackedBytes) {
    ArchiveFacts facts;
    std::unique_ptr<archive, decltype(&archive_read_free)> a(archive_read_new(), archive_read_free);
    if (!a)
        return facts;
    supportBuiltInFilters(a.get());
    supportFormats(a.get());
    // A regular file only: opening a FIFO would wait for a writer for ever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return facts;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return facts;
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (archive_read_open_fd(a.get(), fd, 64 * 1024) != ARCHIVE_OK)
        return facts;

    const auto deadline = std::chrono::steady_clock::now() + budget;
    uint64_t unpacked = 0;
    auto spent = [&] {
        return unpacked > maxUnpackedBytes || std::chrono::steady_clock::now() > deadline;
    };
    archive_entry* entry = nullptr;
    int status = ARCHIVE_OK;
    while ((status = archive_read_next_header(a.get(), &entry)) == ARCHIVE_OK ||
           status == ARCHIVE_WARN) {
        facts.readable = true;
        ++facts.entries;
        const mode_t type = archive_entry_filetype(entry);
        if (type == AE_IFDIR)
            ++facts.directories;
        else if (type == AE_IFREG)
            ++facts.files;
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > 0)
            facts.totalSize += static_cast<uint64_t>(archive_entry_size(entry));
        if (archive_entry_is_encrypted(entry))
            facts.encrypted = true;
        if (facts.entries >= maxEntries || spent()) {
            facts.complete = false;
            break;
        }
        if (skipIsASeek(a.get())) {
            archive_read_data_skip(a.get());
            continue;
        }
        // Unpacked block by block, so that the budget holds inside an entry too:
        // a few kilobytes of bzip2 may stand for gigabytes of zeros.
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        int data = ARCHIVE_OK;
        while ((data = archive_read_data_block(a.get(), &block, &size, &offset)) == ARCHIVE_OK ||
               data == ARCHIVE_WARN) {
            unpacked += size;
            if (spent())
                break;
        }
        if (data == ARCHIVE_FATAL || (data != ARCHIVE_EOF && data != ARCHIVE_FAILED)) {
            facts.complete = false;
            break;
        }
    }
    if (status == ARCHIVE_FATAL && facts.entries == 0)
        facts.readable = false;
    if (status == ARCHIVE_FATAL && facts.entries > 0)
        facts.complete = false; // damaged after what was counted
    if (status == ARCHIVE_EOF)
        facts.readable = true; // an empty archive is still an archive
    if (const char* name = archive_format_name(a.get()))
        facts.format = name;
    const int filters = archive_filter_count(a.get());
    for (int i = 0; i < filters; ++i) {
        if (archive_filter_code(a.get(), i) == ARCHIVE_FILTER_NONE)
            continue;
        if (const char* name = archive_filter_name(a.get(), i)) {
            if (!facts.compression.empty())
                facts.compression += ", ";
            facts.compression += name;
        }
    }
    return facts;
}

void AppendArchiveLines(const ArchiveFacts& facts, std::vector<std::string>& lines) {
    if (!facts.readable)
        return;
    std::string line =
        "Archive: " + (facts.format.empty() ? std::string("unknown format") : facts.format);
    if (!facts.compression.empty())
        line += ", compressed with " + facts.compression;
    lines.push_back(line);
    lines.push_back("Entries: " + std::string(facts.complete ? "" : "at least ") +
                    GroupedNumber(facts.entries) + " (" + GroupedNumber(facts.files) + " files, " +
                    GroupedNumber(facts.directories) + " directories)");
    lines.push_back("Unpacked size: " + std::string(facts.complete ? "" : "at least ") +
                    GroupedNumber(facts.totalSize) + " bytes");
    if (facts.encrypted)
        lines.push_back("Encrypted entries: yes");
}

} // namespace zentrix::fileinfo
