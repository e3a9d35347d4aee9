#include "errors/errorlog.h"

#include "platform/apppaths.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <unistd.h>

namespace zentrix {

ErrorReport ClassifyError(const std::exception& error) {
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return {"Out of memory", ErrorGroup::Fatal};
    if (dynamic_cast<const SystemFault*>(&error))
        return {error.what(), ErrorGroup::Fatal};
    return {error.what(), ErrorGroup::Ordinary};
}

ErrorReport ClassifyUnknownError() {
    return {"External exception", ErrorGroup::Fatal};
}

std::string ErrorLog::DefaultPath() {
    return platform::AppPaths::ProgramDir() + "ERRORS.LOG";
}

std::string LocaleDateTime(std::time_t when) {
    std::tm tm{};
    ::localtime_r(&when, &tm);
    char buf[128];
    const size_t n = std::strftime(buf, sizeof buf, "%x %X", &tm);
    return std::string(buf, n);
}

std::string ErrorLogLine(const std::string& dateTime, const std::string& message) {
    std::string text = message;
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return dateTime + " " + text + " \r\n";
}

bool ErrorLog::Append(const std::string& message, std::time_t when) {
    m_lastError.clear();
    std::string bytes = ErrorLogLine(LocaleDateTime(when), message);
    int fd = ::open(m_path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        // Only a missing log is made anew: an existing one that refuses appending
        // keeps its earlier lines.
        fd = ::open(m_path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0)
            bytes = kHeader + bytes;
    }
    if (fd < 0) {
        m_lastError = std::strerror(errno);
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_lastError = n < 0 ? std::strerror(errno) : "nothing could be written";
            ::close(fd);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    if (::close(fd) != 0) {
        m_lastError = std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace zentrix
