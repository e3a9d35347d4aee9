#pragma once

#include "errors/errorlog.h"

#include <QApplication>
#include <exception>
#include <functional>
#include <string>

class QWidget;

namespace zentrix {

class TExceptorForm;

/// The one place where errors that escape a command end: each is written to
/// ERRORS.LOG, the main window is brought back to a safe state, and the error
/// window is shown. The program then goes on. Main thread only.
class ExceptionReporter {
public:
    explicit ExceptionReporter(std::string logPath = ErrorLog::DefaultPath());

    /// Brings the main window back to a safe state (before the window shows).
    std::function<void()> resetMainWindow;
    /// Runs after the window closed (focus to the tree, refill the file window).
    std::function<void()> afterReport;
    /// Opens a help topic for the window's "&Help".
    std::function<void(int topic)> showHelp;
    /// Replaces what "&Terminate" does (tests); by default the process ends.
    std::function<void()> terminate;
    /// Replaces showing the window modally (tests look at it instead).
    std::function<void(TExceptorForm& form)> showForm;
    /// Parent of the error window.
    QWidget* parentWidget = nullptr;

    void report(const std::exception& error);
    /// For something thrown that is not a std::exception.
    void reportUnknown();
    void report(const ErrorReport& report);

    /// Runs `work`, reporting what escapes it; false when something did.
    bool guard(const std::function<void()>& work);

    const ErrorLog& log() const { return m_log; }
    /// Errors reported so far in this run.
    int count() const { return m_count; }

private:
    ErrorLog m_log;
    int m_count = 0;
    bool m_showing = false;
};

/// The application object that hands every exception escaping an event handler
/// to the reporter instead of letting it end the program.
class GuardedApplication : public QApplication {
    Q_OBJECT
public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    void setReporter(ExceptionReporter* reporter) { m_reporter = reporter; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    ExceptionReporter* m_reporter = nullptr;
};

} // namespace zentrix
