#include "archiveinfo.h"

#include "numbertext.h"

#include <archive.h>
#include <archive_entry.h>
#include <memory>

namespace zentrix::fileinfo {

ArchiveFacts ReadArchiveFacts(const std::string& path, std::chrono::milliseconds budget,
                              uint64_t maxEntries) {
    ArchiveFacts facts;
    std::unique_ptr<archive, decltype(&archive_read_free)> a(archive_read_new(), archive_read_free);
    if (!a)
        return facts;
    archive_read_support_filter_all(a.get());
    archive_read_support_format_all(a.get());
    if (archive_read_open_filename(a.get(), path.c_str(), 64 * 1024) != ARCHIVE_OK)
        return facts;

    const auto deadline = std::chrono::steady_clock::now() + budget;
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
        if (facts.entries >= maxEntries || std::chrono::steady_clock::now() > deadline) {
            facts.complete = false;
            break;
        }
        // Skipping an entry's data costs nothing for seekable formats and a
        // decompression pass for compressed streams; the deadline bounds it.
        archive_read_data_skip(a.get());
    }
    if (status == ARCHIVE_FATAL && facts.entries == 0)
        facts.readable = false;
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
