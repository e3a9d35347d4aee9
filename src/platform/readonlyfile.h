#pragma once

#include <cstddef>
#include <string>

namespace zentrix::platform {

/// A file opened for reading its contents only. FIFOs, sockets and devices are
/// never opened (opening a FIFO blocks until a writer comes, and opening some
/// devices has effects of its own): only what is a regular file both before and
/// after the open is read. Reads go through read(2), never a mapping, so a file
/// that another program truncates meanwhile only ends early.
class ReadOnlyFile {
public:
    enum class OpenResult {
        Opened,
        NotRegular,   // a directory, FIFO, socket or device: left alone
        DanglingLink, // a symbolic link that leads nowhere (or round in a loop)
        Failed,       // Error() tells why
    };

    ReadOnlyFile() = default;
    ~ReadOnlyFile() { Close(); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    /// Opens `name` inside the directory open as `dirFd` (AT_FDCWD and an
    /// absolute path also do). A symbolic link to a regular file is followed.
    /// `listedRegular`: the directory listing said it is a regular file, so
    /// the look before the open is saved (the check after it is not).
    OpenResult OpenAt(int dirFd, const char* name, bool listedRegular = false);
    OpenResult Open(const std::string& path) { return OpenAt(-100 /* AT_FDCWD */, path.c_str()); }

    /// Up to `size` bytes at the current position; 0 at the end of the file,
    /// -1 on an error (Error() tells which).
    long Read(char* buffer, size_t size);

    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    /// The system's error number of the last failure.
    int Error() const { return m_error; }
    /// The size the file had when it was opened.
    unsigned long long Size() const { return m_size; }

private:
    int m_fd = -1;
    int m_error = 0;
    unsigned long long m_size = 0;
};

} // namespace zentrix::platform
