#include "ops/twdlist.h"

#include "config/pathforms.h"
#include "config/settings.h"
#include "core/prompter.h"
#include "core/text.h"
#include "platform/apppaths.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrix {
namespace {

constexpr const char* kLogName = "WATCHDOG.LOG";

// The system files of DOS count in the root of every drive.
constexpr const char* kRootSystemFiles[] = {
    "COMMAND.COM",  "COMMAND.DOS", "CONFIG.SYS", "AUTOEXEC.BAT", "DBLSPACE.BIN",
    "DRVSPACE.BIN", "IO.SYS",      "MSDOS.SYS",  "SYSTEM.1ST",
};

std::string withBackslash(std::string path) {
    if (!path.empty() && path.back() != '\\')
        path.push_back('\\');
    return path;
}

} // namespace

TWDList::TWDList(const Settings& settings, Prompter& prompter, const platform::DriveTable& drives)
    : m_settings(settings), m_prompter(prompter), m_drives(drives) {
    for (int i = 0; i < Count; ++i)
        m_kinds[static_cast<size_t>(i)] = {static_cast<WDOperation>(i), false};
}

TWDList::~TWDList() {
    if (m_fd >= 0)
        ::close(m_fd);
}

const char* TWDList::Strings(int code) {
    return code >= 0 && code < Count ? kWatchDogOperationNames[static_cast<size_t>(code)] : "";
}

void TWDList::LoadFlags(const std::array<bool, Count>& flags) {
    for (int i = 0; i < Count; ++i)
        m_kinds[static_cast<size_t>(i)].Enabled = flags[static_cast<size_t>(i)];
}

// --- protection ------------------------------------------------------------------------

bool TWDList::IsProtectedFile(const std::string& fullPath) const {
    const std::string p = UpperCase(fullPath);
    const size_t sep = p.rfind('\\');
    if (sep == std::string::npos || p.empty())
        return false;
    const std::string dir = p.substr(0, sep + 1);
    const std::string windows = UpperCase(m_settings.WindowsDir);
    const std::string system = UpperCase(m_settings.SystemDir);
    if (!windows.empty() && dir == withBackslash(windows))
        return true;
    if (!system.empty() && dir == withBackslash(system))
        return true;
    if (!m_programPath.empty() && p == UpperCase(m_programPath))
        return true;
    const std::string root = std::string(1, p[0]) + ":\\";
    for (const char* name : kRootSystemFiles)
        if (p == root + name)
            return true;
    return false;
}

bool TWDList::IsProtectedDirectory(const std::string& dirPath) const {
    if (dirPath.empty())
        return false;
    const std::string d = withBackslash(UpperCase(dirPath));
    const std::string windows = UpperCase(m_settings.WindowsDir);
    const std::string system = UpperCase(m_settings.SystemDir);
    return (!windows.empty() && d == withBackslash(windows)) ||
           (!system.empty() && d == withBackslash(system));
}

bool TWDList::ConfirmProtected(const std::string& question) {
    return m_prompter.askYesNo(question);
}

bool TWDList::MayTouchFile(const std::string& fullPath, const std::string& question) {
    if (m_settings.SkipProtectedOption || !IsProtectedFile(fullPath))
        return true;
    return ConfirmProtected(question);
}

bool TWDList::MayTouchDirectory(const std::string& dirPath, const std::string& question) {
    if (m_settings.SkipProtectedOption || !IsProtectedDirectory(dirPath))
        return true;
    return ConfirmProtected(question);
}

// --- the log -------------------------------------------------------------------------------

bool TWDList::WatchDogWants(WDOperation op) const {
    const auto code = static_cast<size_t>(op);
    return m_settings.WDEnabled && code < m_kinds.size() && m_kinds[code].Enabled;
}

std::string TWDList::LogPath() const {
    std::string dir;
    if (m_settings.WDFilePath.empty()) {
        dir = platform::AppPaths::ProgramDir();
    } else if (auto host = HostPathOf(m_settings.WDFilePath, m_drives)) {
        dir = *host;
    } else {
        return {};
    }
    if (dir.empty())
        return {};
    if (dir.back() != '/')
        dir.push_back('/');
    return dir + kLogName;
}

std::string TWDList::TimeStamp(std::time_t when) {
    std::tm tm{};
    if (!::localtime_r(&when, &tm))
        return {};
    const bool midnight = tm.tm_hour == 0 && tm.tm_min == 0 && tm.tm_sec == 0;
    char buf[128];
    const size_t n = std::strftime(buf, sizeof buf, midnight ? "%x" : "%x %X", &tm);
    return std::string(buf, n);
}

std::string TWDList::HeaderLine(std::time_t when) {
    return std::string(kLogName) + " - Zentrix WatchDog file created at " + TimeStamp(when) + ":";
}

std::string TWDList::EntryText(WDOperation op, const std::string& source,
                               const std::string& destination, int count) {
    const bool group = count >= 2;
    const std::string n = std::to_string(count - 1);
    switch (op) {
    case WDOperation::DeleteFile:
        return group ? " Delete " + n + " file(s) from " + source : " Delete file: " + source;
    case WDOperation::MoveFile:
        return group ? " Move " + n + " file(s) from " + source + " to " + destination
                     : " Move file: " + source + " to " + destination;
    case WDOperation::CopyFile:
        return group ? " Copy " + n + " file(s) from " + source + " to " + destination
                     : " Copy file: " + source + " to " + destination;
    case WDOperation::RenameFile:
        return group ? " Rename " + n + " file(s) to " + destination
                     : " Rename file: " + source + " to " + destination;
    case WDOperation::ChangeAttributes:
        return group ? " Change attributes for " + n + " file(s) to " + destination
                     : " Change attributes for file: " + source + " to " + destination;
    case WDOperation::ChangeDateTime:
        return group ? " Change date/time for " + n + " file(s) to " + destination
                     : " Change date/time for file: " + source + " to " + destination;
    case WDOperation::EditFile:
        return " Edit file: " + source;
    case WDOperation::ExecuteFile:
        return " Execute file: " + source;
    case WDOperation::PrintFile:
        return " Print file: " + source;
    case WDOperation::ViewFile:
        return " View file: " + source;
    case WDOperation::DeleteDirectory:
        return " Delete directory: " + source;
    case WDOperation::NewDirectory:
        return " New directory: " + source;
    case WDOperation::RenameDirectory:
        return " Rename directory from " + source + " to " + destination;
    case WDOperation::PruneDirectory:
        return " PRUNE directory: " + source;
    case WDOperation::SearchFileForText:
        return " Search " + std::to_string(count) + " file(s) for text: " + source;
    }
    return {};
}

void TWDList::failed(const std::string& what) {
    if (m_failureTold)
        return;
    m_failureTold = true;
    if (onLogFailure)
        onLogFailure(what);
}

bool TWDList::writeAll(const std::string& bytes) {
    // One write per line: with O_APPEND the system places it whole at the end,
    // whatever another instance appends at the same moment.
    for (;;) {
        const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n == static_cast<ssize_t>(bytes.size()))
            return true;
        failed("WatchDog file " + m_openPath +
               " cannot be written: " + (n < 0 ? std::strerror(errno) : "the disk is full"));
        return false;
    }
}

bool TWDList::WatchDogOpen() {
    if (m_fd >= 0)
        return true;
    const std::string path = LogPath();
    if (path.empty()) {
        failed("WatchDog file cannot be written: no drive holds its directory " +
               m_settings.WDFilePath);
        return false;
    }
    const std::time_t now = Clock ? Clock() : std::time(nullptr);
    constexpr int kAppend = O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW;
    for (int attempt = 0; attempt < 2; ++attempt) {
        m_fd = ::open(path.c_str(), kAppend);
        if (m_fd >= 0 || errno != ENOENT)
            break;
        // Only a missing log is made anew, so no earlier line is ever lost; a log
        // that another instance created meanwhile is appended to.
        m_fd = ::open(path.c_str(), kAppend | O_CREAT | O_EXCL, 0644);
        if (m_fd >= 0) {
            m_openPath = path;
            if (!writeAll(HeaderLine(now) + "\r\n\r\n")) {
                WatchDogClose();
                return false;
            }
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        failed("WatchDog file " + path + " cannot be written: " + std::strerror(errno));
        return false;
    }
    m_openPath = path;
    return true;
}

void TWDList::WatchDogWrite(const std::string& source, const std::string& destination, int count,
                            WDOperation op) {
    if (m_fd < 0)
        return;
    const std::time_t now = Clock ? Clock() : std::time(nullptr);
    // Names may hold line breaks: an entry stays one line.
    if (writeAll(TimeStamp(now) + OneLineText(EntryText(op, source, destination, count)) + "\r\n"))
        m_failureTold = false;
}

void TWDList::WatchDogClose() {
    if (m_fd < 0)
        return;
    struct stat st {};
    const bool sized = ::fstat(m_fd, &st) == 0;
    ::close(m_fd);
    m_fd = -1;
    const int64_t limitKb = m_settings.WDFileSize > 0 ? m_settings.WDFileSize : 100;
    if (m_settings.WDAutoDelete && sized && static_cast<int64_t>(st.st_size) > limitKb * 1024)
        ::unlink(m_openPath.c_str()); // a failure here is of no consequence
    m_openPath.clear();
}

void TWDList::LogSingle(WDOperation op, const std::string& source, const std::string& destination,
                        int count) {
    if (!WatchDogWants(op))
        return;
    const bool wasOpen = IsOpen();
    if (!WatchDogOpen())
        return;
    WatchDogWrite(source, destination, count, op);
    if (!wasOpen)
        WatchDogClose();
}

void TWDList::LogText(WDOperation op, const std::string& text) {
    if (!WatchDogWants(op))
        return;
    const bool wasOpen = IsOpen();
    if (!WatchDogOpen())
        return;
    const std::time_t now = Clock ? Clock() : std::time(nullptr);
    if (writeAll(TimeStamp(now) + OneLineText(text) + "\r\n"))
        m_failureTold = false;
    if (!wasOpen)
        WatchDogClose();
}

} // namespace zentrix
