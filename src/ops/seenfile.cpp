#include "ops/seenfile.h"

#include "catalogue/fileclass.h"
#include "ops/localdatetime.h"
#include "platform/filetime.h"

#include <cstdio>
#include <sys/stat.h>

namespace zentrix {
namespace {

std::string timeText(int64_t fileTime) {
    const LocalDateTime t = FileTimeToLocal(fileTime);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

} // namespace

SeenFile SeenFile::Of(const TFileClass& record, std::string hostPath) {
    return {record.FullName(), std::move(hostPath), record.FileSize(), record.LastWriteTime()};
}

std::optional<DiskChange> ChangedSinceSeen(const SeenFile& seen) {
    struct stat st {};
    if (seen.hostPath.empty() ||
        (::stat(seen.hostPath.c_str(), &st) != 0 && ::lstat(seen.hostPath.c_str(), &st) != 0))
        return std::nullopt;
    if (S_ISDIR(st.st_mode))
        return std::nullopt;
    const DiskChange now{static_cast<int64_t>(st.st_size), platform::ToFileTime(st.st_mtim)};
    if (now.size == seen.size && now.lastWriteTime == seen.lastWriteTime)
        return std::nullopt;
    return now;
}

std::string ChangedFileQuestion(const SeenFile& seen, const DiskChange& now,
                                const std::string& question) {
    return "The file " + seen.fullName + " has changed since it was read.\r\n" +
           "Shown:   " + std::to_string(seen.size) + " bytes, " + timeText(seen.lastWriteTime) +
           "\r\nOn disk: " + std::to_string(now.size) + " bytes, " + timeText(now.lastWriteTime) +
           "\r\n" + question + "     ";
}

void TakeDiskState(TFileClass& record, const DiskChange& now) {
    record.SetFileSize(now.size);
    record.SetLastWriteTime(now.lastWriteTime);
}

} // namespace zentrix
