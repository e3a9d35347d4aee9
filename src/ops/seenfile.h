#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zentrix {

class TFileClass;

/// A file as the user saw it in the file window: its names and the size and
/// time its record showed. Before an operation deletes, wipes or moves the
/// file, the disk is held against this, so that a file rewritten since it was
/// read is not destroyed unasked.
struct SeenFile {
    std::string fullName; // catalogue path
    std::string hostPath;
    int64_t size = 0;
    int64_t lastWriteTime = 0; // 100-ns units since 1601, UTC

    /// What a record shows now (its host path given).
    static SeenFile Of(const TFileClass& record, std::string hostPath);
};

/// The size and time the disk gives for a seen file that has changed since;
/// none when it is as seen (or gone: the operation itself then says so).
struct DiskChange {
    int64_t size = 0;
    int64_t lastWriteTime = 0;
};
/// Reads the file as a directory listing does (a link counts as what it points
/// to, a dangling one as itself).
std::optional<DiskChange> ChangedSinceSeen(const SeenFile& seen);

/// The question about a changed file: both sizes and times, then `question`
/// ("Delete it anyway?").
std::string ChangedFileQuestion(const SeenFile& seen, const DiskChange& now,
                                const std::string& question);

/// The record takes what the disk says, so that its row shows the file as it is.
void TakeDiskState(TFileClass& record, const DiskChange& now);

} // namespace zentrix
