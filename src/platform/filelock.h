#pragma once

#include <chrono>
#include <string>

namespace zentrix::platform {

/// An exclusive advisory lock (flock) on a file that its writers replace by
/// renaming a new file over it: the lock is taken on the file itself and taken
/// again whenever the name has meanwhile been given to a new file, so that every
/// holder holds the file the name stands for. A missing file is created empty
/// (with its missing directories). Released when the object goes.
class FileLock {
public:
    /// Waits at most `patience` for the lock; throws FileWriteError naming the
    /// path when another program keeps it longer, or when the file cannot be
    /// opened or created.
    explicit FileLock(const std::string& path,
                      std::chrono::milliseconds patience = std::chrono::seconds(5));
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int m_fd = -1;
};

} // namespace zentrix::platform
