#pragma once

#include <ctime>
#include <exception>
#include <stdexcept>
#include <string>

namespace zentrix {

/// How bad an error that escaped a command probably is.
enum class ErrorGroup { Ordinary, Fatal };

/// A fault the system raised rather than the program (a bad memory access, a
/// stack overflow ...), carried as an exception where something turns it into one
/// (a guarded call into a plug-in, for example). Always in the fatal group.
class SystemFault : public std::runtime_error {
public:
    enum class Kind {
        AccessViolation,
        StackOverflow,
        InvalidPointer,
        PrivilegedInstruction,
        External
    };
    SystemFault(Kind kind, const std::string& message)
        : std::runtime_error(message), m_kind(kind) {}
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

/// An escaped error as the report shows it.
struct ErrorReport {
    std::string message;
    ErrorGroup group = ErrorGroup::Ordinary;
};

/// Out of memory (std::bad_alloc and its kin) and SystemFault are fatal; every
/// other exception is ordinary. The message is the exception's own text, or
/// "Out of memory" for an allocation failure.
ErrorReport ClassifyError(const std::exception& error);
/// Something that is not a std::exception: nothing is known of it, so it counts
/// as an external (fatal) fault.
ErrorReport ClassifyUnknownError();

/// The error log ERRORS.LOG: one line per escaped error, lines ending in CR LF,
/// the two header lines written when the file is created.
class ErrorLog {
public:
    explicit ErrorLog(std::string path) : m_path(std::move(path)) {}
    /// ERRORS.LOG in the program's log directory ($ZENTRIX_HOME, else the
    /// user's data directory for Zentrix).
    static std::string DefaultPath();

    /// Appends "date time message " with the locale's short date and time. A log
    /// that does not exist is created with its header; one that exists but cannot
    /// be appended to is left alone. False when nothing was written; LastError()
    /// then says why.
    bool Append(const std::string& message, std::time_t when = std::time(nullptr));

    const std::string& Path() const { return m_path; }
    const std::string& LastError() const { return m_lastError; }

    static constexpr const char* kHeader = "Zentrix - Error List:\r\n\r\n";

private:
    std::string m_path;
    std::string m_lastError;
};

/// The locale's short date, a blank and the locale's time.
std::string LocaleDateTime(std::time_t when);

/// One log line: dateTime, a blank, the message (line breaks made blanks), a
/// blank, CR LF.
std::string ErrorLogLine(const std::string& dateTime, const std::string& message);

} // namespace zentrix
